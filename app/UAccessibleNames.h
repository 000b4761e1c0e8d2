#pragma once

#include <windows.h>

// Names the main dialog's items for screen readers without changing the template: each field's
// label moves right before it, the up-down controls take their fields' names, the result table
// the name "计算结果", its rows read as their cells with the captions; the table becomes a tab stop,
// so that the keyboard reaches its rows. The term list is named "存期" (a combo box is otherwise
// named after its selection), and the totals line is described by what its yield means. The
// keyboard's focus stays visible (KeepFocusVisible).
void NameMainDialogItems(HWND Dialog);
