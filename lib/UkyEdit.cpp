#include "UkyEdit.h"

namespace {

// Dialog template units per character of a tab width.
constexpr std::int32_t TAB_UNITS_PER_CHAR = 5;

} // namespace

void TkyEditControl::RecreateHandle() {
    const bool modified = GetModified();
    const bool readOnly = FReadOnly;
    const std::int32_t tabWidth = FTabWidth;
    TkyControl::RecreateHandle();
    SetReadOnly(readOnly);
    SetTabWidth(tabWidth);
    SetModified(modified);
}

std::wstring TkyEditControl::GetSelText() {
    std::int32_t start = 0;
    std::int32_t length = 0;
    GetSelection(start, length);
    const std::wstring text = GetText();
    if (start < 0 || length <= 0 || static_cast<std::size_t>(start) >= text.size()) {
        return {};
    }
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
}

LRESULT TkyEditControl::Undo() {
    return Perform(EM_UNDO, 0, 0);
}

bool TkyEditControl::CanUndo() {
    return Perform(EM_CANUNDO, 0, 0) != 0;
}

void TkyEditControl::GetSelection(std::int32_t& Start, std::int32_t& Length) {
    DWORD start = 0;
    DWORD end = 0;
    Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    Start = static_cast<std::int32_t>(start);
    Length = static_cast<std::int32_t>(end) - Start;
}

LRESULT TkyEditControl::SetSelection(std::int32_t Start, std::int32_t Length) {
    return Perform(EM_SETSEL, static_cast<WPARAM>(Start), static_cast<LPARAM>(Start + Length));
}

std::int32_t TkyEditControl::GetTextLength() {
    return static_cast<std::int32_t>(GetText().size());
}

void TkyEditControl::SetReadOnly(bool Value) {
    Perform(EM_SETREADONLY, Value ? 1 : 0, 0);
    FReadOnly = Value;
    if (OnChange) {
        OnChange(*this);
    }
}

void TkyEditControl::SetModified(bool Value) {
    Perform(EM_SETMODIFY, Value ? 1 : 0, 0);
}

bool TkyEditControl::GetModified() {
    return Perform(EM_GETMODIFY, 0, 0) != 0;
}

void TkyEditControl::SetTabWidth(std::int32_t Value) {
    INT stop = Value * TAB_UNITS_PER_CHAR;
    Perform(EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    FTabWidth = Value;
}

LRESULT TkyEditControl::HandleCommand(WORD Code) {
    if (Code == EN_UPDATE && OnChange) {
        OnChange(*this);
    }
    return 0;
}

void TkyEditControl::AfterCreate() {
    TkyControl::AfterCreate();
    FTabWidth = 8;
    // Its messages pass the object (its hooks and OnMessage) before the edit class has them.
    Subclass(CentreWindowProc);
}

HWND TkyEdit::CreateHandle(HWND AParent) {
    return CreateChildWindow(AParent, L"edit", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
}
