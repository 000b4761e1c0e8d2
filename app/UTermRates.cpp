#include "UTermRates.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"
#include "UkyMath.h"

namespace {

const wchar_t* const RATES_SECTION = L"TermRates";

std::wstring RateKey(const TDepositTerm& Term) {
    return L"Rate" + IntText(Term.Years);
}

} // namespace

TTermRates ReadTermRates(const std::wstring& FileName, double Default) {
    TkyIniFile ini(FileName);
    ini.Section = RATES_SECTION;
    TTermRates rates{};
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        try {
            rates[i] = StoreDouble(ini.ReadFloat(RateKey(DEPOSIT_TERMS[i]), Default));
        } catch (const EkyError&) {
            rates[i] = Default;
        }
    }
    return rates;
}

void WriteTermRates(const std::wstring& FileName, const TTermRates& Rates) {
    TkyIniFile ini(FileName);
    ini.Section = RATES_SECTION;
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        ini.WriteFloat(RateKey(DEPOSIT_TERMS[i]), Rates[i]);
    }
}
