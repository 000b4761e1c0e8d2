#include "ModalDriver.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

namespace {

constexpr UINT TickInterval = USER_TIMER_MINIMUM;
// Ticks allowed after the last step before the loop counts as stuck.
constexpr int GraceTicks = 300;

std::map<UINT_PTR, TModalDriver*>& Drivers() {
    static std::map<UINT_PTR, TModalDriver*> drivers;
    return drivers;
}

BOOL CALLBACK FindDialog(HWND Window, LPARAM Found) {
    wchar_t className[16] = {};
    GetClassNameW(Window, className, 16);
    if (std::wstring(className) == L"#32770" && IsWindowVisible(Window) &&
        IsWindowEnabled(Window)) {
        *reinterpret_cast<HWND*>(Found) = Window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

TModalDriver::TModalDriver() : FTimer(SetTimer(nullptr, 0, TickInterval, Tick)) {
    Drivers()[FTimer] = this;
}

TModalDriver::~TModalDriver() {
    KillTimer(nullptr, FTimer);
    Drivers().erase(FTimer);
}

TModalDriver& TModalDriver::Then(TStep Step) {
    FSteps.push_back(std::move(Step));
    return *this;
}

void CALLBACK TModalDriver::Tick(HWND, UINT, UINT_PTR Timer, DWORD) {
    const auto found = Drivers().find(Timer);
    if (found != Drivers().end()) {
        found->second->RunNext();
    }
}

void TModalDriver::RunNext() {
    if (FNext < FSteps.size()) {
        FIdleTicks = 0;
        // Counted before it runs: a step that opens a nested loop has its successor run there.
        const TStep step = FSteps[FNext++];
        step();
        return;
    }
    if (++FIdleTicks < GraceTicks) {
        return;
    }
    FIdleTicks = 0;
    if (HWND dialog = TopDialog()) {
        ADD_FAILURE() << "a modal loop was still running after the last scripted step";
        EndDialog(dialog, 0);
    }
}

HWND TopDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}
