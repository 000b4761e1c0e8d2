#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The seven inputs of a calculation, with their defaults.
struct TYieldoraInputs {
    double Fund = 10000;
    std::uint8_t Period = 1;
    double Rate = 3.6;
    double Tax = 20;
    std::uint8_t Year = 20;
    std::int32_t Step = 1;
    bool Deposit = true;
};

// Reads the inputs from the section "Yieldora" of the profile FileName, as the model loads them:
// a missing or malformed float keeps the value Inputs holds, the integers and the flag take what
// the profile's integer read gives (the low 8 bits for the term and the years).
void ReadYieldoraInputs(const std::wstring& FileName, TYieldoraInputs& Inputs);

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
