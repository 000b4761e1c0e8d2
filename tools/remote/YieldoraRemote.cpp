#include "YieldoraRemote.h"

#include "resource.h"
#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <vector>

namespace {

// How often a wait for a window of the program looks again.
constexpr DWORD POLL_INTERVAL = 10;

[[noreturn]] void Fail(const std::string& What) {
    throw std::runtime_error(What);
}

std::wstring FolderOf(const std::wstring& Path) {
    const std::size_t slash = Path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : Path.substr(0, slash);
}

std::wstring ClassOf(HWND Window) {
    wchar_t name[64] = {};
    GetClassNameW(Window, name, 64);
    return name;
}

// The window's text, asked of the window itself (WM_GETTEXT crosses processes).
std::wstring TextOf(HWND Window) {
    std::vector<wchar_t> buffer(5001, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(Window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_NORMAL, STEP_TIMEOUT, &copied);
    return std::wstring(buffer.data(), copied);
}

struct TWindowSearch {
    DWORD ProcessId;
    const wchar_t* ClassName;
    const wchar_t* Caption;
    HWND Except;
    HWND Found;
};

BOOL CALLBACK MatchWindow(HWND Window, LPARAM Search) {
    auto& s = *reinterpret_cast<TWindowSearch*>(Search);
    DWORD processId = 0;
    GetWindowThreadProcessId(Window, &processId);
    if (processId != s.ProcessId || Window == s.Except || !IsWindowVisible(Window) ||
        ClassOf(Window) != s.ClassName || (s.Caption != nullptr && TextOf(Window) != s.Caption)) {
        return TRUE;
    }
    s.Found = Window;
    return FALSE;
}

// Starts Program with CommandLine in Folder (null: this process's). Under load a 64-bit Wine now
// and then fails a start with ERROR_INTERNAL_ERROR before any of the program's code runs; a second
// start succeeds. Any other failure is the program's.
bool StartProgram(const wchar_t* Program, std::wstring CommandLine, const wchar_t* Folder,
                  PROCESS_INFORMATION& Info) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const auto start = [&] {
        return CreateProcessW(Program, CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              Folder, &startup, &Info) != FALSE;
    };
    return start() || (GetLastError() == ERROR_INTERNAL_ERROR && start());
}

} // namespace

TYieldoraRemote::TYieldoraRemote(const std::wstring& Program) {
    PROCESS_INFORMATION info{};
    if (!StartProgram(Program.c_str(), L"\"" + Program + L"\"", FolderOf(Program).c_str(), info)) {
        Fail("the program could not be started (error " + std::to_string(GetLastError()) + ")");
    }
    CloseHandle(info.hThread);
    FProcess.reset(info.hProcess);
    FProcessId = info.dwProcessId;
    FThreadId = info.dwThreadId;
    FDialog = WaitForProgramWindow(L"#32770", L"Yieldora 1.3");
    // The dialog manager shows the dialog normally the first time its queue runs empty, which
    // undoes a maximise or minimise made before then. That moment sets the process's idle event;
    // Wine makes the event with the program's first message queue, so the wait comes once the
    // dialog exists (before, it would return at once). The program answers a sent message only
    // after that showing, in its next wait for a message.
    if (WaitForInputIdle(FProcess.get(), STEP_TIMEOUT) != 0) {
        Fail("the program did not wait for input in time");
    }
    Sync();
}

TYieldoraRemote::~TYieldoraRemote() {
    if (WaitForSingleObject(FProcess.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(FProcess.get(), 1);
        WaitForSingleObject(FProcess.get(), STEP_TIMEOUT);
    }
}

HWND TYieldoraRemote::Item(int Id) const {
    return GetDlgItem(FDialog, Id);
}

std::wstring TYieldoraRemote::ItemText(int Id) const {
    return TextOf(Item(Id));
}

void TYieldoraRemote::SetItemText(int Id, const std::wstring& Text) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(Item(Id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()),
                        SMTO_NORMAL, STEP_TIMEOUT, &result);
}

bool TYieldoraRemote::ItemEnabled(int Id) const {
    return IsWindowEnabled(Item(Id)) != FALSE;
}

