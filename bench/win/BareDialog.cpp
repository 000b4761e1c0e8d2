// The start-up benchmark's yardstick: a program that shows the main dialog's template, with the
// program's resources and manifest, and does nothing else until it is closed. Built with
// BARE_TEXTS (BareTexts.exe) it also shows what a fresh copy of the program shows at its start,
// through the platform alone: the inputs, the term, and the table's columns in report view. The
// glyphs those texts need are drawn for the first time in each start; the difference between the
// two yardsticks is that drawing, which the program cannot leave out.
#include <windows.h>

#include <commctrl.h>

#include "resource.h"

#ifdef BARE_TEXTS
#include "UResultTable.h"

#include <string>
#endif

namespace {

#ifdef BARE_TEXTS
void ShowTexts(HWND Dialog) {
    SetDlgItemTextW(Dialog, IDC_FUND, L"10000");
    SetDlgItemTextW(Dialog, IDC_RATE, L"3.6");
    SetDlgItemTextW(Dialog, IDC_TAX, L"20");
    SetDlgItemTextW(Dialog, IDC_YEAR, L"20");
    SetDlgItemTextW(Dialog, IDC_STEP, L"1");
    CheckDlgButton(Dialog, IDC_DEPOSIT, BST_CHECKED);
    const HWND term = GetDlgItem(Dialog, IDC_TERM);
    for (const TDepositTerm& deposit : DEPOSIT_TERMS) {
        const std::wstring label(deposit.Label);
        SendMessageW(term, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
    SendMessageW(term, CB_SETCURSEL, 0, 0);
    const HWND table = GetDlgItem(Dialog, IDC_RESULTS);
    SetWindowLongPtrW(table, GWL_STYLE, GetWindowLongPtrW(table, GWL_STYLE) | LVS_REPORT);
    SendMessageW(table, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (std::size_t i = 0; i < RESULT_CAPTIONS.size(); ++i) {
        std::wstring caption(RESULT_CAPTIONS[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_CENTER;
        column.cx = RESULT_COLUMN_WIDTHS[i];
        column.pszText = caption.data();
        SendMessageW(table, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}
#endif

INT_PTR CALLBACK DialogProc(HWND Dialog, UINT Message, WPARAM WParam, LPARAM) {
    switch (Message) {
    case WM_INITDIALOG:
#ifdef BARE_TEXTS
        ShowTexts(Dialog);
#endif
        return TRUE;
    case WM_CLOSE:
        EndDialog(Dialog, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(WParam) == IDCANCEL) {
            EndDialog(Dialog, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE Instance, HINSTANCE, PWSTR, int) {
    // The template holds a list view and up-down controls.
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                       ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    return static_cast<int>(
        DialogBoxParamW(Instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DialogProc, 0));
}
