#include "UChartPalette.h"

bool SystemColoursWanted() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0) {
        return true;
    }
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    return GetRValue(window) * 299 + GetGValue(window) * 587 + GetBValue(window) * 114 < 128000;
}

TChartPalette ChartPaletteFor(HDC Dc) {
    TChartPalette palette;
    if (GetDeviceCaps(Dc, TECHNOLOGY) != DT_RASDISPLAY || !SystemColoursWanted()) {
        return palette;
    }
    palette.System = true;
    palette.Back = GetSysColor(COLOR_WINDOW);
    palette.Text = GetSysColor(COLOR_WINDOWTEXT);
    palette.Grid = GetSysColor(COLOR_GRAYTEXT);
    palette.Capital = GetSysColor(COLOR_HIGHLIGHT);
    palette.Interest = palette.Text;
    palette.Withdrawn = palette.Text;
    palette.Lines.fill(palette.Text);
    return palette;
}

TkyGdiObject<HBRUSH> ChartBrush(const TChartPalette& Palette, COLORREF Colour, bool Hatched) {
    return TkyGdiObject<HBRUSH>(Palette.System && Hatched ? CreateHatchBrush(HS_BDIAGONAL, Colour)
                                                          : CreateSolidBrush(Colour));
}

TkyGdiObject<HPEN> ChartPen(const TChartPalette& Palette, COLORREF Colour, int Width,
                            std::size_t Style) {
    if (!Palette.System) {
        return TkyGdiObject<HPEN>(CreatePen(PS_SOLID, Width, Colour));
    }
    constexpr DWORD styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
    const LOGBRUSH brush{BS_SOLID, Colour, 0};
    return TkyGdiObject<HPEN>(
        ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | styles[Style % std::size(styles)],
                     static_cast<DWORD>(Width), &brush, 0, nullptr));
}
