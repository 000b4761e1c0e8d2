#pragma once

#include "UCalculationDocument.h"
#include "UDepositPlan.h"
#include "UComparisonChart.h"
#include "UkyEdit.h"
#include "UkyHandles.h"
#include "UkyListView.h"
#include "UkyTopWindow.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// The term comparison: a top-level window captioned "存期比较", owned by the main dialog, that
// shows the comparison a calculation document holds: a rate field per term from three months to
// ten years, the scenario's fields (the rates' change per year, the demand rate, the month money
// is needed in and how much), a table of every term's totals and yield under the scenario (the
// best row marked, a row whose rate or plan fails showing its message instead, a scenario field
// that cannot be read in red) and what the terms hold by year as lines with a legend. What is
// typed goes to the document, which calculates; the window shows what the document then holds
// (DocumentChanged). The table copies its selected rows on Ctrl+C, selects all on Ctrl+A and
// saves to a file from its menu, as the main table does; the menu also asks for the growth chart
// (OnShowChart, Ctrl+G). It takes the focus when it is activated; Escape and the close box hide
// it. It follows the scale of the monitor it is on, and its place is kept in the profile section
// "Program".
class TCompareWindow : public TkyTopWindow {
public:
    // The window itself is made when it is first shown.
    TCompareWindow(HWND Owner, TCalculationDocument& Document);

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

    // The user asked for the comparison in the growth chart.
    std::function<void()> OnShowChart;

protected:
    // A little below and right of its owner's corner.
    POINT DefaultOrigin(const RECT& OwnerRect) const override;
    void Created() override;
    void Resized() override;
    void ScaleChanged() override;
    // Shows what the document holds, and gives a control the focus.
    void Shown() override;
    // The chart under the table.
    RECT PaintArea() const override;
    void Paint(HDC Dc, const RECT& Area) const override;
    std::optional<LRESULT> Message(UINT AMessage, WPARAM WParam, LPARAM LParam) override;
    void Destroyed() override;

private:
    // The fields' and the table's own keys: the window is no dialog, so Tab and Shift+Tab move
    // between them here, and Escape hides the window.
    void ListenToKeys(TkyWinControl& Control);
    void FieldKey(HWND Field, WPARAM Key);
    // The owner's font at the window's scale, for every control.
    void ApplyFont();
    // The rate fields, the table and the chart show the document.
    void Refresh();
    // A field's text went to the document.
    void FieldTyped(std::size_t Field);
    // The text the document holds for a field.
    const std::wstring& FieldText(std::size_t Field) const;
    void FillTable();
    // The columns' widths for the table's width.
    void FitColumns();
    void Relayout();
    // Gives Control the focus, an edit with its text selected.
    void FocusControl(HWND Control);
    // The rows' height and the caption's inside the table's frame.
    int TableHeight() const;
    RECT ChartArea() const;
    void ShowMenu(LPARAM Position);
    LRESULT CustomDraw(LPARAM LParam) const;
    // The control that has the focus when the window is activated.
    void RestoreFocus();
    void TableKey(WORD Key);
    // A bad field's text in red, on the ground of an edit.
    std::optional<LRESULT> FieldColour(HDC Dc, HWND Field) const;

    // A field: its label before it, the edit and a word after it, where it has one.
    struct TField {
        HWND Label = nullptr;
        std::unique_ptr<TkyEdit> Edit;
        HWND Suffix = nullptr;
    };

    TCalculationDocument& FDocument;
    // The rates of PLAN_TERMS, then the scenario's fields in the order of TScenarioField.
    std::vector<TField> FFields;
    std::unique_ptr<TkyListView> FTable;
    // The owner's font as it was when the window was made, at FBaseDpi, and that font at the
    // window's scale.
    TkyGdiObject<HFONT> FBaseFont;
    int FBaseDpi = 96;
    TkyGdiObject<HFONT> FFont;
    std::size_t FColumns = 0;
    // The width each column's caption and cells need.
    std::vector<int> FNeeds;
    // The rows' texts as the table shows them, and the row it marks as the best.
    std::vector<std::wstring> FShownRows;
    std::optional<std::size_t> FShownBest;
    // The field shown in red, if any.
    HWND FRedField = nullptr;
    // Set while the window writes its own fields, whose changes are then not edits.
    bool FWriting = false;
    // The document changed while the window was hidden.
    bool FStale = true;
    // The control that had the focus when the window was last deactivated.
    HWND FFocus = nullptr;
};
