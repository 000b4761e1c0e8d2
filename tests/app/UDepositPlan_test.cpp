#include "UDepositPlan.h"

#include "UDepositResult.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyMath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

constexpr double CENT = 1e-6;

TPlanScenario NeedAt(std::int32_t Month, std::optional<double> Amount = std::nullopt) {
    return {.NeedMonth = Month, .NeedAmount = Amount};
}

using TYearRateTexts = std::array<std::wstring, DEPOSIT_TERMS.size()>;

std::vector<TPlanRate> YearTermRates(const TYearRateTexts& Texts) {
    std::vector<TPlanRate> rates;
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        rates.push_back({DEPOSIT_TERMS[i].Years * 12, Texts[i]});
    }
    return rates;
}

} // namespace

// The banks' own arithmetic: no tax, demand rate 0.05 %, 30-day months, 360-day years.
TEST(DepositPlan, TheBanksFiguresForMoneyTakenOutEarly) {
    const TYieldoraInputs inputs{.Fund = 100000, .Tax = 0, .Year = 3};
    // Three years at 1.25 %, all taken out at month 18: 100,000 × 0.05 % × 540 / 360.
    const TTermPlan all = PlanTerm(inputs, 36, 1.25, NeedAt(18));
    EXPECT_NEAR(all.Interest, 75.00, CENT);
    EXPECT_NEAR(all.EndTotal, 100075.00, CENT);
    EXPECT_EQ(all.TakenOut, 0);
    EXPECT_EQ(all.CashFlows.size(), 19u);
    EXPECT_NEAR(all.Loss, 1875.00 - 75.00, CENT);
    EXPECT_NEAR(*all.Yield, 0.000499937520824, 1e-12);

    // One year at 0.95 %, renewed once, taken out at month 18: 950 + 100,950 × 0.05 % × 180 / 360
    // (25.2375, paid as 25.24).
    const TTermPlan renewed = PlanTerm(inputs, 12, 0.95, NeedAt(18));
    EXPECT_NEAR(renewed.Interest, 975.24, CENT);
    EXPECT_NEAR(renewed.Loss, 479.5125 - 25.24, CENT);

    // 30,000 of the three-year one at month 18: 22.50; the 70,000 left earn 2,625.00 at maturity.
    const TTermPlan part = PlanTerm(inputs, 36, 1.25, NeedAt(18, 30000));
    EXPECT_NEAR(part.TakenOut, 30022.50, CENT);
    EXPECT_NEAR(part.EndTotal, 72625.00, CENT);
    EXPECT_NEAR(part.Interest, 22.50 + 2625.00, CENT);
    EXPECT_NEAR(part.Loss, 562.50 - 22.50, CENT);
    EXPECT_NEAR(*part.Yield, 0.010263990119925, 1e-12);
}

// Two years at 2.5 % less 20 % tax (2 % a year), interest taken out, over five years: 400 at
// months 24 and 48, and at month 60 the third certificate's first year, 200, pro rata. The yield
// is the IRR of -10000, 0, 400, 0, 400, 10200 by year (1.98413 %).
TEST(DepositPlan, InterestTakenOutWithTaxAndACertificateRunningAtTheEnd) {
    const TTermPlan plan =
        PlanTerm({.Fund = 10000, .Rate = 2.5, .Tax = 20, .Year = 5, .Deposit = false}, 24, 2.5, {});
    EXPECT_NEAR(plan.TakenOut, 800, CENT);
    EXPECT_NEAR(plan.EndTotal, 10200, CENT);
    EXPECT_NEAR(plan.Interest, 1000, CENT);
    EXPECT_EQ(plan.MaturityYear, 6);
    EXPECT_EQ(plan.Loss, 0);
    EXPECT_NEAR(*plan.Yield, 0.0198413002274886, 1e-12);
    const std::vector<double> years{10000, 10200, 10400, 10200, 10400, 10200};
    for (std::size_t i = 0; i < years.size(); ++i) {
        EXPECT_NEAR(plan.YearTotals[i], years[i], CENT) << i;
    }
}

