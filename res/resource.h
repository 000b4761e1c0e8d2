// Names of the program's resources: the main dialog's template and items, the icons and the
// commands the main dialog understands. Plain #defines, so that the resource compiler reads them
// as well as the C++ sources.
#ifndef YIELDORA_RESOURCE_H
#define YIELDORA_RESOURCE_H

// The main dialog's template.
#define IDD_MAIN 10

// Items of the main dialog.
#define IDC_CALCULATE 101
#define IDC_EXPORT 102
#define IDC_EXIT 103
#define IDC_TAX 104
#define IDC_YEAR 105
#define IDC_STEP 106
#define IDC_DEPOSIT 107
#define IDC_FUND 108
#define IDC_TERM 109
#define IDC_RATE 110
#define IDC_YEAR_UPDOWN 111
#define IDC_STEP_UPDOWN 112
#define IDC_RESULTS 113

// Not items of the template: the command that opens the growth chart (Ctrl+G), and the other
// commands of the table's menu (its export command is the button's).
#define IDM_SHOW_CHART 120
#define IDM_COPY 121
#define IDM_SELECT_ALL 122
#define IDM_SAVE_AS 123
// Printing the schedule (Ctrl+P) and the page set-up.
#define IDM_PRINT 124
#define IDM_PAGE_SETUP 125

// Not an item of the template either: the line under the table that sums the result up, made by
// the dialog.
#define IDC_TOTALS 130
// The button (in the template's free place right of the exit button) and the table's menu command
// (Ctrl+T) that open the comparison of the terms.
#define IDC_COMPARE 131

// Icons: the green money bag is the window's icon and marks the years a term matures; coins mark
// the other years; the magenta bag marks the last year.
#define IDI_MAIN 1
#define IDI_MATURITY_YEAR IDI_MAIN
#define IDI_ORDINARY_YEAR 2
#define IDI_LAST_YEAR 3

#endif
