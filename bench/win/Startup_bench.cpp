// Times the program's start: from creating its process to its first visible window, against the
// bare program (BareDialog.exe: the same template and manifest, no logic). The two take turns,
// 21 times each, so that other work on the machine hits both alike; each run ends with WM_CLOSE
// and the process's exit. The medians are printed.
//
//   tools/wine-run.sh <build>/bench/win/Startup_bench.exe [RUNS [PROGRAM]]
//
// PROGRAM is the build's own yieldora.exe unless given (a release build, say).

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int DefaultRuns = 21;

using TClock = std::chrono::steady_clock;

double Median(std::vector<double> Times) {
    const auto middle = Times.begin() + static_cast<std::ptrdiff_t>(Times.size() / 2);
    std::nth_element(Times.begin(), middle, Times.end());
    return *middle;
}

// The folder of this benchmark, with a trailing backslash.
std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

struct TSearch {
    DWORD Process;
    HWND Window;
};

BOOL CALLBACK FindVisible(HWND Window, LPARAM Data) {
    auto* search = reinterpret_cast<TSearch*>(Data);
    DWORD process = 0;
    GetWindowThreadProcessId(Window, &process);
    if (process == search->Process && IsWindowVisible(Window)) {
        search->Window = Window;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to the first visible top-level window of Program; then closes
// it. Exits the benchmark when the program does not start or show a window.
double StartAndClose(const std::wstring& Program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + Program + L"\"";
    const auto start = TClock::now();
    if (!CreateProcessW(Program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %ls\n", Program.c_str());
        std::exit(1);
    }
    // The program idles in its modal loop once its window is up; the search then finds it at
    // once, and only polls when the window came later than the idle.
    WaitForInputIdle(process.hProcess, 10000);
    TSearch search{process.dwProcessId, nullptr};
    const auto deadline = start + std::chrono::seconds(10);
    for (;;) {
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (search.Window != nullptr || TClock::now() > deadline) {
            break;
        }
        Sleep(0);
    }
    const double elapsed = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
    if (search.Window == nullptr) {
        std::fprintf(stderr, "%ls showed no window\n", Program.c_str());
        TerminateProcess(process.hProcess, 1);
        std::exit(1);
    }
    PostMessageW(search.Window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : DefaultRuns;
    const std::wstring folder = OwnFolder();
    std::wstring program = folder + L"..\\..\\yieldora.exe";
    if (argc > 2) {
        const std::string given(argv[2]);
        program.assign(given.begin(), given.end());
    }
    const std::wstring bare = folder + L"BareDialog.exe";
    // One start of each first, so that both find their files in the cache.
    StartAndClose(program);
    StartAndClose(bare);
    std::vector<double> programTimes;
    std::vector<double> bareTimes;
    for (int i = 0; i < runs; ++i) {
        programTimes.push_back(StartAndClose(program));
        bareTimes.push_back(StartAndClose(bare));
    }
    const double a = Median(programTimes);
    const double b = Median(bareTimes);
    std::printf("%-44s %10s\n", "Start-up to a visible window (median)", "Time");
    std::printf("%-44s %7.2f ms\n", "yieldora.exe", a);
    std::printf("%-44s %7.2f ms\n", "BareDialog.exe (template only)", b);
    std::printf("%-44s %7.2f\n", "yieldora / bare", a / b);
    return 0;
}
