// yieldora.exe: runs the main dialog until it closes.

#include "UMainDialog.h"
#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyIniFile.h"
#include "UkyWinControl.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
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
