#include "UComparisonChart.h"

#include "UChartPalette.h"
#include "UkyFunctions.h"
#include "UkyHandles.h"

#include <algorithm>

namespace {

SIZE TextExtent(HDC Dc, const std::wstring& Text) {
    RECT need{};
    DrawTextW(Dc, Text.c_str(), static_cast<int>(Text.size()), &need,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {need.right - need.left, need.bottom - need.top};
}

// Draws Text into Area; with a log, also notes where it went and the room it took.
void DrawTextIn(HDC Dc, const std::wstring& Text, RECT Area, UINT Format,
                std::vector<TDrawnText>* Log) {
    if (Log != nullptr) {
        Log->push_back({Text, Area, TextExtent(Dc, Text)});
    }
    DrawTextW(Dc, Text.c_str(), static_cast<int>(Text.size()), &Area, Format | DT_NOPREFIX);
}

} // namespace

void DrawComparisonChart(HDC Dc, const RECT& Area, const TDepositPlan& Comparison, HFONT Font,
                         int Dpi, std::vector<TDrawnText>* Texts) {
    const auto scaled = [Dpi](int Length) { return MulDiv(Length, Dpi, 96); };
    const TChartPalette palette = ChartPaletteFor(Dc);
    const TkyGdiObject<HBRUSH> back(CreateSolidBrush(palette.Back));
    FillRect(Dc, &Area, back.get());
    const TkySelection font(Dc, Font);
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, palette.Text);
    const int legendHeight = scaled(22);
    const TChartRect plot{Area.left + scaled(72), Area.top + legendHeight + scaled(8),
                          Area.right - scaled(16), Area.bottom - scaled(22)};
    const TComparisonChart chart = LayoutComparisonChart(Comparison, plot);
    if (chart.Lines.empty() || plot.Right - plot.Left < 2 || plot.Bottom - plot.Top < 2) {
        DrawTextIn(Dc, L"没有可比较的结果。", Area, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Texts);
        return;
    }
    // The legend: a short line in the term's colour and its name, as wide as it is in the font,
    // for every line drawn.
    int x = plot.Left;
    // Each term keeps its colour and style whichever terms are shown.
    const auto term = [&Comparison](const TComparisonLine& Line) {
        return PlanTermIndex(Comparison.Rows[Line.Row].Months);
    };
    for (const TComparisonLine& line : chart.Lines) {
        const TkyGdiObject<HPEN> pen =
            ChartPen(palette, palette.Lines[term(line)], scaled(2), term(line));
        const TkySelection selection(Dc, pen.get());
        const int middle = Area.top + legendHeight / 2 + scaled(4);
        MoveToEx(Dc, x, middle, nullptr);
        LineTo(Dc, x + scaled(18), middle);
        const bool best = palette.System && Comparison.Best == line.Row;
        const std::wstring label = std::wstring(PlanTermLabel(Comparison.Rows[line.Row].Months)) +
                                   (best ? L" " + BEST_REMARK : L"");
        const int labelWidth = std::max<int>(TextExtent(Dc, label).cx, scaled(58));
        DrawTextIn(Dc, label,
                   {x + scaled(22), Area.top + scaled(4), x + scaled(22) + labelWidth,
                    middle + legendHeight / 2},
                   DT_LEFT | DT_VCENTER | DT_SINGLELINE, Texts);
        x += scaled(26) + labelWidth;
    }
    {
        const TkyGdiObject<HPEN> grid(CreatePen(PS_SOLID, 1, palette.Grid));
        const TkySelection selection(Dc, grid.get());
        for (const TChartTick& tick : chart.Ticks) {
            MoveToEx(Dc, plot.Left, tick.Y, nullptr);
            LineTo(Dc, plot.Right, tick.Y);
            DrawTextIn(Dc, tick.Label,
                       {Area.left, tick.Y - scaled(9), plot.Left - scaled(6), tick.Y + scaled(9)},
                       DT_RIGHT | DT_VCENTER | DT_SINGLELINE, Texts);
        }
    }
    // The years under the plot, centred on their places; the last one ends at the plot's edge.
    for (std::size_t i = 0; i < chart.YearLabels.size(); ++i) {
        const TChartYearLabel& year = chart.YearLabels[i];
        const int half = TextExtent(Dc, year.Label).cx / 2 + scaled(2);
        const bool last = i + 1 == chart.YearLabels.size();
        const RECT room =
            last ? RECT{std::min<int>(year.X - half, plot.Right - 2 * half),
                        plot.Bottom + scaled(2), plot.Right, Area.bottom}
                 : RECT{year.X - half, plot.Bottom + scaled(2), year.X + half, Area.bottom};
        DrawTextIn(Dc, year.Label, room, (last ? DT_RIGHT : DT_CENTER) | DT_TOP | DT_SINGLELINE,
                   Texts);
    }
    for (const TComparisonLine& line : chart.Lines) {
        std::vector<POINT> points;
        for (const TChartPoint& point : line.Points) {
            points.push_back({point.X, point.Y});
        }
        const TkyGdiObject<HPEN> pen =
            ChartPen(palette, palette.Lines[term(line)], scaled(2), term(line));
        const TkySelection selection(Dc, pen.get());
        Polyline(Dc, points.data(), static_cast<int>(points.size()));
    }
}
