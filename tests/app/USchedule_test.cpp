#include "UkyError.h"
#include "UkyMath.h"
#include "USchedule.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>

namespace {

TSchedule Defaults(std::uint8_t Period, bool Deposit, std::uint8_t Year = 20) {
    return CalculateSchedule({.Fund = 10000,
                              .Period = Period,
                              .Rate = 3.6,
                              .Tax = 20,
                              .Year = Year,
                              .Deposit = Deposit});
}

// One row of a schedule: the figures, and the whole-yuan figures the table shows.
void ExpectRow(const TSchedule& S, std::size_t I, double Interest, double Total, double Withdrawn,
               std::int64_t WholeInterest, std::int64_t WholeTotal) {
    SCOPED_TRACE(testing::Message() << "year " << I);
    EXPECT_DOUBLE_EQ(S.Interest[I], Interest);
    EXPECT_DOUBLE_EQ(S.Total[I], Total);
    EXPECT_DOUBLE_EQ(S.Withdrawn[I], Withdrawn);
    EXPECT_EQ(RoundToInt64(S.Interest[I]), WholeInterest);
    EXPECT_EQ(RoundToInt64(S.Total[I]), WholeTotal);
}

} // namespace

TEST(USchedule, OneYearTermRedeposited) {
    const TSchedule s = Defaults(1, true);
    ASSERT_EQ(s.Interest.size(), 21u);
    ASSERT_EQ(s.Total.size(), 21u);
    ASSERT_EQ(s.Withdrawn.size(), 21u);
    ExpectRow(s, 0, 0, 10000, 0, 0, 10000);
    ExpectRow(s, 1, 288, 10288, 0, 288, 10288);
    ExpectRow(s, 2, 296.2944, 10584.2944, 0, 296, 10584);
    ExpectRow(s, 3, 304.82767872, 10889.12207872, 0, 305, 10889);
    EXPECT_NEAR(s.Interest[20], 493.947, 0.001);
    EXPECT_NEAR(s.Total[20], 17644.896, 0.001);
    EXPECT_EQ(RoundToInt64(s.Interest[20]), 494);
    EXPECT_EQ(RoundToInt64(s.Total[20]), 17645);
}

TEST(USchedule, OneYearTermWithdrawn) {
    const TSchedule s = Defaults(1, false);
    for (std::size_t i = 1; i <= 20; ++i) {
        ExpectRow(s, i, 288, 10288, 288, 288, 10288);
    }
}

TEST(USchedule, ThreeYearTermRedeposited) {
    const TSchedule s = Defaults(3, true);
    ExpectRow(s, 1, 288, 10288, 0, 288, 10288);
    ExpectRow(s, 2, 288, 10576, 0, 288, 10576);
    ExpectRow(s, 3, 288, 10864, 0, 288, 10864);
    ExpectRow(s, 4, 312.8832, 11176.8832, 0, 313, 11177);
    ExpectRow(s, 5, 312.8832, 11489.7664, 0, 313, 11490);
    ExpectRow(s, 6, 312.8832, 11802.6496, 0, 313, 11803);
    ExpectRow(s, 7, 339.91630848, 12142.56590848, 0, 340, 12143);
}

TEST(USchedule, ThreeYearTermWithdrawn) {
    const TSchedule s = Defaults(3, false);
    for (std::size_t first : {1u, 4u}) {
        ExpectRow(s, first, 288, 10288, 0, 288, 10288);
        ExpectRow(s, first + 1, 288, 10576, 0, 288, 10576);
        ExpectRow(s, first + 2, 288, 10864, 864, 288, 10864);
    }
    ExpectRow(s, 7, 288, 10288, 0, 288, 10288);
}

TEST(USchedule, NoYearsAndNoMaturity) {
    const TSchedule empty = Defaults(1, true, 0);
    ASSERT_EQ(empty.Interest.size(), 1u);
    ExpectRow(empty, 0, 0, 10000, 0, 0, 10000);

    const TSchedule longTerm = Defaults(10, false, 5);
    ASSERT_EQ(longTerm.Total.size(), 6u);
    ExpectRow(longTerm, 5, 288, 11440, 0, 288, 11440);
}

TEST(USchedule, TaxAndRateBoundaries) {
    const TSchedule untaxed = CalculateSchedule(
        {.Fund = 10000, .Period = 1, .Rate = 3.6, .Tax = 100, .Year = 3, .Deposit = true});
    ExpectRow(untaxed, 3, 0, 10000, 0, 0, 10000);

    const TSchedule negative = CalculateSchedule(
        {.Fund = 10000, .Period = 2, .Rate = -5, .Tax = 0, .Year = 2, .Deposit = false});
    ExpectRow(negative, 1, -500, 9500, 0, -500, 9500);
    ExpectRow(negative, 2, -500, 9000, -1000, -500, 9000);
}

TEST(USchedule, ArithmeticFaultsRaise) {
    EXPECT_EQ(
        ErrorOf([] {
            CalculateSchedule(
                {.Fund = 1e308, .Period = 1, .Rate = 1e6, .Tax = 0, .Year = 1, .Deposit = true});
        }),
        L"Floating point overflow");
    EXPECT_EQ(
        ErrorOf([] {
            CalculateSchedule(
                {.Fund = 1e308, .Period = 1, .Rate = 100, .Tax = 0, .Year = 1, .Deposit = true});
        }),
        L"Floating point overflow");
    EXPECT_EQ(ErrorOf([] {
                  CalculateSchedule({.Fund = 1e300,
                                     .Period = 1,
                                     .Rate = 1e300,
                                     .Tax = 1e300,
                                     .Year = 1,
                                     .Deposit = true});
              }),
              L"Floating point overflow");
    EXPECT_EQ(
        ErrorOf([] {
            CalculateSchedule(
                {.Fund = 10000, .Period = 0, .Rate = 3.6, .Tax = 20, .Year = 1, .Deposit = true});
        }),
        L"Division by zero");
    EXPECT_EQ(
        ErrorOf([] {
            CalculateSchedule(
                {.Fund = 10000, .Period = 0, .Rate = 3.6, .Tax = 20, .Year = 0, .Deposit = true});
        }),
        L"(no error)");
}
