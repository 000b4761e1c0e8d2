#pragma once

#include "UCalculationDocument.h"
#include "UChartLayout.h"
#include "UDepositPlan.h"
#include "UkyHandles.h"
#include "UkyTopWindow.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// Draws the growth chart of Data as a Width x Height picture at Dpi dots per inch from the top left
// corner of Dc's viewport, its texts in fonts of CharSet (a printer's driver may need the script
// named to find the glyphs).
void DrawGrowthChart(HDC Dc, const TChartData& Data, int Width, int Height, int Dpi, BYTE CharSet);

// The growth chart: a top-level window captioned "收益图", owned by the main dialog, that draws the
// running totals of the result table as bars split into capital and interest, with the interest
// withdrawn so far as a line when it is not re-deposited, or, switched from its context menu, the
// comparison of the terms as lines. With a calculation document it shows the document: the bars
// of its result and its comparison. Ctrl+C copies the picture, Escape hides it; its context menu
// also saves it as PNG. Its place is kept in the profile section "Program".
class TChartWindow : public TkyTopWindow {
public:
    // The window itself is made when it is first shown.
    explicit TChartWindow(HWND Owner, const TCalculationDocument* Document = nullptr);

    // The chart of a new calculation; an open window redraws.
    void SetData(TChartData Data);
    const TChartData& Data() const { return FData; }
    // The document changed: the bars of a new calculation, and an open window redraws.
    void DocumentChanged();
    // Opens the window showing the comparison (Show), or the table's bars again.
    void ShowComparison(bool Shown);
    bool ComparisonShown() const { return FComparisonShown; }

    // Draws the chart into Dc as a Width x Height picture for a screen of Dpi dots per inch.
    void Render(HDC Dc, int Width, int Height, int Dpi) const;
    // A text the chart draws: the rectangle it is drawn into and the room it takes there.
    struct TPlacedText {
        std::wstring Text;
        RECT Area;
        SIZE Extent;
    };
    // The texts Render draws for a Width x Height picture at Dpi.
    std::vector<TPlacedText> PlacedTexts(int Width, int Height, int Dpi) const;
    // The client area's picture onto the clipboard as a bitmap; false when the clipboard is busy
    // or the picture could not be made.
    bool CopyToClipboard() const;
    // The client area's picture as a PNG file, put in place only once it is complete (as
    // SaveFileSafely does): on any failure the old file stays as it was, and the error raised
    // names the file and the reason.
    void SaveAsPng(const std::wstring& FileName) const;

protected:
    // Right of its owner.
    POINT DefaultOrigin(const RECT& OwnerRect) const override;
    void Created() override;
    void Resized() override;
    void ScaleChanged() override;
    void Paint(HDC Dc, const RECT& Area) const override;
    std::optional<LRESULT> Message(UINT AMessage, WPARAM WParam, LPARAM LParam) override;
    void Destroyed() override;

private:
    void Draw(HDC Dc, int Width, int Height, int Dpi, std::vector<TPlacedText>* Texts) const;
    SIZE ClientSize() const;
    // Lays the chart out for the client area and gives every bar its tooltip.
    void Relayout();
    void ShowMenu(POINT Position);
    // Whether the chart shown has anything to copy or save.
    bool HasPicture() const;
    void CopyWithMessage() const;
    // What the window shows onto paper: the bars, or the comparison with its chart.
    void Print() const;
    void SaveWithDialog() const;
    // The bars (or the comparison's lines) a screen reader reads as children.
    std::size_t ChildCount() const;
    // The arrow keys, Home and End move the focus from child to child; false for other keys.
    bool MoveFocus(WPARAM Key);

    const TCalculationDocument* FDocument;
    // The document's calculation the bars show.
    std::uint64_t FShownCalculation = 0;
    HWND FTip = nullptr; // owned by the window, destroyed with it
    int FTipCount = 0;
    TChartData FData;
    TChartLayout FLayout;
    bool FComparisonShown = false;
    // The child the keys are on; none before a key moved there.
    std::optional<std::size_t> FFocused;
};
