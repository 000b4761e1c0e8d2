#pragma once

#include "UChartWindow.h"
#include "UYieldora.h"
#include "UkyComboBox.h"
#include "UkyDialog.h"
#include "UkyEdit.h"
#include "UkyListView.h"
#include "UkyPlacement.h"
#include "UkyUpDown.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The program's window: the deposit inputs, the calculate, export and exit buttons and the
// result table, built from dialog template 10. It keeps the inputs in a TYieldora model and its
// own position and size in the profile section "Program". It can be resized (the table follows)
// and maximised; the table copies its selected rows on Ctrl+C, selects all on Ctrl+A, and has a
// menu to copy, select, export, save to a file and show the chart. From its start until its window
// is destroyed it is the program's main window: the owner of the message boxes and of the
// clipboard. It may close while one of its boxes, menus or file dialogs is up (a close or a
// session end still reaches it); what runs after that then leaves the freed inputs alone.
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
    // The model's schedule into the result table.
    void FillTable();
    // The result table onto the clipboard as text.
    void ExportTable();
    // Opens the growth chart of the table, or brings it to the front.
    void ShowChart();

protected:
    friend class TkyDialogSuper;

    TMainDialog() = default;

    void DefineTemplate() override;
    void InitDialog() override;
    void Closing() override;
    void ItemCommand(WORD Id) override;
    // A field that cannot be converted is reported instead, and the dialog stays open.
    void Close(bool Result) override;
    // Saves inputs and position when Windows ends the session.
    LRESULT WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) override;
    // The result table follows the window's right and bottom edges.
    void Realigned(const TBounds& ClientBounds) override;

private:
    // Reads the fields; with KeepBadFields a field that cannot be converted keeps the model's
    // value instead of raising.
    void ReadFields(bool KeepBadFields);
    // Gives the window a sizing border and a maximise box; its size as built becomes the least.
    void SetUpSizing();

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

    // The least window size; zero until the sizing border is set up.
    SIZE FMinSize{};
    // The table's top-left corner in the client area, and its distances from the client area's
    // right and bottom edges.
    POINT FTableOrigin{};
    SIZE FTableMargin{};
    std::unique_ptr<TChartWindow> FChart;
    // Position, size and state under the keys "WindowLeft" ... "WindowMaximized".
    TkyWindowPlacement FPlacement{L"Program", L"Window"};
    // Saved maximised, and not yet past the dialog manager's first showing.
    bool FMaximizeAtStart = false;
};
