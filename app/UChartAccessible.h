#pragma once

#include "UChartLayout.h"
#include "UDepositPlan.h"
#include "UkyAccessible.h"

#include <cstddef>
#include <functional>
#include <optional>

// What a chart window shows at the moment a screen reader asks: its layout and data, and the
// comparison when the window shows that instead of the bars.
struct TChartView {
    const TChartLayout* Layout = nullptr;
    const TChartData* Data = nullptr;
    const TDepositPlan* Comparison = nullptr;
    // The child the arrow keys are on, counted from 0; none before a key moved there.
    std::optional<std::size_t> Focused;
};

// The spoken form of a growth chart: named by its title, described by the years, the end total
// and the interest, with one child per bar. Showing a comparison instead: named "存期比较",
// described by each term's end total and the best term, with one child per term's line. Every
// child can take the focus; the focused one says so.
TAccessibleAnswer ChartAnswer(std::function<TChartView()> View);

// The spoken form of a window that draws a comparison's chart among its controls: described by
// ComparisonSummary of what Comparison gives at the moment, its controls its children as ever.
TAccessibleAnswer ComparisonWindowAnswer(std::function<const TDepositPlan&()> Comparison);

// The description of the growth chart of Data ("20 年，期末本息 17,645 元，共得利息 7,645 元");
// without years, what the chart then says in words.
std::wstring GrowthChartSummary(const TChartData& Data);

// The description of a comparison: every term's end total, or its error, and the best term.
std::wstring ComparisonSummary(const TDepositPlan& Comparison);
