// The built program, started as a process of its own and driven from this one with window
// messages, as a user's clicks would reach it.

#include "YieldoraRemote.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path TestFolder() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return fs::path(module).parent_path();
}

std::string ReadFile(const fs::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

TEST(Program, CalculatesExportsAndKeepsItsInputs) {
    // A copy of the program in a folder of its own, so that it starts without a profile.
    const fs::path folder = fs::temp_directory_path() / L"Yieldora_blackbox";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path program = folder / L"yieldora.exe";
    fs::copy_file(TestFolder() / YIELDORA_PROGRAM, program);

    {
        TYieldoraRemote remote(program.wstring());
        EXPECT_EQ(remote.ItemText(108), L"10000");
        EXPECT_EQ(remote.ItemText(109), L"一年期");
        EXPECT_FALSE(remote.ItemEnabled(102));

        remote.SetItemText(105, L"abc");
        const TRemoteBox error = remote.PressAndAnswer(101);
        EXPECT_EQ(error.Caption, L"提示!");
        EXPECT_EQ(error.Text, L"abc is not a valid integer!");
        EXPECT_EQ(remote.ItemText(105), L"20");

        remote.Press(101);
        EXPECT_EQ(remote.RowCount(), 20);
        EXPECT_TRUE(remote.ItemEnabled(102));
        const TRemoteBox done = remote.PressAndAnswer(102);
        EXPECT_EQ(done.Caption, L"提示!");
        EXPECT_EQ(done.Text, L"当前计算结果已导出到剪贴板！");
        EXPECT_EQ(ToUtf8(ReadClipboardText()), ReadFile(TestFolder() / YIELDORA_GOLDEN_EXPORT));

        remote.SetItemText(110, L"4.25");
        EXPECT_EQ(remote.PressToExit(103), 0u);
    }
    const std::string profile = ReadFile(folder / L"yieldora.ini");
    EXPECT_TRUE(profile.starts_with("[Program]\r\nWindowLeft=")) << profile;
    EXPECT_TRUE(profile.ends_with("[Yieldora]\r\nFund=10000\r\nPeriod=1\r\nRate=4.25\r\nTax=20\r\n"
                                  "Year=20\r\nStep=1\r\nDeposit=1\r\n"))
        << profile;

    {
        TYieldoraRemote remote(program.wstring());
        EXPECT_EQ(remote.ItemText(110), L"4.25");
        EXPECT_EQ(remote.PressToExit(103), 0u);
    }
    fs::remove_all(folder);
}
