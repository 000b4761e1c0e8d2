#pragma once

#include "UDepositPlan.h"

#include <windows.h>

#include <string>
#include <vector>

// A text of the comparison's chart: the rectangle it is drawn into and the room it takes there.
struct TDrawnText {
    std::wstring Text;
    RECT Area;
    SIZE Extent;
};

// What the comparison's terms hold by year, one line per term with a plan, with a legend, drawn
// into Area of Dc (a window's, a bitmap's or a printer's) in Font at Dpi dots per inch; a short
// text when there is nothing to draw. With Texts, also notes every text drawn.
void DrawComparisonChart(HDC Dc, const RECT& Area, const TDepositPlan& Comparison, HFONT Font,
                         int Dpi, std::vector<TDrawnText>* Texts = nullptr);
