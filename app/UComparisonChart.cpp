#include "UComparisonChart.h"

#include "UChartPalette.h"
#include "UkyFunctions.h"
#include "UkyHandles.h"

#include <algorithm>
#include <vector>

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
    // The legend: a short line in the term's colour and its name, as wide as it is in the font,
    // for every term with a plan, in as many rows as the width needs. Each term keeps its colour
    // and style whichever terms are shown.
    const int legendHeight = scaled(22);
    const int left = Area.left + scaled(72);
    const int right = Area.right - scaled(16);
    struct TLegendItem {
        std::size_t Row;
        std::wstring Label;
        POINT At;
        int Width;
    };
    std::vector<TLegendItem> legend;
    POINT at{left, Area.top};
    for (std::size_t row = 0; row < Comparison.Rows.size(); ++row) {
        if (!Comparison.Rows[row].Plan) {
            continue;
        }
        const bool best = palette.System && Comparison.Best == row;
        std::wstring label = std::wstring(PlanTermLabel(Comparison.Rows[row].Months)) +
                             (best ? L" " + BEST_REMARK : L"");
        const int width = std::max<int>(TextExtent(Dc, label).cx, scaled(58));
        if (at.x > left && at.x + scaled(22) + width > right) {
            at = {left, at.y + legendHeight};
        }
        legend.push_back({row, std::move(label), at, width});
        at.x += scaled(26) + width;
    }
    const int legendBottom = at.y + legendHeight;
    const TChartRect plot{left, legendBottom + scaled(8), right, Area.bottom - scaled(22)};
    const TComparisonChart chart = LayoutComparisonChart(Comparison, plot);
    if (chart.Lines.empty() || plot.Right - plot.Left < 2 || plot.Bottom - plot.Top < 2) {
        DrawTextIn(Dc, L"没有可比较的结果。", Area, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Texts);
        return;
    }
    const auto term = [&Comparison](std::size_t Row) {
        return PlanTermIndex(Comparison.Rows[Row].Months);
    };
    for (const TLegendItem& item : legend) {
        const TkyGdiObject<HPEN> pen =
            ChartPen(palette, palette.Lines[term(item.Row)], scaled(2), term(item.Row));
        const TkySelection selection(Dc, pen.get());
        const int middle = item.At.y + legendHeight / 2 + scaled(4);
        MoveToEx(Dc, item.At.x, middle, nullptr);
        LineTo(Dc, item.At.x + scaled(18), middle);
        DrawTextIn(Dc, item.Label,
                   {item.At.x + scaled(22), item.At.y + scaled(4),
                    item.At.x + scaled(22) + item.Width, middle + legendHeight / 2},
                   DT_LEFT | DT_VCENTER | DT_SINGLELINE, Texts);
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
            ChartPen(palette, palette.Lines[term(line.Row)], scaled(2), term(line.Row));
        const TkySelection selection(Dc, pen.get());
        Polyline(Dc, points.data(), static_cast<int>(points.size()));
    }
}