int TYieldoraRemote::RowCount() const {
    return TableCount(LVM_GETITEMCOUNT);
}

int TYieldoraRemote::SelectedRowCount() const {
    return TableCount(LVM_GETSELECTEDCOUNT);
}

int TYieldoraRemote::TableCount(UINT Message) const {
    DWORD_PTR count = 0;
    SendMessageTimeoutW(Item(IDC_RESULTS), Message, 0, 0, SMTO_NORMAL, STEP_TIMEOUT, &count);
    return static_cast<int>(count);
}

void TYieldoraRemote::Press(int Id) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(Item(Id), BM_CLICK, 0, 0, SMTO_NORMAL, STEP_TIMEOUT, &result)) {
        Fail("the program did not finish a command in time");
    }
}

TRemoteBox TYieldoraRemote::PressAndAnswer(int Id) const {
    PostMessageW(Item(Id), BM_CLICK, 0, 0);
    const HWND box = WaitForProgramWindow(L"#32770", nullptr);
    TRemoteBox result{TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    for (DWORD waited = 0; IsWindow(box); waited += POLL_INTERVAL) {
        if (waited > STEP_TIMEOUT ||
            WaitForSingleObject(FProcess.get(), POLL_INTERVAL) == WAIT_OBJECT_0) {
            Fail("the message box did not close");
        }
    }
    Sync();
    return result;
}

DWORD TYieldoraRemote::PressToExit(int Id) {
    PostMessageW(Item(Id), BM_CLICK, 0, 0);
    if (WaitForSingleObject(FProcess.get(), STEP_TIMEOUT) != WAIT_OBJECT_0) {
        Fail("the program did not end");
    }
    DWORD code = 0;
    GetExitCodeProcess(FProcess.get(), &code);
    return code;
}

void TYieldoraRemote::Repaint() const {
    RedrawWindow(FDialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sync();
}

TRemoteOutcome TYieldoraRemote::Perform(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam,
                                        const TBoxAnswer& Answer) {
    PostMessageW(Window, Message, WParam, LParam);
    return Settle(Answer);
}

TRemoteOutcome TYieldoraRemote::Click(int Id, const TBoxAnswer& Answer) {
    return Perform(Item(Id), BM_CLICK, 0, 0, Answer);
}

TRemoteOutcome TYieldoraRemote::PressKey(WORD Key, const TBoxAnswer& Answer) {
    const HWND field = Item(IDC_FUND);
    PostMessageW(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(field, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PostMessageW(field, WM_KEYDOWN, Key, 1);
    return Perform(field, WM_KEYUP, Key, static_cast<LPARAM>(0xC0000001), Answer);
}

TRemoteOutcome TYieldoraRemote::Command(int Id, const TBoxAnswer& Answer) {
    return Perform(FDialog, WM_COMMAND, MAKEWPARAM(Id, 0), 0, Answer);
}

TRemoteOutcome TYieldoraRemote::SysCommand(WPARAM Command, const TBoxAnswer& Answer) {
    return Perform(FDialog, WM_SYSCOMMAND, Command, 0, Answer);
}

TRemoteOutcome TYieldoraRemote::EndSession(const TBoxAnswer& Answer) {
    SendEndSession();
    return Settle(Answer);
}

void TYieldoraRemote::SendEndSession() const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(FDialog, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, STEP_TIMEOUT, &result);
    SendMessageTimeoutW(FDialog, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, STEP_TIMEOUT, &result);
}

// A message posted after the others to a field of the dialog sets the field's length limit to a
// new mark; once the field answers that mark, everything posted before has been handled. A box
// that is up then gets answered, and the program is followed again until no box is up.
TRemoteOutcome TYieldoraRemote::Settle(const TBoxAnswer& Answer) {
    TRemoteOutcome outcome;
    std::vector<HWND> seen;
    std::vector<HWND> answered;
    const HWND field = Item(IDC_TAX);
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const WPARAM marker = ++FMarker;
        bool handled = PostMessageW(field, EM_SETLIMITTEXT, marker, 0) != FALSE;
        while (handled) {
            DWORD_PTR limit = 0;
            if (!SendMessageTimeoutW(field, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, STEP_TIMEOUT,
                                     &limit)) {
                handled = false;
            } else if (limit == marker) {
                break;
            } else if (WaitForSingleObject(FProcess.get(), 1) == WAIT_OBJECT_0) {
                handled = false;
            }
            if (GetTickCount64() - start > STEP_TIMEOUT) {
                Fail("the program did not handle an action in time");
            }
        }
        if (!handled) {
            // The dialog is gone: the program ends.
            if (WaitForSingleObject(FProcess.get(), STEP_TIMEOUT) != WAIT_OBJECT_0) {
                Fail("the program's dialog went but the program did not end");
            }
            outcome.Exited = true;
            outcome.ExitCode = ExitCode();
            return outcome;
        }
        // A box answered before may stay while one that came up above it waits for its answer.
        const auto gone = [](HWND Box) { return !IsWindow(Box); };
        std::erase_if(seen, gone);
        std::erase_if(answered, gone);
        const HWND box = FindBox(answered);
        if (GetTickCount64() - start > STEP_TIMEOUT) {
            Fail(box != nullptr ? "the program keeps showing boxes" : "a box did not close");
        }
        if (box == nullptr) {
            if (seen.empty()) {
                return outcome;
            }
            WaitForSingleObject(FProcess.get(), 1);
            continue;
        }
        if (std::find(seen.begin(), seen.end(), box) == seen.end()) {
            seen.push_back(box);
            outcome.Boxes.push_back({TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))});
        }
        if (!Answer) {
            AnswerWithOk(box);
            answered.push_back(box);
        } else if (Answer(box)) {
            answered.push_back(box);
        }
    }
}

