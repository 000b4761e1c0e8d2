#include "UTermComparison.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TTermRateTexts SameRates(const std::wstring& Rate) {
    TTermRateTexts rates;
    rates.fill(Rate);
    return rates;
}

} // namespace

TEST(TermComparison, TheSelectedTermsRowIsTheGivenResult) {
    const TYieldoraInputs inputs{.Period = 3};
    // A result that differs from the one the comparison would calculate shows whose row it is.
    TYieldoraInputs other = inputs;
    other.Fund = 20000;
    const TDepositResult selected = CalculateResult(other);
    const TTermComparison comparison = CompareTerms(inputs, SameRates(L"3.6"), true, &selected);
    ASSERT_EQ(comparison.Rows.size(), 5u);
    EXPECT_DOUBLE_EQ(comparison.Rows[2].Result->Totals.EndTotal, selected.Totals.EndTotal);
    EXPECT_DOUBLE_EQ(comparison.Rows[1].Result->Totals.EndTotal,
                     CalculateResult({.Period = 2}).Totals.EndTotal);
}

TEST(TermComparison, ABadRateMarksItsOwnRowOnly) {
    TTermRateTexts rates = SameRates(L"3.6");
    rates[1] = L"abc";
    rates[3] = L"1e400";
    const TTermComparison comparison = CompareTerms({}, rates, true);
    EXPECT_EQ(comparison.Rows[1].Error, L"abc is not a valid float number!");
    EXPECT_EQ(comparison.Rows[3].Error, L"Floating point overflow");
    EXPECT_FALSE(comparison.Rows[1].Result);
    // Equal rates: the one-year term compounds most often and is the best.
    EXPECT_EQ(comparison.Best, 0u);
    EXPECT_EQ(comparison.RowTexts()[1], L"二年期\tabc\t\t\t\t\tabc is not a valid float number!");

    // No row with a yield: no best row and no shortfall.
    const TTermComparison none = CompareTerms({.Fund = 0}, SameRates(L"3.6"), true);
    EXPECT_FALSE(none.Best);
    EXPECT_EQ(none.RowTexts()[0], L"一年期\t3.6\t0\t0\t—\t\t");
}

TEST(TermComparison, RatesKeptInTheirOwnSection) {
    const std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::path("UTermComparison_test.ini"));
    std::filesystem::remove(path);
    EXPECT_EQ(ReadTermRates(path.wstring(), 3.6), (TTermRates{3.6, 3.6, 3.6, 3.6, 3.6}));
    WriteTermRates(path.wstring(), {1.5, 2.1, 2.75, 2.75, 3});
    EXPECT_EQ(ReadTermRates(path.wstring(), 3.6), (TTermRates{1.5, 2.1, 2.75, 2.75, 3}));
    std::filesystem::remove(path);
}

TEST(TermComparison, ChartLinesRunFromTheLeastTotalToTheGreatest) {
    TTermRateTexts rates = SameRates(L"3.6");
    rates[4] = L"x";
    const TTermComparison comparison = CompareTerms({.Year = 10}, rates, true, nullptr, L"");
    const TComparisonChart chart = LayoutComparisonChart(comparison, {0, 0, 101, 51});
    // The row without a result has no line.
    ASSERT_EQ(chart.Lines.size(), 4u);
    for (const TComparisonLine& line : chart.Lines) {
        ASSERT_EQ(line.Points.size(), 11u);
        EXPECT_EQ(line.Points.front().X, 0);
        EXPECT_EQ(line.Points.back().X, 100);
        // Every line starts at the capital, the least total, at the bottom.
        EXPECT_EQ(line.Points.front().Y, 50);
    }
    // The one-year term ends highest.
    EXPECT_EQ(chart.Lines[0].Points.back().Y, 0);
    EXPECT_EQ(chart.Ticks.front().Label, L"10,000");
    EXPECT_EQ(chart.Ticks.front().Y, 50);
    EXPECT_EQ(chart.Ticks.back().Y, 0);

    // The selected term's error marks its row.
    const TTermComparison failed =
        CompareTerms({.Period = 2}, SameRates(L"3.6"), true, nullptr, L"Division by zero");
    EXPECT_EQ(failed.Rows[1].Error, L"Division by zero");
    EXPECT_TRUE(LayoutComparisonChart(CompareTerms({.Year = 0}, rates, true), {0, 0, 10, 10})
                    .Lines.empty());
}

// The one-year term receives nearly the largest double; the two-year term's negative interest
// puts its shortfall beyond the range. Only that row fails; the best and the others stay.
TEST(TermComparison, AShortfallBeyondTheRangeFailsItsOwnRowOnly) {
    TTermRateTexts rates = SameRates(L"3.6");
    rates[0] = L"112.5";
    rates[1] = L"-237.5";
    const TTermComparison comparison = CompareTerms({.Fund = 9e307, .Year = 1}, rates, true);
    EXPECT_EQ(comparison.Best, 0u);
    EXPECT_FALSE(comparison.Rows[1].Result);
    EXPECT_EQ(comparison.RowTexts(),
              (std::vector<std::wstring>{L"一年期\t112.5\t?\t?\t90.00%\t0\t最佳",
                                         L"二年期\t-237.5\t\t\t\t\tFloating point overflow",
                                         L"三年期\t3.6\t?\t?\t2.88%\t?\t",
                                         L"五年期\t3.6\t?\t?\t2.88%\t?\t",
                                         L"十年期\t3.6\t?\t?\t2.88%\t?\t"}));
}
