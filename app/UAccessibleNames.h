#pragma once

#include "UDepositPlan.h"
#include "UkyListView.h"

#include <windows.h>

#include <functional>

// Names the main dialog's items for screen readers without changing the template: each field's
// label moves right before it, the up-down controls take their fields' names, the result Table
// the name "计算结果", its rows read as their cells with the captions; the table becomes a tab
// stop, so that the keyboard reaches its rows. The term list is named "存期" (a combo box is
// otherwise named after its selection), and the totals line is described by what its yield means.
// The keyboard's focus stays visible (KeepFocusVisible).
void NameMainDialogItems(HWND Dialog, TkyListView& Table);

// Names the comparison's items: its Table "存期比较结果", its rows read as their cells with the
// captions (the best one's remark says 最佳), and its Window described by the summary of what
// Comparison gives at the moment, which its chart draws; the focus stays visible.
void NameCompareWindowItems(HWND Window, TkyListView& Table,
                            std::function<const TDepositPlan&()> Comparison);
