// Checks the thread functions that the release programs put in place of winpthread's (see
// cmake/ReleaseRuntime.cpp), linked into this program as into them. A plain program, not a
// GoogleTest one: GoogleTest needs more of winpthread, whose functions would clash with these.
// Prints each failed check and exits with 1; 0 when all hold.
#include <windows.h>

#include <pthread.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int failures = 0;
int runs = 0;
pthread_once_t recursiveOnce = PTHREAD_ONCE_INIT;

struct TFailure {
    int Code;
};

void Check(bool Condition, const char* What) {
    if (!Condition) {
        std::printf("FAILED: %s\n", What);
        ++failures;
    }
}

void CountRun() {
    ++runs;
}

void FailRun() {
    throw TFailure{1};
}

void RunItself() {
    pthread_once(&recursiveOnce, RunItself);
}

DWORD WINAPI RunOnce(LPVOID Once) {
    pthread_once(static_cast<pthread_once_t*>(Once), CountRun);
    return 0;
}

// What a failed system call left for GetLastError survives the exception machinery, which reads
// thread-local slots on every throw and catch, and the slots themselves.
void CheckLastErrorIsKept() {
    SetLastError(ERROR_ACCESS_DENIED);
    try {
        throw TFailure{2};
    } catch (const TFailure&) {
        Check(GetLastError() == ERROR_ACCESS_DENIED, "the last error in the catch block");
    }
    Check(GetLastError() == ERROR_ACCESS_DENIED, "the last error after the catch block");

    pthread_key_t key = 0;
    Check(pthread_key_create(&key, nullptr) == 0, "a thread-local slot");
    SetLastError(ERROR_FILE_NOT_FOUND);
    Check(pthread_setspecific(key, &key) == 0 && pthread_getspecific(key) == &key,
          "the slot's value");
    Check(GetLastError() == ERROR_FILE_NOT_FOUND, "the last error after the slot's use");
    pthread_key_delete(key);
}

// A function that raises leaves the once-only start to be run again, by this thread or another.
void CheckAFailedOnceRunsAgain() {
    pthread_once_t once = PTHREAD_ONCE_INIT;
    bool raised = false;
    try {
        pthread_once(&once, FailRun);
    } catch (const TFailure&) {
        raised = true;
    }
    Check(raised, "the function's exception reaches the caller");
    const HANDLE thread = CreateThread(nullptr, 0, RunOnce, &once, 0, nullptr);
    const bool ended = WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
    Check(ended, "a second start does not wait for the failed first forever");
    if (!ended) {
        TerminateThread(thread, 1);
    }
    CloseHandle(thread);
    pthread_once(&once, CountRun);
    Check(runs == 1, "the second start runs the function, and only once");
}

// A function that starts itself again ends the process (abort: exit code 3) instead of waiting
// for itself forever.
void CheckARecursiveOnceEndsTheProcess() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" recurse";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        Check(false, "the recursive start runs in a process of its own");
        return;
    }
    const bool ended = WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    if (!ended) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Check(ended && code == 3, "a recursive start ends the process with abort's exit code 3");
}

} // namespace

int wmain(int Count, wchar_t** Arguments) {
    if (Count > 1 && std::wcscmp(Arguments[1], L"recurse") == 0) {
        RunItself();
        return 0;
    }
    CheckLastErrorIsKept();
    CheckAFailedOnceRunsAgain();
    CheckARecursiveOnceEndsTheProcess();
    return failures == 0 ? 0 : 1;
}
