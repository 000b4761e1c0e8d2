#include "UDepositPlan.h"

#include "UDepositResult.h"
#include "UResultTable.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"
#include "UkyMath.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t MONTHS_A_YEAR = 12;

const wchar_t* const PLANNER_SECTION = L"Planner";
constexpr std::array<const wchar_t*, 2> MONTH_RATE_KEYS{L"Rate3m", L"Rate6m"};

// Net yearly rate after tax, worked out in extended precision and rounded once, as the yearly
// schedule does.
double NetRate(double Rate, double Tax) {
    return StoreDouble((100.0L - Tax) * Rate / 10000.0L);
}

// The interest a principal earns over Months months at a net yearly rate: a year's interest,
// stored as the yearly schedule stores it, times Months / 12. Banks count 30 days a month and
// 360 a year, which comes to the same. It is not rounded to the fen, as the yearly schedule does
// not round it; for whole years the product is exact, so that a term of years earns to the last
// bit what the yearly schedule gives it.
long double Interest(double Principal, double Net, std::int32_t Months) {
    const double yearly = StoreDouble(static_cast<long double>(Principal) * Net);
    return static_cast<long double>(yearly) * Months / MONTHS_A_YEAR;
}

// A payment to the fen, halves away from zero, as a bank pays it out.
double Fen(long double Value) {
    return StoreDouble(std::round(Value * 100) / 100);
}

std::wstring WholeYuan(double Value) {
    try {
        return IntText(RoundToInt64(Value));
    } catch (const EkyError&) {
        return L"?";
    }
}

// A payment of the cash flows and its month.
struct TFlow {
    std::int32_t Month;
    double Amount;
};

long double Power(long double X, std::int32_t N) {
    long double result = 1;
    for (; N > 0; N /= 2, X *= X) {
        if (N % 2 == 1) {
            result *= X;
        }
    }
    return result;
}

// The sum of Flows' amounts times X^(last month - month): their present value times (1 + r)^last
// for X = 1 + r, by Horner's rule over the months with a payment only.
long double ScaledValue(const std::vector<TFlow>& Flows, long double X) {
    long double value = 0;
    std::int32_t month = Flows.front().Month;
    std::int32_t gap = -1;
    long double power = 1;
    for (const TFlow& flow : Flows) {
        if (flow.Month - month != gap) {
            gap = flow.Month - month;
            power = Power(X, gap);
        }
        value = value * power + flow.Amount;
        month = flow.Month;
    }
    return value;
}

// The monthly internal rate of return of the flows by month, found by bisection as
// EffectiveYield finds the yearly one: most months of a plan have no payment, and skipping them
// makes it many times faster.
std::optional<double> MonthlyYield(std::span<const double> CashFlows) {
    if (CashFlows.size() < 2 || !(CashFlows.front() < 0) || !(CashFlows.back() > 0)) {
        return std::nullopt;
    }
    std::vector<TFlow> flows;
    for (std::size_t month = 0; month < CashFlows.size(); ++month) {
        if (CashFlows[month] != 0) {
            flows.push_back({static_cast<std::int32_t>(month), CashFlows[month]});
        }
    }
    const std::optional<long double> factor =
        YieldFactor([&flows](long double X) { return ScaledValue(flows, X); });
    if (!factor) {
        return std::nullopt;
    }
    return static_cast<double>(*factor - 1);
}

// A number the profile holds, none where the key is empty, absent or malformed.
std::optional<double> ReadNumber(const TkyIniFile& Ini, const wchar_t* Key) {
    const std::wstring text = Ini.ReadString(Key, L"");
    if (text.empty()) {
        return std::nullopt;
    }
    // In the form WriteFloat writes, with the system's decimal separator.
    try {
        return StoreDouble(TextToReal(text, false));
    } catch (const EkyError&) {
        return std::nullopt;
    }
}

bool WriteNumber(const TkyIniFile& Ini, const wchar_t* Key, const std::optional<double>& Value) {
    return Value ? Ini.WriteFloat(Key, *Value) : Ini.WriteString(Key, L"");
}