// A need at a maturity is paid from what the maturity pays out, then from the principal, at no
// loss; a remainder under 50 yuan closes the certificate, one of 50 runs on.
TEST(DepositPlan, PartsTakenAtAndBetweenMaturities) {
    const TYieldoraInputs inputs{.Fund = 10000, .Tax = 0, .Year = 3};
    // 10,300 at month 12, 1,000 of it taken: 9,300 earn 3 % twice over.
    const TTermPlan again = PlanTerm(inputs, 12, 3, NeedAt(12, 1000));
    EXPECT_NEAR(again.TakenOut, 1000, CENT);
    EXPECT_NEAR(again.EndTotal, 9300 * 1.03 * 1.03, CENT);
    EXPECT_EQ(again.Loss, 0);
    // With the interest taken out: 300 of the 1,000 is the interest, 700 the principal.
    TYieldoraInputs withdraw = inputs;
    withdraw.Deposit = false;
    const TTermPlan out = PlanTerm(withdraw, 12, 3, NeedAt(12, 1000));
    EXPECT_NEAR(out.TakenOut, 1000 + 279, CENT);
    EXPECT_NEAR(out.EndTotal, 9579, CENT);
    // A need below the interest a maturity pays out changes nothing.
    EXPECT_NEAR(PlanTerm(withdraw, 12, 3, NeedAt(12, 100)).Received(),
                PlanTerm(withdraw, 12, 3, {}).Received(), CENT);

    // Three years at 3 %, 20 % tax (demand 0.04 % net), at month 6: 9,960 would leave 40, so all
    // 10,000 go (demand interest 2.00, the three-year interest lost 120); 9,950 leave 50.
    const TYieldoraInputs taxed{.Fund = 10000, .Tax = 20, .Year = 3};
    const TTermPlan closed = PlanTerm(taxed, 36, 3, NeedAt(6, 9960));
    EXPECT_EQ(closed.EndMonth, 6);
    EXPECT_NEAR(closed.EndTotal, 10002, CENT);
    EXPECT_NEAR(closed.Loss, 118, CENT);
    EXPECT_EQ(closed.YearTotals, (std::vector<double>{10000, 0, 0, 0}));
    const TTermPlan kept = PlanTerm(taxed, 36, 3, NeedAt(6, 9950));
    EXPECT_NEAR(kept.TakenOut, 9951.99, CENT);
    EXPECT_NEAR(kept.EndTotal, 53.6, CENT);
    EXPECT_NEAR(kept.Loss, 119.40 - 1.99, CENT);
    // More than the deposit holds takes it all.
    EXPECT_NEAR(PlanTerm(taxed, 36, 3, NeedAt(6, 1e9)).EndTotal, 10002, CENT);
}

TEST(DepositPlan, RatesChangeAtRenewalAndStopAtZero) {
    EXPECT_EQ(RenewalRate(2, -0.5, 11), 2);
    EXPECT_EQ(RenewalRate(2, -0.5, 12), 1.5);
    EXPECT_EQ(RenewalRate(2, -0.5, 60), 0);
    EXPECT_EQ(RenewalRate(2, 0.25, 36), 2.75);
    EXPECT_EQ(RenewalRate(-1, 0, 60), -1);
    // One year at 2 %, 1.5 %, 1 %, 0.5 %, then 0: 10,000 × 1.02 × 1.015 × 1.01 × 1.005.
    const TTermPlan plan =
        PlanTerm({.Fund = 10000, .Tax = 0, .Year = 6}, 12, 2, {.RateChange = -0.5});
    EXPECT_NEAR(plan.EndTotal, 10508.81265, CENT);
    EXPECT_NEAR(plan.YearTotals[5], 10508.81265, CENT);
}

TEST(DepositPlan, TheDepositInsuranceNoteNamesTheYear) {
    // 480,000 at 2 %: 489,600, 499,392, then 509,379.84 in year 3.
    const std::vector<TPlanRate> rates{{12, L"2"}, {36, L"2"}};
    const TDepositPlan plan = PlanDeposit({.Fund = 480000, .Tax = 0, .Year = 3}, {}, rates, true);
    EXPECT_EQ(plan.Rows[0].Plan->InsuranceYear, 3);
    EXPECT_EQ(plan.RowTexts()[0],
              L"一年期\t2\t29380\t509380\t2.00%\t0\t最佳；第 3 年本息超过 50 万元存款保险限额");
    EXPECT_EQ(PlanTerm({.Fund = 600000, .Year = 1}, 12, 1, {}).InsuranceYear, 1);
    EXPECT_EQ(PlanTerm({.Fund = 10000, .Year = 1}, 12, 1, {}).InsuranceYear, 0);
}

