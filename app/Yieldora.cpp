// yieldora.exe: runs the main dialog until it closes.

#include "UMainDialog.h"
#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"
#include "UkyWinControl.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything loads a library (the common dialogs, COM and the image coders are loaded on
    // first use).
    RestrictLibraryLoads();
    try {
        SetProfileFolder(L"Yieldora");
        InitCommonControlClasses(ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS);
        const auto dialog = TkyDialogSuper::Create<TMainDialog>(nullptr, false);
        dialog->RunModal();
        return 0;
    } catch (const EkyError& e) {
        ShowMessageBox(e.Message(), MSGBOX_ERROR, L"");
        return 1;
    }
}
