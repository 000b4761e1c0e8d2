#include "ModalDriver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <exception>
#include <iomanip>
#include <map>
#include <sstream>
#include <utility>

namespace {

constexpr UINT TICK_INTERVAL = USER_TIMER_MINIMUM;
// Ticks allowed after the last step before the loop counts as stuck.
constexpr int GRACE_TICKS = 300;

std::map<UINT_PTR, TModalDriver*>& Drivers() {
    static std::map<UINT_PTR, TModalDriver*> drivers;
    return drivers;
}

// The driver whose step runs innermost on this thread; null while no step runs.
thread_local TModalDriver* StepDriver = nullptr;

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

// Faults of the processor. Everything else that is raised (C++ exceptions, debugger notices such
// as thread names and debug output) is no crash.
const char* FaultName(DWORD Code) {
    switch (Code) {
    case EXCEPTION_ACCESS_VIOLATION:
        return "an access violation";
    case EXCEPTION_IN_PAGE_ERROR:
        return "a page error";
    case EXCEPTION_ILLEGAL_INSTRUCTION:
        return "an illegal instruction";
    case EXCEPTION_PRIV_INSTRUCTION:
        return "a privileged instruction";
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
        return "an integer division by zero";
    case EXCEPTION_INT_OVERFLOW:
        return "an integer overflow";
    case EXCEPTION_STACK_OVERFLOW:
        return "a stack overflow";
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        return "an array bounds fault";
    case EXCEPTION_DATATYPE_MISALIGNMENT:
        return "a misaligned access";
    default:
        return nullptr;
    }
}

std::string Describe(DWORD Code, const void* Address) {
    std::ostringstream text;
    text << FaultName(Code) << " (exception 0x" << std::hex << std::setw(8) << std::setfill('0')
         << Code << " at " << Address << ")";
    return text.str();
}

} // namespace

TModalDriver::TModalDriver()
    : FTimer(SetTimer(nullptr, 0, TICK_INTERVAL, Tick)),
      FWatcher(AddVectoredExceptionHandler(1, WatchFaults)) {
    Drivers()[FTimer] = this;
}

TModalDriver::~TModalDriver() {
    KillTimer(nullptr, FTimer);
    Drivers().erase(FTimer);
    RemoveVectoredExceptionHandler(FWatcher);
    ReportCutShort(reinterpret_cast<const void*>(~std::uintptr_t{0}));
}

TModalDriver& TModalDriver::Then(std::string Name, TStep Step) {
    FSteps.push_back({std::move(Name), std::move(Step)});
    return *this;
}

TModalDriver& TModalDriver::Then(TStep Step) {
    return Then("step " + std::to_string(FSteps.size() + 1), std::move(Step));
}

void CALLBACK TModalDriver::Tick(HWND, UINT, UINT_PTR Timer, DWORD) {
    const auto found = Drivers().find(Timer);
    if (found != Drivers().end()) {
        found->second->RunNext();
    }
}

// Sees every exception first, before any handler of the platform's can swallow it. It only takes
// note of a processor fault in a running step of this thread; the search goes on as before.
LONG CALLBACK TModalDriver::WatchFaults(EXCEPTION_POINTERS* Info) {
    TModalDriver* driver = StepDriver;
    if (driver != nullptr && !driver->FRunning.empty() && Info != nullptr &&
        Info->ExceptionRecord != nullptr && FaultName(Info->ExceptionRecord->ExceptionCode)) {
        TRunningStep& step = driver->FRunning.back();
        if (step.FaultCode == 0) {
            step.FaultCode = Info->ExceptionRecord->ExceptionCode;
            step.FaultAddress = Info->ExceptionRecord->ExceptionAddress;
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

void TModalDriver::RunNext() {
    if (ReportCutShort(__builtin_frame_address(0))) {
        Abandon();
    }
    if (FAbandoned) {
        if (HWND dialog = TopDialog()) {
            EndDialog(dialog, 0);
        }
        return;
    }
    if (FNext < FSteps.size()) {
        FIdleTicks = 0;
        // Counted before it runs: a step that opens a nested loop has its successor run there.
        Run(FNext++);
        return;
    }
    if (++FIdleTicks < GRACE_TICKS) {
        return;
    }
    FIdleTicks = 0;
    if (HWND dialog = TopDialog()) {
        ADD_FAILURE() << "a modal loop was still running after the last scripted step";
        EndDialog(dialog, 0);
    }
}

void TModalDriver::Run(std::size_t Index) {
    const TStep step = FSteps[Index].Run;
    const std::string name = FSteps[Index].Name;
    FRunning.push_back({Index, __builtin_frame_address(0), StepDriver, 0, nullptr});
    StepDriver = this;
    std::string failure;
    try {
        step();
    } catch (const std::exception& error) {
        failure = std::string("raised an exception: ") + error.what();
    } catch (...) {
        const TRunningStep& running = FRunning.back();
        failure = running.FaultCode != 0
                      ? "crashed: " + Describe(running.FaultCode, running.FaultAddress)
                      : "raised an exception of unknown type";
    }
    StepDriver = FRunning.back().OuterDriver;
    FRunning.pop_back();
    if (!failure.empty()) {
        ADD_FAILURE() << "scripted step \"" << name << "\" " << failure;
        Abandon();
    }
}

bool TModalDriver::ReportCutShort(const void* Frame) {
    bool found = false;
    while (!FRunning.empty() && FRunning.back().Frame <= Frame) {
        const TRunningStep step = FRunning.back();
        FRunning.pop_back();
        StepDriver = step.OuterDriver;
        found = true;
        const std::string& name = FSteps[step.Index].Name;
        if (step.FaultCode != 0) {
            ADD_FAILURE() << "scripted step \"" << name
                          << "\" crashed: " << Describe(step.FaultCode, step.FaultAddress);
        } else {
            ADD_FAILURE() << "scripted step \"" << name << "\" was cut short and never came back";
        }
    }
    return found;
}

void TModalDriver::Abandon() {
    FAbandoned = true;
    if (HWND dialog = TopDialog()) {
        EndDialog(dialog, 0);
    }
}

HWND TopDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}
