#pragma once

#include "UCalculationDocument.h"
#include "UTermComparison.h"
#include "UkyHandles.h"
#include "UkyPlacement.h"
#include "UkyWinControl.h"
#include "UkyScaling.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// A text of the comparison's chart: the rectangle it is drawn into and the room it takes there.
struct TDrawnText {
    std::wstring Text;
    RECT Area;
    SIZE Extent;
};

// The comparison's end totals by year, one line per term with a result, with a legend, drawn into
// Area of Dc in Font for a screen of Dpi dots per inch; a short text when there is nothing to draw.
// With Texts, also notes every text drawn.
void DrawComparisonChart(HDC Dc, const RECT& Area, const TTermComparison& Comparison, HFONT Font,
                         int Dpi, std::vector<TDrawnText>* Texts = nullptr);

// The term comparison: a top-level window captioned "存期比较", owned by the main dialog, that
// shows the comparison a calculation document holds: a rate field per term, a table of every term's
// totals and yield (the best row marked, a row whose rate or calculation fails showing its message
// instead) and the terms' end totals by year as lines with a legend. What is typed into a rate
// field goes to the document, which calculates; the window shows what the document then holds
// (DocumentChanged). The table copies its selected rows on Ctrl+C, selects all on Ctrl+A and
// saves to a file from its menu, as the main table does; the menu also asks for the growth chart
// (OnShowChart, Ctrl+G). It takes the focus when it is activated; Escape and the close box hide
// it. It follows the scale of the monitor it is on, and its place is kept in the profile section
// "Program".
class TCompareWindow {
public:
    // The window itself is made when it is first shown.
    TCompareWindow(HWND Owner, TCalculationDocument& Document);
    TCompareWindow(const TCompareWindow&) = delete;
    TCompareWindow& operator=(const TCompareWindow&) = delete;
    ~TCompareWindow();

    // Opens the window at its remembered place and state (or beside its owner), or brings it to
    // the front.
    void Show();
    // Null until the window is first shown.
    HWND Handle() const { return FHandle.get(); }
    bool Visible() const;

    // The document changed: an open window shows it at once, a hidden one when it is shown.
    void DocumentChanged();

    // The texts of the table's rows, of all or of the selected ones.
    std::vector<std::wstring> TableRows(bool SelectedOnly) const;
    // The selected rows, under the caption line, onto the clipboard.
    void CopySelection() const;
    void SelectAll() const;
    // Asks for a file and saves the whole table there as CSV or as tab-separated text.
    void SaveTable() const;
    // The texts the chart under the table draws, where the window shows it.
    std::vector<TDrawnText> ChartTexts() const;
    // Writes the window's place, size and state to the profile; nothing when it was never shown.
    void SavePlacement() const;

    // The user asked for the comparison in the growth chart.
    std::function<void()> OnShowChart;

private:
    template <class WindowObject>
    friend LRESULT CALLBACK ObjectWindowProc(HWND Window, UINT AMessage, WPARAM WParam,
                                             LPARAM LParam);
    // The window's handle from its creation; let go of when it is destroyed with its owner.
    void TakeHandle(HWND Window);
    void ReleaseHandle();
    // The rate fields' and the table's own keys: the window is no dialog, so Tab and Shift+Tab
    // move between them here, and Escape hides the window.
    static LRESULT CALLBACK FieldProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam,
                                      UINT_PTR Id, DWORD_PTR Data);
    void FieldKey(HWND Field, WPARAM Key);
    LRESULT HandleMessage(UINT AMessage, WPARAM WParam, LPARAM LParam);
    void CreateHandle();
    // The window's scale: the screen's until the window is told of another.
    int Dpi() const;
    int Scaled(int Length) const;
    // The owner's font at the window's scale, for every control.
    void ApplyFont();
    // The rate fields, the table and the chart show the document.
    void Refresh();
    // A rate field's text went to the document.
    void RateTyped(std::size_t Term);
    void FillTable();
    // The columns' widths for the table's width.
    void FitColumns();
    void Relayout();
    // The room Text takes in a cell of the table.
    int CellWidth(const std::wstring& Text) const;
    // The rows' height and the caption's inside the table's frame.
    int TableHeight() const;
    RECT ChartArea() const;
    void ShowMenu(LPARAM Position);
    LRESULT CustomDraw(LPARAM LParam) const;
    // The control that has the focus when the window is activated.
    void RestoreFocus();
    void TableKey(WORD Key);

    HWND FOwner;
    TCalculationDocument& FDocument;
    TkyWindow FHandle;
    std::array<HWND, DEPOSIT_TERMS.size()> FLabels{};
    std::array<HWND, DEPOSIT_TERMS.size()> FEdits{};
    HWND FTable = nullptr;
    // The owner's font as it was when the window was made, at FBaseDpi, and that font at the
    // window's scale.
    TkyGdiObject<HFONT> FBaseFont;
    int FBaseDpi = 96;
    TkyGdiObject<HFONT> FFont;
    // The scale the system last gave the window; 0 while it gave none.
    int FDpi = 0;
    std::size_t FColumns = 0;
    // The width each column's caption and cells need.
    std::vector<int> FNeeds;
    // Set while the window writes its own fields, whose changes are then not edits.
    bool FWriting = false;
    // The document changed while the window was hidden.
    bool FStale = true;
    // The control that had the focus when the window was last deactivated.
    HWND FFocus = nullptr;
    // Under the keys "CompareLeft" ... "CompareMaximized" of the section "Program".
    TkyWindowPlacement FPlacement{L"Program", L"Compare"};
    // Saved maximised: the first showing maximises it.
};
