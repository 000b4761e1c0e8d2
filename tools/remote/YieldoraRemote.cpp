#include "YieldoraRemote.h"

#include <commctrl.h>

#include <stdexcept>
#include <vector>

namespace {

// How long one step of the program may take before the remote control gives up.
constexpr DWORD StepTimeout = 30000;
// How often a wait for a window of the program looks again.
constexpr DWORD PollInterval = 10;

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
                        SMTO_NORMAL, StepTimeout, &copied);
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

} // namespace

TYieldoraRemote::TYieldoraRemote(const std::wstring& Program) {
    std::wstring commandLine = L"\"" + Program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(Program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        FolderOf(Program).c_str(), &startup, &info)) {
        Fail("the program could not be started");
    }
    CloseHandle(info.hThread);
    FProcess.reset(info.hProcess);
    FProcessId = info.dwProcessId;
    WaitForInputIdle(FProcess.get(), StepTimeout);
    FDialog = WaitForProgramWindow(L"#32770", L"Yieldora 1.3");
}

TYieldoraRemote::~TYieldoraRemote() {
    if (WaitForSingleObject(FProcess.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(FProcess.get(), 1);
        WaitForSingleObject(FProcess.get(), StepTimeout);
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
                        SMTO_NORMAL, StepTimeout, &result);
}

bool TYieldoraRemote::ItemEnabled(int Id) const {
    return IsWindowEnabled(Item(Id)) != FALSE;
}

int TYieldoraRemote::RowCount() const {
    DWORD_PTR count = 0;
    SendMessageTimeoutW(Item(113), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, StepTimeout, &count);
    return static_cast<int>(count);
}

void TYieldoraRemote::Press(int Id) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(Item(Id), BM_CLICK, 0, 0, SMTO_NORMAL, StepTimeout, &result)) {
        Fail("the program did not finish a command in time");
    }
}

TRemoteBox TYieldoraRemote::PressAndAnswer(int Id) const {
    PostMessageW(Item(Id), BM_CLICK, 0, 0);
    const HWND box = WaitForProgramWindow(L"#32770", nullptr);
    TRemoteBox result{TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    for (DWORD waited = 0; IsWindow(box); waited += PollInterval) {
        if (waited > StepTimeout ||
            WaitForSingleObject(FProcess.get(), PollInterval) == WAIT_OBJECT_0) {
            Fail("the message box did not close");
        }
    }
    Sync();
    return result;
}

DWORD TYieldoraRemote::PressToExit(int Id) {
    PostMessageW(Item(Id), BM_CLICK, 0, 0);
    if (WaitForSingleObject(FProcess.get(), StepTimeout) != WAIT_OBJECT_0) {
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

HWND TYieldoraRemote::FindProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const {
    TWindowSearch search{FProcessId, ClassName, Caption, FDialog, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND TYieldoraRemote::WaitForProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const {
    for (DWORD waited = 0;; waited += PollInterval) {
        if (const HWND window = FindProgramWindow(ClassName, Caption)) {
            return window;
        }
        if (waited > StepTimeout ||
            WaitForSingleObject(FProcess.get(), PollInterval) == WAIT_OBJECT_0) {
            Fail("the program's window did not appear");
        }
    }
}

void TYieldoraRemote::Sync() const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(FDialog, WM_NULL, 0, 0, SMTO_NORMAL, StepTimeout, &result)) {
        Fail("the program does not answer");
    }
}

std::wstring ReadClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) {
        return text;
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
