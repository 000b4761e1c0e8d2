#pragma once

#include "UYieldora.h"

#include <array>
#include <string>

// One annual rate per term of years, in the order of DEPOSIT_TERMS.
using TTermRates = std::array<double, DEPOSIT_TERMS.size()>;

// The rates of the profile FileName's section "TermRates" ("Rate1" ... "Rate10"); a term without
// a readable rate gets Default.
TTermRates ReadTermRates(const std::wstring& FileName, double Default);
// Writes the rates to the section "TermRates", in the form ReadTermRates reads back.
void WriteTermRates(const std::wstring& FileName, const TTermRates& Rates);
