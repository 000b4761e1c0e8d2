#include "PrintInputs.h"
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
        EXPECT_EQ(model.Inputs, (TYieldoraInputs{.Fund = 10000,
                                                 .Period = 1,
                                                 .Rate = 3.6,
                                                 .Tax = 20,
                                                 .Year = 20,
                                                 .Step = 1,
                                                 .Deposit = true}));
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
    EXPECT_EQ(model.Inputs, (TYieldoraInputs{.Fund = 2500.5,
                                             .Period = 3,
                                             .Rate = 0,
                                             .Tax = 20,
                                             .Year = 44,
                                             .Step = -2,
                                             .Deposit = false}));
}

TEST_F(UYieldoraTest, StoredNumbersBeyondTheDoubleRangeGiveTheDefaults) {
    Store("[Yieldora]\r\nFund=1e400\r\nRate=1e5000\r\nTax=-1e309\r\n");
    EXPECT_EQ(TYieldora().Inputs, TYieldoraInputs{});
}

TEST_F(UYieldoraTest, WritesEditedInputsThatReadBackUnchanged) {
    const TYieldoraInputs edited{.Fund = 10000.5,
                                 .Period = 5,
                                 .Rate = 2.75,
                                 .Tax = 0,
                                 .Year = 255,
                                 .Step = -3,
                                 .Deposit = false};
    TYieldora().Inputs = edited;
    EXPECT_EQ(Content(), "[Yieldora]\r\nFund=10000.5\r\nPeriod=5\r\nRate=2.75\r\nTax=0\r\n"
                         "Year=255\r\nStep=-3\r\nDeposit=0\r\n");
    EXPECT_EQ(TYieldora().Inputs, edited);
}

TEST_F(UYieldoraTest, CalculateRebuildsTheArraysFromTheCurrentInputs) {
    TYieldora model;
    model.Inputs.Period = 3;
    model.Inputs.Deposit = false;
    model.Calculate();
    ASSERT_EQ(model.Withdrawn.size(), 21u);
    EXPECT_EQ(model.Interest[3], 288.0);
    EXPECT_EQ(model.Total[3], 10864.0);
    EXPECT_EQ(model.Withdrawn[3], 864.0);
    EXPECT_EQ(model.Total[4], 10288.0);

    model.Inputs.Year = 2;
    model.Inputs.Period = 1;
    model.Inputs.Deposit = true;
    model.Calculate();
    ASSERT_EQ(model.Interest.size(), 3u);
    ASSERT_EQ(model.Total.size(), 3u);
    ASSERT_EQ(model.Withdrawn.size(), 3u);
    EXPECT_DOUBLE_EQ(model.Total[2], 10584.2944);
    EXPECT_EQ(model.Withdrawn[1], 0.0);
}

TEST_F(UYieldoraTest, SavedInputsAreNotWrittenAgainButLaterChangesAre) {
    Store("[Yieldora]\r\nFund=5000\r\n");
    {
        TYieldora model;
        model.Inputs.Year = 7;
        model.SaveInputs();
        Store("[Yieldora]\r\nFund=1\r\n");
    }
    EXPECT_EQ(Content(), "[Yieldora]\r\nFund=1\r\n");

    {
        TYieldora model;
        model.SaveInputs();
        model.Inputs.Step = 2;
    }
    EXPECT_EQ(Content(), "[Yieldora]\r\nFund=1\r\nPeriod=1\r\nRate=3.6\r\nTax=20\r\nYear=20\r\n"
                         "Step=2\r\nDeposit=1\r\n");

    // Loading again starts from the defaults, not from the inputs as they were.
    TYieldora model;
    model.Inputs = {.Fund = 2, .Rate = 9};
    Store("[Yieldora]\r\nTax=5\r\n");
    model.LoadInputs();
    EXPECT_EQ(model.Inputs, (TYieldoraInputs{.Tax = 5}));
}

TEST(DEPOSIT_TERMS, AValueThatIsNoTermStandsForTheLongest) {
    EXPECT_EQ(DEPOSIT_TERMS[0].Label, L"一年期");
    EXPECT_EQ(DEPOSIT_TERMS[4].Label, L"十年期");
    EXPECT_EQ(TermIndex(5), 3u);
    EXPECT_EQ(TermIndex(10), 4u);
    EXPECT_EQ(TermIndex(4), 4u);
    EXPECT_EQ(TermIndex(0), 4u);
    EXPECT_EQ(ListedTerm(3), 3);
    EXPECT_EQ(ListedTerm(255), 10);
    EXPECT_TRUE(IsDepositTerm(2));
    EXPECT_FALSE(IsDepositTerm(4));
    EXPECT_FALSE(IsDepositTerm(266));
}
