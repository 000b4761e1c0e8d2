#pragma once

#include "USchedule.h"

#include <ostream>

// The inputs as a failing comparison shows them.
inline void PrintTo(const TYieldoraInputs& Inputs, std::ostream* Out) {
    *Out << "{Fund " << Inputs.Fund << ", Period " << int{Inputs.Period} << ", Rate " << Inputs.Rate
         << ", Tax " << Inputs.Tax << ", Year " << int{Inputs.Year} << ", Step " << Inputs.Step
         << ", Deposit " << std::boolalpha << Inputs.Deposit << "}";
}
