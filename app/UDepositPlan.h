#pragma once

#include "UChartLayout.h"
#include "USchedule.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A term the bank sells, counted in whole months, and its name.
struct TPlanTerm {
    std::int32_t Months;
    std::wstring_view Label;
};

// The terms the planner compares, shortest first.
inline constexpr std::array<TPlanTerm, 7> PLAN_TERMS{{
    {3, L"三个月"},
    {6, L"六个月"},
    {12, L"一年期"},
    {24, L"二年期"},
    {36, L"三年期"},
    {60, L"五年期"},
    {120, L"十年期"},
}};

// The deposit insurance pays up to this much per depositor and bank, principal and interest.
inline constexpr double INSURANCE_LIMIT = 500000;
// A certificate left with less than this after a withdrawal is closed.
inline constexpr double LEAST_REMAINDER = 50;

// What the saver expects beside the listed rates: how they change at a renewal, the demand rate,
// and money needed before the end.
struct TPlanScenario {
    // Percentage points a term's rate changes by per whole year since the start, at each renewal.
    double RateChange = 0;
    // The demand rate in percent, paid on money withdrawn before its certificate matures.
    double DemandRate = 0.05;
    // The month (1 .. 12 × years) in which money is needed; 0 when none is.
    std::int32_t NeedMonth = 0;
    // How much is needed then, in yuan; none for everything.
    std::optional<double> NeedAmount = std::nullopt;

    bool operator==(const TPlanScenario&) const = default;
};

// Raises with the message for a scenario that cannot be planned over Year years: a need month
// outside 1 .. 12 × Year, or an amount needed that is not above 0.
void CheckScenario(const TPlanScenario& Scenario, std::uint8_t Year);

// One term planned: a chain of certificates from the start to the horizon (12 × years months), or
// to the month everything was taken out. Figures in yuan, unrounded.
struct TTermPlan {
    double Interest = 0; // everything received minus the capital
    double TakenOut = 0; // everything paid out before the end
    double EndTotal = 0; // what is paid out at the end: all that is left
    // The annualised internal rate of return of the monthly cash flows; none where the flows have
    // none.
    std::optional<double> Yield;
    // The interest the money taken out early would have earned at its certificate's rate over the
    // months it ran, minus the demand interest it earned.
    double Loss = 0;
    std::int32_t EndMonth = 0;      // the horizon, or the month everything was taken out
    std::int32_t MaturityYear = 0;  // the year a certificate still running at the end matures; 0
    std::int32_t InsuranceYear = 0; // the first year holding more than INSURANCE_LIMIT; 0 if none
    // By month, 0 .. EndMonth: the capital paid in (negative), the payouts, the end total.
    std::vector<double> CashFlows;
    // By year, 0 .. years: what is held at the year's end, the running certificate's interest
    // counted pro rata, before a maturity's payout of that month (as the yearly table shows it);
    // 0 once everything is taken out.
    std::vector<double> YearTotals;

    double Received() const { return TakenOut + EndTotal; }
};

// The rate of a certificate of a term whose rate is Rate, opened Month months after the start:
// the first year's certificates take Rate as it is, later ones Rate + whole years × RateChange,
// never below 0 (a rate that does not change stays as it is, negative or not).
double RenewalRate(double Rate, double RateChange, std::int32_t Month);

// Plans the inputs' capital, tax, years and re-deposit choice in certificates of Months months of
// a term whose rate is Rate, under the scenario (checked by the caller). Raises "Floating point
// overflow" when a figure leaves the range of a double.
TTermPlan PlanTerm(const TYieldoraInputs& Inputs, std::int32_t Months, double Rate,
                   const TPlanScenario& Scenario);

// One term of the comparison under a scenario: its rate as given, its plan or why there is none.
struct TPlanRow {
    std::int32_t Months = 12;
    std::wstring RateText;
    std::optional<TTermPlan> Plan;
    std::wstring Error;
    double Behind = 0; // how much less than the best row it receives in all, in yuan
};

// A term to plan and its rate as typed; with an Error, the term's row has that message instead of
// a plan.
struct TPlanRate {
    std::int32_t Months;
    std::wstring Text;
    std::wstring Error = {};
};

// The terms planned under one scenario.
struct TDepositPlan {
    TYieldoraInputs Inputs;
    TPlanScenario Scenario;
    std::vector<TPlanRow> Rows;
    // The row with the highest yield (the shorter term on a tie); none when no row has one.
    std::optional<std::size_t> Best;

    // "存期", "年利率", "共得利息", "已取出" (when interest is taken out or money is needed),
    // "期末本息", "折合年化", "比最佳少", "提前支取损失" (when money is needed), "备注".
    std::vector<std::wstring_view> Captions() const;
    // One text per row, its cells joined by TAB, the figures in whole yuan (halves to even); the
    // remark holds "最佳" for the best row, where a certificate runs at the end the year it
    // matures, the year holding passes the insurance limit, or the error of a row without plan.
    std::vector<std::wstring> RowTexts() const;
};

// The scenario in words, for a heading: the rates' change per year, and the money needed with the
// demand rate; empty when the rates do not change and nothing is needed early.
std::wstring ScenarioLine(const TPlanScenario& Scenario);

// Plans every term of Rates at its rate (read as the rate field is: TextToReal with UseDot, into
// a double) under the scenario, which is checked first (raising its message). A rate that cannot
// be read, or a plan that fails, leaves its own row without plan and with the message.
TDepositPlan PlanDeposit(const TYieldoraInputs& Inputs, const TPlanScenario& Scenario,
                         std::span<const TPlanRate> Rates, bool UseDot);

// What the profile's section "Planner" keeps: the scenario, and the rates of 三个月 and 六个月
// (none where it has none).
struct TPlannerProfile {
    TPlanScenario Scenario;
    std::array<std::optional<double>, 2> MonthRates;

    bool operator==(const TPlannerProfile&) const = default;
};

// The section "Planner" of the profile FileName ("RateChange", "DemandRate", "NeedMonth",
// "NeedAmount", "Rate3m", "Rate6m"); an absent or malformed key gives the default, an empty
// "NeedAmount" everything, an empty rate none.
TPlannerProfile ReadPlannerProfile(const std::wstring& FileName);
// Writes the section "Planner" in the form ReadPlannerProfile reads back; false when any key
// could not be stored.
bool WritePlannerProfile(const std::wstring& FileName, const TPlannerProfile& Profile);

// The label of a term of Months months ("三个月" ... "十年期").
std::wstring_view PlanTermLabel(std::int32_t Months);
// Where the term of Months months stands in PLAN_TERMS.
std::size_t PlanTermIndex(std::int32_t Months);

// The remark of the best row.
inline const std::wstring BEST_REMARK = L"最佳";

// The plan as lines of what is held by year, one per row with a plan, in a plot area.
struct TComparisonLine {
    std::size_t Row = 0;
    std::vector<TChartPoint> Points; // year 0 to the last year, left to right
};
struct TComparisonChart {
    TChartRect Plot;
    std::vector<TChartTick> Ticks;           // round figures from the bottom up, whole yuan
    std::vector<TChartYearLabel> YearLabels; // round years from 0, and the last year
    std::vector<TComparisonLine> Lines;
};

// Lays the lines out in Plot: the years across, the totals upwards between round figures below
// the least and above the greatest. No lines without years or without a row with a plan.
TComparisonChart LayoutComparisonChart(const TDepositPlan& Plan, TChartRect Plot);
