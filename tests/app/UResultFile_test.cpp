#include "UResultFile.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

TEST(SaveFileSafely, ReplacesTheFileOrOnFailureKeepsItAndNamesItWithTheSystemsReason) {
    const fs::path folder = fs::absolute(L"UResultFile_test.保存");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / L"存款计算结果.csv";
    SaveFileSafely(target.wstring(), "old");
    SaveFileSafely(target.wstring(), "\xEF\xBB\xBF"
                                     "a,b\r\n");
    EXPECT_EQ(Bytes(target), "\xEF\xBB\xBF"
                             "a,b\r\n");

    // Held open by another program, without sharing.
    const HANDLE held =
        CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::wstring busy = ErrorOf([&] { SaveFileSafely(target.wstring(), "new"); });
    CloseHandle(held);
    const std::wstring prefix = L"无法保存文件 " + target.wstring() + L"：";
    EXPECT_TRUE(busy.starts_with(prefix) && busy.size() > prefix.size() && !busy.ends_with(L"\n"))
        << testing::PrintToString(busy);
    EXPECT_EQ(Bytes(target), "\xEF\xBB\xBF"
                             "a,b\r\n");
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    const fs::path nowhere = folder / L"missing" / L"x.csv";
    EXPECT_EQ(ErrorOf([&] { SaveFileSafely(nowhere.wstring(), "new"); }),
              L"无法保存文件 " + nowhere.wstring() + L"：" + SystemErrorText(ERROR_PATH_NOT_FOUND));
    fs::remove_all(folder);
}

TEST(SaveFileSafely, AReplacedFileKeepsItsAttributesAndAReadOnlyOneIsLeftAlone) {
    const fs::path folder = fs::absolute(L"UResultFile_test.属性");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / L"结果.csv";
    SaveFileSafely(target.wstring(), "old");
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    SaveFileSafely(target.wstring(), "new");
    EXPECT_EQ(Bytes(target), "new");
    EXPECT_EQ(GetFileAttributesW(target.c_str()) &
                  (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ErrorOf([&] { SaveFileSafely(target.wstring(), "newer"); }),
              L"无法保存文件 " + target.wstring() + L"：" + SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Bytes(target), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(folder);
}

// The program is not aware of long paths: a name it could not write everywhere is refused before
// anything is made, and the longest one it takes is written.
TEST(SaveFileSafely, APathBeyondMaxPathIsRefusedBeforeAnythingIsTouched) {
    const fs::path folder = fs::absolute(L"UResultFile_test.长");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::wstring base = folder.wstring() + L"\\";
    const std::wstring longest =
        base + std::wstring(MAX_PATH - 1 - base.size() - 4, L'a') + L".csv";
    ASSERT_EQ(longest.size(), MAX_PATH - 1u);
    SaveFileSafely(longest, "new");
    EXPECT_EQ(Bytes(longest), "new");

    const std::wstring tooLong = base + std::wstring(MAX_PATH - base.size() - 4, L'b') + L".csv";
    const std::wstring error = ErrorOf([&] { SaveFileSafely(tooLong, "new"); });
    EXPECT_TRUE(error.starts_with(L"无法保存文件 " + tooLong + L"：路径太长")) << error;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    fs::remove_all(folder);
}
