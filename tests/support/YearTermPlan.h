#pragma once

#include "UDepositPlan.h"

#include <array>
#include <string>
#include <vector>

// The terms of years planned without a scenario at the rates given in their order (one year to
// ten years), as the comparison shows them without rates of months.
inline TDepositPlan PlanYearTerms(const TYieldoraInputs& Inputs,
                                  const std::array<std::wstring, DEPOSIT_TERMS.size()>& Rates) {
    std::vector<TPlanRate> rates;
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        rates.push_back({DEPOSIT_TERMS[i].Years * 12, Rates[i]});
    }
    return PlanDeposit(Inputs, {}, rates, true);
}
