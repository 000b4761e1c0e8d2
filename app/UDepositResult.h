#pragma once

#include "UResultTable.h"
#include "USchedule.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What a calculation gives in sum, in yuan (unrounded; the texts round to whole yuan).
struct TDepositTotals {
    double Interest = 0; // all interest earned over the years, after tax
    double TakenOut = 0; // the interest taken out at the maturities before the last year
    double EndTotal = 0; // the last year's total, taken out at the end
    // The effective annual yield (0.0288 for 2.88 %); none when the cash flows have no rate of
    // return above -100 % (no years, no capital, nothing received).
    std::optional<double> Yield;

    // Everything the saver receives: the interest taken out and the end total.
    double Received() const { return TakenOut + EndTotal; }
};

// One calculation: its inputs, the schedule, the table's rows, the saver's cash flows and the
// totals. The table, the totals line, the chart, the comparison, the copy, the saved files and
// the command line all read this one value.
struct TDepositResult {
    TYieldoraInputs Inputs;
    TSchedule Schedule;
    // The rows the table shows; when a row cannot be shown (a zero Step, a figure beyond the
    // whole-yuan range) they end before it and RowsError says why.
    std::vector<TResultRow> Rows;
    std::wstring RowsError;
    // Indexed by year, 0..Year: the capital paid in at the start (negative), the interest taken
    // out at each maturity before the last year, and the last year's total at the end.
    std::vector<double> CashFlows;
    TDepositTotals Totals;

    // The table's source over this result's inputs and schedule; valid while the result lives.
    TResultSource Source() const;
    // The texts of the rows.
    std::vector<std::wstring> RowTexts() const;
};

// The result of the inputs. Raises as CalculateSchedule does ("Floating point overflow",
// "Division by zero" for a zero Period); a row that cannot be shown is told in RowsError.
TDepositResult CalculateResult(const TYieldoraInputs& Inputs);

// The rate r at which the cash flows, flow i discounted by (1 + r)^i, sum to zero: the internal
// rate of return, found by bisection between -100 % and 10^8 %. Needs money paid in at the start
// (a negative first flow) and money received at the end (a positive last flow); none otherwise.
std::optional<double> EffectiveYield(std::span<const double> CashFlows);

// The factor X = 1 + r at which Value, the flows scaled to X (positive near 0, negative for a
// large X), changes sign: a bracket found by doubling from 2, then halved until it holds no more
// numbers. None where no X below 10^6 brings the value below 0.
std::optional<long double> YieldFactor(const std::function<long double(long double)>& Value);

// A yield as a percentage with two decimals, halves to even ("2.88%"); "—" for none.
std::wstring YieldText(const std::optional<double>& Yield);

// The line under the table: "20 年共得利息 7,645 元，期末本息 17,645 元，折合年化 2.88%", with
// the interest taken out ("其中已取出 5,472 元") when the inputs take it out, and without the
// yield when there is none. Whole yuan, halves to even, as the table shows them.
std::wstring TotalsLine(const TDepositResult& Result);

// What the yield means, for the totals line's tooltip and the comparison.
inline const std::wstring YIELD_MEANING =
    L"折合年化：按税后现金流计算的内部收益率（IRR）——期初投入本金，到期取出的利息按取出的年份计，"
    L"最后一年的累计在期末取出；利息转存时即 (期末本息 ÷ 本金)^(1 ÷ 年数) − 1。";
