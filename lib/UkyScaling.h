#pragma once

#include "UkyHandles.h"

#include <windows.h>

// Dots per inch and the room texts need, for windows that follow the display's scale.

// The dots per inch a window is drawn at: the window's own where the system tells it (a program
// aware of each monitor's scale), the screen's otherwise. 96 is 100 %.
int WindowDpi(HWND Window);

// A length in pixels given for 96 dots per inch, at Dpi.
int ScaleToDpi(int Length, int Dpi);

// Font's face and style at another scale: its height times ToDpi / FromDpi.
TkyGdiObject<HFONT> ScaleFont(HFONT Font, int FromDpi, int ToDpi);

// A system metric (SM_CXVSCROLL, SM_CXSMICON, ...) at Dpi rather than at the screen's.
int MetricForDpi(int Index, int Dpi);

// The size a control needs to show its text whole in its own font at Dpi: a label's text; a
// button's caption inside its frame, or beside its check box; across, a report's columns beside
// a vertical scroll bar, inside its frame. 0 where a control needs nothing.
SIZE NeededSize(HWND Control, int Dpi);

// Tells the system that the dialog Dialog rescales itself on WM_DPICHANGED: the system's own
// rescaling of dialogs (Windows 10 and later) is switched off.
void TakeOverDpiChanges(HWND Dialog);

// Widens each child of Window that is narrower than it needs. The room is made where the child
// ends: every child that starts at or right of that edge moves right, every child that spans it
// (the child itself, a table across the window) grows, and Window grows by as much, so that the
// columns of a form stay aligned. Then the same downwards for each child that is too low. Answers
// the size added to Window.
SIZE MakeRoomForTexts(HWND Window, int Dpi);
