#pragma once

#include "UResultTable.h"
#include "USchedule.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The figures of one year that the result table shows, in yuan.
struct TChartYear {
    std::int32_t Year = 0;
    double Total = 0;     // the running total the table shows
    double Capital = 0;   // the part of the total that is capital
    double Earned = 0;    // the part of the total that is interest
    double Withdrawn = 0; // interest taken out up to and including this year
};

// A snapshot of one calculation for the chart: its inputs and the table's years.
struct TChartData {
    TYieldoraInputs Inputs;
    std::vector<TChartYear> Years;
};

// The years the result table shows for Source (every Step-th year and the last), with their
// figures. Like the table it has no rows for a zero Step, and it ends before a row whose figures
// the table cannot show.
TChartData MakeChartData(const TResultSource& Source);

// A rectangle in pixels; Right and Bottom lie outside it.
struct TChartRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

struct TChartPoint {
    int X = 0;
    int Y = 0;
};

// One bar: the capital part from CapitalTop down to Bottom, the interest part above it up to Top.
struct TChartBar {
    TChartRect Rect;
    int CapitalTop = 0;
    TChartYear Figures;
};

// A value on the vertical axis: its line's y and its label.
struct TChartTick {
    double Value = 0;
    int Y = 0;
    std::wstring Label;
};

// A year label under the bars, centred on X.
struct TChartYearLabel {
    int X = 0;
    std::wstring Label;
};

// Where everything of the chart goes in a client area of a given size.
struct TChartLayout {
    bool Empty = true;
    int Dpi = 96;
    std::wstring Title;
    std::wstring ValueCaption; // "元", or "万元" for totals beyond a million
    TChartRect TitleRect;
    TChartRect LegendRect;
    TChartRect Plot; // the bars' area; its bottom is the zero line
    std::vector<TChartTick> Ticks;
    std::vector<TChartBar> Bars;
    std::vector<TChartYearLabel> YearLabels;
    int YearLabelTop = 0;
    // The interest withdrawn so far, one point per bar; empty when the interest is re-deposited.
    std::vector<TChartPoint> WithdrawnLine;
};

// The text shown when the table has no rows.
inline const std::wstring CHART_EMPTY_TEXT = L"结果表中没有数据，请先计算。";

// A round distance between ticks that splits Max into about five parts: 1, 2, 2.5 or 5 times a
// power of ten, a whole number of at least 1.
double NiceStep(double Max);

// The chart of Data in a client area of Width x Height pixels on a screen of Dpi dots per inch.
TChartLayout LayoutChart(const TChartData& Data, int Width, int Height, int Dpi);

// The title line: the capital, the term, the rate, the tax and what happens to the interest.
std::wstring ChartTitle(const TChartData& Data);

// The tooltip of one bar: the year and its figures, one per line.
std::wstring ChartBarTip(const TChartYear& Figures, bool Deposit);
