#pragma once

#include "UCalculationDocument.h"
#include "UChartWindow.h"
#include "UCompareWindow.h"
#include "UYieldora.h"
#include "UkyComboBox.h"
#include "UkyDialog.h"
#include "UkyEdit.h"
#include "UkyListView.h"
#include "UkyPlacement.h"
#include "UkyScaling.h"
#include "UkyUpDown.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The program's window: the deposit inputs, the calculate, export and exit buttons and the
// result table, built from dialog template 10, with a line under the table that sums the
// result up. It keeps the inputs in a TYieldora model and its
// own position and size in the profile section "Program". It owns the calculation document that
// it, the comparison (存期比较) and the growth chart show: every edit of a field goes to the
// document, and each window shows what the document then holds. It can be resized (the table
// follows) and maximised; the table copies its selected rows on Ctrl+C, selects all on Ctrl+A, and
// has a menu to copy, select, export, save to a file, show the chart and print; Ctrl+P prints the
// schedule wherever the keyboard focus is in the dialog (once there is a result to export, as the
// menu's entry is). From its start until its window is destroyed it is the program's main window:
// the owner of the message boxes and of the clipboard. It may close while one of its boxes, menus
// or file dialogs is up (a close or a session end still reaches it); what runs after that then
// leaves the freed inputs alone.
class TMainDialog : public TkyDialog {
public:
    // Model to fields, in their canonical text.
    void ShowInputs();
    // Fields to model, field by field: a field that cannot be converted raises, leaving the
    // fields before it stored and the later ones untouched.
    void ReadInputs();
    // Reads the fields, calculates and fills the table; reports an error in an information box.
    // The fields are rewritten from the model in every case.
    void DoCalculate();
    // The model's result into the result table and the totals line under it.
    void FillTable();
    // The result table onto the clipboard as text.
    void ExportTable();
    // Opens the growth chart of the table, or brings it to the front showing the table.
    void ShowChart();
    // Opens the comparison of the terms (after calculating, without boxes), or brings it to the
    // front.
    void ShowComparison();

protected:
    friend class TkyDialogSuper;

    TMainDialog() = default;

    void DefineTemplate() override;
    void InitDialog() override;
    void Closing() override;
    void ItemCommand(WORD Id) override;
    // A field that cannot be converted is reported instead, and the dialog stays open.
    void Close(bool Result) override;
    // Saves inputs and position when Windows ends the session; follows the window to a monitor of
    // another scale.
    LRESULT WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) override;
    // The result table follows the window's right and bottom edges, the totals line under it.
    void Realigned(const TBounds& ClientBounds) override;

