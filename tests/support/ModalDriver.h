#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Runs scripted steps inside the modal message loops of the constructing thread (a modal dialog,
// a message box): a thread timer runs the next step on each tick, so a step that opens a nested
// loop gets its next step run inside that loop. When every step has run and a modal loop is
// still going after a grace period, the driver records a test failure and ends the topmost
// dialog of the thread, so that a broken test fails instead of hanging.
//
// A step that crashes fails the test with the step's name: the platform's timer dispatch would
// swallow an access violation and just end the step, so the driver watches for hardware faults
// while a step runs and notices a step that never came back. An exception escaping a step fails
// the test too. After such a failure the remaining steps are dropped and the driver ends the
// thread's dialogs.
class TModalDriver {
public:
    using TStep = std::function<void()>;

    TModalDriver();
    TModalDriver(const TModalDriver&) = delete;
    TModalDriver& operator=(const TModalDriver&) = delete;
    ~TModalDriver();

    // Adds a step after the others, named Name in failures.
    TModalDriver& Then(std::string Name, TStep Step);
    // Adds a step after the others, named by its number ("step 1" for the first).
    TModalDriver& Then(TStep Step);

    std::size_t StepsRun() const { return FNext; }
    // Every step has run and none of them failed by crashing or raising.
    bool Done() const { return !FAbandoned && FNext == FSteps.size(); }

private:
    struct TScriptStep {
        std::string Name;
        TStep Run;
    };
    // A step that has started and not yet come back.
    struct TRunningStep {
        std::size_t Index;
        // The address of the frame that runs it: a step whose frame lies no deeper than a later
        // tick's frame is not the caller of that tick, so it was cut short.
        const void* Frame;
        // The driver whose step ran when this one started.
        TModalDriver* OuterDriver;
        DWORD FaultCode;
        const void* FaultAddress;
    };

    static void CALLBACK Tick(HWND Window, UINT AMessage, UINT_PTR Timer, DWORD Time);
    static LONG CALLBACK WatchFaults(EXCEPTION_POINTERS* Info);
    void RunNext();
    void Run(std::size_t Index);
    // Fails the test for every running step whose frame is not deeper than Frame; true when
    // there was one.
    bool ReportCutShort(const void* Frame);
    void Abandon();

    std::vector<TScriptStep> FSteps;
    std::vector<TRunningStep> FRunning;
    std::size_t FNext = 0;
    int FIdleTicks = 0;
    bool FAbandoned = false;
    UINT_PTR FTimer = 0;
    void* FWatcher = nullptr;
};

// The enabled, visible dialog of the calling thread that is on top; null when there is none.
HWND TopDialog();
