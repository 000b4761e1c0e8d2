#pragma once

#include "UkyClasses.h"
#include "UkyWinControl.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

class TkyComboBox;

// The strings of a combo box. They live in the window only; the collection stores none.
class TComboItems : public TkyCollection {
public:
    using TChangeEvent = std::function<void(TComboItems& Sender)>;

    explicit TComboItems(TkyComboBox& AComboBox) : FComboBox(AComboBox) {}

    std::int32_t Count() const override;
    void Add(const std::wstring& Text);
    void AddStrings(std::initializer_list<std::wstring> Texts);
    // The selected string's index, -1 when none is selected.
    std::int32_t GetItemIndex() const;
    // -1 clears the selection.
    void SetItemIndex(std::int32_t Index);
    // A notification code of the combo box: CBN_SELCHANGE fires OnChange.
    void HandleCommand(WORD Code);

    TkyComboBox& ComboBox() const { return FComboBox; }

    // Fired when the user changes the selection.
    TChangeEvent OnChange;

private:
    TkyComboBox& FComboBox;
};

// A drop-down list, or with Editable a drop-down with an edit field.
class TkyComboBox : public TkyControl {
public:
    // Editable selects a drop-down list with an edit field; read when the window is created.
    bool Editable() const { return FEditable; }
    TComboItems& Items() const { return *FItems; }

    // Editable: the text of the edit field. Otherwise selects the first string that begins with
    // Text (regardless of case), and keeps the selection when no string does.
    void SetText(const std::wstring& Text) override;

protected:
    friend class TkyControl;

    explicit TkyComboBox(bool AEditable = false) : FEditable(AEditable) {}

    LRESULT HandleCommand(WORD Code) override;
    HWND CreateHandle(HWND AParent) override;
    // Makes Items; a recreated window keeps the collection and its event.
    void AfterCreate() override;
    void BeforeDestroy() override;

private:
    bool FEditable;
    std::unique_ptr<TComboItems> FItems;
};
