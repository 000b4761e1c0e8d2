#include "UBenchTiming.h"

#include <algorithm>
#include <chrono>
#include <cstddef>

double Milliseconds(const std::function<void()>& Run) {
    const auto start = std::chrono::steady_clock::now();
    Run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> Times) {
    const auto middle = Times.begin() + static_cast<std::ptrdiff_t>(Times.size() / 2);
    std::nth_element(Times.begin(), middle, Times.end());
    return *middle;
}