// The year a month falls in: months 1 to 12 are year 1.
std::int32_t YearOfMonth(std::int32_t Month) {
    return (Month + MONTHS_A_YEAR - 1) / MONTHS_A_YEAR;
}

} // namespace

std::wstring_view PlanTermLabel(std::int32_t Months) {
    const std::size_t index = PlanTermIndex(Months);
    return index < PLAN_TERMS.size() ? PLAN_TERMS[index].Label : std::wstring_view();
}

std::size_t PlanTermIndex(std::int32_t Months) {
    return static_cast<std::size_t>(
        std::find_if(PLAN_TERMS.begin(), PLAN_TERMS.end(),
                     [Months](const TPlanTerm& Term) { return Term.Months == Months; }) -
        PLAN_TERMS.begin());
}

void CheckScenario(const TPlanScenario& Scenario, std::uint8_t Year) {
    const std::int32_t horizon = MONTHS_A_YEAR * Year;
    if (Scenario.NeedMonth < 0 || Scenario.NeedMonth > horizon) {
        throw EkyError(L"The money needed in month " + IntText(Scenario.NeedMonth) +
                       L" falls outside the " + IntText(horizon) + L" months planned!");
    }
    if (Scenario.NeedAmount && !(*Scenario.NeedAmount > 0 && std::isfinite(*Scenario.NeedAmount))) {
        throw EkyError(L"The amount needed must be above 0, not " +
                       RealToText(-1, true, *Scenario.NeedAmount) + L"!");
    }
}

double RenewalRate(double Rate, double RateChange, std::int32_t Month) {
    const std::int32_t years = Month / MONTHS_A_YEAR;
    if (years == 0 || RateChange == 0) {
        return Rate;
    }
    return std::max(0.0, StoreDouble(Rate + static_cast<long double>(years) * RateChange));
}

