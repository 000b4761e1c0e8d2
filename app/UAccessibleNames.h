#pragma once

#include <windows.h>

// Names the main dialog's items for screen readers without changing the template: each field's
// label moves right before it, the up-down controls take their fields' names, the result table
// the name "计算结果"; the table becomes a tab stop, so that the keyboard reaches its rows.
void NameMainDialogItems(HWND Dialog);
