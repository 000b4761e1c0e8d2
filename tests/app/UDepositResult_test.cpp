#include "UDepositResult.h"

#include "ErrorOf.h"
#include "UkyUtf8.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TYieldoraInputs Inputs(std::uint8_t Period, bool Deposit, std::uint8_t Year = 20) {
    return {
        .Fund = 10000, .Period = Period, .Rate = 3.6, .Tax = 20, .Year = Year, .Deposit = Deposit};
}

std::wstring YieldOf(const std::vector<double>& Flows) {
    return YieldText(EffectiveYield(Flows));
}

} // namespace

// The yields below come from LibreOffice Calc's IRR over the same flows (soffice --headless,
// a CSV of the flows and =IRR(...) converted to CSV), unless said otherwise.
TEST(DepositResult, YieldIsTheInternalRateOfTheCashFlows) {
    // Term 1 re-deposited: 2.88 % compounded yearly, by hand.
    EXPECT_EQ(YieldText(CalculateResult(Inputs(1, true)).Totals.Yield), L"2.88%");
    // Term 5 re-deposited, 20 years: 1.144^(1/5) - 1 = 0.027271, by hand.
    const TDepositResult fiveYears = CalculateResult(Inputs(5, true));
    EXPECT_EQ(YieldText(fiveYears.Totals.Yield), L"2.73%");
    // Term 3, interest taken out: 864 at years 3..18, 10576 at year 20; IRR 0.0280377655627144.
    const TDepositResult threeYears = CalculateResult(Inputs(3, false));
    EXPECT_NEAR(*threeYears.Totals.Yield, 0.0280377655627144, 1e-12);
    EXPECT_EQ(YieldText(threeYears.Totals.Yield), L"2.80%");
    // Term 10 taken out over 25 years: 2880 at 10 and 20, 11440 at 25; IRR 0.0258698862697688.
    EXPECT_EQ(YieldText(CalculateResult(Inputs(10, false, 25)).Totals.Yield), L"2.59%");
    // Term 2 at 5 % without tax over 7 years: 1000 at 2, 4, 6, 10500 at 7; IRR 0.0489526094917205.
    TYieldoraInputs noTax = Inputs(2, false, 7);
    noTax.Rate = 5;
    noTax.Tax = 0;
    EXPECT_EQ(YieldText(CalculateResult(noTax).Totals.Yield), L"4.90%");
    // Term 1 taken out every year: 288 a year on 10000 is 2.88 % exactly (IRR 0.0288).
    EXPECT_NEAR(*CalculateResult(Inputs(1, false)).Totals.Yield, 0.0288, 1e-15);
}

TEST(DepositResult, NoYieldWithoutMoneyInAndOut) {
    EXPECT_EQ(YieldOf({}), L"—");
    EXPECT_EQ(YieldOf({-100}), L"—");
    EXPECT_EQ(YieldOf({0, 100}), L"—");
    EXPECT_EQ(YieldOf({-100, 0}), L"—");
    EXPECT_EQ(YieldOf({-100, -5}), L"—");
    // No years: the capital comes back at once.
    const TDepositResult none = CalculateResult(Inputs(1, true, 0));
    EXPECT_FALSE(none.Totals.Yield);
    EXPECT_EQ(none.CashFlows, std::vector<double>{0});
    EXPECT_EQ(TotalsLine(none), L"0 年共得利息 0 元，期末本息 10,000 元");
    // Losses have a yield too: 100 in, 50 back after a year, by hand.
    EXPECT_EQ(YieldOf({-100, 50}), L"-50.00%");
    // Beyond the search's range (a millionfold a year) there is none.
    EXPECT_EQ(YieldOf({-1, 1e300}), L"—");
    EXPECT_EQ(YieldOf({-100, 10000}), L"9900.00%");
}

TEST(DepositResult, CashFlowsAndTotals) {
    const TDepositResult taken = CalculateResult(Inputs(3, false, 7));
    // The interest of year 6 is taken out; year 7's total is taken out at the end.
    EXPECT_EQ(taken.CashFlows, (std::vector<double>{-10000, 0, 0, 864, 0, 0, 864, 10288}));
    EXPECT_DOUBLE_EQ(taken.Totals.Interest, 7 * 288);
    EXPECT_DOUBLE_EQ(taken.Totals.TakenOut, 1728);
    EXPECT_DOUBLE_EQ(taken.Totals.EndTotal, 10288);
    EXPECT_DOUBLE_EQ(taken.Totals.Received(), 12016);

    // A last year that is a maturity counts its interest once, in the end total.
    const TDepositResult lastMaturity = CalculateResult(Inputs(3, false, 6));
    EXPECT_EQ(lastMaturity.CashFlows, (std::vector<double>{-10000, 0, 0, 864, 0, 0, 10864}));
    EXPECT_EQ(TotalsLine(lastMaturity),
              L"6 年共得利息 1,728 元，其中已取出 864 元，期末本息 10,864 元，折合年化 2.80%");

    EXPECT_EQ(TotalsLine(CalculateResult(Inputs(1, true))),
              L"20 年共得利息 7,645 元，期末本息 17,645 元，折合年化 2.88%");
    EXPECT_EQ(TotalsLine(CalculateResult(Inputs(1, false))),
              L"20 年共得利息 5,760 元，其中已取出 5,472 元，期末本息 10,288 元，折合年化 2.88%");
    // Term 5 re-deposited: 10000 * 1.144^4 = 17127.8992, by hand.
    EXPECT_EQ(TotalsLine(CalculateResult(Inputs(5, true))),
              L"20 年共得利息 7,128 元，期末本息 17,128 元，折合年化 2.73%");
}

TEST(DepositResult, RowsAreTheTablesAndStopWhereTheTableStops) {
    TYieldoraInputs inputs = Inputs(1, false, 2);
    const TDepositResult result = CalculateResult(inputs);
    EXPECT_EQ(result.RowTexts(), (std::vector<std::wstring>{L"1\t288\t10288\t取出利息288元",
                                                            L"2\t288\t10288\t取出全部本息"}));
    EXPECT_EQ(result.RowsError, L"");

    inputs.Step = 0;
    const TDepositResult noStep = CalculateResult(inputs);
    EXPECT_TRUE(noStep.Rows.empty());
    EXPECT_EQ(noStep.RowsError, L"Division by zero");
    // The totals do not depend on the rows shown.
    EXPECT_EQ(TotalsLine(noStep), TotalsLine(result));

    // Figures beyond the whole-yuan range end the rows; the totals still say something.
    TYieldoraInputs huge = Inputs(1, true, 200);
    huge.Rate = 100;
    huge.Tax = 0;
    const TDepositResult doubling = CalculateResult(huge);
    EXPECT_EQ(doubling.RowsError, L"Invalid floating point operation");
    EXPECT_EQ(doubling.Rows.size(), 49u);
    EXPECT_EQ(YieldText(doubling.Totals.Yield), L"100.00%");

    inputs.Period = 0;
    EXPECT_EQ(ErrorOf([&] { CalculateResult(inputs); }), L"Division by zero");
}

TEST(DepositResult, YieldTextHasTwoDecimals) {
    EXPECT_EQ(YieldText(0.05), L"5.00%");
    EXPECT_EQ(YieldText(0.123456), L"12.35%");
    EXPECT_EQ(YieldText(-0.0005), L"-0.05%");
    EXPECT_EQ(YieldText(0.00004), L"0.00%");
}
