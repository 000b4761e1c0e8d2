#include "UResultTable.h"

#include "UkyError.h"
#include "USchedule.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::wstring ErrorOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EkyError& error) {
        return error.Message();
    }
    return L"(no error)";
}

// The rows for the default inputs (10000 yuan, 3.6 %, 20 % tax) with the given term and years.
class ResultRowsTest : public testing::Test {
protected:
    std::vector<TResultRow> Rows(std::uint8_t Period, bool Deposit, std::uint8_t Year = 20,
                                 std::int32_t Step = 1) {
        Inputs = {.Period = Period, .Year = Year, .Step = Step, .Deposit = Deposit};
        Schedule = CalculateSchedule(Inputs);
        return ResultRows(Source());
    }
    TResultSource Source() const {
        return {Inputs, Schedule.Interest, Schedule.Total, Schedule.Withdrawn};
    }
    static std::vector<std::wstring> Texts(const std::vector<TResultRow>& Rows) {
        std::vector<std::wstring> texts;
        for (const TResultRow& row : Rows) {
            texts.push_back(row.Text);
        }
        return texts;
    }

    TYieldoraInputs Inputs;
    TSchedule Schedule;
};

} // namespace

TEST_F(ResultRowsTest, RemarksAndImagesOfTheWorkedExamples) {
    const std::vector<TResultRow> redeposited = Rows(1, true);
    ASSERT_EQ(redeposited.size(), 20u);
    EXPECT_EQ(redeposited[0].Text, L"1\t288\t10288\t连本带息取出后转存");
    EXPECT_EQ(redeposited[0].Image, 1);
    EXPECT_EQ(redeposited[1].Text, L"2\t296\t10584\t连本带息取出后转存");
    EXPECT_EQ(redeposited[2].Text, L"3\t305\t10889\t连本带息取出后转存");
    EXPECT_EQ(redeposited[19].Text, L"20\t494\t17645\t取出全部本息");
    EXPECT_EQ(redeposited[19].Image, 2);

    EXPECT_EQ(Rows(1, false)[0].Text, L"1\t288\t10288\t取出利息288元");

    const std::vector<TResultRow> threeYears = Rows(3, false);
    EXPECT_EQ(threeYears[1].Text, L"2\t288\t10576");
    EXPECT_EQ(threeYears[1].Image, 0);
    EXPECT_EQ(threeYears[2].Text, L"3\t288\t10864\t取出利息864元");
    EXPECT_EQ(threeYears[2].Image, 1);
    EXPECT_EQ(threeYears[6].Text, L"7\t288\t10288");

    const std::vector<TResultRow> threeRedeposited = Rows(3, true, 7);
    EXPECT_EQ(Texts(threeRedeposited),
              (std::vector<std::wstring>{L"1\t288\t10288", L"2\t288\t10576",
                                         L"3\t288\t10864\t连本带息取出后转存", L"4\t313\t11177",
                                         L"5\t313\t11490", L"6\t313\t11803\t连本带息取出后转存",
                                         L"7\t340\t12143\t取出全部本息"}));
}

TEST_F(ResultRowsTest, ShownYearsAreTheMultiplesOfTheStepAndTheLastYear) {
    std::vector<std::wstring> years;
    for (const TResultRow& row : Rows(1, true, 20, 3)) {
        years.push_back(row.Text.substr(0, row.Text.find(L'\t')));
    }
    EXPECT_EQ(years, (std::vector<std::wstring>{L"3", L"6", L"9", L"12", L"15", L"18", L"20"}));

    EXPECT_EQ(Texts(Rows(1, true, 20, -7)), Texts(Rows(1, true, 20, 7)));
    EXPECT_EQ(Texts(Rows(3, false, 5, 9)),
              (std::vector<std::wstring>{L"5\t288\t10576\t取出全部本息"}));

    // The maturity of year 6 is not a multiple of the step 4 and leaves no remark anywhere.
    const std::vector<std::wstring> texts = Texts(Rows(3, false, 8, 4));
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"4\t288\t10288", L"8\t288\t10576\t取出全部本息"}));

    // The last year is also a maturity without re-deposit: the last-year remark wins.
    const std::vector<TResultRow> last = Rows(3, false, 6);
    EXPECT_EQ(last.back().Text, L"6\t288\t10864\t取出全部本息");
    EXPECT_EQ(last.back().Image, 2);

    EXPECT_TRUE(Rows(1, true, 0).empty());
    EXPECT_TRUE(Rows(1, true, 0, 0).empty());
}

