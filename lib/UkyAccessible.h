#pragma once

#include <windows.h>

#include <string>

// Screen readers name a field after the label just before it among the window's children (the
// z-order). Moves Label there, right before Field; the order of the tab stops stays as it is, as
// a label is none.
void PlaceLabelBefore(HWND Label, HWND Field);

// Gives a control without a visible text of its own (a list view, an up-down control) the name a
// screen reader speaks: its window text, which such a control does not show.
void SetAccessibleName(HWND Control, const std::wstring& Name);
