#include "UPrintLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A font where an ASCII character is 10 units wide and any other 20, lines 10 high.
int Width(const std::wstring& Text) {
    int width = 0;
    for (const wchar_t c : Text) {
        width += c < 0x80 ? 10 : 20;
    }
    return width;
}

TPrintMetrics Page(int PageWidth, int PageHeight) {
    return {PageWidth, PageHeight, 10, [](const std::wstring& Text, bool) { return Width(Text); }};
}

const TPrintText* Find(const TPrintPage& Page, const std::wstring& Text) {
    const auto found = std::find_if(Page.Texts.begin(), Page.Texts.end(),
                                    [&](const TPrintText& Placed) { return Placed.Text == Text; });
    return found == Page.Texts.end() ? nullptr : &*found;
}

// The texts of a page at height Y, left to right.
std::vector<std::wstring> Line(const TPrintPage& Page, int Y) {
    std::vector<TPrintText> texts;
    std::copy_if(Page.Texts.begin(), Page.Texts.end(), std::back_inserter(texts),
                 [Y](const TPrintText& Placed) { return Placed.Y == Y; });
    std::sort(texts.begin(), texts.end(),
              [](const TPrintText& Left, const TPrintText& Right) { return Left.X < Right.X; });
    std::vector<std::wstring> line;
    for (const TPrintText& text : texts) {
        line.push_back(text.Text);
    }
    return line;
}

// Every text fits its room, and every room lies on the page.
void ExpectNothingClipped(const TPrintDocument& Document, const TPrintMetrics& Metrics) {
    for (const TPrintPage& page : Document.Pages) {
        for (const TPrintText& text : page.Texts) {
            EXPECT_LE(Width(text.Text), text.Width) << text.Text;
            EXPECT_LE(text.X + text.Width, Metrics.Width) << text.Text;
            EXPECT_LE(text.Y + Metrics.LineHeight, Metrics.Height) << text.Text;
        }
    }
}

} // namespace

TEST(PrintLayout, TheDefaultScheduleOnOnePage) {
    const TPrintMetrics metrics = Page(400, 300);
    const TPrintDocument document =
        LayoutSchedulePrint(CalculateResult({}), metrics, L"2026-12-08");
    ASSERT_TRUE(document.Fits);
    ASSERT_EQ(document.Pages.size(), 1u);
    const TPrintPage& page = document.Pages[0];
    // The heading: the title, then the inputs wrapped after a comma.
    EXPECT_EQ(Line(page, 0), std::vector<std::wstring>{L"定期存款收益表"});
    EXPECT_EQ(Line(page, 10), std::vector<std::wstring>{L"本金 10,000 元，一年期，年利率 3.6%，"});
    EXPECT_EQ(Line(page, 20), std::vector<std::wstring>{L"利息税 20%，到期利息转存"});
    EXPECT_EQ(Line(page, 35), (std::vector<std::wstring>{L"年", L"利息", L"累计", L"备注"}));
    ASSERT_EQ(page.Rules.size(), 1u);
    EXPECT_EQ(page.Rules[0].Y, 45);
    EXPECT_EQ(Line(page, 47),
              (std::vector<std::wstring>{L"1", L"288", L"10288", L"连本带息取出后转存"}));
    EXPECT_EQ(Line(page, 237),
              (std::vector<std::wstring>{L"20", L"494", L"17645", L"取出全部本息"}));
    // Figures end at their column's right edge.
    const TPrintText* first = Find(page, L"288");
    const TPrintText* last = Find(page, L"494");
    EXPECT_EQ(first->Align, TPrintAlign::Right);
    EXPECT_EQ(first->X + first->Width, last->X + last->Width);
    // The totals line after a half line's gap, wrapped after its comma.
    EXPECT_EQ(Line(page, 252), std::vector<std::wstring>{L"20 年共得利息 7,645 元，"});
    EXPECT_EQ(Line(page, 262), std::vector<std::wstring>{L"期末本息 17,645 元，折合年化 2.88%"});
    // The date above the page's number: the two do not fit one line here.
    EXPECT_EQ(Line(page, 280), std::vector<std::wstring>{L"打印日期：2026-12-08"});
    EXPECT_EQ(Line(page, 290), std::vector<std::wstring>{L"第 1 页，共 1 页"});
    EXPECT_EQ(Find(page, L"第 1 页，共 1 页")->Align, TPrintAlign::Right);
    ExpectNothingClipped(document, metrics);
}

TEST(PrintLayout, LongSchedulesRunOverPagesWithTheirCaptionsAndNoRowSplit) {
    const TPrintMetrics metrics = Page(420, 300);
    const TPrintDocument document =
        LayoutSchedulePrint(CalculateResult({.Year = 255}), metrics, L"2026-12-08");
    // 23 rows fit under the heading and the captions: 255 rows take 12 pages.
    ASSERT_EQ(document.Pages.size(), 12u);
    for (std::size_t i = 0; i < document.Pages.size(); ++i) {
        const TPrintPage& page = document.Pages[i];
        EXPECT_EQ(Line(page, 35), (std::vector<std::wstring>{L"年", L"利息", L"累计", L"备注"}));
        EXPECT_EQ(Line(page, 290)[1], PageNumberText(static_cast<int>(i) + 1, 12));
        EXPECT_EQ(Line(page, 47)[0], std::to_wstring(i * 23 + 1));
    }
    EXPECT_EQ(Line(document.Pages[10], 267)[0], L"253");
    EXPECT_EQ(Line(document.Pages[11], 57),
              (std::vector<std::wstring>{L"255", L"390351", L"13944202", L"取出全部本息"}));
    EXPECT_EQ(Line(document.Pages[11], 82),
              std::vector<std::wstring>{L"期末本息 13,944,202 元，折合年化 2.88%"});
    ExpectNothingClipped(document, metrics);

    // A narrow page wraps the remarks: a row of two lines goes whole onto the next page.
    const TPrintMetrics narrow = Page(300, 300);
    const TPrintDocument wrapped = LayoutSchedulePrint(CalculateResult({}), narrow, L"");
    ASSERT_TRUE(wrapped.Fits);
    ASSERT_EQ(wrapped.Pages.size(), 2u);
    EXPECT_EQ(Line(wrapped.Pages[0], 20),
              std::vector<std::wstring>{L"3.6%，利息税 20%，到期利息转存"});
    EXPECT_EQ(Line(wrapped.Pages[0], 47),
              (std::vector<std::wstring>{L"1", L"288", L"10288", L"连本带息取出"}));
    EXPECT_EQ(Line(wrapped.Pages[0], 57), std::vector<std::wstring>{L"后转存"});
    // Rows of two lines from 47 on: 11 fit above 285 on the first page.
    EXPECT_EQ(Line(wrapped.Pages[1], 47)[0], L"12");
    ExpectNothingClipped(wrapped, narrow);

    // Narrower still, the remarks have no room: the caller prints with a smaller font.
    EXPECT_FALSE(LayoutSchedulePrint(CalculateResult({}), Page(200, 300), L"").Fits);
}

TEST(PrintLayout, TheComparisonMarksItsBestRowAndPlacesItsChart) {
    const TYieldoraInputs inputs{};
    const TDepositPlan comparison =
        PlanDeposit(inputs, {},
                    std::vector<TPlanRate>{
                        {12, L"1.5"}, {24, L"2.1"}, {36, L"2.75"}, {60, L"2.75"}, {120, L"3"}},
                    true);
    ASSERT_EQ(comparison.Best, 4u);
    const TPrintMetrics metrics = Page(700, 300);
    const TPrintDocument document = LayoutComparisonPrint(comparison, metrics, L"2026-12-08");
    ASSERT_TRUE(document.Fits);
    ASSERT_EQ(document.Pages.size(), 1u);
    const TPrintPage& page = document.Pages[0];
    EXPECT_EQ(Line(page, 0), std::vector<std::wstring>{L"存期比较"});
    EXPECT_EQ(Line(page, 10),
              std::vector<std::wstring>{L"本金 10,000 元，利息税 20%，20 年，到期利息转存"});
    EXPECT_EQ(Line(page, 25),
              (std::vector<std::wstring>{L"存期", L"年利率", L"共得利息", L"期末本息", L"折合年化",
                                         L"比最佳少", L"备注"}));
    // The three-year term's seventh certificate runs on to year 21: its remark is wrapped after
    // the comma.
    EXPECT_EQ(Line(page, 57).back(), L"未到期，");
    EXPECT_EQ(Line(page, 67), std::vector<std::wstring>{L"第 21 年到期"});
    const std::vector<std::wstring> best = Line(page, 87);
    ASSERT_EQ(best.size(), 7u);
    EXPECT_EQ(best[0], L"十年期");
    EXPECT_EQ(best[1], L"3");
    EXPECT_EQ(best[6], L"最佳");
    EXPECT_TRUE(Find(page, L"十年期")->Bold);
    EXPECT_FALSE(Find(page, L"一年期")->Bold);
    ASSERT_EQ(page.Frames.size(), 1u);
    EXPECT_EQ(page.Frames[0].Top, 87);
    EXPECT_EQ(page.Frames[0].Bottom, 97);
    EXPECT_EQ(page.Picture, TPrintPicture::ComparisonChart);
    EXPECT_EQ(page.PictureRect.Top, 107);
    EXPECT_EQ(page.PictureRect.Bottom, 285);
    ExpectNothingClipped(document, metrics);

    // Too little room under the table: the chart on a page of its own.
    const TPrintDocument shorter = LayoutComparisonPrint(comparison, Page(700, 200), L"");
    ASSERT_EQ(shorter.Pages.size(), 2u);
    EXPECT_EQ(shorter.Pages[0].Picture, TPrintPicture::None);
    EXPECT_EQ(shorter.Pages[1].Picture, TPrintPicture::ComparisonChart);
    EXPECT_EQ(shorter.Pages[1].PictureRect.Top, 25);
    EXPECT_EQ(Line(shorter.Pages[1], 190)[1], L"第 2 页，共 2 页");
}

TEST(PrintLayout, WrapBreaksAfterCommasThenSpacesThenAnywhere) {
    EXPECT_EQ(WrapText(L"ab cd，ef gh", 70, Width),
              (std::vector<std::wstring>{L"ab cd，", L"ef gh"}));
    EXPECT_EQ(WrapText(L"ab cd ef", 50, Width), (std::vector<std::wstring>{L"ab cd", L"ef"}));
    EXPECT_EQ(WrapText(L"连本带息", 30, Width),
              (std::vector<std::wstring>{L"连", L"本", L"带", L"息"}));
    EXPECT_EQ(WrapText(L"", 30, Width), std::vector<std::wstring>{});
}
