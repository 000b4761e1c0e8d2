// yieldora.exe: runs the main dialog until it closes.

#include "UMainDialog.h"
#include "UkyClipboard.h"
#include "UkyError.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        const auto dialog = TkyDialogSuper::Create<TMainDialog>(nullptr, false);
        dialog->RunModal();
        return 0;
    } catch (const EkyError& e) {
        ShowMessageBox(e.Message(), MSGBOX_ERROR, L"");
        return 1;
    }
}
