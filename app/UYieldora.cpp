#include "UYieldora.h"

#include "UkyError.h"
#include "UkyIniFile.h"
#include "UkyMath.h"
#include "USchedule.h"

#include <utility>

namespace {

const wchar_t* const SectionName = L"Yieldora";

// A stored number beyond the range of a double is as unusable as a malformed one.
double ReadDouble(const TkyIniFile& Ini, const wchar_t* Key, double Default) {
    try {
        return StoreDouble(Ini.ReadFloat(Key, Default));
    } catch (const EkyError&) {
        return Default;
    }
}

} // namespace

TYieldora::TYieldora() {
    TkyIniFile ini(ProfilePath());
    ini.Section = SectionName;
    Fund = ReadDouble(ini, L"Fund", 10000);
    Period = static_cast<std::uint8_t>(ini.ReadInteger(L"Period", 1));
    Rate = ReadDouble(ini, L"Rate", 3.6);
    Tax = ReadDouble(ini, L"Tax", 20);
    Year = static_cast<std::uint8_t>(ini.ReadInteger(L"Year", 20));
    Step = ini.ReadInteger(L"Step", 1);
    Deposit = ini.ReadBool(L"Deposit", true);
}

TYieldora::~TYieldora() {
    TkyIniFile ini(ProfilePath());
    ini.Section = SectionName;
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
