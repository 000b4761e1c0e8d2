#pragma once

#include "UDepositResult.h"
#include "USchedule.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads the inputs from the section "Yieldora" of the profile FileName, as the model loads them:
// a missing or malformed float keeps the value Inputs holds, the integers and the flag take what
// the profile's integer read gives (the low 8 bits for the term and the years).
void ReadYieldoraInputs(const std::wstring& FileName, TYieldoraInputs& Inputs);

// Writes the inputs to the section "Yieldora" of the profile FileName, in the forms that
// ReadYieldoraInputs reads back unchanged; false when any of them could not be stored.
bool WriteYieldoraInputs(const std::wstring& FileName, const TYieldoraInputs& Inputs);

// The deposit model: the user's inputs, loaded from the profile on construction and written back
// on destruction, and the schedule computed from them.
class TYieldora {
public:
    // Loads the inputs.
    TYieldora();
    // Saves the inputs, unless SaveInputs has saved them as they are.
    ~TYieldora();
    TYieldora(const TYieldora&) = delete;
    TYieldora& operator=(const TYieldora&) = delete;

    // The inputs from the profile; an absent or malformed entry gives the default.
    void LoadInputs();
    // The inputs into the profile; false when they could not all be stored there (a folder that
    // has turned read-only), and the thread's last error then says why.
    bool SaveInputs();

    // Recomputes Result, and Interest, Total and Withdrawn with it, from the inputs; Period must
    // be at least 1. Raises as CalculateResult does, and then leaves everything as it was.
    void Calculate();
    // Result and the three arrays from a result of Inputs worked out elsewhere, as Calculate
    // would have made them.
    void TakeResult(TDepositResult Calculated);

    // Fund, Period, Rate, Tax, Year, Step and Deposit.
    TYieldoraInputs Inputs;

    // Indexed 0..Year after Calculate; empty before.
    std::vector<double> Interest;
    std::vector<double> Total;
    std::vector<double> Withdrawn;
    // The whole result of the last Calculate: the rows, the cash flows and the totals.
    TDepositResult Result;

private:
    // The inputs as SaveInputs last wrote them.
    std::optional<TYieldoraInputs> FSaved;
};