TEST(DepositPlan, CaptionsRemarksAndTheScenariosMessages) {
    const std::vector<TPlanRate> rates{{3, L"0.65"}, {6, L"x"}, {120, L"1.3"}};
    const TDepositPlan plan =
        PlanDeposit({.Fund = 100000, .Tax = 0, .Year = 2}, NeedAt(18), rates, true);
    EXPECT_EQ(plan.Captions(), (std::vector<std::wstring_view>{
                                   L"存期", L"年利率", L"共得利息", L"已取出", L"期末本息",
                                   L"折合年化", L"比最佳少", L"提前支取损失", L"备注"}));
    // Six quarters at 0.65 % (100,000 × 1.001625^6 = 100,978.97) end at a maturity in month 18,
    // at no loss; the ten-year certificate earns the demand rate for 18 months, 75 instead of
    // 1,950.
    EXPECT_EQ(plan.Best, 0u);
    EXPECT_EQ(plan.RowTexts(),
              (std::vector<std::wstring>{L"三个月\t0.65\t979\t0\t100979\t0.65%\t0\t0\t最佳",
                                         L"六个月\tx\t\t\t\t\t\t\tx is not a valid float number!",
                                         L"十年期\t1.3\t75\t0\t100075\t0.05%\t904\t1875\t"}));

    const TDepositPlan open =
        PlanDeposit({.Year = 6}, {}, std::vector<TPlanRate>{{120, L"1"}}, true);
    EXPECT_EQ(open.Captions().size(), 7u);
    EXPECT_EQ(open.RowTexts()[0], L"十年期\t1\t480\t10480\t0.78%\t0\t最佳；未到期，第 10 年到期");

    const auto message = [](const TPlanScenario& Scenario, std::uint8_t Year) {
        try {
            CheckScenario(Scenario, Year);
        } catch (const EkyError& e) {
            return e.Message();
        }
        return std::wstring();
    };
    EXPECT_EQ(message(NeedAt(25), 2),
              L"The money needed in month 25 falls outside the 24 months planned!");
    EXPECT_EQ(message(NeedAt(24), 2), L"");
    EXPECT_EQ(message(NeedAt(3, 0), 2), L"The amount needed must be above 0, not 0!");
    EXPECT_EQ(message(NeedAt(3, -5.5), 2), L"The amount needed must be above 0, not -5.5!");
}

TEST(DepositPlan, TheScenarioKeptInTheProfilesOwnSection) {
    const std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::path("UDepositPlan_test.ini"));
    std::filesystem::remove(path);
    EXPECT_EQ(ReadPlannerProfile(path.wstring()), TPlannerProfile{});
    const TPlannerProfile kept{
        {.RateChange = -0.15, .DemandRate = 0.1, .NeedMonth = 18, .NeedAmount = 30000},
        {std::nullopt, 0.85}};
    EXPECT_TRUE(WritePlannerProfile(path.wstring(), kept));
    EXPECT_EQ(ReadPlannerProfile(path.wstring()), kept);

    std::ofstream(path, std::ios::binary)
        << "[Planner]\r\nRateChange=x\r\nDemandRate=1e999\r\nNeedMonth=-3\r\nNeedAmount=abc\r\n"
           "Rate3m=\r\n";
    EXPECT_EQ(ReadPlannerProfile(path.wstring()), TPlannerProfile{});
    std::filesystem::remove(path);
}

// With no change and nothing needed early, the terms of years give the yearly schedule's figures
// and today's comparison to the yuan, over inputs drawn at random (seeded: the same every run).
TEST(DepositPlan, WithoutAScenarioTheTermsOfYearsAreTheYearlySchedule) {
    std::mt19937 random(20261208);
    const auto uniform = [&random](double Low, double High) {
        return std::uniform_real_distribution<double>(Low, High)(random);
    };
    const auto yuan = [](double Value) { return RoundToInt64(Value); };
    for (int run = 0; run < 300; ++run) {
        const TYieldoraInputs inputs{
            .Fund = uniform(100, 2e6),
            .Rate = uniform(0, 5),
            .Tax = run % 3 == 0 ? 0 : uniform(0, 30),
            .Year = static_cast<std::uint8_t>(run % 50 == 0 ? 255 : random() % 41),
            .Deposit = run % 2 == 0,
        };
        TYearRateTexts texts;
        for (std::wstring& text : texts) {
            text = std::to_wstring(uniform(0.5, 4.5));
        }
        const TDepositPlan plan = PlanDeposit(inputs, {}, YearTermRates(texts), true);
        // Each term calculated on its own by the yearly schedule; the best the highest yield, the
        // shorter term on a tie.
        std::vector<TDepositResult> results;
        std::optional<std::size_t> best;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            TYieldoraInputs term = inputs;
            term.Period = DEPOSIT_TERMS[i].Years;
            term.Rate = StoreDouble(TextToReal(texts[i], true));
            results.push_back(CalculateResult(term));
            const std::optional<double> yield = results.back().Totals.Yield;
            if (yield && (!best || *yield > *results[*best].Totals.Yield)) {
                best = i;
            }
        }
        ASSERT_EQ(plan.Best, best) << run;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const TDepositResult& result = results[i];
            const TTermPlan& term = *plan.Rows[i].Plan;
            EXPECT_EQ(yuan(term.Interest), yuan(result.Totals.Interest)) << run << " " << i;
            EXPECT_EQ(yuan(term.TakenOut), yuan(result.Totals.TakenOut)) << run << " " << i;
            EXPECT_EQ(yuan(term.EndTotal), yuan(result.Totals.EndTotal)) << run << " " << i;
            if (best) {
                EXPECT_EQ(yuan(plan.Rows[i].Behind),
                          yuan(results[*best].Totals.Received() - result.Totals.Received()))
                    << run << " " << i;
            }
            ASSERT_EQ(term.Yield.has_value(), result.Totals.Yield.has_value()) << run;
            if (term.Yield) {
                EXPECT_NEAR(*term.Yield, *result.Totals.Yield, 1e-9) << run << " " << i;
            }
            for (std::size_t year = 0; year <= inputs.Year; ++year) {
                EXPECT_EQ(yuan(term.YearTotals[year]), yuan(result.Schedule.Total[year]))
                    << run << " " << i << " " << year;
            }
        }
    }
}