TTermPlan PlanTerm(const TYieldoraInputs& Inputs, std::int32_t Months, double Rate,
                   const TPlanScenario& Scenario) {
    const std::int32_t horizon = MONTHS_A_YEAR * Inputs.Year;
    const double demand = NetRate(Scenario.DemandRate, Inputs.Tax);
    TTermPlan plan;
    plan.CashFlows.assign(static_cast<std::size_t>(horizon) + 1, 0.0);
    plan.YearTotals.assign(static_cast<std::size_t>(Inputs.Year) + 1, 0.0);
    plan.CashFlows[0] = -Inputs.Fund;
    plan.YearTotals[0] = Inputs.Fund;

    long double takenOut = 0;
    long double loss = 0;
    bool needed = Scenario.NeedMonth > 0;
    double principal = Inputs.Fund;
    std::int32_t start = 0;
    plan.EndMonth = horizon;
    plan.EndTotal = Inputs.Fund;

    // One certificate after another, from its opening at month start to its maturity.
    while (start < horizon) {
        const double net = NetRate(RenewalRate(Rate, Scenario.RateChange, start), Inputs.Tax);
        const std::int32_t maturity = start + Months;
        const std::int32_t last = std::min(maturity, horizon);
        // What the certificate holds at the end of each year it runs through, from month First on.
        const auto holdYears = [&](std::int32_t First, std::int32_t Last) {
            for (std::int32_t year = YearOfMonth(First); year * MONTHS_A_YEAR <= Last; ++year) {
                plan.YearTotals[static_cast<std::size_t>(year)] =
                    StoreDouble(Interest(principal, net, year * MONTHS_A_YEAR - start) + principal);
            }
        };

        std::int32_t first = start + 1;
        if (needed && Scenario.NeedMonth < maturity) {
            // Taken out before the maturity: the part taken earns the demand rate for the months
            // the certificate ran; the rest keeps its rate and its maturity, unless it is too
            // little to keep.
            const std::int32_t month = Scenario.NeedMonth;
            holdYears(first, month - 1);
            double taken =
                Scenario.NeedAmount ? std::min(*Scenario.NeedAmount, principal) : principal;
            if (principal - taken < LEAST_REMAINDER) {
                taken = principal;
            }
            const double demandInterest = Fen(Interest(taken, demand, month - start));
            loss += Interest(taken, net, month - start) - demandInterest;
            const double paid = StoreDouble(static_cast<long double>(taken) + demandInterest);
            needed = false;
            if (taken == principal) {
                plan.EndMonth = month;
                plan.EndTotal = paid;
                break;
            }
            principal = StoreDouble(static_cast<long double>(principal) - taken);
            plan.CashFlows[static_cast<std::size_t>(month)] += paid;
            takenOut += paid;
            first = month;
        }
        holdYears(first, last);
        if (maturity > horizon) {
            // Still running at the end: its interest so far, pro rata.
            plan.EndTotal = StoreDouble(Interest(principal, net, horizon - start) + principal);
            plan.MaturityYear = YearOfMonth(maturity);
            break;
        }

        // The maturity pays the interest out, or deposits it again with the principal.
        const long double interest = Interest(principal, net, Months);
        double payout = 0;
        double kept = principal;
        bool closed = false;
        if (Inputs.Deposit) {
            kept = StoreDouble(interest + principal);
        } else {
            payout = StoreDouble(interest);
        }
        if (needed && Scenario.NeedMonth == maturity) {
            // Money needed at a maturity comes from what it pays out, then from what it would
            // deposit again, at no loss.
            const double more = Scenario.NeedAmount
                                    ? std::min(std::max(*Scenario.NeedAmount - payout, 0.0), kept)
                                    : kept;
            kept = StoreDouble(static_cast<long double>(kept) - more);
            payout = StoreDouble(static_cast<long double>(payout) + more);
            if (kept < LEAST_REMAINDER) {
                payout = StoreDouble(static_cast<long double>(payout) + kept);
                kept = 0;
                closed = true;
            }
            needed = false;
        }
        if (maturity == horizon || closed) {
            plan.EndMonth = maturity;
            plan.EndTotal = StoreDouble(static_cast<long double>(payout) + kept);
            break;
        }
        plan.CashFlows[static_cast<std::size_t>(maturity)] += payout;
        takenOut += payout;
        principal = kept;
        start = maturity;
    }

    plan.CashFlows.resize(static_cast<std::size_t>(plan.EndMonth) + 1);
    plan.CashFlows.back() += plan.EndTotal;
    plan.TakenOut = StoreDouble(takenOut);
    plan.Interest = StoreDouble(takenOut + plan.EndTotal - Inputs.Fund);
    plan.Loss = StoreDouble(loss);
    if (const std::optional<double> monthly = MonthlyYield(plan.CashFlows)) {
        plan.Yield = static_cast<double>(std::pow(1.0L + *monthly, MONTHS_A_YEAR) - 1);
    }
    for (std::size_t year = 0; Inputs.Year > 0 && year < plan.YearTotals.size(); ++year) {
        if (plan.YearTotals[year] > INSURANCE_LIMIT) {
            plan.InsuranceYear = std::max<std::int32_t>(static_cast<std::int32_t>(year), 1);
            break;
        }
    }
    return plan;
}

std::vector<std::wstring_view> TDepositPlan::Captions() const {
    const bool needed = Scenario.NeedMonth > 0;
    std::vector<std::wstring_view> captions{L"存期", L"年利率", L"共得利息"};
    if (!Inputs.Deposit || needed) {
        captions.push_back(L"已取出");
    }
    captions.insert(captions.end(), {L"期末本息", L"折合年化", L"比最佳少"});
    if (needed) {
        captions.push_back(L"提前支取损失");
    }
    captions.push_back(L"备注");
    return captions;
}

