#include "UDepositResult.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyMath.h"

#include <cmath>

namespace {

// The sum of Flows[i] * X^(N - i), N the last index: the flows' present value times (1 + r)^N
// for X = 1 + r, so of the same sign for every X > 0. Horner's rule needs no division.
long double ScaledValue(std::span<const double> Flows, long double X) {
    long double value = 0;
    for (const double flow : Flows) {
        value = value * X + flow;
    }
    return value;
}

} // namespace

TResultSource TDepositResult::Source() const {
    return {Inputs, Schedule.Interest, Schedule.Total, Schedule.Withdrawn};
}

std::vector<std::wstring> TDepositResult::RowTexts() const {
    std::vector<std::wstring> texts;
    texts.reserve(Rows.size());
    for (const TResultRow& row : Rows) {
        texts.push_back(row.Text);
    }
    return texts;
}

TDepositResult CalculateResult(const TYieldoraInputs& Inputs) {
    TDepositResult result{Inputs, CalculateSchedule(Inputs), {}, {}, {}, {}};
    try {
        ProduceResultRows(result.Source(),
                          [&result](const TResultRow& Row) { result.Rows.push_back(Row); });
    } catch (const EkyError& e) {
        result.RowsError = e.Message();
    }

    const std::size_t last = Inputs.Year;
    const TSchedule& schedule = result.Schedule;
    result.CashFlows.assign(last + 1, 0.0);
    result.CashFlows[0] = -Inputs.Fund;
    long double interest = 0;
    long double takenOut = 0;
    for (std::size_t i = 1; i < last; ++i) {
        interest += schedule.Interest[i];
        takenOut += schedule.Withdrawn[i];
        result.CashFlows[i] = schedule.Withdrawn[i];
    }
    if (last > 0) {
        interest += schedule.Interest[last];
    }
    // The last year's total, interest of a last maturity included, is taken out at the end.
    result.CashFlows[last] += schedule.Total[last];
    result.Totals.Interest = StoreDouble(interest);
    result.Totals.TakenOut = StoreDouble(takenOut);
    result.Totals.EndTotal = schedule.Total[last];
    result.Totals.Yield = EffectiveYield(result.CashFlows);
    return result;
}

std::optional<double> EffectiveYield(std::span<const double> CashFlows) {
    if (CashFlows.size() < 2 || !(CashFlows.front() < 0) || !(CashFlows.back() > 0)) {
        return std::nullopt;
    }
    // Near X = 0 the value is the last flow (positive); for a large X the first flow's term
    // (negative) outweighs the others. Find an X above the root, then halve the bracket.
    const std::optional<long double> factor =
        YieldFactor([CashFlows](long double X) { return ScaledValue(CashFlows, X); });
    if (!factor) {
        return std::nullopt;
    }
    return static_cast<double>(*factor - 1);
}

std::optional<long double> YieldFactor(const std::function<long double(long double)>& Value) {
    constexpr long double most = 1e6L;
    long double low = 0;
    long double high = 2;
    while (Value(high) >= 0) {
        low = high;
        high *= 2;
        if (high > most) {
            return std::nullopt;
        }
    }
    for (int i = 0; i < 200; ++i) {
        const long double middle = (low + high) / 2;
        if (middle <= low || middle >= high) {
            break;
        }
        (Value(middle) >= 0 ? low : high) = middle;
    }
    return (low + high) / 2;
}

std::wstring YieldText(const std::optional<double>& Yield) {
    if (!Yield || !std::isfinite(*Yield)) {
        return L"—";
    }
    const std::int64_t hundredths = RoundToInt64(static_cast<long double>(*Yield) * 10000);
    const std::int64_t whole = (hundredths < 0 ? -hundredths : hundredths);
    const std::wstring fraction = IntText(whole % 100);
    return (hundredths < 0 ? L"-" : L"") + IntText(whole / 100) + L"." +
           (fraction.size() < 2 ? L"0" : L"") + fraction + L"%";
}

std::wstring TotalsLine(const TDepositResult& Result) {
    const TDepositTotals& totals = Result.Totals;
    std::wstring line =
        IntText(Result.Inputs.Year) + L" 年共得利息 " + GroupedYuan(totals.Interest) + L" 元，";
    if (!Result.Inputs.Deposit) {
        line += L"其中已取出 " + GroupedYuan(totals.TakenOut) + L" 元，";
    }
    line += L"期末本息 " + GroupedYuan(totals.EndTotal) + L" 元";
    if (totals.Yield) {
        line += L"，折合年化 " + YieldText(totals.Yield);
    }
    return line;
}
