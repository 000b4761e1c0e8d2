#include "UChartLayout.h"

#include "USchedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The chart data of 10000 yuan at 3.6 % with 20 % tax for the given term, years and step.
class ChartLayoutTest : public testing::Test {
protected:
    TChartData Data(double Fund, std::uint8_t Period, bool Deposit, std::uint8_t Year = 20,
                    std::int32_t Step = 1) {
        const TYieldoraInputs inputs{
            .Fund = Fund, .Period = Period, .Year = Year, .Step = Step, .Deposit = Deposit};
        Schedule = CalculateSchedule(inputs);
        return MakeChartData({inputs, Schedule.Interest, Schedule.Total, Schedule.Withdrawn});
    }
    static std::vector<std::wstring> Labels(const TChartLayout& Layout) {
        std::vector<std::wstring> labels;
        for (const TChartTick& tick : Layout.Ticks) {
            labels.push_back(tick.Label);
        }
        return labels;
    }

    TSchedule Schedule;
};

TEST_F(ChartLayoutTest, DefaultInputsGiveProportionalBarsOnRoundTicks) {
    const TChartLayout layout = LayoutChart(Data(10000, 1, true), 640, 400, 96);
    ASSERT_FALSE(layout.Empty);
    EXPECT_EQ(layout.Title, L"本金 10,000 元，一年期，年利率 3.6%，利息税 20%，到期利息转存");
    EXPECT_EQ(layout.ValueCaption, L"元");
    EXPECT_EQ(layout.Plot.Left, 76);
    EXPECT_EQ(layout.Plot.Top, 72);
    EXPECT_EQ(layout.Plot.Right, 620);
    EXPECT_EQ(layout.Plot.Bottom, 360);
    EXPECT_EQ(Labels(layout),
              (std::vector<std::wstring>{L"0", L"5,000", L"10,000", L"15,000", L"20,000"}));
    EXPECT_EQ(layout.Ticks.back().Y, 72);
    EXPECT_EQ(layout.Ticks[2].Y, 216);

    // The table's totals in whole yuan; the axis runs to 20000 over 288 pixels.
    const double totals[] = {10288, 10584, 10889, 11203, 11525, 11857, 12199, 12550, 12912, 13283,
                             13666, 14060, 14464, 14881, 15310, 15751, 16204, 16671, 17151, 17645};
    ASSERT_EQ(layout.Bars.size(), 20u);
    for (std::size_t i = 0; i < 20; ++i) {
        const TChartBar& bar = layout.Bars[i];
        EXPECT_EQ(bar.Figures.Year, static_cast<int>(i) + 1);
        EXPECT_NEAR(bar.Rect.Bottom - bar.Rect.Top, totals[i] * 288 / 20000, 1.0) << i;
        EXPECT_EQ(bar.CapitalTop, 216) << i;
        EXPECT_EQ(bar.Rect.Right - bar.Rect.Left, 16) << i;
    }
    EXPECT_EQ(layout.Bars[0].Rect.Left, 82);
    EXPECT_EQ(layout.Bars[19].Rect.Right, 614);
    EXPECT_TRUE(layout.WithdrawnLine.empty());
    // Every second year fits under 27-pixel slots.
    ASSERT_EQ(layout.YearLabels.size(), 10u);
    EXPECT_EQ(layout.YearLabels[1].Label, L"3");
    EXPECT_EQ(layout.YearLabels[1].X, 144);
}

TEST_F(ChartLayoutTest, WithdrawnInterestFollowsTheShownYears) {
    const TChartData data = Data(10000, 3, false, 10, 2);
    ASSERT_EQ(data.Years.size(), 5u);
    const double totals[] = {10576, 10288, 10864, 10576, 10288};
    const double withdrawn[] = {0, 864, 1728, 1728, 2592};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(data.Years[i].Year, static_cast<int>(2 * i + 2));
        EXPECT_NEAR(data.Years[i].Total, totals[i], 0.5) << i;
        EXPECT_NEAR(data.Years[i].Earned, totals[i] - 10000, 0.5) << i;
        EXPECT_NEAR(data.Years[i].Withdrawn, withdrawn[i], 0.5) << i;
    }
    EXPECT_EQ(ChartBarTip(data.Years[2], false),
              L"第 6 年\r\n累计：10,864 元\r\n本金：10,000 元\r\n利息：864 元\r\n"
              L"已取出利息：1,728 元");
    EXPECT_EQ(ChartTitle(data), L"本金 10,000 元，三年期，年利率 3.6%，利息税 20%，到期取出利息");

    const TChartLayout layout = LayoutChart(data, 640, 400, 96);
    ASSERT_EQ(layout.WithdrawnLine.size(), 5u);
    // The axis runs to 12500 in steps of 2500, over 288 pixels.
    EXPECT_EQ(Labels(layout), (std::vector<std::wstring>{L"0", L"2,500", L"5,000", L"7,500",
                                                         L"10,000", L"12,500"}));
    EXPECT_EQ(layout.WithdrawnLine[0].Y, 360);
    EXPECT_EQ(layout.WithdrawnLine[4].Y, 360 - 60);
    EXPECT_EQ(layout.WithdrawnLine[4].X,
              (layout.Bars[4].Rect.Left + layout.Bars[4].Rect.Right) / 2);
}

TEST_F(ChartLayoutTest, TotalsBeyondAMillionAreShownInTenThousands) {
    const TChartLayout large = LayoutChart(Data(1000000, 1, true), 640, 400, 96);
    EXPECT_EQ(large.ValueCaption, L"万元");
    EXPECT_EQ(Labels(large), (std::vector<std::wstring>{L"0", L"50", L"100", L"150", L"200"}));
    EXPECT_NEAR(large.Bars.back().Rect.Bottom - large.Bars.back().Rect.Top,
                1764490.0 * 288 / 2000000, 1.0);

    // Exactly a million stays in yuan.
    const TChartLayout million =
        LayoutChart(MakeChartData({{.Fund = 1000000, .Rate = 0, .Tax = 0, .Year = 1},
                                   std::vector<double>{0, 0},
                                   std::vector<double>{1000000, 1000000},
                                   std::vector<double>{0, 0}}),
                    640, 400, 96);
    EXPECT_EQ(million.ValueCaption, L"元");
    EXPECT_EQ(Labels(million).back(), L"1,000,000");
}

TEST_F(ChartLayoutTest, NoRowsGiveTheEmptyChart) {
    EXPECT_TRUE(LayoutChart(Data(10000, 1, true, 0), 640, 400, 96).Empty);
    EXPECT_TRUE(LayoutChart(TChartData{}, 640, 400, 96).Bars.empty());
    // A zero step shows no rows, as the table.
    EXPECT_TRUE(Data(10000, 1, true, 20, 0).Years.empty());
    // The table ends before a total beyond the 64-bit range, and so does the chart.
    const std::vector<double> interest{0, 1, 1, 1};
    const std::vector<double> total{5, 6, 1e19, 8};
    const std::vector<double> none(4);
    const TChartData data =
        MakeChartData({{.Fund = 5, .Rate = 1, .Tax = 0, .Year = 3}, interest, total, none});
    ASSERT_EQ(data.Years.size(), 1u);
    EXPECT_EQ(data.Years[0].Total, 6);
}

} // namespace
