// Number texts per call, against the standard library's conversions of the same values.
#include "UkyFunctions.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Figures as the program shows them: inputs, schedule amounts, small and large magnitudes.
const std::vector<long double> Values = {
    10000,  3.6,  20,    17644.896437641,     123456789.123456789,
    1.5e-7, 1e20, -2.25, 0.30000000000000004, 2.0 / 3};

const std::vector<std::string> Texts = {"10000", "3.6",        "20",     "17644.896437641",
                                        "-2.25", "0.00000015", "1.5E-2", "123456789.123457"};

void BM_RealToText(benchmark::State& State) {
    for (auto _ : State) {
        for (const long double value : Values) {
            benchmark::DoNotOptimize(RealToText(-1, false, value));
        }
    }
    State.SetItemsProcessed(State.iterations() * static_cast<std::int64_t>(Values.size()));
}
BENCHMARK(BM_RealToText);

void BM_ToChars(benchmark::State& State) {
    char buffer[64];
    for (auto _ : State) {
        for (const long double value : Values) {
            const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                              std::chars_format::general, 15);
            benchmark::DoNotOptimize(std::string(buffer, result.ptr));
        }
    }
    State.SetItemsProcessed(State.iterations() * static_cast<std::int64_t>(Values.size()));
}
BENCHMARK(BM_ToChars);

void BM_TextToReal(benchmark::State& State) {
    std::vector<std::wstring> texts;
    for (const std::string& text : Texts) {
        texts.emplace_back(text.begin(), text.end());
    }
    for (auto _ : State) {
        for (const std::wstring& text : texts) {
            benchmark::DoNotOptimize(TextToReal(text, false));
        }
    }
    State.SetItemsProcessed(State.iterations() * static_cast<std::int64_t>(texts.size()));
}
BENCHMARK(BM_TextToReal);

void BM_Strtold(benchmark::State& State) {
    for (auto _ : State) {
        for (const std::string& text : Texts) {
            benchmark::DoNotOptimize(std::strtold(text.c_str(), nullptr));
        }
    }
    State.SetItemsProcessed(State.iterations() * static_cast<std::int64_t>(Texts.size()));
}
BENCHMARK(BM_Strtold);

} // namespace
