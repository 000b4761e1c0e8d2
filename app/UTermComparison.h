#pragma once

#include "UChartLayout.h"
#include "UDepositResult.h"
#include "UYieldora.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One annual rate per term, in the order of DEPOSIT_TERMS.
using TTermRates = std::array<double, DEPOSIT_TERMS.size()>;
// The rates as typed, in the same order.
using TTermRateTexts = std::array<std::wstring, DEPOSIT_TERMS.size()>;

// One term of a comparison: its rate as given, and its result or why there is none.
struct TComparisonRow {
    std::uint8_t Period = 1;
    std::wstring RateText;
    std::optional<TDepositResult> Result;
    std::wstring Error; // the message a bad rate or a failed calculation gives; empty with a result
    double Behind = 0;  // how much less than the best row it receives in all, in yuan
};

// The inputs run through every term, each at its own rate.
struct TTermComparison {
    TYieldoraInputs Inputs;
    std::vector<TComparisonRow> Rows;
    // The row with the highest effective yield (the shorter term on a tie); none when no row has
    // a yield.
    std::optional<std::size_t> Best;

    // The table's captions; "已取出" only when the interest is taken out.
    std::vector<std::wstring_view> Captions() const;
    // One text per row, its cells joined by TAB: the term, the rate, the interest, the amount
    // taken out, the end total, the yield, the shortfall against the best (whole yuan, halves to
    // even) and the remark: "最佳" for the best row, the error for a row without result.
    std::vector<std::wstring> RowTexts() const;
};

// The remark of the best row.
inline const std::wstring BEST_REMARK = L"最佳";

// Runs Inputs through every term at the rate RateTexts holds for it (read as the rate field is
// read: TextToReal with UseDot, stored into a double). Inputs.Period's row is Selected when that
// is given (the result of Inputs as they stand, so that the row is that very calculation);
// otherwise it is calculated at its own rate too; with a SelectedError (the message the
// selected calculation gave) the row has that instead. A rate that cannot be read, or a
// calculation that fails, leaves its own row without result and with the message; the others
// stand.
TTermComparison CompareTerms(const TYieldoraInputs& Inputs, const TTermRateTexts& RateTexts,
                             bool UseDot, const TDepositResult* Selected = nullptr,
                             const std::wstring& SelectedError = {});

// The comparison as lines of the end total by year, one per row with a result, in a plot area.
struct TComparisonLine {
    std::size_t Row = 0;
    std::vector<TChartPoint> Points; // year 0 to the last year, left to right
};
struct TComparisonChart {
    TChartRect Plot;
    std::vector<TChartTick> Ticks; // from the bottom up, labelled in whole yuan
    std::vector<TComparisonLine> Lines;
};

// Lays the lines out in Plot: the years across, the totals from the least (at the bottom) to the
// greatest (at the top) upwards. No lines without years or without a row with a result.
TComparisonChart LayoutComparisonChart(const TTermComparison& Comparison, TChartRect Plot);

// The rates of the profile FileName's section "TermRates" ("Rate1" ... "Rate10"); a term without
// a readable rate gets Default.
TTermRates ReadTermRates(const std::wstring& FileName, double Default);
// Writes the rates to the section "TermRates", in the form ReadTermRates reads back.
void WriteTermRates(const std::wstring& FileName, const TTermRates& Rates);