private:
    // Reads the fields; with KeepBadFields a field that cannot be converted keeps the model's
    // value instead of raising.
    void ReadFields(bool KeepBadFields);
    // Gives the window a sizing border and a maximise box; its size as built becomes the least.
    // The window takes the new frame, and that size, when it is next placed.
    void SetUpSizing();
    // The table's place in the client area and the least window size, from the items as they are.
    void TakeSizing();

    // Remembers where the template puts the items, at the scale the dialog was made at.
    void KeepTemplatePlaces();
    // The table's icons, made with its first rows (it starts empty) in the size FRowImageDpi asks
    // for.
    void MakeRowImages();
    // The table's icons in the size the scale of Dpi asks for.
    void ScaleRowImages(int Dpi);
    // The dialog at another scale: the items at their template places and in the template's font,
    // both scaled, the table's columns and icons and the window's icons scaled; then every item
    // too narrow for its text widened. The window takes Suggested, or at least its least size.
    void ChangeScale(int Dpi, const RECT& Suggested);
    // Makes the totals line in a strip taken from the bottom of the table.
    void CreateTotalsLine();
    // Gives the totals line its tooltip, which says what the yield means.
    void CreateTotalsTip();
    // Makes the comparison's button in the template's free place right of the exit button.
    void CreateCompareButton();
    // The document reads the fields and calculates, without boxes; the answer is its message.
    // While the comparison is open, every change of an input calculates so, at once.
    std::optional<std::wstring> CalculateQuietly();
    // The rate field shows the document's rate text, and the table a calculation the document
    // made: the model takes its inputs and result, and the table and the totals line show them;
    // without a result both are empty and export is off, so that nothing stale is exported.
    void DocumentChanged();
    // A field typed into, the check box clicked or a term picked: the document hears of it.
    void SendEdit(WORD Id, WORD Code);
    // The table follows a calculation made while typing once no key waits, after what the edit
    // changed elsewhere is painted: a refill of 255 rows takes longer than a display frame.
    // Every command fills it at once (Now), so that nothing stale is exported, saved or printed.
    void FillPendingTable(bool Now);

    // The table's menu at a point on the screen, or for the keyboard's position (both
    // coordinates -1) at the first selected row or the table's corner.
    void ShowTableMenu(LPARAM Position);
    // Ctrl+C and Ctrl+A in the table.
    void TableKey(WORD Key);
    // The texts of the table's rows, of all or of the selected ones.
    std::vector<std::wstring> TableRows(bool SelectedOnly) const;
    // The selected rows, under the caption line, onto the clipboard.
    void CopySelection();
    void SelectAll();
    // Asks for a file and saves the whole table there as CSV or as the exported text.
    void SaveTable();

    std::unique_ptr<TkyEdit> YearEdit;
    std::unique_ptr<TkyEdit> StepEdit;
    std::unique_ptr<TkyUpDown> YearUpDown;
    std::unique_ptr<TkyUpDown> StepUpDown;
    std::unique_ptr<TkyListView> ResultView;
    std::unique_ptr<TkyComboBox> TermCombo;
    std::unique_ptr<TYieldora> Model;
    std::unique_ptr<TCalculationDocument> FDocument;
    // The document's calculation the table shows, or is to show once FTablePending is done.
    std::uint64_t FShownCalculation = 0;
    bool FTablePending = false;

    // The least window size; zero until the sizing border is set up.
    SIZE FMinSize{};
    // The table's top-left corner in the client area, and its distances from the client area's
    // right and bottom edges.
    POINT FTableOrigin{};
    SIZE FTableMargin{};

    struct TItemPlace {
        HWND Item;
        RECT Place;
        // The font it was made with: the template's, or the stock GUI font of a control the
        // library took over; null for one without a font.
        HFONT Font;
    };
    // The items where the template puts them, and its client area, at FTemplateDpi.
    std::vector<TItemPlace> FTemplatePlaces;
    SIZE FTemplateClient{};
    int FTemplateDpi = 96;
    // The scale the table's icons are for, and whether they are made yet.
    int FRowImageDpi = 96;
    bool FRowImagesMade = false;
    // The items' fonts at the current scale when it differs from the template's, each beside the
    // font it was made from.
    std::vector<std::pair<HFONT, TkyGdiObject<HFONT>>> FScaledFonts;
    std::unique_ptr<TChartWindow> FChart;
    // The totals line (a static control) and its tooltip (null until the mouse first comes to the
    // line): children of the dialog, destroyed with it. The line's distance below the table and its
    // height, at the scale the dialog was made at and at the scale it is drawn at now.
    HWND FTotals = nullptr;
    HWND FTotalsTip = nullptr;
    SIZE FTemplateTotalsGap{};
    SIZE FTotalsGap{};
    std::unique_ptr<TCompareWindow> FCompare;
    // The terms' rates were read from the profile into the document (when the comparison was
    // first opened), and are written back when the dialog closes.
    bool FRatesLoaded = false;
    // Set while the dialog writes its own fields, whose changes are then not edits.
    bool FWritingFields = false;
    // Position, size and state under the keys "WindowLeft" ... "WindowMaximized".
    TkyWindowPlacement FPlacement{L"Program", L"Window"};
    // Saved maximised, and not yet past the dialog manager's first showing.
    bool FMaximizeAtStart = false;
    // The session is ending: the dialog closes without asking or telling anything.
    bool FSessionEnding = false;
};
