#include "UResultFile.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A folder of the test's own, removed with what it holds.
class SafeSave : public testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(Folder);
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }

    // The names in the folder, to see that no temporary file stays behind.
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (const auto& entry : fs::directory_iterator(Folder)) {
            names.push_back(entry.path().filename().wstring());
        }
        return names;
    }

    const fs::path Folder = fs::absolute(L"UResultFile_test.保存");
    const fs::path Target = Folder / L"存款计算结果.csv";
};

} // namespace

TEST_F(SafeSave, WritesANewFileAndReplacesAnOldOneLeavingNothingElse) {
    SaveFileSafely(Target.wstring(), "new\r\n");
    EXPECT_EQ(Bytes(Target), "new\r\n");
    SaveFileSafely(Target.wstring(), std::string("\xEF\xBB\xBF") + "a,b\r\n");
    EXPECT_EQ(Bytes(Target), "\xEF\xBB\xBF"
                             "a,b\r\n");
    SaveFileSafely(Target.wstring(), "");
    EXPECT_EQ(Bytes(Target), "");
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"存款计算结果.csv"});
}

TEST_F(SafeSave, AFailureKeepsTheOldFileAndNamesTheFileAndTheReason) {
    std::ofstream(Target, std::ios::binary) << "old";

    // Held open by another program, without sharing.
    const HANDLE held = CreateFileW(Target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::wstring busy = ErrorOf([&] { SaveFileSafely(Target.wstring(), "new"); });
    CloseHandle(held);
    EXPECT_TRUE(busy.starts_with(L"无法保存文件 " + Target.wstring() + L"：")) << busy;
    EXPECT_GT(busy.size(), (L"无法保存文件 " + Target.wstring() + L"：").size());
    EXPECT_EQ(Bytes(Target), "old");
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"存款计算结果.csv"});

    // A folder where the file should go cannot be replaced by a file.
    const fs::path folderTarget = Folder / L"a folder.csv";
    fs::create_directory(folderTarget);
    EXPECT_TRUE(ErrorOf([&] {
                    SaveFileSafely(folderTarget.wstring(), "new");
                }).starts_with(L"无法保存文件 " + folderTarget.wstring() + L"："));
    EXPECT_TRUE(fs::is_directory(folderTarget));

    // A folder that is not there: the reason is the system's own.
    const fs::path nowhere = Folder / L"missing" / L"x.csv";
    EXPECT_EQ(ErrorOf([&] { SaveFileSafely(nowhere.wstring(), "new"); }),
              L"无法保存文件 " + nowhere.wstring() + L"：" + SystemErrorText(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Names().size(), 2u);
}

TEST(SystemErrorText, TheSystemsTextWithoutItsLineEndOrTheCode) {
    const std::wstring text = SystemErrorText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
    EXPECT_EQ(SystemErrorText(0x2000FFFF), L"错误代码 536936447");
}