void TYieldoraRemote::SetChecked(int Id, bool Checked) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(Item(Id), BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0,
                        SMTO_NORMAL, STEP_TIMEOUT, &result);
}

void TYieldoraRemote::SelectItem(int Id, int Index) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(Item(Id), CB_SETCURSEL, static_cast<WPARAM>(Index), 0, SMTO_NORMAL,
                        STEP_TIMEOUT, &result);
}

void TYieldoraRemote::PickItem(int Id, int Index) {
    SelectItem(Id, Index);
    Perform(FDialog, WM_COMMAND, MAKEWPARAM(Id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(Id)));
}

void TYieldoraRemote::MoveTo(int Left, int Top) const {
    SetWindowPos(FDialog, nullptr, Left, Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sync();
}

bool TYieldoraRemote::Minimised() const {
    return IsIconic(FDialog) != FALSE;
}

bool TYieldoraRemote::Maximised() const {
    return IsZoomed(FDialog) != FALSE;
}

TRemoteOutcome
TYieldoraRemote::ChooseFromMenu(HWND Window, int Downs, const TBoxAnswer& Answer,
                                const std::function<bool(const TRemoteOutcome&)>& Done) {
    TRemoteOutcome outcome;
    for (int attempt = 0; attempt < 3; ++attempt) {
        outcome = ChooseOnce(Window, Downs, Answer);
        // The chosen command runs when the menu's loop has ended, a moment after the menu closed.
        if (outcome.Exited || WaitUntil([&] { return Done(outcome); }, 2000)) {
            break;
        }
    }
    return outcome;
}

TRemoteOutcome TYieldoraRemote::ChooseOnce(HWND Window, int Downs, const TBoxAnswer& Answer) {
    constexpr DWORD menuTimeout = 10000;
    // As a right-click would, the click brings the window to the front.
    SetForegroundWindow(GetAncestor(Window, GA_ROOT));
    // A menu opened before its window is active again (after a box) is closed by the activation.
    WaitUntil([Window] { return GetForegroundWindow() == GetAncestor(Window, GA_ROOT); }, 5000);
    // The pointer away from where the menu opens: an item under it would be chosen instead.
    SetCursorPos(0, 0);
    PostMessageW(Window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Window), MAKELPARAM(-1, -1));
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = FindProgramWindow(L"#32768", nullptr)) != nullptr; },
                   menuTimeout)) {
        return {};
    }
    // A message sent to the menu is handled once the program's thread runs the menu's loop, which
    // then takes the keys.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(menu, WM_NULL, 0, 0, SMTO_NORMAL, menuTimeout, &result);
    for (int i = 0; i < Downs; ++i) {
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    }
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 1);
    TRemoteOutcome outcome = Settle(Answer);
    // A dialog's first start may let the program idle before its window is there.
    for (DWORD waited = 0;
         Answer && !outcome.Exited && outcome.Boxes.empty() && waited < menuTimeout; waited += 50) {
        Sleep(50);
        outcome = Settle(Answer);
    }
    for (DWORD waited = 0; IsWindowVisible(menu); waited += POLL_INTERVAL) {
        if (waited > menuTimeout) {
            Fail("the menu stays open");
        }
        Sleep(POLL_INTERVAL);
    }
    return outcome;
}

