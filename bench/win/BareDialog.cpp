// The start-up benchmark's yardstick: a program that shows the main dialog's template, with the
// program's resources and manifest, and does nothing else until it is closed.
#include <windows.h>

#include <commctrl.h>

#include "resource.h"

namespace {

INT_PTR CALLBACK DialogProc(HWND Dialog, UINT Message, WPARAM WParam, LPARAM) {
    switch (Message) {
    case WM_INITDIALOG:
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
