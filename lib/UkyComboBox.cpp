#include "UkyComboBox.h"

// TComboItems

std::int32_t TComboItems::Count() const {
    return static_cast<std::int32_t>(FComboBox.Perform(CB_GETCOUNT, 0, 0));
}

void TComboItems::Add(const std::wstring& Text) {
    FComboBox.Perform(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

void TComboItems::AddStrings(std::initializer_list<std::wstring> Texts) {
    for (const std::wstring& text : Texts) {
        Add(text);
    }
}

std::int32_t TComboItems::GetItemIndex() const {
    return static_cast<std::int32_t>(FComboBox.Perform(CB_GETCURSEL, 0, 0));
}

void TComboItems::SetItemIndex(std::int32_t Index) {
    FComboBox.Perform(CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

void TComboItems::HandleCommand(WORD Code) {
    if (Code == CBN_SELCHANGE && OnChange) {
        OnChange(*this);
    }
}

// TkyComboBox

void TkyComboBox::SetText(const std::wstring& Text) {
    if (FEditable) {
        TkyControl::SetText(Text);
    } else {
        Perform(CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Text.c_str()));
    }
}

LRESULT TkyComboBox::HandleCommand(WORD Code) {
    if (FItems) {
        FItems->HandleCommand(Code);
    }
    return 0;
}

HWND TkyComboBox::CreateHandle(HWND AParent) {
    const DWORD kind = FEditable ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
    return CreateChildWindow(AParent, L"combobox", WS_VSCROLL | CBS_AUTOHSCROLL | kind, 0);
}

void TkyComboBox::AfterCreate() {
    TkyControl::AfterCreate();
    if (!FItems) {
        FItems = std::make_unique<TComboItems>(*this);
    }
}

void TkyComboBox::BeforeDestroy() {
    FItems.reset();
    TkyControl::BeforeDestroy();
}
