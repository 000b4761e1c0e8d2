// yieldora-soak PROGRAM [--seconds N] [--seed S] [--long-life N]
//
// A seeded random user drives a copy of yieldora.exe (in a fresh folder of its own) from this
// process with the window messages a user's input produces: it types valid, invalid, huge, empty
// and Chinese texts into the fields, picks terms, toggles the check box, calculates, exports
// (sometimes while this process holds the clipboard), exits with the button, Enter, Escape and
// the close box, minimises, maximises, restores, moves and resizes the dialog, selects and copies
// the table's rows with the table's commands, opens, resizes, closes and reopens the chart, answers
// the boxes in every way, closes the dialog or ends the session under a box, and starts the
// program again whenever it has ended. As a user's real input it also clicks into the table and
// presses Ctrl+A, Ctrl+C and Ctrl+G (keyboard input, whose Ctrl state the program reads), and
// chooses from the table's and the chart's real menus. It saves through the real Save dialogs, the
// table as CSV or text and the chart as PNG, onto new files, onto files saved before, onto
// read-only ones and onto ones it holds open; copies the chart's picture; runs a second copy of
// the program beside the first and closes the two in either order; and makes the program's folder
// read-only (with chmod: the Wine session must obey permissions) before a close, sometimes after
// deleting the profile.
//
// It keeps its own account of what the program should hold and checks after every action: the
// program runs or has ended with exit code 0; the boxes that came up are the ones expected; the
// fields show what they should; after a successful calculation the table equals the command
// line's output for the same inputs, and so are the rows it copies; a saved file holds the command
// line's --csv or --tsv output, or a PNG picture, or, where it could not be replaced, its old
// bytes, with a box that names it; after every exit the profile holds the inputs of the copy
// closed last and the dialog's position, size and state, and the next start shows them within the
// work area; a close that cannot save the profile says so.
//
// Long lives: after every 1,000 actions the program runs N actions (5,000 unless given) without
// being closed, and its private bytes, handle count and GDI and USER object counts (where the
// system reports them) are sampled ten times along the way; a measure that grows from sample to
// sample all along, by more than a little, fails the run.
//
// It prints the seed, the number of actions and starts, how many actions of each kind ran, and each
// failure with the seed and the step that reproduce it. Exit code 0 when nothing failed, 1
// otherwise, 2 for bad arguments.

#include "UCommandLine.h"
#include "UkyStrUtils.h"
#include "UkyUtf8.h"
#include "YieldoraRemote.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <psapi.h>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The five text fields in the order the program reads them.
constexpr std::array<int, 5> FIELD_IDS = {IDC_FUND, IDC_RATE, IDC_TAX, IDC_YEAR, IDC_STEP};
const wchar_t* const FIELD_KEYS[] = {L"Fund", L"Rate", L"Tax", L"Year", L"Step"};
const wchar_t* const FIELD_OPTIONS[] = {L"--fund", L"--rate", L"--tax", L"--years", L"--step"};
constexpr std::array<int, 5> TERM_YEARS = {1, 2, 3, 5, 10};

// Texts the program accepts, each in the form the program shows it back, per field.
const std::vector<std::vector<std::wstring>> VALID_TEXTS = {
    {L"10000", L"2885.5", L"0.01", L"123456789", L"50000", L"0"},
    {L"3.6", L"4.25", L"0", L"12.5", L"1"},
    {L"20", L"0", L"5.5", L"100"},
    {L"1", L"7", L"20", L"100", L"255"},
    {L"1", L"2", L"3", L"10", L"0"},
};

// Texts no field accepts, but for blanks, which the amount, the rate and the tax take for 0.
std::vector<std::wstring> InvalidTexts() {
    return {L"",
            L"abc",
            L"一万元",
            L"三年",
            L"1,000",
            L"12a",
            std::wstring(4000, L'9'),
            std::wstring(300, L'中'),
            L"9e999",
            L"  "};
}

// What the program holds: the five field texts, the term's index and the check box.
struct TInputs {
    std::array<std::wstring, 5> Texts{L"10000", L"3.6", L"20", L"20", L"1"};
    int Term = 0;
    bool Deposit = true;

    bool operator==(const TInputs&) const = default;
};

std::string Utf8(const std::wstring& Text) {
    return ToUtf8(Text);
}

std::string Describe(const TInputs& Inputs) {
    std::string text;
    for (std::size_t i = 0; i < Inputs.Texts.size(); ++i) {
        const std::wstring& t = Inputs.Texts[i];
        text += Utf8(FIELD_KEYS[i]) + "=" +
                (t.size() > 12 ? Utf8(t.substr(0, 12)) + "...(" + std::to_string(t.size()) + ")"
                               : Utf8(t)) +
                " ";
    }
    return text + "Term=" + std::to_string(Inputs.Term) +
           " Deposit=" + std::to_string(Inputs.Deposit);
}

std::string Describe(const RECT& Rect) {
    return std::to_string(Rect.left) + "," + std::to_string(Rect.top) + " " +
           std::to_string(Rect.right - Rect.left) + "x" + std::to_string(Rect.bottom - Rect.top);
}

// What the program makes of a text in a field: the text it shows back, or nothing when it
// refuses the text. A blank amount, rate or tax counts as 0.
std::optional<std::wstring> Accepted(std::size_t Field, const std::wstring& Text) {
    const auto& valid = VALID_TEXTS[Field];
    if (std::find(valid.begin(), valid.end(), Text) != valid.end()) {
        return Text;
    }
    if (Field < 3 && Text.find_first_not_of(L' ') == std::wstring::npos) {
        return L"0";
    }
    return std::nullopt;
}

std::vector<std::wstring> Lines(const std::wstring& Text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < Text.size()) {
        std::size_t end = Text.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = Text.size();
        }
        std::wstring line = Text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::wstring Trimmed(std::wstring Text) {
    while (!Text.empty() && (Text.back() == L'\n' || Text.back() == L'\r' || Text.back() == L' ')) {
        Text.pop_back();
    }
    return Text;
}

std::wstring ProfileValue(const fs::path& File, const wchar_t* Section, const wchar_t* Key) {
    wchar_t buffer[256] = {};
    GetPrivateProfileStringW(Section, Key, L"<none>", buffer, 256, File.c_str());
    return buffer;
}

struct TWindowCount {
    DWORD ProcessId;
    std::uint64_t Windows;
};

BOOL CALLBACK CountChildWindows(HWND, LPARAM Count) {
    ++*reinterpret_cast<std::uint64_t*>(Count);
    return TRUE;
}

BOOL CALLBACK CountProgramWindows(HWND Window, LPARAM Count) {
    auto& c = *reinterpret_cast<TWindowCount*>(Count);
    DWORD owner = 0;
    GetWindowThreadProcessId(Window, &owner);
    if (owner == c.ProcessId) {
        ++c.Windows;
        EnumChildWindows(Window, CountChildWindows, reinterpret_cast<LPARAM>(&c.Windows));
    }
    return TRUE;
}

class TSoak {
public:
    TSoak(const fs::path& Program, std::uint32_t Seed, double Seconds, std::uint64_t LongLife)
        : FSeed(Seed), FSeconds(Seconds), FLongLife(LongLife), FRandom(Seed) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        FFolder = fs::path(temp) / (L"yieldora-soak-" + std::to_wstring(GetCurrentProcessId()));
        fs::remove_all(FFolder);
        fs::create_directories(FFolder);
        FProgram = FFolder / L"yieldora.exe";
        fs::copy_file(Program, FProgram);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &FWork, 0);
        FClipboardHolder = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                           nullptr, nullptr, nullptr);
    }
    TSoak(const TSoak&) = delete;
    TSoak& operator=(const TSoak&) = delete;
    ~TSoak() {
        FRemote.reset();
        DestroyWindow(FClipboardHolder);
        std::error_code ignored;
        fs::remove_all(FFolder, ignored);
    }

    int Run() {
        const auto start = std::chrono::steady_clock::now();
        const auto elapsed = [&start] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        };
        while (elapsed() < FSeconds) {
            ++FStep;
            try {
                if (!FRemote) {
                    Start();
                } else {
                    Act();
                }
            } catch (const std::exception& e) {
                Failure(std::string("the remote control gave up: ") + e.what());
            }
        }
        for (const auto& [kind, count] : FCounts) {
            std::printf("  %s: %llu\n", kind.c_str(), static_cast<unsigned long long>(count));
        }
        std::printf("seed %u actions %llu restarts %llu failures %llu\n", FSeed,
                    static_cast<unsigned long long>(FStep),
                    static_cast<unsigned long long>(FStarts > 0 ? FStarts - 1 : 0),
                    static_cast<unsigned long long>(FFailures));
        return FFailures == 0 ? 0 : 1;
    }

