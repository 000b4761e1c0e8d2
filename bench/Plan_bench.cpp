// The planner over the longest projection: seven terms, 255 years, under a scenario of falling
// rates and money needed early.
#include "UDepositPlan.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PlanSevenTerms255Years(benchmark::State& State) {
    const TYieldoraInputs inputs{.Year = 255, .Deposit = State.range(0) != 0};
    const TPlanScenario scenario{.RateChange = -0.01, .NeedMonth = 1500, .NeedAmount = 5000};
    const std::vector<TPlanRate> rates{{3, L"0.65"},  {6, L"0.85"}, {12, L"0.95"}, {24, L"1.05"},
                                       {36, L"1.25"}, {60, L"1.3"}, {120, L"1.3"}};
    for (auto _ : State) {
        benchmark::DoNotOptimize(PlanDeposit(inputs, scenario, rates, true));
    }
}
BENCHMARK(BM_PlanSevenTerms255Years)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace
