#pragma once

#include "UChartLayout.h"
#include "UDepositResult.h"
#include "UDepositPlan.h"

#include <functional>
#include <string>
#include <vector>

// How a text sits in the room it is given.
enum class TPrintAlign { Left, Right };

// One line of text on a printed page: its top at Y, in the room from X to X + Width. Positions
// are in the printer's units, from the top left corner of the page's printable area.
struct TPrintText {
    std::wstring Text;
    int X = 0;
    int Y = 0;
    int Width = 0;
    TPrintAlign Align = TPrintAlign::Left;
    bool Bold = false;
};

// A horizontal line from X1 to X2 at Y.
struct TPrintRule {
    int X1 = 0;
    int X2 = 0;
    int Y = 0;
};

// The pictures a page may hold besides its texts.
enum class TPrintPicture { None, GrowthChart, ComparisonChart };

struct TPrintPage {
    std::vector<TPrintText> Texts;
    std::vector<TPrintRule> Rules;
    // Frames drawn around marked rows (the best term), so that the mark survives printing in
    // black and white.
    std::vector<TChartRect> Frames;
    TPrintPicture Picture = TPrintPicture::None;
    TChartRect PictureRect;
};

struct TPrintDocument {
    std::vector<TPrintPage> Pages;
    // False when the columns are wider than the page at this font's size: the caller prints
    // with a smaller font.
    bool Fits = true;
};

// What the page and the font measure, in the printer's units: the printable area, the height of
// one line, and how wide a text is in the ordinary or the bold font.
struct TPrintMetrics {
    int Width = 0;
    int Height = 0;
    int LineHeight = 0;
    std::function<int(const std::wstring& Text, bool Bold)> TextWidth;
};

// "第 2 页，共 3 页".
std::wstring PageNumberText(int Page, int Count);

// Text broken into lines no wider than Width: after the line's last Chinese comma, else after its
// last space, else between any two characters. A single character wider than Width
// stands on a line of its own.
std::vector<std::wstring> WrapText(const std::wstring& Text, int Width,
                                   const std::function<int(const std::wstring&)>& TextWidth);

// The pages of the schedule: on each the heading (the inputs as the chart's title states them)
// and the table's captions, then as many rows as fit, none split across two pages, figures to
// the right of their columns, the remarks wrapped to their column; after the last row the
// totals line; at the foot of every page the date and its number.
TPrintDocument LayoutSchedulePrint(const TDepositResult& Result, const TPrintMetrics& Metrics,
                                   const std::wstring& Date);

// The pages of the comparison: the heading, the table of the terms with their rates (the best
// row in bold, framed and remarked "最佳"), and its chart under the table or on a page of its own.
TPrintDocument LayoutComparisonPrint(const TDepositPlan& Comparison, const TPrintMetrics& Metrics,
                                     const std::wstring& Date);

// The growth chart's page: the heading and the chart (with its own title line) filling the rest
// of the page.
TPrintDocument LayoutChartPrint(const TPrintMetrics& Metrics, const std::wstring& Date);
