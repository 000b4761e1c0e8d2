#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyMath.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {} // namespace

TEST(UkyFunctions, IntToTextPadsDigitsAndPutsTheSignInFront) {
    EXPECT_EQ(IntToText(0, 2024), L"2024");
    EXPECT_EQ(IntToText(0, -5), L"-5");
    EXPECT_EQ(IntToText(3, -5), L"-005");
    EXPECT_EQ(IntToText(0, 0), L"0");
    EXPECT_EQ(IntToText(2, 12345), L"12345");
    EXPECT_EQ(IntToText(0, INT64_MIN), L"-9223372036854775808");
}

TEST(UkyFunctions, TextToIntParsesStrictDecimals) {
    EXPECT_EQ(TextToInt(L" 42\t"), 42);
    EXPECT_EQ(TextToInt(L"-17"), -17);
    EXPECT_EQ(TextToInt(L"007"), 7);
    EXPECT_EQ(TextToInt(L"-"), 0);
    EXPECT_EQ(TextToInt(L"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(TextToInt(L"-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(ErrorOf([] { TextToInt(L"   "); }), L"empty string cannot be converted to integer!");
    EXPECT_EQ(ErrorOf([] { TextToInt(L" -12a "); }), L"12a is not a valid integer!");
    EXPECT_EQ(ErrorOf([] { TextToInt(L"+3"); }), L"+3 is not a valid integer!");
    EXPECT_EQ(ErrorOf([] { TextToInt(L"--5"); }), L"-5 is not a valid integer!");
    EXPECT_EQ(ErrorOf([] { TextToInt(L"1 000"); }), L"1 000 is not a valid integer!");
}

TEST(UkyFunctions, TextToIntRejectsNumbersBeyondTheIntegerRange) {
    EXPECT_EQ(ErrorOf([] { TextToInt(L"99999999999999999999"); }),
              L"99999999999999999999 is not a valid integer!");
    EXPECT_EQ(ErrorOf([] { TextToInt(L"9223372036854775808"); }),
              L"9223372036854775808 is not a valid integer!");
    EXPECT_EQ(ErrorOf([] { TextToInt(L" -9223372036854775809"); }),
              L"9223372036854775809 is not a valid integer!");
    EXPECT_EQ(TextToIntDef(L"99999999999999999999", -1), -1);
    EXPECT_EQ(TextToIntDef(L"abc", 7), 7);
    EXPECT_EQ(TextToIntDef(L"-9223372036854775808", 7), INT64_MIN);
}

TEST(UkyFunctions, RealToTextWritesFixedPointWithFifteenDigits) {
    const struct {
        long double Value;
        std::wstring Text;
    } cases[] = {
        {10000, L"10000"},
        {3.6, L"3.6"},
        {20, L"20"},
        {0.5, L"0.5"},
        {0.1 + 0.2, L"0.3"},
        {1.5e-7, L"0.00000015"},
        {1e20, L"100000000000000000000"},
        {123456789.123456789, L"123456789.123457"},
        {-2.25, L"-2.25"},
        {1e-20, L"0.00000000000000000001"},
        {1.0 / 3, L"0.333333333333333"},
        {2.0 / 3, L"0.666666666666667"},
        {1234567890123456789.0, L"1234567890123460000"},
        {999999999999999.0, L"1000000000000000"},
        {-0.0, L"0"},
        {1e400L, L"1" + std::wstring(400, L'0')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RealToText(-1, true, c.Value), c.Text) << static_cast<double>(c.Value);
    }
    EXPECT_EQ(RealToText(2, true, 3.6), L"3.60");
    EXPECT_EQ(RealToText(2, true, 7), L"7.00");
    EXPECT_EQ(RealToText(2, true, 1.05), L"1.05");
    EXPECT_EQ(RealToText(2, true, 0.0012345), L"0.0012");
    EXPECT_EQ(RealToText(-1, false, 3.6), std::wstring(L"3") + SystemDecimalSeparator() + L"6");
    EXPECT_EQ(FloatText(3.6), std::wstring(L"3") + SystemDecimalSeparator() + L"6");
    EXPECT_EQ(FloatText(10000), L"10000");
    EXPECT_EQ(IntText(-9), L"-9");
}

TEST(UkyFunctions, RealToTextRejectsNonFiniteValues) {
    EXPECT_EQ(ErrorOf([] { RealToText(-1, true, std::numeric_limits<long double>::infinity()); }),
              L"Invalid result!");
    EXPECT_EQ(ErrorOf([] { RealToText(-1, true, std::nan("")); }), L"Invalid result!");
    EXPECT_EQ(ErrorOf([] { RealToText(2, true, -HUGE_VAL); }), L"Invalid result!");
}

TEST(UkyFunctions, TextToRealAcceptsDecimalsAndExponents) {
    EXPECT_EQ(static_cast<double>(TextToReal(L"12", true)), 12.0);
    EXPECT_EQ(static_cast<double>(TextToReal(L" 12. ", true)), 12.0);
    EXPECT_EQ(static_cast<double>(TextToReal(L".5", true)), 0.5);
    EXPECT_EQ(static_cast<double>(TextToReal(L"-0.25", true)), -0.25);
    EXPECT_EQ(static_cast<double>(TextToReal(L"1e3", true)), 1000.0);
    EXPECT_EQ(static_cast<double>(TextToReal(L"1.5E-2", true)), 0.015);
    EXPECT_EQ(static_cast<double>(TextToReal(L"3.6", true)), 3.6);
    EXPECT_EQ(static_cast<double>(TextToReal(L"10000.50", true)), 10000.5);
    EXPECT_EQ(TextToReal(L"   ", true), 0.0L);
    EXPECT_EQ(TextToReal(L"-", true), 0.0L);
    EXPECT_EQ(RealToText(-1, true, TextToReal(L"0.1", true) + TextToReal(L"0.2", true)), L"0.3");
}

TEST(UkyFunctions, TextToRealRejectsMalformedTexts) {
    EXPECT_EQ(ErrorOf([] { TextToReal(L"+1", true); }), L"+1 is not a valid float number!");
    EXPECT_EQ(ErrorOf([] { TextToReal(L" 1,5", true); }), L"1,5 is not a valid float number!");
    EXPECT_EQ(ErrorOf([] { TextToReal(L"1 000", true); }), L"1 000 is not a valid float number!");
    EXPECT_EQ(ErrorOf([] { TextToReal(L"-1.2.3", true); }), L"-1.2.3 is not a valid float number!");
    EXPECT_EQ(ErrorOf([] { TextToReal(L"1e", true); }),
              L"empty string cannot be converted to integer!");
    EXPECT_EQ(ErrorOf([] { TextToReal(L"1e+3", true); }), L"+3 is not a valid integer!");
    EXPECT_EQ(TextToRealDef(L"abc", 3.6L, true), 3.6L);
    EXPECT_EQ(TextToRealDef(L"", 3.6L, true), 0.0L);
}

TEST(UkyFunctions, TextToRealBeyondTheDoubleRangeOverflows) {
    const long double big = TextToReal(L"1e400", true);
    EXPECT_EQ(ErrorOf([&] { StoreDouble(big); }), L"Floating point overflow");
    EXPECT_EQ(ErrorOf([] { TextToReal(L"1e5000", true); }), L"Floating point overflow");
    EXPECT_EQ(ErrorOf([] { TextToReal(L"1e4294967296", true); }), L"Floating point overflow");
    EXPECT_EQ(ErrorOf([] { TextToReal(std::wstring(5000, L'9'), true); }),
              L"Floating point overflow");
    EXPECT_EQ(TextToRealDef(L"1e5000", 20, true), 20.0L);
    EXPECT_EQ(StoreDouble(TextToReal(L"1e-400", true)), 0.0);
}
