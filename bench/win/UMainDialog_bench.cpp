// Times the calculate command of the main dialog for 255 years with step 1 (reading the fields,
// the schedule and filling the visible result table) against the bare fill of the same rows into
// the same list view with its redrawing suspended, and, for scale, that fill without suspending.
// The cases run inside the dialog's modal loop, the first two 101 times and the slow one 3 times;
// the medians are printed. The slow case (about a minute under Wine) runs only when asked for.
//
//   tools/wine-run.sh <build>/bench/win/UMainDialog_bench.exe [--unsuspended]

#include "UBenchTiming.h"
#include "UMainDialog.h"
#include "UResultTable.h"
#include "UkyIniFile.h"
#include "USchedule.h"
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
constexpr int SlowRepetitions = 3;
constexpr int Years = 255;

// The rows of the default deposit over 255 years, as the table shows them.
std::vector<TResultRow> DefaultRows() {
    const TYieldoraInputs inputs{.Year = Years};
    const TSchedule schedule = CalculateSchedule(inputs);
    return ResultRows({inputs, schedule.Interest, schedule.Total, schedule.Withdrawn});
}

// Fills View the plain way: every row inserted with its image, then its cells set one by one.
void FillBare(HWND View, const std::vector<TResultRow>& Rows, bool SuspendRedraw) {
    if (SuspendRedraw) {
        SendMessageW(View, WM_SETREDRAW, FALSE, 0);
    }
    SendMessageW(View, LVM_DELETEALLITEMS, 0, 0);
    for (const TResultRow& row : Rows) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = static_cast<int>(SendMessageW(View, LVM_GETITEMCOUNT, 0, 0));
        item.iImage = row.Image;
        const auto index = static_cast<int>(
            SendMessageW(View, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        std::size_t start = 0;
        for (int column = 0; start <= row.Text.size(); ++column) {
            const std::size_t tab = std::min(row.Text.find(L'\t', start), row.Text.size());
            std::wstring cell = row.Text.substr(start, tab - start);
            LVITEMW text{};
            text.iSubItem = column;
            text.pszText = cell.data();
            SendMessageW(View, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&text));
            start = tab + 1;
        }
    }
    if (SuspendRedraw) {
        SendMessageW(View, WM_SETREDRAW, TRUE, 0);
    }
    InvalidateRect(View, nullptr, TRUE);
    UpdateWindow(View);
}

struct TResults {
    TMainDialog* Dialog = nullptr;
    bool WithUnsuspended = false;
    double Command = 0;
    double Bare = 0;
    double Unsuspended = 0;
};

TResults* Measuring = nullptr;

void CALLBACK Measure(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    const HWND dialog = Measuring->Dialog->Handle();
    const HWND view = GetDlgItem(dialog, IDC_RESULTS);
    const std::vector<TResultRow> rows = DefaultRows();

    SetDlgItemTextW(dialog, IDC_YEAR, std::to_wstring(Years).c_str());
    // The two compared cases take turns, so that other work on the machine hits both alike.
    std::vector<double> command;
    std::vector<double> bare;
    for (int i = 0; i < Repetitions; ++i) {
        command.push_back(
            Milliseconds([dialog] { SendMessageW(dialog, WM_COMMAND, IDC_CALCULATE, 0); }));
        bare.push_back(Milliseconds([&] { FillBare(view, rows, true); }));
    }
    std::vector<double> unsuspended;
    for (int i = 0; Measuring->WithUnsuspended && i < SlowRepetitions; ++i) {
        unsuspended.push_back(Milliseconds([&] { FillBare(view, rows, false); }));
    }
    Measuring->Command = Median(command);
    Measuring->Bare = Median(bare);
    Measuring->Unsuspended = unsuspended.empty() ? 0 : Median(unsuspended);
    SendMessageW(dialog, WM_COMMAND, IDC_EXIT, 0);
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path profile = ProfilePath();
    std::filesystem::remove(profile);
    const auto dialog = TkyDialogSuper::Create<TMainDialog>(nullptr, false);
    TResults results;
    results.Dialog = dialog.get();
    results.WithUnsuspended = argc > 1 && std::string(argv[1]) == "--unsuspended";
    Measuring = &results;
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, Measure);
    dialog->RunModal();
    std::filesystem::remove(profile);

    std::printf("%-44s %10s\n", "Benchmark (255 rows, median)", "Time");
    std::printf("%-44s %7.2f ms\n", "CalculateCommand (read, calculate, fill)", results.Command);
    std::printf("%-44s %7.2f ms\n", "BareFill, redraw suspended", results.Bare);
    if (results.WithUnsuspended) {
        std::printf("%-44s %7.2f ms\n", "BareFill, redraw not suspended", results.Unsuspended);
    }
    std::printf("%-44s %7.2f\n", "CalculateCommand / BareFill", results.Command / results.Bare);
    return 0;
}
