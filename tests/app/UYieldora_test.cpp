#include "UYieldora.h"
#include "UkyIniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Each test starts without a profile file beside the test program.
class UYieldoraTest : public testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(Path); }
    void TearDown() override { std::filesystem::remove(Path); }

    void Store(const std::string& Content) const {
        std::ofstream(Path, std::ios::binary) << Content;
    }
    std::string Content() const {
        std::ifstream file(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    const std::filesystem::path Path{ProfilePath()};
};

} // namespace

TEST_F(UYieldoraTest, FirstRunUsesDefaultsAndWritesThemAfterTheProgramSection) {
    Store("[Program]\r\nWindowLeft=320\r\nWindowTop=240\r\n");
    {
        TYieldora model;
        EXPECT_EQ(model.Fund, 10000.0);
        EXPECT_EQ(model.Period, 1);
        EXPECT_EQ(model.Rate, 3.6);
        EXPECT_EQ(model.Tax, 20.0);
        EXPECT_EQ(model.Year, 20);
        EXPECT_EQ(model.Step, 1);
        EXPECT_TRUE(model.Deposit);
        EXPECT_TRUE(model.Interest.empty());
        EXPECT_TRUE(model.Total.empty());
        EXPECT_TRUE(model.Withdrawn.empty());
    }
    EXPECT_EQ(Content(), "[Program]\r\nWindowLeft=320\r\nWindowTop=240\r\n[Yieldora]\r\n"
                         "Fund=10000\r\nPeriod=1\r\nRate=3.6\r\nTax=20\r\nYear=20\r\nStep=1\r\n"
                         "Deposit=1\r\n");
}

TEST_F(UYieldoraTest, LoadsStoredValuesAndFallsBackOnMalformedOnes) {
    Store("[Yieldora]\r\nFund=2500.5\r\nPeriod=259\r\nRate=\r\nTax=abc\r\nYear=300\r\n"
          "Step=-2\r\nDeposit=xyz\r\n");
    TYieldora model;
    EXPECT_EQ(model.Fund, 2500.5);
    EXPECT_EQ(model.Period, 3);
    EXPECT_EQ(model.Rate, 0.0);
    EXPECT_EQ(model.Tax, 20.0);
    EXPECT_EQ(model.Year, 44);
    EXPECT_EQ(model.Step, -2);
    EXPECT_FALSE(model.Deposit);
}

TEST_F(UYieldoraTest, StoredNumbersBeyondTheDoubleRangeGiveTheDefaults) {
    Store("[Yieldora]\r\nFund=1e400\r\nRate=1e5000\r\nTax=-1e309\r\n");
    TYieldora model;
    EXPECT_EQ(model.Fund, 10000.0);
    EXPECT_EQ(model.Rate, 3.6);
    EXPECT_EQ(model.Tax, 20.0);
}

TEST_F(UYieldoraTest, WritesEditedInputsThatReadBackUnchanged) {
    {
        TYieldora model;
        model.Fund = 10000.5;
        model.Period = 5;
        model.Rate = 2.75;
        model.Tax = 0;
        model.Year = 255;
        model.Step = -3;
        model.Deposit = false;
    }
    EXPECT_EQ(Content(), "[Yieldora]\r\nFund=10000.5\r\nPeriod=5\r\nRate=2.75\r\nTax=0\r\n"
                         "Year=255\r\nStep=-3\r\nDeposit=0\r\n");
    TYieldora model;
    EXPECT_EQ(model.Fund, 10000.5);
    EXPECT_EQ(model.Period, 5);
    EXPECT_EQ(model.Rate, 2.75);
    EXPECT_EQ(model.Tax, 0.0);
    EXPECT_EQ(model.Year, 255);
    EXPECT_EQ(model.Step, -3);
    EXPECT_FALSE(model.Deposit);
}

TEST_F(UYieldoraTest, CalculateRebuildsTheArraysFromTheCurrentInputs) {
    TYieldora model;
    model.Period = 3;
    model.Deposit = false;
    model.Calculate();
    ASSERT_EQ(model.Withdrawn.size(), 21u);
    EXPECT_EQ(model.Interest[3], 288.0);
    EXPECT_EQ(model.Total[3], 10864.0);
    EXPECT_EQ(model.Withdrawn[3], 864.0);
    EXPECT_EQ(model.Total[4], 10288.0);

    model.Year = 2;
    model.Period = 1;
    model.Deposit = true;
    model.Calculate();
    ASSERT_EQ(model.Interest.size(), 3u);
    ASSERT_EQ(model.Total.size(), 3u);
    ASSERT_EQ(model.Withdrawn.size(), 3u);
    EXPECT_DOUBLE_EQ(model.Total[2], 10584.2944);
    EXPECT_EQ(model.Withdrawn[1], 0.0);
}
