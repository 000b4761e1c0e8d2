#include "UChartAccessible.h"

#include "UDepositResult.h"
#include "UResultTable.h"
#include "UkyFunctions.h"

#include <oleacc.h>

#include <utility>

namespace {

RECT ToRect(const TChartRect& Rect) {
    return {Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
}

std::wstring TermLabel(std::int32_t Months) {
    return std::wstring(PlanTermLabel(Months));
}

// One line of the comparison: the term's end total (and that it is best) or why it has none.
std::wstring ComparisonRowText(const TDepositPlan& Comparison, std::size_t Row) {
    const TPlanRow& row = Comparison.Rows[Row];
    if (!row.Plan) {
        return row.Error;
    }
    std::wstring text = L"期末本息 " + GroupedYuan(row.Plan->EndTotal) + L" 元，共得利息 " +
                        GroupedYuan(row.Plan->Interest) + L" 元，折合年化 " +
                        YieldText(row.Plan->Yield);
    if (Comparison.Best && *Comparison.Best == Row) {
        text += L"，" + BEST_REMARK;
    }
    return text;
}

// What a bar's tooltip says, on one line.
std::wstring BarText(const TChartYear& Figures, bool Deposit) {
    std::wstring text = L"累计 " + GroupedYuan(Figures.Total) + L" 元，本金 " +
                        GroupedYuan(Figures.Capital) + L" 元，利息 " + GroupedYuan(Figures.Earned) +
                        L" 元";
    if (!Deposit) {
        text += L"，已取出利息 " + GroupedYuan(Figures.Withdrawn) + L" 元";
    }
    return text;
}

// The states of a chart's child: always read-only and focusable, focused where the keys are.
long ChildState(const TChartView& View, std::size_t Child) {
    return STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE |
           (View.Focused == Child ? STATE_SYSTEM_FOCUSED : 0);
}

std::vector<TAccessibleElement> BarElements(const TChartView& View) {
    const TChartLayout& layout = *View.Layout;
    const TChartData& data = *View.Data;
    std::vector<TAccessibleElement> bars;
    for (const TChartBar& bar : layout.Bars) {
        TAccessibleElement element;
        element.Name = L"第 " + IntText(bar.Figures.Year) + L" 年";
        element.Value = BarText(bar.Figures, data.Inputs.Deposit);
        element.Role = ROLE_SYSTEM_GRAPHIC;
        element.State = ChildState(View, bars.size());
        element.Bounds = ToRect(bar.Rect);
        bars.push_back(std::move(element));
    }
    return bars;
}

std::vector<TAccessibleElement> LineElements(const TChartView& View) {
    const TChartLayout& layout = *View.Layout;
    const TDepositPlan& comparison = *View.Comparison;
    std::vector<TAccessibleElement> lines;
    for (std::size_t i = 0; i < comparison.Rows.size(); ++i) {
        if (!comparison.Rows[i].Plan) {
            continue;
        }
        TAccessibleElement element;
        element.Name = TermLabel(comparison.Rows[i].Months);
        element.Value = ComparisonRowText(comparison, i);
        element.Role = ROLE_SYSTEM_GRAPHIC;
        element.State = ChildState(View, lines.size());
        element.Bounds = ToRect(layout.Plot);
        lines.push_back(std::move(element));
    }
    return lines;
}

} // namespace

std::wstring GrowthChartSummary(const TChartData& Data) {
    if (Data.Years.empty()) {
        return CHART_EMPTY_TEXT;
    }
    const TChartYear& last = Data.Years.back();
    std::wstring text = IntText(last.Year) + L" 年，期末本息 " + GroupedYuan(last.Total) +
                        L" 元，共得利息 " + GroupedYuan(last.Earned + last.Withdrawn) + L" 元";
    if (!Data.Inputs.Deposit) {
        text += L"，其中已取出 " + GroupedYuan(last.Withdrawn) + L" 元";
    }
    return text;
}

std::wstring ComparisonSummary(const TDepositPlan& Comparison) {
    std::wstring text = ScenarioLine(Comparison.Scenario);
    if (!text.empty()) {
        text += L"。";
    }
    for (std::size_t i = 0; i < Comparison.Rows.size(); ++i) {
        text += (i == 0 ? L"" : L"；") + TermLabel(Comparison.Rows[i].Months) + L" " +
                ComparisonRowText(Comparison, i);
    }
    if (Comparison.Best) {
        text += L"。" + BEST_REMARK + L"：" + TermLabel(Comparison.Rows[*Comparison.Best].Months);
    }
    return text;
}

TAccessibleAnswer ChartAnswer(std::function<TChartView()> View) {
    const auto shared = std::make_shared<std::function<TChartView()>>(std::move(View));
    TAccessibleAnswer answer;
    answer.Name = [shared] {
        const TChartView view = (*shared)();
        return view.Comparison != nullptr ? std::wstring(L"存期比较") : ChartTitle(*view.Data);
    };
    answer.Description = [shared] {
        const TChartView view = (*shared)();
        return view.Comparison != nullptr ? ComparisonSummary(*view.Comparison)
                                          : GrowthChartSummary(*view.Data);
    };
    answer.Elements = [shared] {
        const TChartView view = (*shared)();
        return view.Comparison != nullptr ? LineElements(view) : BarElements(view);
    };
    return answer;
}

TAccessibleAnswer ComparisonWindowAnswer(std::function<const TDepositPlan&()> Comparison) {
    TAccessibleAnswer answer;
    answer.Description = [comparison = std::move(Comparison)] {
        return ComparisonSummary(comparison());
    };
    return answer;
}
