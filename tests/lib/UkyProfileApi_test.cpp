#include "UkyProfileApi.h"
#include "UkyUtf8.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// A profile in a scratch folder of the test's own.
class UkyProfileApiTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(Folder);
        std::filesystem::create_directories(Folder);
    }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    void Store(const std::string& Content) const {
        std::ofstream(File, std::ios::binary) << Content;
    }
    std::string Content() const {
        std::ifstream file(File, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    const std::filesystem::path Folder =
        std::filesystem::absolute(std::filesystem::path("UkyProfileApi_test.folder"));
    const std::filesystem::path File = Folder / "yieldora.ini";
    const std::wstring Name = File.wstring();
};

// The bytes of a UTF-16 file: the byte-order mark, then the text's little-endian code units.
std::string Utf16(const std::wstring& Text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : Text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

} // namespace

TEST_F(UkyProfileApiTest, AUtf16ProfileStaysUtf16) {
    Store(Utf16(L"[Y]\r\nN=年\r\n"));
    EXPECT_EQ(ProfileReadString(L"Y", L"N", L"", 500, Name), L"年");
    ASSERT_TRUE(ProfileWriteString(L"Y", L"M", L"7", Name));
    EXPECT_EQ(Content(), Utf16(L"[Y]\r\nN=年\r\nM=7\r\n"));
}

#ifndef _WIN32

// Our own profile functions: what kernel32 leaves open, and what ours add to it.

TEST_F(UkyProfileApiTest, WritesThatWouldBreakTheFileAreRefused) {
    Store("[A]\r\nk=1\r\n");
    EXPECT_FALSE(ProfileWriteString(L"A", L"k", L"1\r\n[B]", Name));
    EXPECT_FALSE(ProfileWriteString(L"A]", L"k", L"2", Name));
    EXPECT_FALSE(ProfileWriteString(L"A", L"k=", L"2", Name));
    EXPECT_FALSE(ProfileWriteString(L"A", L" ", L"2", Name));
    EXPECT_FALSE(ProfileWriteString(L"A", L";k", L"2", Name));
    EXPECT_EQ(Content(), "[A]\r\nk=1\r\n");
}

TEST_F(UkyProfileApiTest, AWriteThatCannotBeCompletedLeavesTheOldFile) {
    // The new file beside it gets a name too long for the file system.
    const std::filesystem::path file = Folder / std::string(250, 'p');
    std::ofstream(file, std::ios::binary) << "[A]\r\nk=1\r\n";
    EXPECT_FALSE(ProfileWriteString(L"A", L"k", L"2", file.wstring()));
    std::ifstream stored(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stored), {}), "[A]\r\nk=1\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder), {}), 1);
}

TEST_F(UkyProfileApiTest, LinesAroundTheKeysAreKept) {
    Store("; settings\nlead=0\n\n[a]\nnote\nk=1\n\n[b]\r\nk=2");
    EXPECT_EQ(ProfileReadString(L"", L"lead", L"-", 500, Name), L"0");
    EXPECT_EQ(ProfileReadString(L"A", L"note", L"-", 500, Name), L"-");
    EXPECT_EQ(ProfileReadInt(L"b", L"k", 9, Name), 2u);
    ASSERT_TRUE(ProfileWriteString(L"a", L"j", L"x", Name));
    ASSERT_TRUE(ProfileWriteString(L"b", L"K", L"3", Name));
    EXPECT_EQ(Content(),
              "; settings\r\nlead=0\r\n\r\n[a]\r\nnote\r\nk=1\r\nj=x\r\n\r\n[b]\r\nk=3\r\n");
}

#endif
