// The built program prints from the keyboard: Ctrl+P typed wherever its focus is, driven from
// this process, to the PDF printer of the test's own print server (tools/cups-session.sh).

#include "PrintedPdf.h"
#include "YieldoraRemote.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A copy of the program in a fresh folder of its own, so that it starts with the default inputs
// and page set-up.
fs::path FreshCopy() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const fs::path folder = fs::temp_directory_path() / L"Yieldora_print_fresh";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(fs::path(module).parent_path() / YIELDORA_PROGRAM, folder / L"yieldora.exe");
    return folder / L"yieldora.exe";
}

// The keys as the keyboard types them: each press, then the releases in reverse order.
void Type(std::initializer_list<WORD> Keys) {
    std::vector<INPUT> inputs;
    for (const WORD key : Keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = Keys.end(); key != Keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace

// Gives Item the keyboard focus, as the dialog does on Tab, and waits until it has it.
void FocusItem(TYieldoraRemote& Program, HWND Item) {
    Program.Perform(Program.Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item), TRUE);
    SetForegroundWindow(Program.Dialog());
    ASSERT_TRUE(WaitUntil([&] { return Program.FocusedWindow() == Item; }));
}

// Ctrl+P opens the Print dialog, owned by the main dialog, wherever the focus is: in a field, on
// the check box, on a button, in the table; before the first calculation it does nothing (the
// digit typed after it lands in the field, where the Print dialog would have taken it).
TEST(PrintedProgram, CtrlPAnywhereInTheDialogPrintsTheScheduleThroughThePrintDialog) {
    const std::string skip = PrintSkipReason();
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    const std::string unseen = PrinterUnseenReason();
    ASSERT_TRUE(unseen.empty()) << unseen;
    TYieldoraRemote program(FreshCopy().wstring());
    const std::wstring fund = program.ItemText(IDC_FUND);
    FocusItem(program, program.Item(IDC_FUND));
    Type({VK_CONTROL, 'P'});
    Type({'7'});
    ASSERT_TRUE(WaitUntil([&] { return program.ItemText(IDC_FUND) == L"7"; }));
    EXPECT_EQ(program.ProgramWindow(L"#32770", nullptr), nullptr);
    program.SetItemText(IDC_FUND, fund);

    program.Press(IDC_CALCULATE);
    const auto printDialog = [&](int Id) {
        SCOPED_TRACE(Id);
        FocusItem(program, program.Item(Id));
        Type({VK_CONTROL, 'P'});
        HWND dialog = nullptr;
        EXPECT_TRUE(
            WaitUntil([&] { return (dialog = program.ProgramWindow(L"#32770", nullptr)); }));
        // The dialog belongs to the program's main dialog, which it disables.
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.Dialog());
        return dialog;
    };
    for (const int id : {IDC_YEAR, IDC_DEPOSIT, IDC_CALCULATE}) {
        const HWND dialog = printDialog(id);
        ASSERT_NE(dialog, nullptr);
        AnswerWithKey(dialog, VK_ESCAPE);
        EXPECT_TRUE(program.Settle().Boxes.empty());
        EXPECT_FALSE(IsWindow(dialog));
    }
    EXPECT_TRUE(PrintedFiles().empty());

    const HWND dialog = printDialog(IDC_RESULTS);
    ASSERT_NE(dialog, nullptr);
    AnswerWithOk(dialog);
    EXPECT_TRUE(program.Settle().Boxes.empty());

    const TPrintedPdf printed = TakePrinted();
    ASSERT_EQ(printed.Pages.size(), 1u);
    const std::string page = Squeezed(printed.Pages[0]);
    EXPECT_NE(page.find("1 288 10288 连本带息取出后转存"), std::string::npos) << page;
    EXPECT_NE(page.find("20 494 17645 取出全部本息"), std::string::npos);
    EXPECT_NE(page.find("20 年共得利息 7,645 元，期末本息 17,645 元，折合年化 2.88%"),
              std::string::npos);
    EXPECT_EQ(program.PressToExit(IDC_EXIT), 0u);
}
