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