HWND TYieldoraRemote::ProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const {
    return FindProgramWindow(ClassName, Caption);
}

HWND TYieldoraRemote::FocusedWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(FThreadId, &info) ? info.hwndFocus : nullptr;
}

RECT TYieldoraRemote::WindowRect() const {
    RECT rect{};
    GetWindowRect(FDialog, &rect);
    return rect;
}

std::vector<std::wstring> TYieldoraRemote::TableRows() const {
    return ListRows(Item(IDC_RESULTS));
}

HWND TYieldoraRemote::CompareWindow() const {
    return FindProgramWindow(L"YieldoraCompare", L"存期比较");
}

std::vector<std::wstring> TYieldoraRemote::CompareRows() const {
    return ListRows(FindWindowExW(CompareWindow(), nullptr, WC_LISTVIEWW, nullptr));
}

HWND TYieldoraRemote::CompareField(const std::wstring& Label) const {
    // Every field follows its label.
    const HWND label = FindWindowExW(CompareWindow(), nullptr, L"STATIC", Label.c_str());
    const HWND field = label != nullptr ? GetWindow(label, GW_HWNDNEXT) : nullptr;
    if (field == nullptr || ClassOf(field) != L"Edit") {
        Fail("the comparison has no field after its label");
    }
    return field;
}

HWND TYieldoraRemote::CompareRateField(int Term) const {
    static const std::vector<std::wstring> labels{L"一年期：", L"二年期：", L"三年期：",
                                                  L"五年期：", L"十年期："};
    if (Term < 0 || Term >= static_cast<int>(labels.size())) {
        Fail("the comparison has no rate field for that term");
    }
    return CompareField(labels[static_cast<std::size_t>(Term)]);
}

std::wstring TYieldoraRemote::CompareRate(int Term) const {
    return TextOf(CompareRateField(Term));
}

std::wstring TYieldoraRemote::CompareText(const std::wstring& Label) const {
    return TextOf(CompareField(Label));
}

void TYieldoraRemote::SetCompareRate(int Term, const std::wstring& Text) {
    TypeInto(CompareRateField(Term), Text);
}

void TYieldoraRemote::SetCompareField(const std::wstring& Label, const std::wstring& Text) {
    TypeInto(CompareField(Label), Text);
}

void TYieldoraRemote::TypeInto(HWND Field, const std::wstring& Text) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(Field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()),
                             SMTO_NORMAL, STEP_TIMEOUT, &result)) {
        Fail("the program did not take a text in time");
    }
    Settle();
}

