#include "UkyError.h"
#include "UkyMath.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

constexpr long double INF = std::numeric_limits<long double>::infinity();
constexpr long double NA_N = std::numeric_limits<long double>::quiet_NaN();

} // namespace

TEST(UkyMath, ExtendedArithmeticKeepsA64BitMantissa) {
    volatile long double one = 1.0L;
    volatile long double tiny = std::ldexp(1.0L, -63);
    EXPECT_NE(one + tiny, one);
}

TEST(UkyMath, RaiseToPower) {
    EXPECT_EQ(RaiseToPower(2.0L, -3), 0.125L);
    EXPECT_EQ(RaiseToPower(2.0L, 10), 1024.0L);
    EXPECT_EQ(RaiseToPower(7.5L, 0), 1.0L);
    EXPECT_EQ(RaiseToPower(0.0L, 0), 1.0L);
    EXPECT_EQ(RaiseToPower(10.0L, 4932) > 1e4931L, true);
    EXPECT_EQ(ErrorOf([] { RaiseToPower(10.0L, 4933); }), L"Floating point overflow");
    EXPECT_EQ(ErrorOf([] { RaiseToPower(10.0L, -5000); }), L"Floating point overflow");
    EXPECT_EQ(ErrorOf([] { RaiseToPower(0.0L, -3); }), L"Division by zero");
}

TEST(UkyMath, RoundDigitsRoundsToDecimalPlaces) {
    EXPECT_EQ(static_cast<double>(RoundDigits(2, 1234.5678L)), 1234.57);
    EXPECT_EQ(static_cast<double>(RoundDigits(2, 0.0012345L)), 0.0012);
    EXPECT_EQ(static_cast<double>(RoundDigits(2, 2.3456L)), 2.35);
    EXPECT_EQ(static_cast<double>(RoundDigits(0, 2.5L)), 2.0);
    EXPECT_EQ(static_cast<double>(RoundDigits(-30, 3.5L)), 4.0);
    EXPECT_EQ(RoundDigits(-5, 3.14159L), 3.14159L);
    EXPECT_EQ(RoundDigits(3, 0.0L), 0.0L);
    EXPECT_EQ(RoundDigits(-25, 0.0L), 0.0L);
    // Too small to scale within 20 places: unrounded.
    EXPECT_EQ(RoundDigits(2, 1e-25L), 1e-25L);
}

TEST(UkyMath, RoundDigitsKeepsValuesBeyondTheIntegerRangeUnrounded) {
    EXPECT_EQ(RoundDigits(1, 930000000000000000.25L), 930000000000000000.25L);
    EXPECT_EQ(RoundDigits(0, 9300000000000000000.0L), 9300000000000000000.0L);
    EXPECT_EQ(RoundDigits(1, 1e20L), 1e20L);
}

TEST(UkyMath, RoundDigitsRejectsNonFiniteValues) {
    EXPECT_EQ(ErrorOf([] { RoundDigits(2, NA_N); }), L"Invalid result!");
    EXPECT_EQ(ErrorOf([] { RoundDigits(2, -INF); }), L"Invalid result!");
    EXPECT_EQ(ErrorOf([] { RoundDigits(-3, INF); }), L"Invalid result!");
    EXPECT_EQ(ErrorOf([] { RoundDigits(2, 1e400L); }), L"Floating point overflow");
}

TEST(UkyMath, RangeTestsPutTheMinimumFirst) {
    EXPECT_EQ(LimitToRange(-3, 0, -1), 0);
    EXPECT_EQ(LimitToRange(5, 0, -1), -1);
    EXPECT_EQ(LimitToRange(5, 0, 10), 5);
    EXPECT_EQ(LimitToRange(11, 0, 10), 10);
    EXPECT_FALSE(IsBetween(0, 0, -1));
    EXPECT_TRUE(IsBetween(0, 0, 0));
    EXPECT_TRUE(IsBetween(10, 0, 10));
    EXPECT_FALSE(IsBetween(11, 0, 10));
}

TEST(UkyMath, ClassifiesSpecialValues) {
    EXPECT_TRUE(IsNotANumber(NA_N));
    EXPECT_TRUE(IsNotANumber(-NA_N));
    EXPECT_FALSE(IsNotANumber(INF));
    EXPECT_FALSE(IsNotANumber(1.0L));
    EXPECT_TRUE(IsInfinity(HUGE_VAL));
    EXPECT_TRUE(IsInfinity(-HUGE_VAL));
    EXPECT_FALSE(IsInfinity(std::nan("")));
    EXPECT_FALSE(IsInfinity(DBL_MAX));
}

TEST(UkyMath, StoreDoubleRaisesWhenTheValueLeavesTheDoubleRange) {
    EXPECT_EQ(StoreDouble(3.5L), 3.5);
    EXPECT_EQ(StoreDouble(static_cast<long double>(DBL_MAX)), DBL_MAX);
    EXPECT_EQ(StoreDouble(-static_cast<long double>(DBL_MAX) * (1 + 1e-17L)), -DBL_MAX);
    EXPECT_EQ(StoreDouble(1e-400L), 0.0);
    EXPECT_TRUE(std::isinf(StoreDouble(INF)));
    EXPECT_TRUE(std::isnan(StoreDouble(NA_N)));
    EXPECT_EQ(ErrorOf([] { StoreDouble(1e400L); }), L"Floating point overflow");
    EXPECT_EQ(ErrorOf([] { StoreDouble(-1e309L); }), L"Floating point overflow");
}

TEST(UkyMath, RoundToInt64TakesHalvesToEven) {
    EXPECT_EQ(RoundToInt64(288.5L), 288);
    EXPECT_EQ(RoundToInt64(289.5L), 290);
    EXPECT_EQ(RoundToInt64(-0.5L), 0);
    EXPECT_EQ(RoundToInt64(-1.5L), -2);
    EXPECT_EQ(RoundToInt64(296.2944L), 296);
    EXPECT_EQ(RoundToInt64(-9223372036854775808.0L), INT64_MIN);
    EXPECT_EQ(ErrorOf([] { RoundToInt64(9223372036854775808.0L); }),
              L"Invalid floating point operation");
    EXPECT_EQ(ErrorOf([] { RoundToInt64(NA_N); }), L"Invalid floating point operation");
    EXPECT_EQ(ErrorOf([] { RoundToInt64(-INF); }), L"Invalid floating point operation");
}

TEST(UkyMath, IntModKeepsTheDividendsSign) {
    EXPECT_EQ(IntMod(20, 3), 2);
    EXPECT_EQ(IntMod(-7, 3), -1);
    EXPECT_EQ(IntMod(7, -3), 1);
    EXPECT_EQ(IntMod(INT64_MIN, -1), 0);
    EXPECT_EQ(ErrorOf([] { IntMod(5, 0); }), L"Division by zero");
}
