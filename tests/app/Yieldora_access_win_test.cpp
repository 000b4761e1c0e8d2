// What a screen reader and a keyboard user get from the built program: its accessible objects read
// from this process as a screen reader reads them, and keys sent as a user presses them.

#include "AccessibleReader.h"
#include "YieldoraRemote.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path TestFolder() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return fs::path(module).parent_path();
}

// A copy of the program in a fresh folder of its own, so that it starts without a profile.
class Accessible : public testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        fs::copy_file(TestFolder() / YIELDORA_PROGRAM, Program);
    }
    void TearDown() override { fs::remove_all(Folder); }

    const fs::path Folder = fs::temp_directory_path() / L"Yieldora_access_fresh";
    const fs::path Program = Folder / L"yieldora.exe";
};

std::wstring NameOf(HWND Window) {
    return ReadAccessible(Window, 0).Name;
}

} // namespace

// Every edit field is named after its label (the term list is not yet: Wine names a combo box after
// its selection), the up-down controls after their fields, the table by
// its own name, as is the comparison's table; the table is one of the dialog's tab stops.
TEST_F(Accessible, TheDialogsItemsAreNamedAndTheTableIsReachedByTab) {
    TYieldoraRemote remote(Program.wstring());
    EXPECT_EQ(NameOf(remote.Item(IDC_FUND)), L"投入资金：");
    EXPECT_EQ(NameOf(remote.Item(IDC_RATE)), L"年利率：");
    EXPECT_EQ(NameOf(remote.Item(IDC_TAX)), L"利息税：");
    EXPECT_EQ(NameOf(remote.Item(IDC_YEAR)), L"计算时限：");
    EXPECT_EQ(NameOf(remote.Item(IDC_STEP)), L"计算步长：");
    EXPECT_EQ(NameOf(remote.Item(IDC_YEAR_UPDOWN)), L"计算时限");
    EXPECT_EQ(NameOf(remote.Item(IDC_STEP_UPDOWN)), L"计算步长");
    EXPECT_EQ(NameOf(remote.Item(IDC_RESULTS)), L"计算结果");
    bool reached = false;
    HWND item = remote.Item(IDC_FUND);
    for (int i = 0; i < 20 && !reached; ++i) {
        item = GetNextDlgTabItem(remote.Dialog(), item, FALSE);
        reached = item == remote.Item(IDC_RESULTS);
    }
    EXPECT_TRUE(reached);
    remote.Press(IDC_COMPARE);
    ASSERT_NE(remote.CompareWindow(), nullptr);
    EXPECT_EQ(NameOf(FindWindowExW(remote.CompareWindow(), nullptr, WC_LISTVIEWW, nullptr)),
              L"存期比较结果");
    EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
}
