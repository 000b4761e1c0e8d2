// The schedule over the longest projection the model holds.
#include "USchedule.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Calculate255Years(benchmark::State& State) {
    const TYieldoraInputs input{.Period = static_cast<std::uint8_t>(State.range(0)),
                                .Year = 255,
                                .Deposit = State.range(1) != 0};
    for (auto _ : State) {
        benchmark::DoNotOptimize(CalculateSchedule(input));
    }
}
BENCHMARK(BM_Calculate255Years)->Args({1, 1})->Args({3, 0})->Args({10, 1});

} // namespace
