// yieldora-drive PROGRAM EXPORT-FILE [print]
//
// Runs yieldora.exe on the current display, presses calculate, then writes a line
// "shown LEFT TOP WIDTH HEIGHT" (the dialog's rectangle on the screen) to standard output and waits
// for a line on standard input (time for a screenshot). Then it exports the table, saves the
// clipboard text as UTF-8 to EXPORT-FILE and writes "exported ROWS". It opens the growth chart,
// writes "chart LEFT TOP WIDTH HEIGHT" (the chart's rectangle) and waits for another line. It opens
// the comparison of the terms, gives the terms of years other than the selected one the rates 2.1,
// 2.75, 2.75 and 3 %, three and six months 1.1 and 1.3 %, lets the rates fall by 0.1 points a year
// and needs 3,000 yuan in month 18, writes "compare LEFT TOP WIDTH HEIGHT" and waits for another
// line. Given "print",
// it then prints the schedule from the table's menu command 打印…, answering the Print dialog with
// OK (the default printer), and writes "printed" and waits for another line. Then it closes
// the program with its exit button and writes "exit CODE". Errors go to standard error, with exit
// code 1.

#include "YieldoraRemote.h"
#include "resource.h"

#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

void WriteLine(const std::string& Line) {
    const std::string text = Line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

// Blocks until a whole line (or the end of the input) has been read.
void AwaitLine() {
    char c = 0;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &read, nullptr) && read == 1 &&
           c != '\n') {
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bool print = argc == 4 && std::wstring(argv[3]) == L"print";
    if (argc != 3 && !print) {
        std::fputs("usage: yieldora-drive PROGRAM EXPORT-FILE [print]\n", stderr);
        return 1;
    }
    try {
        TYieldoraRemote program(argv[1]);
        program.Press(IDC_CALCULATE);
        program.Repaint();
        RECT r{};
        GetWindowRect(program.Dialog(), &r);
        WriteLine("shown " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                  std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
        AwaitLine();

        const int rows = program.RowCount();
        const TRemoteBox box = program.PressAndAnswer(IDC_EXPORT);
        if (box.Text != L"当前计算结果已导出到剪贴板！") {
            std::fputs(("the export answered: " + ToUtf8(box.Text) + "\n").c_str(), stderr);
            return 1;
        }
        std::ofstream(std::filesystem::path(argv[2]), std::ios::binary)
            << ToUtf8(ReadClipboardText());
        WriteLine("exported " + std::to_string(rows));

        DWORD_PTR result = 0;
        SendMessageTimeoutW(program.Dialog(), WM_COMMAND, IDM_SHOW_CHART, 0, SMTO_NORMAL,
                            STEP_TIMEOUT, &result);
        const HWND chart = FindWindowW(L"YieldoraChart", L"收益图");
        if (chart == nullptr) {
            std::fputs("the growth chart did not open\n", stderr);
            return 1;
        }
        RedrawWindow(chart, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        SendMessageTimeoutW(chart, WM_NULL, 0, 0, SMTO_NORMAL, STEP_TIMEOUT, &result);
        GetWindowRect(chart, &r);
        WriteLine("chart " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                  std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
        AwaitLine();

        SendMessageTimeoutW(program.Dialog(), WM_COMMAND, IDC_COMPARE, 0, SMTO_NORMAL, STEP_TIMEOUT,
                            &result);
        const HWND compare = FindWindowW(L"YieldoraCompare", L"存期比较");
        if (compare == nullptr) {
            std::fputs("the comparison did not open\n", stderr);
            return 1;
        }
        for (int term = 1; term < 5; ++term) {
            program.SetCompareRate(term, std::array{L"2.1", L"2.75", L"2.75", L"3"}[term - 1]);
        }
        program.SetCompareField(L"三个月：", L"1.1");
        program.SetCompareField(L"六个月：", L"1.3");
        program.SetCompareField(L"每年利率变动：", L"-0.1");
        program.SetCompareField(L"提前支取：第", L"18");
        program.SetCompareField(L"支取金额：", L"3000");
        RedrawWindow(compare, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SendMessageTimeoutW(compare, WM_NULL, 0, 0, SMTO_NORMAL, STEP_TIMEOUT, &result);
        GetWindowRect(compare, &r);
        WriteLine("compare " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                  std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
        AwaitLine();
        if (print) {
            const TRemoteOutcome printed = program.Command(IDM_PRINT, [](HWND Dialog) {
                AnswerWithOk(Dialog);
                return true;
            });
            if (printed.Boxes.size() != 1) {
                const std::wstring why =
                    printed.Boxes.empty() ? L"no Print dialog came up" : printed.Boxes.back().Text;
                std::fputs(("printing failed: " + ToUtf8(why) + "\n").c_str(), stderr);
                return 1;
            }
            WriteLine("printed");
            AwaitLine();
        }
        WriteLine("exit " + std::to_string(program.PressToExit(IDC_EXIT)));
        return 0;
    } catch (const std::exception& e) {
        std::fputs((std::string(e.what()) + "\n").c_str(), stderr);
        return 1;
    }
}
