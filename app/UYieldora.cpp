#include "UYieldora.h"

#include "UkyError.h"
#include "UkyIniFile.h"
#include "UkyMath.h"
#include "USchedule.h"

#include <utility>

namespace {

const wchar_t* const SECTION_NAME = L"Yieldora";

// A stored number beyond the range of a double is as unusable as a malformed one.
double ReadDouble(const TkyIniFile& Ini, const wchar_t* Key, double Default) {
    try {
        return StoreDouble(Ini.ReadFloat(Key, Default));
    } catch (const EkyError&) {
        return Default;
    }
}

} // namespace

void ReadYieldoraInputs(const std::wstring& FileName, TYieldoraInputs& Inputs) {
    TkyIniFile ini(FileName);
    ini.Section = SECTION_NAME;
    Inputs.Fund = ReadDouble(ini, L"Fund", Inputs.Fund);
    Inputs.Period = static_cast<std::uint8_t>(ini.ReadInteger(L"Period", Inputs.Period));
    Inputs.Rate = ReadDouble(ini, L"Rate", Inputs.Rate);
    Inputs.Tax = ReadDouble(ini, L"Tax", Inputs.Tax);
    Inputs.Year = static_cast<std::uint8_t>(ini.ReadInteger(L"Year", Inputs.Year));
    Inputs.Step = ini.ReadInteger(L"Step", Inputs.Step);
    Inputs.Deposit = ini.ReadBool(L"Deposit", Inputs.Deposit);
}

TYieldora::TYieldora() {
    TYieldoraInputs inputs;
    ReadYieldoraInputs(ProfilePath(), inputs);
    Fund = inputs.Fund;
    Period = inputs.Period;
    Rate = inputs.Rate;
    Tax = inputs.Tax;
    Year = inputs.Year;
    Step = inputs.Step;
    Deposit = inputs.Deposit;
}

TYieldora::~TYieldora() {
    TkyIniFile ini(ProfilePath());
    ini.Section = SECTION_NAME;
    ini.WriteFloat(L"Fund", Fund);
    ini.WriteInteger(L"Period", Period);
    ini.WriteFloat(L"Rate", Rate);
    ini.WriteFloat(L"Tax", Tax);
    ini.WriteFloat(L"Year", Year);
    ini.WriteFloat(L"Step", Step);
    ini.WriteBool(L"Deposit", Deposit);
}

void TYieldora::Calculate() {
    TSchedule schedule = CalculateSchedule({Fund, Period, Rate, Tax, Year, Deposit});
    Interest = std::move(schedule.Interest);
    Total = std::move(schedule.Total);
    Withdrawn = std::move(schedule.Withdrawn);
}
