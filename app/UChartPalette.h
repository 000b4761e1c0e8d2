#pragma once

#include "UDepositPlan.h"
#include "UkyHandles.h"

#include <windows.h>

#include <array>
#include <cstddef>

// The colours a chart draws with. In the system's colours (high contrast, or a dark window) the
// parts are told apart by more than colour: the interest is hatched, the lines have styles of their
// own, and the best term is named in the legend.
struct TChartPalette {
    bool System = false;
    COLORREF Back = RGB(255, 255, 255);
    COLORREF Text = RGB(0, 0, 0);
    COLORREF Grid = RGB(221, 221, 221);
    COLORREF Capital = RGB(65, 105, 225);
    COLORREF Interest = RGB(255, 165, 0);
    COLORREF Withdrawn = RGB(204, 34, 34);
    // One per term the planner compares, shortest first.
    std::array<COLORREF, PLAN_TERMS.size()> Lines{
        RGB(0, 139, 139), RGB(139, 90, 43),  RGB(65, 105, 225), RGB(255, 140, 0),
        RGB(34, 139, 34), RGB(178, 34, 178), RGB(204, 34, 34)};
};

// Whether the user's scheme asks for the system's colours: high contrast is on, or the window's
// colour is dark, where a light ground would glare.
bool SystemColoursWanted();

// The colours to draw a chart with on Dc: the system's on a screen (or a picture made for it) when
// SystemColoursWanted, otherwise, and always on a printer, the chart's own.
TChartPalette ChartPaletteFor(HDC Dc);

// A brush for an area of Colour; in the system's colours a Hatched area is hatched instead of
// filled.
TkyGdiObject<HBRUSH> ChartBrush(const TChartPalette& Palette, COLORREF Colour, bool Hatched);

// A pen of Colour, Width pixels wide; in the system's colours of the Style-th style (solid,
// dashed, dotted, ...), otherwise solid.
TkyGdiObject<HPEN> ChartPen(const TChartPalette& Palette, COLORREF Colour, int Width,
                            std::size_t Style);