std::vector<std::wstring> TDepositPlan::RowTexts() const {
    const bool needed = Scenario.NeedMonth > 0;
    const bool takenOut = !Inputs.Deposit || needed;
    std::vector<std::wstring> texts;
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const TPlanRow& row = Rows[i];
        std::wstring text = std::wstring(PlanTermLabel(row.Months)) + L"\t" + row.RateText + L"\t";
        if (!row.Plan) {
            // The figures' cells stay empty; the message goes into the remark.
            text += std::wstring(4 + (takenOut ? 1 : 0) + (needed ? 1 : 0), L'\t') + row.Error;
            texts.push_back(std::move(text));
            continue;
        }
        const TTermPlan& plan = *row.Plan;
        text += WholeYuan(plan.Interest) + L"\t";
        if (takenOut) {
            text += WholeYuan(plan.TakenOut) + L"\t";
        }
        text += WholeYuan(plan.EndTotal) + L"\t" + YieldText(plan.Yield) + L"\t" +
                (Best ? WholeYuan(row.Behind) : L"") + L"\t";
        if (needed) {
            text += WholeYuan(plan.Loss) + L"\t";
        }
        std::vector<std::wstring> remarks;
        if (Best == i) {
            remarks.push_back(BEST_REMARK);
        }
        if (plan.MaturityYear > 0) {
            remarks.push_back(L"未到期，第 " + IntText(plan.MaturityYear) + L" 年到期");
        }
        if (plan.InsuranceYear > 0) {
            remarks.push_back(L"第 " + IntText(plan.InsuranceYear) +
                              L" 年本息超过 50 万元存款保险限额");
        }
        for (std::size_t r = 0; r < remarks.size(); ++r) {
            text += (r > 0 ? L"；" : L"") + remarks[r];
        }
        texts.push_back(std::move(text));
    }
    return texts;
}

std::wstring ScenarioLine(const TPlanScenario& Scenario) {
    std::wstring line;
    if (Scenario.RateChange != 0) {
        line = L"每年利率变动 " + RealToText(-1, true, Scenario.RateChange) + L" 个百分点";
    }
    if (Scenario.NeedMonth > 0) {
        line += (line.empty() ? L"" : L"，") +
                (L"第 " + IntText(Scenario.NeedMonth) + L" 个月取出") +
                (Scenario.NeedAmount ? L" " + RealToText(-1, true, *Scenario.NeedAmount) + L" 元"
                                     : std::wstring(L"全部")) +
                L"（活期利率 " + RealToText(-1, true, Scenario.DemandRate) + L"%）";
    }
    return line;
}

TDepositPlan PlanDeposit(const TYieldoraInputs& Inputs, const TPlanScenario& Scenario,
                         std::span<const TPlanRate> Rates, bool UseDot) {
    CheckScenario(Scenario, Inputs.Year);
    TDepositPlan deposit{Inputs, Scenario, {}, {}};
    for (std::size_t i = 0; i < Rates.size(); ++i) {
        TPlanRow row{Rates[i].Months, Rates[i].Text, {}, Rates[i].Error, 0};
        if (row.Error.empty()) {
            try {
                const double rate = StoreDouble(TextToReal(row.RateText, UseDot));
                row.Plan = PlanTerm(Inputs, row.Months, rate, Scenario);
            } catch (const EkyError& e) {
                row.Error = e.Message();
            }
        }
        if (row.Plan && row.Plan->Yield &&
            (!deposit.Best || *row.Plan->Yield > *deposit.Rows[*deposit.Best].Plan->Yield)) {
            deposit.Best = i;
        }
        deposit.Rows.push_back(std::move(row));
    }
    if (deposit.Best) {
        const double best = deposit.Rows[*deposit.Best].Plan->Received();
        for (TPlanRow& row : deposit.Rows) {
            if (!row.Plan) {
                continue;
            }
            // A shortfall beyond the range of a double fails its own row only.
            try {
                row.Behind = StoreDouble(static_cast<long double>(best) - row.Plan->Received());
            } catch (const EkyError& e) {
                row.Plan.reset();
                row.Error = e.Message();
            }
        }
    }
    return deposit;
}

TPlannerProfile ReadPlannerProfile(const std::wstring& FileName) {
    TkyIniFile ini(FileName);
    ini.Section = PLANNER_SECTION;
    TPlannerProfile profile;
    TPlanScenario& scenario = profile.Scenario;
    scenario.RateChange = ReadNumber(ini, L"RateChange").value_or(scenario.RateChange);
    scenario.DemandRate = ReadNumber(ini, L"DemandRate").value_or(scenario.DemandRate);
    scenario.NeedMonth = std::max(ini.ReadInteger(L"NeedMonth", 0), 0);
    scenario.NeedAmount = ReadNumber(ini, L"NeedAmount");
    for (std::size_t i = 0; i < MONTH_RATE_KEYS.size(); ++i) {
        profile.MonthRates[i] = ReadNumber(ini, MONTH_RATE_KEYS[i]);
    }
    return profile;
}

