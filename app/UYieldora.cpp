#include "UYieldora.h"

#include "UkyError.h"
#include "UkyIniFile.h"
#include "UkyMath.h"
#include "USchedule.h"

#include <algorithm>
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

bool WriteYieldoraInputs(const std::wstring& FileName, const TYieldoraInputs& Inputs) {
    TkyIniFile ini(FileName);
    ini.Section = SECTION_NAME;
    // Every key is tried, so that a passing failure loses as little as it can.
    bool stored = ini.WriteFloat(L"Fund", Inputs.Fund);
    stored = ini.WriteInteger(L"Period", Inputs.Period) && stored;
    stored = ini.WriteFloat(L"Rate", Inputs.Rate) && stored;
    stored = ini.WriteFloat(L"Tax", Inputs.Tax) && stored;
    stored = ini.WriteFloat(L"Year", Inputs.Year) && stored;
    stored = ini.WriteFloat(L"Step", Inputs.Step) && stored;
    return ini.WriteBool(L"Deposit", Inputs.Deposit) && stored;
}

TYieldora::TYieldora() {
    LoadInputs();
}

TYieldora::~TYieldora() {
    if (FSaved != Inputs) {
        SaveInputs();
    }
}

void TYieldora::LoadInputs() {
    Inputs = {};
    ReadYieldoraInputs(ProfilePath(), Inputs);
}

bool TYieldora::SaveInputs() {
    if (!WriteYieldoraInputs(ProfilePath(), Inputs)) {
        return false;
    }
    FSaved = Inputs;
    return true;
}

void TYieldora::Calculate() {
    TakeResult(CalculateResult(Inputs));
}

void TYieldora::TakeResult(TDepositResult Calculated) {
    Result = std::move(Calculated);
    Interest = Result.Schedule.Interest;
    Total = Result.Schedule.Total;
    Withdrawn = Result.Schedule.Withdrawn;
}
