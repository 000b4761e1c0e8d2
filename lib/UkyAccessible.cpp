#include "UkyAccessible.h"

void PlaceLabelBefore(HWND Label, HWND Field) {
    const HWND before = GetWindow(Field, GW_HWNDPREV);
    if (before == Label) {
        return;
    }
    SetWindowPos(Label, before != nullptr ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void SetAccessibleName(HWND Control, const std::wstring& Name) {
    SetWindowTextW(Control, Name.c_str());
}
