// Times the refresh of the whole term comparison for 255 years, as a user's edit causes it:
// a term's rate edited in the comparison (four schedules, the rows, the marking and the chart
// repainted), and the dialog's rate edited while the comparison is open (the dialog's own
// calculation and table of 255 rows as well, then the other four terms). Each case runs 101
// times inside the dialog's modal loop; the medians are printed. One frame is 16 ms. Apart, to
// see where the time goes: a term's rate edited without painting (the calculation and the
// table's texts), the chart repainted and the table repainted.
//
//   tools/wine-run.sh <build>/bench/win/Compare_bench.exe

#include "UBenchTiming.h"
#include "UMainDialog.h"
#include "UkyIniFile.h"
#include "resource.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Repetitions = 101;

struct TResults {
    TMainDialog* Dialog = nullptr;
    double TermRate = 0;
    double MainRate = 0;
    double Unpainted = 0;
    double Paint = 0;
    double List = 0;
};

TResults* Measuring = nullptr;

void CALLBACK Measure(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    const HWND dialog = Measuring->Dialog->Handle();
    SetDlgItemTextW(dialog, IDC_YEAR, L"255");
    SendMessageW(dialog, WM_COMMAND, IDC_COMPARE, 0);
    const HWND compare = FindWindowW(L"YieldoraCompare", nullptr);
    const HWND oneYear = FindWindowExW(compare, nullptr, L"EDIT", nullptr);
    const HWND twoYears = FindWindowExW(compare, oneYear, L"EDIT", nullptr);
    // Each edit changes the rate, so that every run recalculates.
    const wchar_t* const rates[] = {L"2.1", L"2.2"};
    std::vector<double> termRate;
    std::vector<double> mainRate;
    std::vector<double> unpainted;
    std::vector<double> paintOnly;
    std::vector<double> listOnly;
    for (int i = 0; i < Repetitions; ++i) {
        termRate.push_back(Milliseconds([&] {
            SetWindowTextW(twoYears, rates[i % 2]);
            UpdateWindow(compare);
        }));
        mainRate.push_back(Milliseconds([&] {
            SetDlgItemTextW(dialog, IDC_RATE, rates[i % 2]);
            UpdateWindow(dialog);
            UpdateWindow(compare);
        }));
        unpainted.push_back(Milliseconds([&] { SetWindowTextW(twoYears, rates[(i + 1) % 2]); }));
        paintOnly.push_back(Milliseconds([&] {
            RECT client{};
            GetClientRect(compare, &client);
            client.top = client.bottom * 45 / 100;
            InvalidateRect(compare, &client, FALSE);
            UpdateWindow(compare);
        }));
        listOnly.push_back(Milliseconds([&] {
            const HWND list = FindWindowExW(compare, nullptr, L"SysListView32", nullptr);
            InvalidateRect(list, nullptr, FALSE);
            UpdateWindow(list);
        }));
    }
    Measuring->Unpainted = Median(unpainted);
    Measuring->Paint = Median(paintOnly);
    Measuring->List = Median(listOnly);
    Measuring->TermRate = Median(termRate);
    Measuring->MainRate = Median(mainRate);
    SendMessageW(dialog, WM_COMMAND, IDC_EXIT, 0);
}

} // namespace

int main() {
    const std::filesystem::path profile = ProfilePath();
    std::filesystem::remove(profile);
    const auto dialog = TkyDialogSuper::Create<TMainDialog>(nullptr, false);
    TResults results;
    results.Dialog = dialog.get();
    Measuring = &results;
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, Measure);
    dialog->RunModal();
    std::filesystem::remove(profile);

    std::printf("%-52s %10s\n", "Benchmark (255 years, 5 terms, median)", "Time");
    std::printf("%-52s %7.2f ms\n", "A term's rate edited (comparison refreshed)",
                results.TermRate);
    std::printf("%-52s %7.2f ms\n", "The dialog's rate edited (table and comparison)",
                results.MainRate);
    std::printf("%-52s %7.2f ms\n", "A term's rate edited, not painted", results.Unpainted);
    std::printf("%-52s %7.2f ms\n", "The chart repainted", results.Paint);
    std::printf("%-52s %7.2f ms\n", "The table repainted", results.List);
    return 0;
}
