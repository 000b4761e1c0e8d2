// Runs with the system locale German (LC_ALL=de_DE.UTF-8): the decimal separator is ",".
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"
#include "UkyMath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(UkyIniFileLocale, NumbersUseTheSystemDecimalSeparator) {
    ASSERT_EQ(SystemDecimalSeparator(), L',');
    EXPECT_EQ(static_cast<double>(TextToReal(L"3,6", false)), 3.6);
    EXPECT_EQ(RealToText(-1, false, 3.6), L"3,6");
    EXPECT_EQ(RealToText(-1, true, 3.6), L"3.6");
    try {
        TextToReal(L"3.6", false);
        ADD_FAILURE() << "3.6 was accepted";
    } catch (const EkyError& error) {
        EXPECT_EQ(error.Message(), L"3.6 is not a valid float number!");
    }
}

TEST(UkyIniFileLocale, TheProfileHoldsTheLocaleForm) {
    const std::filesystem::path path(ProfilePath());
    std::filesystem::remove(path);
    TkyIniFile ini(ProfilePath());
    ini.Section = L"Yieldora";
    ini.WriteFloat(L"Rate", 3.6);
    ini.WriteFloat(L"Year", 20);
    EXPECT_EQ(ini.ReadString(L"Rate", L""), L"3,6");
    EXPECT_EQ(static_cast<double>(ini.ReadFloat(L"Rate", 0)), 3.6);
    EXPECT_EQ(ini.ReadInteger(L"Year", 0), 20);
    ini.WriteString(L"Tax", L"20.5");
    EXPECT_EQ(ini.ReadFloat(L"Tax", 20), 20.0L);
    {
        std::ifstream file(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}),
                  "[Yieldora]\r\nRate=3,6\r\nYear=20\r\nTax=20.5\r\n");
    }
    std::filesystem::remove(path);
}
