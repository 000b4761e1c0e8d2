#pragma once

#include "UYieldora.h"
#include "UkyComboBox.h"
#include "UkyDialog.h"
#include "UkyEdit.h"
#include "UkyListView.h"
#include "UkyUpDown.h"

#include <windows.h>

#include <memory>

// The program's window: the deposit inputs, the calculate, export and exit buttons and the
// result table, built from dialog template 10. It keeps the inputs in a TYieldora model and its
// own position in the profile section "Program". From its start until its window is destroyed it
// is the program's main window: the owner of the message boxes and of the clipboard. It may close
// while one of its boxes is up (a close or a session end still reaches it); what runs after the
// box then leaves the freed inputs alone.
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

protected:
    friend class TkyDialogSuper;

    TMainDialog() = default;

    void DefineTemplate() override;
    void InitDialog() override;
    void Closing() override;
    void ItemCommand(WORD Id) override;
    // A field that cannot be converted is reported instead, and the dialog stays open.
    void Close(bool Result) override;
    // Saves inputs and position when Windows ends the session; gives up being the main window
    // when its window is destroyed.
    LRESULT WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) override;

private:
    // Reads the fields; with KeepBadFields a field that cannot be converted keeps the model's
    // value instead of raising.
    void ReadFields(bool KeepBadFields);
    void RestorePosition();
    void SavePosition();

    std::unique_ptr<TkyEdit> YearEdit;
    std::unique_ptr<TkyEdit> StepEdit;
    std::unique_ptr<TkyUpDown> YearUpDown;
    std::unique_ptr<TkyUpDown> StepUpDown;
    std::unique_ptr<TkyListView> ResultView;
    std::unique_ptr<TkyComboBox> TermCombo;
    std::unique_ptr<TYieldora> Model;
};