RECT TYieldoraRemote::ListCellRect(HWND View, int Row, int Column) const {
    void* const memory = VirtualAllocEx(FProcess.get(), nullptr, sizeof(RECT),
                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (memory == nullptr) {
        Fail("no memory in the program for reading a cell's place");
    }
    RECT cell{LVIR_LABEL, Column, 0, 0};
    WriteProcessMemory(FProcess.get(), memory, &cell, sizeof cell, nullptr);
    DWORD_PTR found = 0;
    SendMessageTimeoutW(View, LVM_GETSUBITEMRECT, static_cast<WPARAM>(Row),
                        reinterpret_cast<LPARAM>(memory), SMTO_NORMAL, STEP_TIMEOUT, &found);
    ReadProcessMemory(FProcess.get(), memory, &cell, sizeof cell, nullptr);
    VirtualFreeEx(FProcess.get(), memory, 0, MEM_RELEASE);
    if (found == 0) {
        Fail("the list view has no such cell");
    }
    MapWindowPoints(View, nullptr, reinterpret_cast<POINT*>(&cell), 2);
    return cell;
}

std::vector<std::wstring> TYieldoraRemote::ListRows(HWND View) const {
    constexpr std::size_t textSize = 512;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(View, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, STEP_TIMEOUT, &count);
    DWORD_PTR columns = 0;
    SendMessageTimeoutW(reinterpret_cast<HWND>(SendMessageW(View, LVM_GETHEADER, 0, 0)),
                        HDM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, STEP_TIMEOUT, &columns);
    std::vector<std::wstring> rows;
    void* const memory =
        VirtualAllocEx(FProcess.get(), nullptr, sizeof(LVITEMW) + textSize * sizeof(wchar_t),
                       MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (memory == nullptr) {
        Fail("no memory in the program for reading its table");
    }
    auto* const text = reinterpret_cast<wchar_t*>(static_cast<char*>(memory) + sizeof(LVITEMW));
    for (DWORD_PTR i = 0; i < count; ++i) {
        std::wstring row;
        for (DWORD_PTR column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = static_cast<int>(column);
            item.pszText = text;
            item.cchTextMax = static_cast<int>(textSize);
            WriteProcessMemory(FProcess.get(), memory, &item, sizeof item, nullptr);
            DWORD_PTR length = 0;
            SendMessageTimeoutW(View, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(memory),
                                SMTO_NORMAL, STEP_TIMEOUT, &length);
            std::wstring cell(textSize, L'\0');
            ReadProcessMemory(FProcess.get(), text, cell.data(), textSize * sizeof(wchar_t),
                              nullptr);
            cell.resize(std::min<std::size_t>(length, textSize - 1));
            row += (column > 0 ? L"\t" : L"") + cell;
        }
        rows.push_back(row);
    }
    VirtualFreeEx(FProcess.get(), memory, 0, MEM_RELEASE);
    return rows;
}

bool TYieldoraRemote::Running() const {
    return WaitForSingleObject(FProcess.get(), 0) == WAIT_TIMEOUT;
}

void TYieldoraRemote::Kill() {
    if (Running()) {
        TerminateProcess(FProcess.get(), 1);
        WaitForSingleObject(FProcess.get(), STEP_TIMEOUT);
    }
}

DWORD TYieldoraRemote::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(FProcess.get(), &code);
    return code;
}

namespace {

struct TBoxSearch {
    HWND Dialog;
    const std::vector<HWND>* Except;
    HWND Found;
};

BOOL CALLBACK MatchBox(HWND Window, LPARAM Search) {
    auto& s = *reinterpret_cast<TBoxSearch*>(Search);
    if (Window == s.Dialog || !IsWindowEnabled(Window) || ClassOf(Window) != L"#32770" ||
        std::find(s.Except->begin(), s.Except->end(), Window) != s.Except->end()) {
        return TRUE;
    }
    s.Found = Window;
    return FALSE;
}

} // namespace

HWND TYieldoraRemote::FindBox(const std::vector<HWND>& Except) const {
    TBoxSearch search{FDialog, &Except, nullptr};
    EnumThreadWindows(FThreadId, MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND TYieldoraRemote::FindProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const {
    TWindowSearch search{FProcessId, ClassName, Caption, FDialog, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND TYieldoraRemote::WaitForProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const {
    for (DWORD waited = 0;; waited += POLL_INTERVAL) {
        if (const HWND window = FindProgramWindow(ClassName, Caption)) {
            return window;
        }
        if (waited > STEP_TIMEOUT ||
            WaitForSingleObject(FProcess.get(), POLL_INTERVAL) == WAIT_OBJECT_0) {
            Fail("the program's window did not appear");
        }
    }
}

void TYieldoraRemote::Sync() const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(FDialog, WM_NULL, 0, 0, SMTO_NORMAL, STEP_TIMEOUT, &result)) {
        Fail("the program does not answer");
    }
}

bool WaitUntil(const std::function<bool()>& Done, DWORD Timeout) {
    for (DWORD waited = 0; waited < Timeout; waited += POLL_INTERVAL) {
        if (Done()) {
            return true;
        }
        Sleep(POLL_INTERVAL);
    }
    return Done();
}

void AnswerWithOk(HWND Box) {
    PostMessageW(GetDlgItem(Box, IDOK), BM_CLICK, 0, 0);
}

TBoxAnswer AnswerSaveDialog(const std::wstring& File) {
    return [File](HWND Box) {
        if (GetDlgItem(Box, cmb13) != nullptr) {
            SetDlgItemTextW(Box, cmb13, File.c_str());
            PostMessageW(Box, WM_COMMAND, IDOK, 0);
        } else if (GetDlgItem(Box, IDYES) != nullptr) {
            PostMessageW(GetDlgItem(Box, IDYES), BM_CLICK, 0, 0);
        } else {
            AnswerWithOk(Box);
        }
        return true;
    };
}

void AnswerWithKey(HWND Box, WORD Key) {
    const HWND button = GetDlgItem(Box, IDOK);
    PostMessageW(button, WM_KEYDOWN, Key, 1);
    PostMessageW(button, WM_KEYUP, Key, static_cast<LPARAM>(0xC0000001));
}

void AnswerWithCloseBox(HWND Box) {
    PostMessageW(Box, WM_SYSCOMMAND, SC_CLOSE, 0);
}

namespace {

// Whether this process can make a new file in Folder; the error when it cannot. Each try makes a
// file of a new name, since one made just before the folder turned read-only stays there.
DWORD NewFileError(const std::wstring& Folder) {
    static int tries = 0;
    const std::wstring probe = Folder + L"\\probe" + std::to_wstring(++tries);
    const HANDLE file =
        CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    CloseHandle(file);
    DeleteFileW(probe.c_str());
    return ERROR_SUCCESS;
}

// Wine starts a Linux program of the system's like a Windows one, but gives no process to wait on.
void RunSystemProgram(const wchar_t* Program, std::wstring CommandLine) {
    PROCESS_INFORMATION info{};
    if (!StartProgram(Program, CommandLine, nullptr, info)) {
        Fail("the system's program could not be started: " + ToUtf8(CommandLine));
    }
    for (const HANDLE handle : {info.hThread, info.hProcess}) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
}

} // namespace

void SetFolderReadOnly(const std::wstring& Folder, bool ReadOnly) {
    using TUnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<TUnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* const name = unixName != nullptr ? unixName(Folder.c_str()) : nullptr;
    if (name == nullptr) {
        Fail("no Unix path for the folder (not under Wine?)");
    }
    const int size = MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name, -1, path.data(), size);
    path.resize(static_cast<std::size_t>(size > 0 ? size - 1 : 0));
    HeapFree(GetProcessHeap(), 0, name);
    RunSystemProgram(L"Z:\\usr\\bin\\chmod", std::wstring(L"chmod ") +
                                                 (ReadOnly ? L"0555" : L"0755") + L" \"" + path +
                                                 L"\"");
    DWORD error = ERROR_SUCCESS;
    WaitUntil([&] {
        error = NewFileError(Folder);
        return (error == ERROR_SUCCESS) != ReadOnly;
    });
    if (ReadOnly && error == ERROR_SUCCESS) {
        Fail("a read-only folder took a new file: this Wine session passes over permissions");
    }
    if (!ReadOnly && error != ERROR_SUCCESS) {
        Fail("the folder did not become writable again");
    }
    if (!ReadOnly) {
        // The probes that the folder kept while it turned read-only.
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((Folder + L"\\probe*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((Folder + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
    }
}

std::wstring ReadClipboardText() {
    std::wstring text;
    // Another program may hold the clipboard for a moment: Wine's own clipboard manager opens it
    // after every change, to offer the new data to the X display.
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; })) {
        Fail("the clipboard stays open in another program");
    }
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::string ToUtf8(const std::wstring& Text) {
    if (Text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}