bool WritePlannerProfile(const std::wstring& FileName, const TPlannerProfile& Profile) {
    TkyIniFile ini(FileName);
    ini.Section = PLANNER_SECTION;
    const TPlanScenario& scenario = Profile.Scenario;
    // Every key is tried, so that a passing failure loses as little as it can.
    bool stored = ini.WriteFloat(L"RateChange", scenario.RateChange);
    stored = ini.WriteFloat(L"DemandRate", scenario.DemandRate) && stored;
    stored = ini.WriteInteger(L"NeedMonth", scenario.NeedMonth) && stored;
    stored = WriteNumber(ini, L"NeedAmount", scenario.NeedAmount) && stored;
    for (std::size_t i = 0; i < MONTH_RATE_KEYS.size(); ++i) {
        stored = WriteNumber(ini, MONTH_RATE_KEYS[i], Profile.MonthRates[i]) && stored;
    }
    return stored;
}

TComparisonChart LayoutComparisonChart(const TDepositPlan& Plan, TChartRect Plot) {
    TComparisonChart chart{Plot, {}, {}, {}};
    const std::size_t years = Plan.Inputs.Year;
    double least = 0;
    double most = 0;
    bool any = false;
    for (const TPlanRow& row : Plan.Rows) {
        if (!row.Plan || years == 0) {
            continue;
        }
        const std::vector<double>& totals = row.Plan->YearTotals;
        const auto [low, high] = std::minmax_element(totals.begin(), totals.end());
        least = any ? std::min(least, *low) : *low;
        most = any ? std::max(most, *high) : *high;
        any = true;
    }
    if (!any) {
        return chart;
    }
    // Round figures a whole number of steps apart; beyond the range of a double the axis ends at
    // the figures themselves.
    const double step = NiceStep(most > least ? most - least : 1);
    double bottom = std::floor(least / step) * step;
    double top = std::ceil(most / step) * step;
    if (!std::isfinite(bottom) || !std::isfinite(top) || !(top > bottom)) {
        bottom = least;
        top = most > least ? most : least + 1;
    }
    const double width = Plot.Right - 1 - Plot.Left;
    const double height = Plot.Bottom - 1 - Plot.Top;
    const auto y = [&](double Value) {
        return Plot.Bottom - 1 -
               static_cast<int>(std::lround((Value - bottom) / (top - bottom) * height));
    };
    const auto x = [&](std::size_t Year) {
        return Plot.Left + static_cast<int>(std::lround(width * static_cast<double>(Year) /
                                                        static_cast<double>(years)));
    };
    const double intervals = std::round((top - bottom) / step);
    for (double i = 0; i <= intervals && intervals <= 20; ++i) {
        const double value = bottom + i * step;
        chart.Ticks.push_back({value, y(value), GroupedYuan(value)});
    }
    if (chart.Ticks.empty()) {
        for (const double value : {bottom, top}) {
            chart.Ticks.push_back({value, y(value), GroupedYuan(value)});
        }
    }
    const auto yearStep = static_cast<std::size_t>(NiceStep(static_cast<double>(years)));
    for (std::size_t year = 0; year <= years; year += yearStep) {
        chart.YearLabels.push_back({x(year), IntText(static_cast<std::int64_t>(year))});
    }
    // The last year beside the round ones, where it is not too close to the one before.
    if (years % yearStep != 0 && 2 * (years % yearStep) >= yearStep) {
        chart.YearLabels.push_back({x(years), IntText(static_cast<std::int64_t>(years))});
    }
    chart.YearLabels.back().Label += L" 年";
    for (std::size_t i = 0; i < Plan.Rows.size(); ++i) {
        const TPlanRow& row = Plan.Rows[i];
        if (!row.Plan) {
            continue;
        }
        TComparisonLine line{i, {}};
        for (std::size_t year = 0; year <= years; ++year) {
            line.Points.push_back({x(year), y(row.Plan->YearTotals[year])});
        }
        chart.Lines.push_back(std::move(line));
    }
    return chart;
}