// The one-year term receives nearly the largest double; the two-year term's negative interest
// puts its shortfall beyond the range. Only that row fails; the best and the others stay.
TEST(DepositPlan, AShortfallBeyondTheRangeFailsItsOwnRowOnly) {
    const TDepositPlan plan =
        PlanDeposit({.Fund = 9e307, .Year = 1}, {},
                    YearTermRates({L"112.5", L"-237.5", L"3.6", L"3.6", L"3.6"}), true);
    EXPECT_EQ(plan.Best, 0u);
    EXPECT_FALSE(plan.Rows[1].Plan);
    EXPECT_EQ(plan.RowTexts()[1], L"二年期\t-237.5\t\t\t\t\tFloating point overflow");
}

// The lines' axis has round figures and round years, and a row given an error has no line.
TEST(DepositPlan, TheChartsAxesHaveRoundFigures) {
    std::vector<TPlanRate> rates = YearTermRates({L"3.6", L"3.6", L"3.6", L"3.6", L"x"});
    rates[1].Error = L"Division by zero";
    const TDepositPlan plan = PlanDeposit({.Year = 10}, {}, rates, true);
    EXPECT_EQ(plan.Rows[1].Error, L"Division by zero");
    const TComparisonChart chart = LayoutComparisonChart(plan, {0, 0, 101, 51});
    ASSERT_EQ(chart.Lines.size(), 3u);
    for (const TComparisonLine& line : chart.Lines) {
        ASSERT_EQ(line.Points.size(), 11u);
        EXPECT_EQ(line.Points.front().X, 0);
        EXPECT_EQ(line.Points.back().X, 100);
    }
    // From 10,000 to the one-year term's 13,323 in steps of 1,000.
    std::vector<std::wstring> labels;
    for (const TChartTick& tick : chart.Ticks) {
        labels.push_back(tick.Label);
    }
    EXPECT_EQ(labels,
              (std::vector<std::wstring>{L"10,000", L"11,000", L"12,000", L"13,000", L"14,000"}));
    EXPECT_EQ(chart.Ticks.front().Y, 50);
    EXPECT_EQ(chart.Ticks.back().Y, 0);
    std::vector<std::wstring> years;
    for (const TChartYearLabel& year : chart.YearLabels) {
        years.push_back(year.Label);
    }
    EXPECT_EQ(years, (std::vector<std::wstring>{L"0", L"2", L"4", L"6", L"8", L"10 年"}));
    EXPECT_EQ(chart.YearLabels[1].X, 20);

    // Over 255 years the years go by hundreds, and the last one is named too.
    years.clear();
    for (const TChartYearLabel& year :
         LayoutComparisonChart(
             PlanDeposit({.Year = 255}, {}, YearTermRates({L"1", L"1", L"1", L"1", L"1"}), true),
             {0, 0, 256, 100})
             .YearLabels) {
        years.push_back(year.Label);
    }
    EXPECT_EQ(years, (std::vector<std::wstring>{L"0", L"100", L"200", L"255 年"}));
    EXPECT_TRUE(LayoutComparisonChart(PlanDeposit({.Year = 0}, {}, rates, true), {0, 0, 10, 10})
                    .Lines.empty());
}
