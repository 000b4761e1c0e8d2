#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

// Runs scripted steps inside the modal message loops of the constructing thread (a modal dialog,
// a message box): a thread timer runs the next step on each tick, so a step that opens a nested
// loop gets its next step run inside that loop. When every step has run and a modal loop is
// still going after a grace period, the driver records a test failure and ends the topmost
// dialog of the thread, so that a broken test fails instead of hanging.
class TModalDriver {
public:
    using TStep = std::function<void()>;

    TModalDriver();
    TModalDriver(const TModalDriver&) = delete;
    TModalDriver& operator=(const TModalDriver&) = delete;
    ~TModalDriver();

    // Adds a step after the others.
    TModalDriver& Then(TStep Step);

    std::size_t StepsRun() const { return FNext; }
    bool Done() const { return FNext == FSteps.size(); }

private:
    static void CALLBACK Tick(HWND Window, UINT AMessage, UINT_PTR Timer, DWORD Time);
    void RunNext();

    std::vector<TStep> FSteps;
    std::size_t FNext = 0;
    int FIdleTicks = 0;
    UINT_PTR FTimer = 0;
};

// The enabled, visible dialog of the calling thread that is on top; null when there is none.
HWND TopDialog();
