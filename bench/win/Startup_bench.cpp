// Times the program's start: from creating its process to its first visible window, against the
// bare program (BareDialog.exe: the same template and manifest, no logic). BareTexts.exe, timed
// beside them, also shows the program's first texts through the platform alone: how much of the
// program's start is drawing them is told by its own ratio to the bare program. The programs take
// turns, 21 times each and in a new order each round: a start depends on what ran just before it
// (presumably on what the last program's exit leaves Wine's server and the X server to clean up),
// and in a fixed order two copies of one program measured 5 ms apart by their place in the turn
// alone. Each run ends with WM_CLOSE and the process's exit. The medians are printed, each
// program's also as a ratio to the bare program's, with the middle half of its times; the goal is
// a ratio of at most 1.15 for the release program. Beside it each round's own ratio, its median
// and middle half: the starts of a round lie within a second, so a phase of the machine that
// slows every start (another guest on the host) slows both and leaves the round's ratio nearly as
// it was, where the ratio of the medians follows it.
//
//   tools/wine-run.sh <build>/bench/win/Startup_bench.exe [RUNS [PROGRAM...]]
//
// Without PROGRAMs it times the build's own yieldora.exe (two folders up) and, where that preset's
// release build lies beside the build (build/win64-release for build/win64), the release one.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int DefaultRuns = 21;
constexpr double Goal = 1.15;

using TClock = std::chrono::steady_clock;

// The time below which the given share of Times lies (0.5: the median).
double Quantile(std::vector<double> Times, double Share) {
    const auto at = Times.begin() + static_cast<std::ptrdiff_t>(
                                        static_cast<double>(Times.size() - 1) * Share + 0.5);
    std::nth_element(Times.begin(), at, Times.end());
    return *at;
}

// The folder of this benchmark, with a trailing backslash.
std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

bool Exists(const std::wstring& Path) {
    return GetFileAttributesW(Path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The folder name of the build this benchmark belongs to (win64 for build\win64\bench\win\).
std::wstring BuildName(const std::wstring& Folder) {
    std::wstring build = Folder.substr(0, Folder.size() - 1);
    for (int up = 0; up < 2; ++up) {
        build = build.substr(0, build.find_last_of(L"\\/"));
    }
    return build.substr(build.find_last_of(L"\\/") + 1);
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

struct TProgram {
    std::wstring Path;
    std::wstring Label;
    std::vector<double> Times;
};

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : DefaultRuns;
    const std::wstring folder = OwnFolder();
    std::vector<TProgram> programs;
    programs.push_back({folder + L"BareDialog.exe", L"BareDialog.exe (template only)", {}});
    programs.push_back({folder + L"BareTexts.exe", L"BareTexts.exe (and the first texts)", {}});
    for (int i = 2; i < argc; ++i) {
        const std::string given(argv[i]);
        const std::wstring path(given.begin(), given.end());
        programs.push_back({path, path, {}});
    }
    if (argc <= 2) {
        programs.push_back({folder + L"..\\..\\yieldora.exe", L"yieldora.exe (this build)", {}});
        const std::wstring release =
            folder + L"..\\..\\..\\" + BuildName(folder) + L"-release\\yieldora.exe";
        if (Exists(release)) {
            programs.push_back({release, L"yieldora.exe (" + BuildName(folder) + L"-release)", {}});
        }
    }
    // One start of each first, so that all find their files in the cache.
    for (const TProgram& program : programs) {
        StartAndClose(program.Path);
    }
    // The same orders on every run of the benchmark.
    std::mt19937 shuffler(1);
    std::vector<std::size_t> order(programs.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    for (int i = 0; i < runs; ++i) {
        std::shuffle(order.begin(), order.end(), shuffler);
        for (const std::size_t index : order) {
            programs[index].Times.push_back(StartAndClose(programs[index].Path));
        }
    }
    const std::vector<double>& bareTimes = programs.front().Times;
    const double bare = Quantile(bareTimes, 0.5);
    std::printf("%-48s %10s %8s %17s %19s\n", "Start-up to a visible window (median)", "Time",
                "/ bare", "middle half", "round's / bare");
    for (const TProgram& program : programs) {
        const double time = Quantile(program.Times, 0.5);
        std::vector<double> rounds;
        for (std::size_t i = 0; i < program.Times.size(); ++i) {
            rounds.push_back(program.Times[i] / bareTimes[i]);
        }
        std::printf("%-48ls %7.2f ms %8.2f %7.1f-%.1f ms %6.2f (%.2f-%.2f)\n",
                    program.Label.c_str(), time, time / bare, Quantile(program.Times, 0.25),
                    Quantile(program.Times, 0.75), Quantile(rounds, 0.5), Quantile(rounds, 0.25),
                    Quantile(rounds, 0.75));
    }
    std::printf("(goal: at most %.2f for the release program; %d runs each, taking turns)\n", Goal,
                runs);
    return 0;
}
