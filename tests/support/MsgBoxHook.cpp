#include "MsgBoxHook.h"

#include <algorithm>

namespace {

thread_local TMsgBoxHook* ActiveHook = nullptr;

std::wstring ClassOf(HWND Window) {
    wchar_t name[64] = {};
    GetClassNameW(Window, name, 64);
    return name;
}

std::wstring TextOf(HWND Window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, text.data(), static_cast<int>(text.size()))));
    return text;
}

BOOL CALLBACK AddChild(HWND Child, LPARAM List) {
    reinterpret_cast<std::vector<HWND>*>(List)->push_back(Child);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND Window) {
    std::vector<HWND> children;
    EnumChildWindows(Window, AddChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

} // namespace

bool IsMessageBoxWindow(HWND Window) {
    if (ClassOf(Window) != L"#32770") {
        return false;
    }
    MEMORY_BASIC_INFORMATION info = {};
    const auto procedure = reinterpret_cast<const void*>(GetWindowLongPtrW(Window, DWLP_DLGPROC));
    return procedure != nullptr && VirtualQuery(procedure, &info, sizeof(info)) != 0 &&
           info.AllocationBase == GetModuleHandleW(L"user32.dll");
}

TMsgBoxHook::TMsgBoxHook()
    : FHook(SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId())),
      FPrevious(ActiveHook) {
    ActiveHook = this;
}

TMsgBoxHook::~TMsgBoxHook() {
    ActiveHook = FPrevious;
}

void TMsgBoxHook::QueueAnswer(int ButtonId) {
    FAnswers.push_back(ButtonId);
}

LRESULT CALLBACK TMsgBoxHook::CbtProc(int Code, WPARAM WParam, LPARAM LParam) {
    TMsgBoxHook* hook = ActiveHook;
    if (hook != nullptr) {
        const auto window = reinterpret_cast<HWND>(WParam);
        if (Code == HCBT_ACTIVATE) {
            hook->Activated(window);
        } else if (Code == HCBT_DESTROYWND) {
            std::erase(hook->FAnswered, window);
        }
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

void TMsgBoxHook::Activated(HWND Box) {
    if (std::find(FAnswered.begin(), FAnswered.end(), Box) != FAnswered.end() ||
        !IsMessageBoxWindow(Box)) {
        return;
    }
    FAnswered.push_back(Box);

    TMsgBoxRecord record;
    record.Caption = TextOf(Box);
    record.Owner = GetWindow(Box, GW_OWNER);
    for (HWND child : ChildrenOf(Box)) {
        const std::wstring className = ClassOf(child);
        if (className == L"Button") {
            record.Buttons.push_back(GetDlgCtrlID(child));
        } else if (className == L"Static" &&
                   (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            record.Icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        } else if (className == L"Static" && GetDlgCtrlID(child) == 0xFFFF) {
            record.Text = TextOf(child);
        }
    }

    int answer = record.Buttons.empty() ? 0 : record.Buttons.front();
    if (!FAnswers.empty()) {
        answer = FAnswers.front();
        FAnswers.erase(FAnswers.begin());
    }
    HWND button = GetDlgItem(Box, answer);
    record.Pressed = button != nullptr ? answer : 0;
    FBoxes.push_back(record);
    if (OnShow) {
        OnShow(FBoxes.back());
    }
    if (button != nullptr) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        EndDialog(Box, 0);
    }
}
