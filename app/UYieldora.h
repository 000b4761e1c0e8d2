#pragma once

#include <cstdint>
#include <vector>

// The deposit model: the user's inputs, loaded from the profile on construction and written back
// on destruction, and the schedule computed from them.
class TYieldora {
public:
    TYieldora();
    ~TYieldora();
    TYieldora(const TYieldora&) = delete;
    TYieldora& operator=(const TYieldora&) = delete;

    // Recomputes Interest, Total and Withdrawn from the inputs; Period must be at least 1.
    void Calculate();

    // The inputs; the constructor fills them from the profile or with their defaults.
    double Fund;
    std::uint8_t Period;
    double Rate;
    double Tax;
    std::uint8_t Year;
    std::int32_t Step;
    bool Deposit;

    // Indexed 0..Year after Calculate; empty before.
    std::vector<double> Interest;
    std::vector<double> Total;
    std::vector<double> Withdrawn;
};
