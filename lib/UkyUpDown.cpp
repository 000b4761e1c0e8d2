#include "UkyUpDown.h"

#include "UkyFunctions.h"

#include <commctrl.h>

namespace {

constexpr DWORD UPDOWN_STYLE = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS;

} // namespace

void TkyUpDown::SetRange(std::int32_t AMin, std::int32_t AMax) {
    Perform(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(AMax), static_cast<WORD>(AMin)));
    FMin = AMin;
    FMax = AMax;
}

void TkyUpDown::SetPosition(std::int32_t Value) {
    if (Value < FMin || Value > FMax) {
        return;
    }
    Perform(UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(Value), 0));
    FPosition = Value;
    if (FBuddy != nullptr) {
        FBuddy->SetText(IntToText(0, Value));
    }
}

void TkyUpDown::SetBuddy(TkyEdit& Edit) {
    Perform(UDM_SETBUDDY, reinterpret_cast<WPARAM>(Edit.Handle()), 0);
    FBuddy = &Edit;
}

// Positions are computed in 64 bits: a typed number or a step beyond the 32-bit range is refused
// like any other position outside the range.
void TkyUpDown::MoveTo(std::int64_t Value) {
    if (Value >= FMin && Value <= FMax) {
        SetPosition(static_cast<std::int32_t>(Value));
    }
}

LRESULT TkyUpDown::HandleNotify(int Code, NMHDR* Header) {
    if (static_cast<UINT>(Code) != UDN_DELTAPOS) {
        return 0;
    }
    if (FBuddy != nullptr) {
        MoveTo(TextToIntDef(FBuddy->GetText(), FPosition));
    }
    const std::int32_t old = FPosition;
    const auto* change = reinterpret_cast<const NMUPDOWN*>(Header);
    MoveTo(std::int64_t{old} + std::int64_t{change->iDelta} * FStep);
    if (FPosition != old && OnChange) {
        OnChange(FPosition);
    }
    return 1;
}

HWND TkyUpDown::CreateHandle(HWND AParent) {
    InitCommonControlClasses(ICC_UPDOWN_CLASS);
    return CreateChildWindow(AParent, UPDOWN_CLASSW, UPDOWN_STYLE, 0);
}

void TkyUpDown::AfterCreate() {
    TkyControl::AfterCreate();
    SetRange(0, 10);
    SetPosition(1);
    SetStep(1);
    FBuddy = nullptr;
}
