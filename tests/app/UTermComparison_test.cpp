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