TEST_F(ResultRowsTest, ZeroStepFailsBeforeTheFirstRow) {
    Inputs = {.Step = 0};
    Schedule = CalculateSchedule(Inputs);
    int produced = 0;
    EXPECT_EQ(ErrorOf([&] { ProduceResultRows(Source(), [&](const TResultRow&) { ++produced; }); }),
              L"Division by zero");
    EXPECT_EQ(produced, 0);
}

TEST(ResultRows, WholeYuanRoundsHalvesToEvenAndFailsBeyondTheInt64Range) {
    const std::vector<double> interest{0, 288.5, 289.5, -2.5, 1e19};
    const std::vector<double> total{0, 10288.5, 10577.5, -0.5, 1};
    const std::vector<double> withdrawn{0, 0, 578.5, 0, 0};
    std::vector<TResultRow> rows;
    EXPECT_EQ(
        ErrorOf([&] {
            ProduceResultRows(
                {{.Period = 2, .Year = 4, .Step = 1, .Deposit = false}, interest, total, withdrawn},
                [&](const TResultRow& Row) { rows.push_back(Row); });
        }),
        L"Invalid floating point operation");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Text, L"1\t288\t10288");
    EXPECT_EQ(rows[1].Text, L"2\t290\t10578\t取出利息578元");
    EXPECT_EQ(rows[2].Text, L"3\t-2\t0");

    const TYieldoraInputs hugeInputs{.Fund = 1e20, .Year = 2};
    const TSchedule huge = CalculateSchedule(hugeInputs);
    EXPECT_EQ(ErrorOf([&] {
                  ResultRows({hugeInputs, huge.Interest, huge.Total, huge.Withdrawn});
              }),
              L"Invalid floating point operation");
}

TEST(TableText, HeaderRowsAndOneCellPerColumn) {
    const std::vector<std::wstring> rows{L"1\t288\t10288\t取出利息288元",
                                         L"2\t288\t10288\t取出全部本息"};
    EXPECT_EQ(TableText(RESULT_CAPTIONS, rows), L"年\t利息\t累计\t备注\r\n"
                                                L"1\t288\t10288\t取出利息288元\r\n"
                                                L"2\t288\t10288\t取出全部本息");

    const std::vector<std::wstring> uneven{L"2\t288\t10576", L"a\tb\tc\td\te", L""};
    EXPECT_EQ(TableText(RESULT_CAPTIONS, uneven),
              L"年\t利息\t累计\t备注\r\n2\t288\t10576\t\r\na\tb\tc\td\r\n\t\t\t");

    EXPECT_EQ(TableText(RESULT_CAPTIONS, {}), L"年\t利息\t累计\t备注\r\n");
    EXPECT_EQ(TableText({}, {}), L"\r\n");
}

TEST(CsvText, MarkFirstQuotedWhereNeededOneCellPerColumnAndEveryLineEnded) {
    const std::vector<std::wstring> rows{L"1\t288\t10288\t取出利息288元", L"20\t-494\t17645",
                                         L"a,b\t\"q\"\tline\r\nbreak\tx\ty"};
    EXPECT_EQ(CsvText(RESULT_CAPTIONS, rows), L"\uFEFF年,利息,累计,备注\r\n"
                                              L"1,288,10288,取出利息288元\r\n"
                                              L"20,-494,17645,\r\n"
                                              L"\"a,b\",\"\"\"q\"\"\",\"line\r\nbreak\",x\r\n");
    EXPECT_EQ(CsvText(RESULT_CAPTIONS, {}), L"\uFEFF年,利息,累计,备注\r\n");
}

TEST(GroupedYuan, SeparatesThousandsOfWholeYuan) {
    EXPECT_EQ(GroupedYuan(0), L"0");
    EXPECT_EQ(GroupedYuan(999.4), L"999");
    EXPECT_EQ(GroupedYuan(1000), L"1,000");
    EXPECT_EQ(GroupedYuan(2.5), L"2");
    EXPECT_EQ(GroupedYuan(-1234567), L"-1,234,567");
    EXPECT_EQ(GroupedYuan(-9223372036854775807.0 - 1), L"-9,223,372,036,854,775,808");
}
