// The built program prints from the keyboard: Ctrl+P typed into its result table, driven from
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

TEST(PrintedProgram, CtrlPInTheTablePrintsTheScheduleThroughThePrintDialog) {
    const std::string skip = PrintSkipReason();
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    TYieldoraRemote program(FreshCopy().wstring());
    program.Press(IDC_CALCULATE);
    const HWND table = program.Item(IDC_RESULTS);
    program.Perform(table, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    program.Perform(table, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    SetForegroundWindow(program.Dialog());
    ASSERT_TRUE(WaitUntil([&] { return program.FocusedWindow() == table; }));

    Type({VK_CONTROL, 'P'});
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = program.ProgramWindow(L"#32770", nullptr)); }));
    // The dialog belongs to the program's main dialog, which it disables.
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.Dialog());
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