private:
    int Pick(int Count) { return std::uniform_int_distribution<int>(0, Count - 1)(FRandom); }
    bool Chance(int Percent) { return Pick(100) < Percent; }

    void Failure(const std::string& What) {
        ++FFailures;
        std::printf("FAIL seed %u step %llu (%s): %s\n", FSeed,
                    static_cast<unsigned long long>(FStep), FAction.c_str(), What.c_str());
        // A failure depends on what came before, and an untraced run's actions cannot be replayed
        // once the machine's load has steered it elsewhere.
        for (const std::string& action : FRecent) {
            std::printf("  after %s\n", action.c_str());
        }
        std::fflush(stdout);
        // Start over from a known state: no program, no profile.
        if (FRemote) {
            FRemote->Kill();
            FRemote.reset();
        }
        std::error_code ignored;
        fs::remove(FFolder / L"yieldora.ini", ignored);
        FModel = TInputs{};
        FSaved.reset();
    }

    void Check(bool Condition, const std::string& What) {
        if (!Condition) {
            throw TFailed{What};
        }
    }

    struct TFailed {
        std::string What;
    };

    // ---- Starting -------------------------------------------------------------------------------

    void Start() {
        Action("start");
        FRemote = std::make_unique<TYieldoraRemote>(FProgram.wstring());
        ++FStarts;
        FShown = FModel;
        FExportEnabled = false;
        FMinimised = false;
        FMaximised = false;
        FChartOpen = false;
        FTable.reset();
        try {
            CheckFields("after the start");
            if (FSaved && FSaved->Maximised) {
                // Maximised once the dialog loop has shown it.
                FRemote->Settle();
                Check(FRemote->Maximised(), "the dialog was saved maximised but starts normal");
                FMaximised = true;
                // A saved rectangle on no monitor gives way to the template's place, which is not
                // known here until the dialog is restored.
                FNormalKnown = FSaved->Known && OnTheScreen(FSaved->Normal);
                FNormal = ExpectedPlace(FSaved->Normal);
                return;
            }
            const RECT rect = FRemote->WindowRect();
            Check(rect.left >= FWork.left && rect.top >= FWork.top && rect.right <= FWork.right &&
                      rect.bottom <= FWork.bottom,
                  "the dialog does not lie wholly on the screen after the start: " +
                      std::to_string(rect.left) + "," + std::to_string(rect.top));
            if (FSaved) {
                const RECT& saved = FSaved->Normal;
                if (FSaved->Known && OnTheScreen(saved)) {
                    const RECT expected = ExpectedPlace(saved);
                    Check(rect.left == expected.left && rect.top == expected.top &&
                              rect.right == expected.right && rect.bottom == expected.bottom,
                          "the dialog starts at " + Describe(rect) + ", not at " +
                              Describe(expected));
                }
            } else {
                FLeast = SIZE{rect.right - rect.left, rect.bottom - rect.top};
            }
            FNormal = FRemote->WindowRect();
            FNormalKnown = true;
        } catch (const TFailed& f) {
            Failure(f.What);
        }
    }

    bool OnTheScreen(const RECT& Rect) const {
        return Rect.right > FWork.left && Rect.left < FWork.right && Rect.bottom > FWork.top &&
               Rect.top < FWork.bottom;
    }

    // Where a saved rectangle comes back: its size cut to the work area, moved as little as
    // needed to lie wholly within it.
    RECT ExpectedPlace(const RECT& Saved) const {
        const LONG width =
            std::min(Saved.right - Saved.left, static_cast<LONG>(FWork.right - FWork.left));
        const LONG height =
            std::min(Saved.bottom - Saved.top, static_cast<LONG>(FWork.bottom - FWork.top));
        const LONG left = std::max(FWork.left, std::min(Saved.left, FWork.right - width));
        const LONG top = std::max(FWork.top, std::min(Saved.top, FWork.bottom - height));
        return RECT{left, top, left + width, top + height};
    }

    // ---- One action -----------------------------------------------------------------------------

    void Act() {
        try {
            if (Chance(7)) {
                MoreAction();
                FollowLongLife();
                return;
            }
            const int kind = Pick(100);
            if (kind < 30) {
                TypeText();
            } else if (kind < 36) {
                FShown.Term = Pick(5);
                Action("term " + std::to_string(FShown.Term));
                FRemote->SelectItem(IDC_TERM, FShown.Term);
            } else if (kind < 41) {
                FShown.Deposit = !FShown.Deposit;
                Action("check box");
                FRemote->SetChecked(IDC_DEPOSIT, FShown.Deposit);
            } else if (kind < 56) {
                Calculate(Chance(30));
            } else if (kind < 63) {
                Export();
            } else if (kind < 73 && !LongLife()) {
                const int how = Pick(3);
                CloseAttempt(how == 0 ? "exit button" : how == 1 ? "Escape" : "close box", how);
            } else if (kind < 79) {
                MinimiseOrRestore();
            } else if (kind < 86) {
                Move();
            } else if (kind < 88 && !LongLife()) {
                EndSession();
            } else if (kind < 91) {
                TableCommands();
            } else if (kind < 94) {
                Chart();
            } else if (kind < 96) {
                MaximiseOrRestore();
            } else if (kind < 98) {
                Resize();
            } else if (kind < 100 && FTable) {
                SaveAs();
            } else {
                TypeText();
            }
            FollowLongLife();
        } catch (const TFailed& f) {
            Failure(f.What);
        }
    }

    void TypeText() {
        const std::size_t field = static_cast<std::size_t>(Pick(5));
        std::wstring text;
        if (Chance(60)) {
            const auto& valid = VALID_TEXTS[field];
            text = valid[static_cast<std::size_t>(Pick(static_cast<int>(valid.size())))];
        } else {
            const std::vector<std::wstring> invalid = InvalidTexts();
            text = invalid[static_cast<std::size_t>(Pick(static_cast<int>(invalid.size())))];
        }
        Action("type " + Utf8(FIELD_KEYS[field]) + " \"" + Utf8(text.substr(0, 12)) +
               (text.size() > 12 ? "...\"" : "\""));
        FShown.Texts[field] = text;
        FRemote->SetItemText(FIELD_IDS[field], text);
    }

    // The fields as the program reads them: each valid field is stored until the first invalid
    // one, where a strict read stops; the term and the check box follow only a complete read.
    bool ReadFields(bool Strict) {
        for (std::size_t i = 0; i < FShown.Texts.size(); ++i) {
            if (const auto accepted = Accepted(i, FShown.Texts[i])) {
                FModel.Texts[i] = *accepted;
            } else if (Strict) {
                return false;
            }
        }
        FModel.Term = FShown.Term;
        FModel.Deposit = FShown.Deposit;
        return true;
    }

    // What a box's answer may do under the box; the first box of an action only.
    struct TUnderBox {
        int What = 0; // 0 nothing, 1 the close box of the dialog, 2 the session ends
        int Answer = 0;
    };

    TUnderBox PickUnderBox() {
        TUnderBox under;
        const int what = Pick(100);
        under.What = LongLife() ? 0 : what < 8 ? 1 : what < 12 ? 2 : 0;
        under.Answer = Pick(4);
        return under;
    }

    // Names the action in the trace and in its failures, and counts it by its first word.
    void Action(const std::string& What) {
        FAction = What;
        ++FCounts[What.substr(0, What.find_first_of(" ,("))];
        FRecent.push_back(std::to_string(FStep) + " " + What);
        if (FRecent.size() > RECENT_ACTIONS) {
            FRecent.pop_front();
        }
        if (FTrace) {
            std::printf("%llu %s\n", static_cast<unsigned long long>(FStep), What.c_str());
            std::fflush(stdout);
        }
    }

    static std::string DescribeUnder(const TUnderBox& Under) {
        const char* const what[] = {"", ", the close box under the box",
                                    ", the session ends under the box"};
        const char* const answer[] = {"OK", "Enter", "Escape", "its close box"};
        return std::string(what[Under.What]) + ", the box answered with " + answer[Under.Answer];
    }

    TBoxAnswer Answerer(const TUnderBox& Under) {
        auto first = std::make_shared<bool>(true);
        return [this, Under, first](HWND Box) {
            if (*first) {
                *first = false;
                if (Under.What == 1) {
                    // Answered once the close has been handled (it may bring a box of its own).
                    PostMessageW(FRemote->Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
                    return false;
                }
                if (Under.What == 2) {
                    FRemote->SendEndSession();
                }
            }
            switch (Under.Answer) {
            case 1:
                AnswerWithKey(Box, VK_RETURN);
                break;
            case 2:
                AnswerWithKey(Box, VK_ESCAPE);
                break;
            case 3:
                AnswerWithCloseBox(Box);
                break;
            default:
                AnswerWithOk(Box);
                break;
            }
            return true;
        };
    }

    // What a close under the first box does to the account; answers whether the program ends,
    // and adds the box a failing close shows.
    bool CloseUnderBox(const TUnderBox& Under, std::size_t& Boxes) {
        if (Under.What == 2) {
            ReadFields(false);
            return true;
        }
        if (Under.What == 1) {
            if (ReadFields(true)) {
                return true;
            }
            ++Boxes;
        }
        return false;
    }

    // The command line's run for the model's inputs, its output in the given form.
    TCliResult Expected(const wchar_t* Form = L"--tsv") const { return Expected(FModel, Form); }
    static TCliResult Expected(const TInputs& Inputs, const wchar_t* Form) {
        std::vector<std::wstring> arguments;
        for (std::size_t i = 0; i < Inputs.Texts.size(); ++i) {
            arguments.push_back(std::wstring(FIELD_OPTIONS[i]) + L"=" + Inputs.Texts[i]);
        }
        arguments.push_back(L"--term=" + std::to_wstring(TERM_YEARS[Inputs.Term]));
        arguments.push_back(Inputs.Deposit ? L"--redeposit" : L"--withdraw");
        arguments.push_back(Form);
        return RunCommandLine(arguments);
    }

    void Calculate(bool WithEnter) {
        const TUnderBox under = PickUnderBox();
        Action((WithEnter ? "Enter" : "calculate") + DescribeUnder(under));
        const bool read = ReadFields(true);
        std::optional<TCliResult> expected;
        std::size_t boxes = 0;
        if (read) {
            expected = Expected();
        }
        const bool fails = !read || expected->ExitCode != EXIT_DONE;
        bool ends = false;
        if (fails) {
            boxes = 1;
            ends = CloseUnderBox(under, boxes);
        }
        const TRemoteOutcome outcome = WithEnter ? FRemote->PressKey(VK_RETURN, Answerer(under))
                                                 : FRemote->Click(IDC_CALCULATE, Answerer(under));
        const std::string what = WithEnter ? "Enter" : "calculate";
        CheckOutcome(what, outcome, boxes, ends);
        if (read && fails && !outcome.Boxes.empty()) {
            Check(outcome.Boxes[0].Text == Trimmed(expected->Err),
                  what + " reported \"" + Utf8(outcome.Boxes[0].Text) + "\", the command line \"" +
                      Utf8(Trimmed(expected->Err)) + "\"");
        }
        if (ends) {
            return;
        }
        FShown = FModel;
        if (!fails) {
            FExportEnabled = true;
            const std::vector<std::wstring> lines = Lines(expected->Out);
            const std::vector<std::wstring> table = FRemote->TableRows();
            Check(lines.size() == table.size() + 1 &&
                      std::equal(table.begin(), table.end(), lines.begin() + 1),
                  "the table (" + std::to_string(table.size()) +
                      " rows) differs from the command line's (" +
                      std::to_string(lines.size() - 1) + " rows) for " + Describe(FModel));
            FTable = expected->Out;
            FTableInputs = FModel;
        } else {
            FTable.reset();
        }
        CheckFields("after " + what);
    }

    void Export() {
        // Wine presses a greyed button too: the soak presses 导出 only where a user could.
        const bool enabled = FRemote->ItemEnabled(IDC_EXPORT);
        // An empty table is a result only for 0 years: the captions alone are then its export.
        Check(!enabled || !FRemote->TableRows().empty() || (FTable && !TableHasRows()),
              "导出 is enabled while the table holds no result");
        Check(FExportEnabled || !enabled, "导出 is enabled before anything was calculated");
        if (!enabled) {
            return;
        }
        const bool hold = Chance(30);
        if (hold && !OpenClipboard(FClipboardHolder)) {
            return;
        }
        const TUnderBox under = PickUnderBox();
        Action(std::string("export") + (hold ? " (clipboard held)" : "") + DescribeUnder(under));
        std::size_t boxes = 1;
        const bool ends = CloseUnderBox(under, boxes);
        const TRemoteOutcome outcome = FRemote->Click(IDC_EXPORT, Answerer(under));
        if (hold) {
            CloseClipboard();
        }
        CheckOutcome("export", outcome, boxes, ends);
        if (!outcome.Boxes.empty()) {
            const std::wstring expected =
                hold ? L"剪贴板正被其他程序占用，导出失败！" : L"当前计算结果已导出到剪贴板！";
            Check(outcome.Boxes[0].Text == expected,
                  "the export said \"" + Utf8(outcome.Boxes[0].Text) + "\"");
        }
        if (!hold && FTable) {
            Check(Trimmed(ReadClipboardText()) == Trimmed(*FTable),
                  "the exported text differs from the command line's");
        }
        if (!ends && boxes > 1) {
            FShown = FModel;
        }
        if (!ends) {
            CheckFields("after the export");
        }
    }

    void CloseAttempt(const std::string& What, int How) {
        const TUnderBox under = PickUnderBox();
        Action(What + DescribeUnder(under));
        std::size_t boxes = 0;
        bool ends = ReadFields(true);
        if (!ends) {
            boxes = 1;
            ends = CloseUnderBox(under, boxes);
        }
        const TRemoteOutcome outcome = How == 0   ? FRemote->Click(IDC_EXIT, Answerer(under))
                                       : How == 1 ? FRemote->PressKey(VK_ESCAPE, Answerer(under))
                                                  : FRemote->SysCommand(SC_CLOSE, Answerer(under));
        CheckOutcome(What, outcome, boxes, ends);
        if (!ends) {
            FShown = FModel;
            CheckFields("after a refused " + What);
        }
    }

    void EndSession() {
        Action("session end");
        ReadFields(false);
        CheckOutcome("session end", FRemote->EndSession(), 0, true);
    }

    void MinimiseOrRestore() {
        FMinimised = !FMinimised;
        Action(FMinimised ? "minimise" : "restore");
        CheckOutcome("minimise or restore",
                     FRemote->SysCommand(FMinimised ? SC_MINIMIZE : SC_RESTORE), 0, false);
        Check(FRemote->Minimised() == FMinimised,
              FMinimised ? "the dialog did not minimise" : "the dialog did not restore");
        if (!FMinimised && FMaximised) {
            Check(FRemote->Maximised(), "the dialog minimised from maximised restored normal");
        } else if (!FMinimised) {
            const RECT rect = FRemote->WindowRect();
            Check(rect.left == FNormal.left && rect.top == FNormal.top,
                  "the restored dialog stands at " + std::to_string(rect.left) + "," +
                      std::to_string(rect.top));
        }
    }

    void MaximiseOrRestore() {
        if (FMinimised) {
            return;
        }
        FMaximised = !FMaximised;
        Action(FMaximised ? "maximise" : "unmaximise");
        CheckOutcome("maximise or restore",
                     FRemote->SysCommand(FMaximised ? SC_MAXIMIZE : SC_RESTORE), 0, false);
        Check(FRemote->Maximised() == FMaximised,
              FMaximised ? "the dialog did not maximise" : "the dialog did not restore");
        if (!FMaximised && !FNormalKnown) {
            FNormal = FRemote->WindowRect();
            FNormalKnown = true;
        } else if (!FMaximised) {
            const RECT rect = FRemote->WindowRect();
            Check(std::equal(&rect.left, &rect.left + 4, &FNormal.left),
                  "the restored dialog stands at " + Describe(rect) + ", not at " +
                      Describe(FNormal));
        }
    }

    // A new size for the normal dialog: it takes it, but never below the size it was built with.
    void Resize() {
        if (FMinimised || FMaximised) {
            return;
        }
        const LONG width = FNormal.right - FNormal.left + Pick(401) - 200;
        const LONG height = FNormal.bottom - FNormal.top + Pick(401) - 200;
        Action("resize to " + std::to_string(width) + "x" + std::to_string(height));
        SetWindowPos(FRemote->Dialog(), nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        CheckOutcome("resize", FRemote->Settle(), 0, false);
        FNormal = FRemote->WindowRect();
        if (FLeast.cx > 0) {
            // The system keeps a window within its largest tracking size.
            Check(FNormal.right - FNormal.left == std::min<LONG>(std::max(width, FLeast.cx),
                                                                 GetSystemMetrics(SM_CXMAXTRACK)) &&
                      FNormal.bottom - FNormal.top ==
                          std::min<LONG>(std::max(height, FLeast.cy),
                                         GetSystemMetrics(SM_CYMAXTRACK)),
                  "the dialog took the size " + Describe(FNormal));
        }
    }

    // The table's commands, as its menu and keys send them: select all, then copy; the clipboard
    // then holds the caption line and every row, as the command line's --tsv output.
    void TableCommands() {
        Action("table select all and copy");
        const std::wstring marker = L"soak " + std::to_wstring(FStep);
        if (!PutOnClipboard(marker)) {
            return;
        }
        CheckOutcome("select all", FRemote->Command(IDM_SELECT_ALL), 0, false);
        CheckOutcome("copy", FRemote->Command(IDM_COPY), 0, false);
        const std::wstring copied = Trimmed(ReadClipboardText());
        if (!FTable) {
            return;
        }
        // Without rows nothing is copied.
        const bool rows = Lines(*FTable).size() > 1;
        Check(copied == (rows ? Trimmed(*FTable) : marker),
              "the copied rows differ from the command line's: \"" + Utf8(copied.substr(0, 60)) +
                  "\"");
    }

    // Empties the clipboard, so that the program's copy is seen by its formats alone (Wine's
    // clipboard manager changes the clipboard's sequence number of its own accord).
    bool EmptyTheClipboard() const {
        if (!OpenClipboard(FClipboardHolder)) {
            return false;
        }
        EmptyClipboard();
        CloseClipboard();
        return true;
    }

    static bool HoldsText() { return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

    bool PutOnClipboard(const std::wstring& Text) {
        if (!OpenClipboard(FClipboardHolder)) {
            return false;
        }
        EmptyClipboard();
        const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (Text.size() + 1) * sizeof(wchar_t));
        if (memory != nullptr) {
            std::copy_n(Text.c_str(), Text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
            GlobalUnlock(memory);
            if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
                GlobalFree(memory);
            }
        }
        CloseClipboard();
        return memory != nullptr;
    }

    // Save As through the real Save dialog, as CSV or as text, onto a new file, onto one saved
    // before (the dialog asks first), or onto one another program holds open: the file then holds
    // the command line's --csv or --tsv output, or, when it cannot be replaced, its old bytes and
    // an error box names it.
    void SaveAs() {
        const bool csv = Chance(50);
        const bool menu = Chance(50);
        const int target = FSaves.empty() ? 0 : Pick(4);
        fs::path file =
            FFolder / L"保存" / (L"结果 " + std::to_wstring(FStep) + (csv ? L".csv" : L".txt"));
        if (target > 0) {
            file = FSaves[static_cast<std::size_t>(Pick(static_cast<int>(FSaves.size())))];
            file.replace_extension(csv ? L".csv" : L".txt");
        }
        const bool exists = fs::exists(file);
        const bool held = exists && target == 2;
        const bool readOnly = exists && target == 3;
        Action(std::string(!exists    ? "save-as-new"
                           : held     ? "save-as-held-open"
                           : readOnly ? "save-as-read-only"
                                      : "save-as-existing") +
               (csv ? " CSV" : " text") + (menu ? " through the menu" : ""));
        fs::create_directories(file.parent_path());
        const std::string before = exists ? ReadBytes(file) : std::string();
        const TRemoteOutcome outcome = SaveOnto(file, held, readOnly, [&] {
            return menu ? FRemote->ChooseFromMenu(FRemote->Item(IDC_RESULTS), 4,
                                                  AnswerSaveDialog(file.wstring()), ShowsABox)
                        : FRemote->Command(IDM_SAVE_AS, AnswerSaveDialog(file.wstring()));
        });
        // The Save dialog, the question before replacing, the error.
        const bool fails = held || readOnly;
        CheckOutcome("save as", outcome, 1 + (exists ? 1 : 0) + (fails ? 1 : 0), false);
        const std::string after = ReadBytes(file);
        if (fails) {
            Check(after == before, "a file that cannot be replaced changed under a failed save");
            CheckNamesFile(outcome, file);
        } else {
            Check(after == TextToUtf8(Expected(FTableInputs, csv ? L"--csv" : L"--tsv").Out),
                  "the saved file differs from the command line's " +
                      std::string(csv ? "--csv" : "--tsv") + " output");
            if (!exists) {
                FSaves.push_back(file);
            }
        }
        CheckFields("after save as");
    }

    static bool ShowsABox(const TRemoteOutcome& Outcome) { return !Outcome.Boxes.empty(); }

    // Saves onto File through Save, with File held open without sharing by this process, or
    // marked read-only, for the time of the save: also when the remote control gives up during
    // it, so that the next actions find the file as before.
    static TRemoteOutcome SaveOnto(const fs::path& File, bool Held, bool ReadOnly,
                                   const std::function<TRemoteOutcome()>& Save) {
        struct TObstacle {
            const fs::path& File;
            bool ReadOnly;
            HANDLE Holder;
            ~TObstacle() {
                if (Holder != INVALID_HANDLE_VALUE) {
                    CloseHandle(Holder);
                }
                if (ReadOnly) {
                    SetFileAttributesW(File.c_str(), FILE_ATTRIBUTE_NORMAL);
                }
            }
        };
        const TObstacle obstacle{
            File, ReadOnly,
            Held ? CreateFileW(File.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                 : INVALID_HANDLE_VALUE};
        if (ReadOnly) {
            SetFileAttributesW(File.c_str(), FILE_ATTRIBUTE_READONLY);
        }
        return Save();
    }

    // The last box of a failed save names the file and a reason.
    void CheckNamesFile(const TRemoteOutcome& Outcome, const fs::path& File) {
        const std::wstring prefix = L"无法保存文件 " + File.wstring() + L"：";
        const std::wstring text = Outcome.Boxes.empty() ? L"" : Outcome.Boxes.back().Text;
        Check(text.starts_with(prefix) && text.size() > prefix.size(),
              "the error box does not name the file and the reason: \"" + Utf8(text) + "\"");
    }

    // The actions that need more than a message: real keys and menus, the chart's files, two
    // copies at once, the program's folder turning read-only.
    void MoreAction() {
        switch (Pick(8)) {
        case 0:
            TableKeys();
            break;
        case 1:
            TableMenu();
            break;
        case 2:
        case 3:
            ChartFiles();
            break;
        case 4:
            TwoCopies();
            break;
        case 5:
        case 6:
            Comparison();
            break;
        default:
            ReadOnlyFolder();
            break;
        }
    }

    // 存期比较 while the dialog is edited: opened by its button, by the table's menu item or by
    // Ctrl+T in the table; then rates typed into it (good and bad), terms picked, fields typed and
    // the check box clicked in the dialog, after each of which its rows are those of
    // `yieldora-cli --compare` for the inputs the program read and the rates its fields show.
    // Escape hides it, and a calculation brings the account of the table up to date; or the
    // program is closed with it open.
    void Comparison() {
        if (FMinimised) {
            return;
        }
        const int how = Pick(3);
        Action(std::string("comparison opened by ") + (how == 0   ? "its button"
                                                       : how == 1 ? "the table's menu item"
                                                                  : "Ctrl+T"));
        if (how == 2 && FocusTable()) {
            PressWithControl({'T'});
            Check(WaitUntil([this] { return FRemote->CompareWindow() != nullptr; }),
                  "Ctrl+T did not open the comparison");
            CheckOutcome("Ctrl+T", FRemote->Settle(), 0, false);
        } else if (how == 1) {
            CheckOutcome("the table's 存期比较", FRemote->Command(IDC_COMPARE), 0, false);
        } else {
            CheckOutcome("存期比较", FRemote->Click(IDC_COMPARE), 0, false);
        }
        FollowComparison("after opening it");
        const int steps = 1 + Pick(6);
        for (int i = 0; i < steps; ++i) {
            const int kind = Pick(4);
            if (kind == 0) {
                const int term = Pick(5);
                const auto& valid = VALID_TEXTS[1];
                const std::wstring text =
                    Chance(75)
                        ? valid[static_cast<std::size_t>(Pick(static_cast<int>(valid.size())))]
                        : L"abc";
                Action("comparison rate " + std::to_string(term) + " \"" + Utf8(text) + "\"");
                FRemote->SetCompareRate(term, text);
                if (term == FShown.Term) {
                    FShown.Texts[1] = text;
                }
            } else if (kind == 1) {
                FShown.Term = Pick(5);
                Action("comparison term " + std::to_string(FShown.Term));
                FRemote->PickItem(IDC_TERM, FShown.Term);
            } else if (kind == 2) {
                TypeText();
            } else {
                FShown.Deposit = !FShown.Deposit;
                Action("comparison check box");
                CheckOutcome("the check box", FRemote->Click(IDC_DEPOSIT), 0, false);
            }
            FollowComparison("after " + FAction);
        }
        if (!LongLife() && Chance(20)) {
            const int close = Pick(3);
            CloseAttempt(std::string("close with the comparison open by ") +
                             (close == 0   ? "the exit button"
                              : close == 1 ? "Escape"
                                           : "the close box"),
                         close);
            // A refused close leaves the comparison open, and while it is open each field typed
            // in the dialog is calculated quietly: it is hidden as below, which ends that.
            if (!FRemote || FRemote->CompareWindow() == nullptr) {
                return;
            }
        }
        Action("comparison Escape");
        const HWND field = FindWindowExW(FRemote->CompareWindow(), nullptr, L"EDIT", nullptr);
        CheckOutcome("Escape", FRemote->Perform(field, WM_KEYDOWN, VK_ESCAPE, 1), 0, false);
        Check(FRemote->CompareWindow() == nullptr, "Escape did not hide the comparison");
        Calculate(false);
    }

    // The comparison's rows after an action in it; the dialog's table follows the comparison's
    // calculation, and holds no result when a field cannot be read.
    void FollowComparison(const std::string& When) {
        const bool read = ReadFields(true);
        CheckComparison(When, read);
        if (!read) {
            FExportEnabled = false;
            FTable.reset();
        }
    }

    // The comparison's rows against the command line's for the inputs as the program read them
    // (Read: every field could be read) and the rates its fields show. A rate that cannot be read
    // has its row marked; the other rows are then compared but for the shortfall and the remark,
    // which depend on every row.
    void CheckComparison(const std::string& When, bool Read) {
        const HWND compare = FRemote->CompareWindow();
        Check(compare != nullptr, "the comparison is not shown " + When);
        const std::vector<std::wstring> rows = FRemote->CompareRows();
        Check(rows.size() == TERM_YEARS.size(),
              std::to_string(rows.size()) + " rows in the comparison " + When);
        std::array<std::wstring, 5> rates;
        for (std::size_t i = 0; i < rates.size(); ++i) {
            rates[i] = FRemote->CompareRate(static_cast<int>(i));
        }
        Check(rates[static_cast<std::size_t>(FShown.Term)] == FShown.Texts[1],
              "the selected term's rate field shows \"" +
                  Utf8(rates[static_cast<std::size_t>(FShown.Term)]) +
                  "\", the dialog's rate field \"" + Utf8(FShown.Texts[1]) + "\" " + When);
        if (!Read) {
            for (const std::wstring& row : rows) {
                const std::vector<std::wstring> parts = TextSplit(row, L'\t');
                Check(parts.size() > 3 && parts[2].empty() && !parts.back().empty(),
                      "a field that cannot be read leaves figures in \"" + Utf8(row) + "\" " +
                          When);
            }
            return;
        }
        std::wstring list;
        std::array<bool, 5> bad{};
        for (std::size_t i = 0; i < rates.size(); ++i) {
            if (static_cast<int>(i) == FShown.Term) {
                continue;
            }
            const std::optional<std::wstring> rate = Accepted(1, rates[i]);
            bad[i] = !rate;
            if (rate) {
                list += (list.empty() ? L"" : L",") + std::to_wstring(TERM_YEARS[i]) + L"=" + *rate;
            }
        }
        std::vector<std::wstring> arguments;
        for (std::size_t i = 0; i < FModel.Texts.size(); ++i) {
            arguments.push_back(std::wstring(FIELD_OPTIONS[i]) + L"=" + FModel.Texts[i]);
        }
        arguments.push_back(L"--term=" + std::to_wstring(TERM_YEARS[FModel.Term]));
        arguments.push_back(FModel.Deposit ? L"--redeposit" : L"--withdraw");
        arguments.push_back(L"--compare");
        if (!list.empty()) {
            arguments.push_back(L"--rates=" + list);
        }
        arguments.push_back(L"--tsv");
        const TCliResult expected = RunCommandLine(arguments);
        if (expected.ExitCode != EXIT_DONE) {
            return;
        }
        const std::vector<std::wstring> lines = Lines(expected.Out);
        Check(lines.size() == rows.size() + 1,
              "the command line's comparison has " + std::to_string(lines.size()) + " lines");
        const bool anyBad = std::find(bad.begin(), bad.end(), true) != bad.end();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::vector<std::wstring> shown = TextSplit(rows[i], L'\t');
            std::vector<std::wstring> wanted = TextSplit(lines[i + 1], L'\t');
            if (bad[i]) {
                Check(shown.size() > 3 && shown[2].empty() && !shown.back().empty(),
                      "a rate that cannot be read leaves figures in \"" + Utf8(rows[i]) + "\"");
                continue;
            }
            // The rate as its field shows it; the command line writes the number it read.
            shown.erase(shown.begin() + 1);
            wanted.erase(wanted.begin() + 1);
            if (anyBad) {
                shown.resize(shown.size() - std::min<std::size_t>(shown.size(), 2));
                wanted.resize(wanted.size() - std::min<std::size_t>(wanted.size(), 2));
            }
            Check(shown == wanted, "the comparison's row \"" + Utf8(rows[i]) +
                                       "\" differs from the command line's \"" +
                                       Utf8(lines[i + 1]) + "\" for " + Describe(FModel) + " " +
                                       When);
        }
    }

    bool TableHasRows() const { return FTable && Lines(*FTable).size() > 1; }

    // Presses Keys (each down and up) with Ctrl held, as keyboard input: the program reads the
    // Ctrl key's state, which posted messages cannot set.
    static void PressWithControl(std::initializer_list<WORD> Keys) {
        std::vector<INPUT> inputs;
        const auto key = [&inputs](WORD Key, bool Up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = Key;
            input.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        key(VK_CONTROL, false);
        for (const WORD k : Keys) {
            key(k, false);
            key(k, true);
        }
        key(VK_CONTROL, true);
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }

    // Makes the dialog the foreground window and focuses the table with a real click into its
    // first row; false when another window covers that place or the focus did not follow.
    // Keyboard input reaches the program after the messages posted to it, so each step waits for
    // its effect instead of settling the program.
    bool FocusTable() {
        const HWND table = FRemote->Item(IDC_RESULTS);
        SetForegroundWindow(FRemote->Dialog());
        RECT rect{};
        GetWindowRect(table, &rect);
        RECT header{};
        GetWindowRect(GetWindow(table, GW_CHILD), &header);
        const POINT point{rect.left + 12, std::max(rect.top, header.bottom) + 6};
        if (WindowFromPoint(point) != table) {
            return false;
        }
        SetCursorPos(point.x, point.y);
        INPUT clicks[2]{};
        clicks[0].type = clicks[1].type = INPUT_MOUSE;
        clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, clicks, sizeof(INPUT));
        return WaitUntil([&] { return FRemote->FocusedWindow() == table; });
    }

    // The table's keys pressed for real: Ctrl+A then Ctrl+C copy every row, as the command line's
    // --tsv output; Ctrl+G opens the chart.
    void TableKeys() {
        if (FMinimised || !TableHasRows()) {
            return;
        }
        const bool chart = !FChartOpen && Chance(30);
        if ((!chart && !EmptyTheClipboard()) || !FocusTable()) {
            return;
        }
        Action(chart ? "keys-Ctrl+G" : "keys-Ctrl+A-Ctrl+C");
        if (chart) {
            PressWithControl({'G'});
            Check(WaitUntil([this] {
                      return FRemote->ProgramWindow(L"YieldoraChart", L"收益图") != nullptr;
                  }),
                  "Ctrl+G did not open the chart");
            FChartOpen = true;
            CheckOutcome("Ctrl+G", FRemote->Settle(), 0, false);
            return;
        }
        PressWithControl({'A', 'C'});
        Check(WaitUntil(HoldsText), "Ctrl+A, Ctrl+C copied nothing");
        CheckOutcome("Ctrl+A, Ctrl+C", FRemote->Settle(), 0, false);
        const std::wstring copied = Trimmed(ReadClipboardText());
        Check(copied == Trimmed(*FTable),
              "the rows copied with Ctrl+C differ from the command line's: \"" +
                  Utf8(copied.substr(0, 60)) + "\"");
    }

    // The table's real menu: 全选 then 复制, 导出到剪贴板, or 显示图表.
    void TableMenu() {
        if (FMinimised || !TableHasRows()) {
            return;
        }
        const HWND table = FRemote->Item(IDC_RESULTS);
        const int what = FChartOpen ? Pick(2) : Pick(3);
        if (what == 0) {
            Action("menu-select-all-copy");
            // Each choice holds only once its effect is seen: the driver tries again when the
            // menu did not open or missed a key.
            const int rows = FRemote->RowCount();
            const auto allSelected = [&] { return FRemote->SelectedRowCount() == rows; };
            CheckOutcome("menu select all",
                         FRemote->ChooseFromMenu(
                             table, 2, {}, [&](const TRemoteOutcome&) { return allSelected(); }),
                         0, false);
            Check(allSelected(), "全选 from the table's menu selected " +
                                     std::to_string(FRemote->SelectedRowCount()) + " of " +
                                     std::to_string(rows) + " rows");
            if (!EmptyTheClipboard()) {
                return;
            }
            CheckOutcome("menu copy",
                         FRemote->ChooseFromMenu(table, 1, {},
                                                 [](const TRemoteOutcome&) { return HoldsText(); }),
                         0, false);
            const std::wstring copied = Trimmed(ReadClipboardText());
            Check(copied == Trimmed(*FTable),
                  "the rows copied through the menu differ from the command line's: " +
                      std::to_string(Lines(copied).size()) + " lines, \"" +
                      Utf8(copied.substr(0, 60)) + "\"");
        } else if (what == 1) {
            Action("menu-export");
            // Given an answer, the menu driver waits for the export's box instead of choosing
            // again (and exporting twice) when the box comes late.
            const TRemoteOutcome outcome = FRemote->ChooseFromMenu(
                table, 3,
                [](HWND Box) {
                    AnswerWithOk(Box);
                    return true;
                },
                ShowsABox);
            CheckOutcome("menu export", outcome, 1, false);
            Check(outcome.Boxes[0].Text == L"当前计算结果已导出到剪贴板！",
                  "the export said \"" + Utf8(outcome.Boxes[0].Text) + "\"");
            Check(Trimmed(ReadClipboardText()) == Trimmed(*FTable),
                  "the text exported through the menu differs from the command line's");
        } else {
            Action("menu-chart");
            const auto shown = [this](const TRemoteOutcome&) {
                return FRemote->ProgramWindow(L"YieldoraChart", L"收益图") != nullptr;
            };
            CheckOutcome("menu chart", FRemote->ChooseFromMenu(table, 5, {}, shown), 0, false);
            FChartOpen = shown({});
            Check(FChartOpen, "the menu did not open the chart");
        }
        CheckFields("after the table's menu");
    }

    // The chart's picture: copied through its menu or with Ctrl+C, or saved as PNG through its
    // menu onto a new file, one saved before, a read-only one or one held open; a failed save
    // leaves the old bytes and its box names the file.
    void ChartFiles() {
        if (FMinimised || !TableHasRows()) {
            return;
        }
        if (!FChartOpen) {
            Chart();
            return;
        }
        const HWND chart = FRemote->ProgramWindow(L"YieldoraChart", L"收益图");
        Check(chart != nullptr, "the open chart is not shown");
        const int what = Pick(6);
        if (what < 2) {
            Action(what == 0 ? "chart-copy-menu" : "chart-copy-Ctrl+C");
            if (!EmptyTheClipboard()) {
                return;
            }
            const auto copied = [] {
                return IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB);
            };
            if (what == 0) {
                CheckOutcome(
                    "chart copy",
                    FRemote->ChooseFromMenu(chart, 1, {},
                                            [&copied](const TRemoteOutcome&) { return copied(); }),
                    0, false);
            } else {
                SetForegroundWindow(chart);
                Check(WaitUntil([chart] { return GetForegroundWindow() == chart; }),
                      "the chart did not come to the front");
                PressWithControl({'C'});
                Check(WaitUntil(copied), "Ctrl+C in the chart copied nothing");
                CheckOutcome("chart Ctrl+C", FRemote->Settle(), 0, false);
            }
            Check(IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB),
                  "the chart's copy holds no picture");
            return;
        }
        const int target = FPictures.empty() ? 2 : what;
        fs::path file = FFolder / L"保存" / (L"收益图 " + std::to_wstring(FStep) + L".png");
        if (target > 2) {
            file = FPictures[static_cast<std::size_t>(Pick(static_cast<int>(FPictures.size())))];
        }
        const bool readOnly = target == 4;
        const bool held = target == 5;
        Action(target == 2 ? "chart-save-new"
               : readOnly  ? "chart-save-read-only"
               : held      ? "chart-save-held-open"
                           : "chart-save-existing");
        fs::create_directories(file.parent_path());
        const std::string before = ReadBytes(file);
        const TRemoteOutcome outcome = SaveOnto(file, held, readOnly, [&] {
            return FRemote->ChooseFromMenu(chart, 2, AnswerSaveDialog(file.wstring()), ShowsABox);
        });
        const bool fails = readOnly || held;
        CheckOutcome("chart save", outcome, 1 + (target > 2 ? 1 : 0) + (fails ? 1 : 0), false);
        const std::string after = ReadBytes(file);
        if (fails) {
            Check(after == before, "a picture that cannot be replaced changed under a failed save");
            CheckNamesFile(outcome, file);
        } else {
            Check(after.starts_with("\x89PNG\r\n\x1a\n"), "the saved chart is no PNG file");
            if (target == 2) {
                FPictures.push_back(file);
            }
        }
    }

    // What a copy of the program shows in its fields.
    static TInputs Shown(const TYieldoraRemote& Remote) {
        TInputs shown;
        for (std::size_t i = 0; i < FIELD_IDS.size(); ++i) {
            shown.Texts[i] = Remote.ItemText(FIELD_IDS[i]);
        }
        DWORD_PTR term = 0;
        SendMessageTimeoutW(Remote.Item(IDC_TERM), CB_GETCURSEL, 0, 0, SMTO_NORMAL, STEP_TIMEOUT,
                            &term);
        shown.Term = static_cast<int>(term);
        DWORD_PTR check = 0;
        SendMessageTimeoutW(Remote.Item(IDC_DEPOSIT), BM_GETCHECK, 0, 0, SMTO_NORMAL, STEP_TIMEOUT,
                            &check);
        shown.Deposit = check == BST_CHECKED;
        return shown;
    }

    // A second copy of the program in the same folder, with the same profile, while the first
    // runs: a field changed in it, then the two closed in either order (the first as the session
    // ends, the second with its exit button). Each ends with exit code 0, and the profile holds
    // the inputs of the one closed last.
    void TwoCopies() {
        if (LongLife()) {
            return;
        }
        const bool secondLast = Chance(50);
        Action(std::string("two-copies, ") + (secondLast ? "the second" : "the first") +
               " closed last");
        TYieldoraRemote second(FProgram.wstring());
        const std::size_t field = static_cast<std::size_t>(Pick(5));
        const auto& valid = VALID_TEXTS[field];
        second.SetItemText(FIELD_IDS[field],
                           valid[static_cast<std::size_t>(Pick(static_cast<int>(valid.size())))]);
        TInputs inputs = Shown(second);
        const bool maximised = second.Maximised();
        const RECT place = second.WindowRect();
        const auto closeSecond = [&] {
            const TRemoteOutcome outcome = second.Click(IDC_EXIT);
            Check(outcome.Exited && outcome.ExitCode == 0 && outcome.Boxes.empty(),
                  "the second copy did not end cleanly at its exit button");
        };
        const auto endFirst = [this] {
            ReadFields(false);
            CheckOutcome("the first copy's session end", FRemote->EndSession(), 0, true);
        };
        if (secondLast) {
            endFirst();
            closeSecond();
            const fs::path profile = FFolder / L"yieldora.ini";
            for (std::size_t i = 0; i < inputs.Texts.size(); ++i) {
                Check(ProfileValue(profile, L"Yieldora", FIELD_KEYS[i]) == inputs.Texts[i],
                      "the profile does not hold the last closed copy's " + Utf8(FIELD_KEYS[i]));
            }
            const auto number = [&profile](const wchar_t* Key) {
                return static_cast<LONG>(std::stol(ProfileValue(profile, L"Program", Key)));
            };
            const RECT saved{number(L"WindowLeft"), number(L"WindowTop"),
                             number(L"WindowLeft") + number(L"WindowWidth"),
                             number(L"WindowTop") + number(L"WindowHeight")};
            Check(maximised || std::equal(&saved.left, &saved.left + 4, &place.left),
                  "the profile holds the place " + Describe(saved) +
                      ", not the last closed copy's " + Describe(place));
            FModel = inputs;
            FSaved =
                TSaved{saved, ProfileValue(profile, L"Program", L"WindowMaximized") == L"1", true};
        } else {
            closeSecond();
            endFirst();
        }
    }

    // The program's folder turns read-only while it runs (sometimes after its profile was
    // deleted), then the program closes: an existing profile is still saved; a missing one
    // cannot be made, and a close that is not a session end says so in one box. The folder is
    // made writable again at once.
    void ReadOnlyFolder() {
        if (LongLife()) {
            return;
        }
        const fs::path profile = FFolder / L"yieldora.ini";
        if (Chance(50)) {
            fs::remove(profile);
        }
        const bool had = fs::exists(profile);
        // The exit button closes only with every field valid.
        const TInputs model = FModel;
        const bool valid = ReadFields(true);
        FModel = model;
        const bool sessionEnd = !valid || Chance(30);
        Action(std::string(had ? "read-only-folder-with-profile" : "read-only-folder-no-profile") +
               (sessionEnd ? ", session end" : ", exit button"));
        SetFolderReadOnly(FFolder.wstring(), true);
        struct TWritableAgain {
            std::wstring Folder;
            ~TWritableAgain() {
                try {
                    SetFolderReadOnly(Folder, false);
                } catch (const std::exception& e) {
                    std::printf("the soak's folder stays read-only: %s\n", e.what());
                }
            }
        } writableAgain{FFolder.wstring()};
        ReadFields(!sessionEnd);
        const TRemoteOutcome outcome =
            sessionEnd ? FRemote->EndSession() : FRemote->Click(IDC_EXIT);
        if (had) {
            CheckOutcome("a close in a read-only folder", outcome, 0, true);
            return;
        }
        FRemote.reset();
        FModel = TInputs{};
        FSaved.reset();
        Check(outcome.Exited && outcome.ExitCode == 0,
              "the program did not end cleanly in a read-only folder");
        Check(outcome.Boxes.size() == (sessionEnd ? 0u : 1u),
              std::to_string(outcome.Boxes.size()) + " boxes at a close in a read-only folder");
        if (!sessionEnd) {
            const std::wstring prefix = L"无法保存设置文件 " + profile.wstring() + L"：";
            Check(outcome.Boxes[0].Text.starts_with(prefix),
                  "the box does not say that the inputs could not be saved: \"" +
                      Utf8(outcome.Boxes[0].Text) + "\"");
        }
        Check(!fs::exists(profile), "a profile was made in a read-only folder");
    }

    static std::string ReadBytes(const fs::path& File) {
        std::string bytes;
        const HANDLE handle = CreateFileW(File.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return bytes;
        }
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(handle, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            bytes.append(buffer, read);
        }
        CloseHandle(handle);
        return bytes;
    }

    // The chart: opened (or brought up again), resized, or closed, which only hides it.
    void Chart() {
        // A minimised dialog hides the windows it owns.
        if (FMinimised) {
            return;
        }
        const HWND chart = FRemote->ProgramWindow(L"YieldoraChart", L"收益图");
        Check(FChartOpen == (chart != nullptr),
              FChartOpen ? "the open chart is not shown" : "the closed chart is shown");
        const int what = FChartOpen ? Pick(3) : 0;
        if (what == 0) {
            Action("chart open");
            CheckOutcome("chart open", FRemote->Command(IDM_SHOW_CHART), 0, false);
            FChartOpen = FRemote->ProgramWindow(L"YieldoraChart", L"收益图") != nullptr;
            Check(FChartOpen, "the chart did not open");
        } else if (what == 1) {
            const int width = 250 + Pick(700);
            const int height = 200 + Pick(500);
            Action("chart resize to " + std::to_string(width) + "x" + std::to_string(height));
            SetWindowPos(chart, nullptr, 0, 0, width, height,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            CheckOutcome("chart resize", FRemote->Settle(), 0, false);
            RECT rect{};
            GetWindowRect(chart, &rect);
            Check(rect.right - rect.left == std::max(width, 320) &&
                      rect.bottom - rect.top == std::max(height, 240),
                  "the chart took the size " + Describe(rect));
        } else {
            Action("chart close");
            CheckOutcome("chart close", FRemote->Perform(chart, WM_CLOSE, 0, 0), 0, false);
            Check(IsWindow(chart) && !IsWindowVisible(chart),
                  "the chart's close box did not hide it");
            FChartOpen = false;
        }
    }

    void Move() {
        if (FMinimised || FMaximised) {
            return;
        }
        const int left = Pick(1300) - 200;
        const int top = Pick(950) - 150;
        Action("move to " + std::to_string(left) + "," + std::to_string(top));
        FRemote->MoveTo(left, top);
        FNormal = FRemote->WindowRect();
        Check(FNormal.left == left && FNormal.top == top, "the dialog did not move");
    }

    // ---- Long lives
    // --------------------------------------------------------------------------------

    struct TResources {
        std::uint64_t PrivateBytes = 0;
        std::uint64_t Handles = 0;
        std::uint64_t GdiObjects = 0;
        std::uint64_t UserObjects = 0;
        std::uint64_t Windows = 0;
    };

    // The program's windows, top-level and child (counted from here also where the system
    // reports no USER objects).
    static std::uint64_t WindowCount(DWORD ProcessId) {
        TWindowCount count{ProcessId, 0};
        EnumWindows(CountProgramWindows, reinterpret_cast<LPARAM>(&count));
        return count.Windows;
    }

    bool LongLife() const { return FLongLifeStart.has_value(); }

    TResources Sample() const {
        TResources sample;
        const HANDLE process = FRemote->Process();
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                 sizeof memory)) {
            // Wine reports the private bytes as the page-file usage only, which Windows gives
            // the same value.
            sample.PrivateBytes =
                memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
        }
        DWORD handles = 0;
        GetProcessHandleCount(process, &handles);
        sample.Handles = handles;
        sample.GdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
        sample.UserObjects = GetGuiResources(process, GR_USEROBJECTS);
        sample.Windows = WindowCount(GetProcessId(process));
        return sample;
    }

    // Starts a long life once 1,000 actions have run since the last one, samples it, and judges it
    // at its end. A restart (after a failure) starts the samples over.
    void FollowLongLife() {
        if (!FRemote) {
            FLongLifeStart.reset();
            return;
        }
        if (!LongLife()) {
            if (FStep >= FNextLongLife) {
                FLongLifeStart = FStep;
                FLongLifeStarts = FStarts;
                FSamples.clear();
            }
            return;
        }
        if (FStarts != FLongLifeStarts) {
            FLongLifeStart = FStep;
            FLongLifeStarts = FStarts;
            FSamples.clear();
            return;
        }
        const std::uint64_t done = FStep - *FLongLifeStart;
        const std::uint64_t every = std::max<std::uint64_t>(FLongLife / 10, 1);
        if (done % every == 0) {
            FSamples.push_back(Sample());
        }
        if (done >= FLongLife) {
            ++FCounts["long-life"];
            FLongLifeStart.reset();
            FNextLongLife = FStep + 1000;
            JudgeSamples();
        }
    }

    // The first sample is the warm-up; from the second on, no measure may grow at every sample by
    // more than its slack in all. The private bytes of a program that leaks nothing still grow by
    // about 2 MB in a long life, in steps of a heap segment (850 KB), before they level off (seen
    // over many long lives): their slack is twice that, which a leak of a kilobyte an action
    // still exceeds.
    void JudgeSamples() {
        if (FSamples.size() < 4) {
            return;
        }
        struct TMeasure {
            const char* Name;
            std::uint64_t TResources::*Field;
            std::uint64_t Slack;
        };
        const TMeasure measures[] = {{"private bytes", &TResources::PrivateBytes, 4 << 20},
                                     {"handles", &TResources::Handles, 20},
                                     {"GDI objects", &TResources::GdiObjects, 20},
                                     {"USER objects", &TResources::UserObjects, 20},
                                     {"windows", &TResources::Windows, 5}};
        for (const TMeasure& measure : measures) {
            bool grows = true;
            std::string values;
            for (std::size_t i = 1; i < FSamples.size(); ++i) {
                values += " " + std::to_string(FSamples[i].*measure.Field);
                if (i > 1 && FSamples[i].*measure.Field <= FSamples[i - 1].*measure.Field) {
                    grows = false;
                }
            }
            const std::uint64_t first = FSamples[1].*measure.Field;
            const std::uint64_t last = FSamples.back().*measure.Field;
            std::printf("long life of %llu actions, %s:%s\n",
                        static_cast<unsigned long long>(FLongLife), measure.Name, values.c_str());
            if (grows && last > first + measure.Slack) {
                Failure(std::string("the program's ") + measure.Name +
                        " kept growing over a long life:" + values);
            }
        }
        std::fflush(stdout);
    }

    // ---- Checks ---------------------------------------------------------------------------------

    void CheckOutcome(const std::string& What, const TRemoteOutcome& Outcome, std::size_t Boxes,
                      bool Ends) {
        std::string texts;
        for (const TRemoteBox& box : Outcome.Boxes) {
            texts += " \"" + Utf8(box.Text) + "\"";
        }
        if (Outcome.Exited) {
            FRemote.reset();
            Check(Outcome.ExitCode == 0,
                  What + ": the program ended with code " + std::to_string(Outcome.ExitCode));
        }
        Check(Outcome.Boxes.size() == Boxes, What + ": " + std::to_string(Outcome.Boxes.size()) +
                                                 " boxes, expected " + std::to_string(Boxes) + ":" +
                                                 texts + " with " + Describe(FShown));
        Check(Outcome.Exited == Ends,
              What + (Ends ? ": the program did not end" : ": the program ended unexpectedly"));
        if (Ends) {
            CheckProfile(What);
        }
    }

    void CheckProfile(const std::string& What) {
        const fs::path profile = FFolder / L"yieldora.ini";
        for (std::size_t i = 0; i < FModel.Texts.size(); ++i) {
            const std::wstring stored = ProfileValue(profile, L"Yieldora", FIELD_KEYS[i]);
            Check(stored == FModel.Texts[i], What + ": the profile holds " + Utf8(FIELD_KEYS[i]) +
                                                 "=" + Utf8(stored) + ", expected " +
                                                 Utf8(FModel.Texts[i]));
        }
        Check(ProfileValue(profile, L"Yieldora", L"Period") ==
                  std::to_wstring(TERM_YEARS[FModel.Term]),
              What + ": the profile's term");
        Check(ProfileValue(profile, L"Yieldora", L"Deposit") == (FModel.Deposit ? L"1" : L"0"),
              What + ": the profile's deposit flag");
        Check(ProfileValue(profile, L"Program", L"WindowMaximized") == (FMaximised ? L"1" : L"0"),
              What + ": the profile's maximised state");
        if (!FNormalKnown) {
            FSaved = TSaved{FNormal, FMaximised, false};
            return;
        }
        const std::wstring left = ProfileValue(profile, L"Program", L"WindowLeft");
        const std::wstring top = ProfileValue(profile, L"Program", L"WindowTop");
        Check(left == std::to_wstring(FNormal.left) && top == std::to_wstring(FNormal.top),
              What + ": the profile's position " + Utf8(left) + "," + Utf8(top) + ", expected " +
                  std::to_string(FNormal.left) + "," + std::to_string(FNormal.top));
        const std::wstring width = ProfileValue(profile, L"Program", L"WindowWidth");
        const std::wstring height = ProfileValue(profile, L"Program", L"WindowHeight");
        Check(width == std::to_wstring(FNormal.right - FNormal.left) &&
                  height == std::to_wstring(FNormal.bottom - FNormal.top),
              What + ": the profile's size " + Utf8(width) + "x" + Utf8(height) + ", expected " +
                  Describe(FNormal));
        FSaved = TSaved{FNormal, FMaximised, true};
    }

    void CheckFields(const std::string& When) {
        const TInputs shown = Shown(*FRemote);
        Check(shown == FShown,
              "the fields " + When + " show " + Describe(shown) + ", expected " + Describe(FShown));
    }

    std::uint32_t FSeed;
    double FSeconds;
    // Actions in a long life.
    std::uint64_t FLongLife;
    bool FTrace = GetEnvironmentVariableW(L"SOAK_TRACE", nullptr, 0) != 0;
    // The last actions, which a failure lists.
    static constexpr std::size_t RECENT_ACTIONS = 40;
    std::deque<std::string> FRecent;
    std::string FAction;
    std::mt19937 FRandom;
    fs::path FFolder;
    fs::path FProgram;
    RECT FWork{};
    // The window of this process that holds the clipboard open while the program exports.
    HWND FClipboardHolder = nullptr;
    std::unique_ptr<TYieldoraRemote> FRemote;
    std::uint64_t FStep = 0;
    std::uint64_t FStarts = 0;
    std::uint64_t FFailures = 0;
    // What the program holds (as the profile will), and what its fields show.
    TInputs FModel;
    TInputs FShown;
    bool FExportEnabled = false;
    bool FMinimised = false;
    bool FMaximised = false;
    bool FChartOpen = false;
    // The dialog's restored rectangle, when it is known here.
    RECT FNormal{};
    bool FNormalKnown = true;
    // The size the dialog is built with, its least; known after a start without a profile.
    SIZE FLeast{};
    struct TSaved {
        RECT Normal;
        bool Maximised;
        // The restored rectangle is known (it is not when the program started maximised at a
        // place of its own choosing and was never restored).
        bool Known;
    };
    std::optional<TSaved> FSaved;
    std::map<std::string, std::uint64_t> FCounts;
    // Files that Save As wrote, and pictures the chart saved.
    std::vector<fs::path> FSaves;
    std::vector<fs::path> FPictures;
    // The step a long life began at and the start it belongs to, while one runs; its samples.
    std::uint64_t FNextLongLife = 1000;
    std::optional<std::uint64_t> FLongLifeStart;
    std::uint64_t FLongLifeStarts = 0;
    std::vector<TResources> FSamples;
    // The export text of the table shown, when it came from a successful calculation.
    std::optional<std::wstring> FTable;
    // The inputs that table was calculated from.
    TInputs FTableInputs;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: yieldora-soak PROGRAM [--seconds N] [--seed S] [--long-life N]\n",
                   stderr);
        return 2;
    }
    double seconds = 30;
    std::uint32_t seed = std::random_device{}();
    std::uint64_t longLife = 5000;
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::wstring name = argv[i];
        if (name == L"--seconds") {
            seconds = std::stod(argv[i + 1]);
        } else if (name == L"--long-life") {
            longLife = std::stoull(argv[i + 1]);
        } else if (name == L"--seed") {
            seed = static_cast<std::uint32_t>(std::stoul(argv[i + 1]));
        } else {
            std::fputs("usage: yieldora-soak PROGRAM [--seconds N] [--seed S] [--long-life N]\n",
                       stderr);
            return 2;
        }
    }
    std::printf("seed %u\n", seed);
    std::fflush(stdout);
    try {
        TSoak soak(argv[1], seed, seconds, longLife);
        return soak.Run();
    } catch (const std::exception& e) {
        std::printf("FAIL seed %u: %s\n", seed, e.what());
        return 1;
    }
}
