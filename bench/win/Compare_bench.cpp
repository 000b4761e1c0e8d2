// Times the refresh of the whole term comparison for 255 years, seven terms from three months to
// ten years and a scenario (rates falling by 0.05 points a year, 3,000 yuan needed in month 18),
// as a user's edit causes it: a term's rate edited in the comparison (seven plans, the rows, the
// marking and the chart repainted), a field of the scenario edited, and the dialog's rate edited
// while the comparison is open (the dialog's own calculation and the comparison, painted; then the
// same until the dialog's table of 255 rows, which follows once no key waits, is filled). Beside
// them, a bare list view filled with the dialog's 255 rows. Each case runs 101 times inside the
// dialog's modal loop; the medians are printed. One frame is 16 ms. Apart, to see where the time
// goes: a term's rate edited without painting (the calculation and the table's texts), the chart
// repainted and the table repainted.
//
//   tools/wine-run.sh <build>/bench/win/Compare_bench.exe

#include "UBenchTiming.h"
#include "UDepositPlan.h"
#include "UMainDialog.h"
#include "UkyIniFile.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

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
    double Scenario = 0;
    double BareFill = 0;
    double Model = 0;
    double MainRate = 0;
    double MainRateFilled = 0;
    double Unpainted = 0;
    double Paint = 0;
    double List = 0;
};

TResults* Measuring = nullptr;

// The comparison's field after the label Label.
HWND Field(HWND Compare, const wchar_t* Label) {
    return GetWindow(FindWindowExW(Compare, nullptr, L"STATIC", Label), GW_HWNDNEXT);
}

// A list view of the dialog's four columns filled with Rows rows, as the dialog's table is,
// without anything of the program.
double BareFill(HWND Owner, int Rows) {
    const HWND list =
        CreateWindowExW(0, L"SysListView32", nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 400,
                        300, Owner, nullptr, nullptr, nullptr);
    for (int column = 0; column < 4; ++column) {
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT | LVCF_WIDTH;
        item.cx = 80;
        item.pszText = const_cast<wchar_t*>(L"年");
        SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
    }
    const double time = Milliseconds([&] {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        for (int row = 0; row < Rows; ++row) {
            const std::wstring texts[] = {std::to_wstring(row + 1), std::to_wstring(360 + row),
                                          std::to_wstring(10360 + row * 360), L"连本带息转存"};
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = const_cast<wchar_t*>(texts[0].c_str());
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            for (int column = 1; column < 4; ++column) {
                item.iSubItem = column;
                item.pszText = const_cast<wchar_t*>(texts[column].c_str());
                SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            }
        }
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        UpdateWindow(list);
    });
    DestroyWindow(list);
    return time;
}

// Everything the edits left waiting (the dialog's table, which follows once no key waits, and
// the paints).
void DispatchWaiting() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

void CALLBACK Measure(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    const HWND dialog = Measuring->Dialog->Handle();
    SetDlgItemTextW(dialog, IDC_YEAR, L"255");
    SendMessageW(dialog, WM_COMMAND, IDC_COMPARE, 0);
    const HWND compare = FindWindowW(L"YieldoraCompare", nullptr);
    const HWND twoYears = Field(compare, L"二年期：");
    const HWND change = Field(compare, L"每年利率变动：");
    SetWindowTextW(Field(compare, L"三个月："), L"1.1");
    SetWindowTextW(Field(compare, L"六个月："), L"1.3");
    SetWindowTextW(change, L"-0.05");
    SetWindowTextW(Field(compare, L"提前支取：第"), L"18");
    SetWindowTextW(Field(compare, L"支取金额："), L"3000");
    // Each edit changes the rate, so that every run recalculates.
    const wchar_t* const rates[] = {L"2.1", L"2.2"};
    const wchar_t* const changes[] = {L"-0.05", L"-0.06"};
    std::vector<double> termRate;
    std::vector<double> scenario;
    std::vector<double> bare;
    std::vector<double> model;
    std::vector<double> mainRate;
    std::vector<double> mainRateFilled;
    std::vector<double> unpainted;
    std::vector<double> paintOnly;
    std::vector<double> listOnly;
    for (int i = 0; i < Repetitions; ++i) {
        termRate.push_back(Milliseconds([&] {
            SetWindowTextW(twoYears, rates[i % 2]);
            UpdateWindow(compare);
        }));
        scenario.push_back(Milliseconds([&] {
            SetWindowTextW(change, changes[i % 2]);
            UpdateWindow(compare);
        }));
        bare.push_back(BareFill(dialog, 255));
        model.push_back(Milliseconds([&] {
            const std::vector<TPlanRate> plan{{3, L"1.1"},        {6, L"1.3"},  {12, L"3.6"},
                                              {24, rates[i % 2]}, {36, L"3.6"}, {60, L"3.6"},
                                              {120, L"3.6"}};
            PlanDeposit({.Year = 255}, {.RateChange = -0.05, .NeedMonth = 18, .NeedAmount = 3000},
                        plan, true);
        }));
        // The dialog repaints where the bare list view was before the edit is timed.
        DispatchWaiting();
        mainRate.push_back(Milliseconds([&] {
            SetDlgItemTextW(dialog, IDC_RATE, rates[i % 2]);
            UpdateWindow(dialog);
            UpdateWindow(compare);
        }));
        DispatchWaiting();
        mainRateFilled.push_back(Milliseconds([&] {
            SetDlgItemTextW(dialog, IDC_RATE, rates[(i + 1) % 2]);
            DispatchWaiting();
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
    Measuring->Scenario = Median(scenario);
    Measuring->BareFill = Median(bare);
    Measuring->Model = Median(model);
    Measuring->MainRate = Median(mainRate);
    Measuring->MainRateFilled = Median(mainRateFilled);
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

    std::printf("%-52s %10s\n", "Benchmark (255 years, 7 terms, a scenario, median)", "Time");
    std::printf("%-52s %7.2f ms\n", "A term's rate edited (comparison refreshed)",
                results.TermRate);
    std::printf("%-52s %7.2f ms\n", "A scenario's field edited (comparison refreshed)",
                results.Scenario);
    std::printf("%-52s %7.2f ms\n", "The dialog's rate edited (comparison; table follows)",
                results.MainRate);
    std::printf("%-52s %7.2f ms\n", "The same until the dialog's table is filled",
                results.MainRateFilled);
    std::printf("%-52s %7.2f ms\n", "A term's rate edited, not painted", results.Unpainted);
    std::printf("%-52s %7.2f ms\n", "The chart repainted", results.Paint);
    std::printf("%-52s %7.2f ms\n", "The table repainted", results.List);
    std::printf("%-52s %7.2f ms\n", "A bare list view filled with 255 rows", results.BareFill);
    std::printf("%-52s %7.2f ms\n", "The seven plans alone", results.Model);
    return 0;
}
