#include "UAccessibleNames.h"

#include "UChartAccessible.h"
#include "UDepositResult.h"
#include "UkyAccessible.h"
#include "resource.h"

#include <string>
#include <utility>

namespace {

struct TLabelledItem {
    const wchar_t* Label;
    int Id;
};

constexpr TLabelledItem LABELLED_ITEMS[] = {
    {L"投入资金：", IDC_FUND}, {L"存期：", IDC_TERM},     {L"年利率：", IDC_RATE},
    {L"利息税：", IDC_TAX},    {L"计算时限：", IDC_YEAR}, {L"计算步长：", IDC_STEP},
};

} // namespace

void NameMainDialogItems(HWND Dialog, TkyListView& Table) {
    for (const TLabelledItem& item : LABELLED_ITEMS) {
        const HWND label = FindWindowExW(Dialog, nullptr, L"Static", item.Label);
        if (label != nullptr) {
            PlaceLabelBefore(label, GetDlgItem(Dialog, item.Id));
        }
    }
    SetAccessibleName(GetDlgItem(Dialog, IDC_YEAR_UPDOWN), L"计算时限");
    SetAccessibleName(GetDlgItem(Dialog, IDC_STEP_UPDOWN), L"计算步长");
    const HWND table = Table.Handle();
    SetAccessibleName(table, L"计算结果");
    AnswerAccessible(Table, ListViewRowsAnswer(table, L"计算结果"));
    TAccessibleAnswer term;
    term.Name = [] { return std::wstring(L"存期"); };
    AnswerAccessible(GetDlgItem(Dialog, IDC_TERM), std::move(term));
    TAccessibleAnswer totals;
    totals.Description = [] { return YIELD_MEANING; };
    AnswerAccessible(GetDlgItem(Dialog, IDC_TOTALS), std::move(totals));
    KeepFocusVisible(Dialog, {&Table});
    SetWindowLongPtrW(table, GWL_STYLE, GetWindowLongPtrW(table, GWL_STYLE) | WS_TABSTOP);
}

void NameCompareWindowItems(HWND Window, TkyListView& Table,
                            std::function<const TDepositPlan&()> Comparison) {
    SetAccessibleName(Table.Handle(), L"存期比较结果");
    AnswerAccessible(Table, ListViewRowsAnswer(Table.Handle(), L"存期比较结果"));
    AnswerAccessible(Window, ComparisonWindowAnswer(std::move(Comparison)));
    KeepFocusVisible(Window, {&Table});
}
