#include "MsgBoxHook.h"

#include <algorithm>

namespace {

thread_local TMsgBoxHook* ActiveHook = nullptr;

std::wstring ClassOf(HWND Window) {
    wchar_t Name[64] = {};
    GetClassNameW(Window, Name, 64);
    return Name;
}

std::wstring TextOf(HWND Window) {
    std::wstring Text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    Text.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, Text.data(), static_cast<int>(Text.size()))));
    return Text;
}

BOOL CALLBACK AddChild(HWND Child, LPARAM List) {
    reinterpret_cast<std::vector<HWND>*>(List)->push_back(Child);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND Window) {
    std::vector<HWND> Children;
    EnumChildWindows(Window, AddChild, reinterpret_cast<LPARAM>(&Children));
    return Children;
}

} // namespace

bool IsMessageBoxWindow(HWND Window) {
    if (ClassOf(Window) != L"#32770") {
        return false;
    }
    MEMORY_BASIC_INFORMATION Info = {};
    const auto Procedure = reinterpret_cast<const void*>(GetWindowLongPtrW(Window, DWLP_DLGPROC));
    return Procedure != nullptr && VirtualQuery(Procedure, &Info, sizeof(Info)) != 0 &&
           Info.AllocationBase == GetModuleHandleW(L"user32.dll");
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
    TMsgBoxHook* Hook = ActiveHook;
    if (Hook != nullptr) {
        const auto Window = reinterpret_cast<HWND>(WParam);
        if (Code == HCBT_ACTIVATE) {
            Hook->Activated(Window);
        } else if (Code == HCBT_DESTROYWND) {
            std::erase(Hook->FAnswered, Window);
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

    TMsgBoxRecord Record;
    Record.Caption = TextOf(Box);
    Record.Owner = GetWindow(Box, GW_OWNER);
    for (HWND Child : ChildrenOf(Box)) {
        const std::wstring Class = ClassOf(Child);
        if (Class == L"Button") {
            Record.Buttons.push_back(GetDlgCtrlID(Child));
        } else if (Class == L"Static" &&
                   (GetWindowLongW(Child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            Record.Icon = reinterpret_cast<HICON>(SendMessageW(Child, STM_GETICON, 0, 0));
        } else if (Class == L"Static" && GetDlgCtrlID(Child) == 0xFFFF) {
            Record.Text = TextOf(Child);
        }
    }

    int Answer = Record.Buttons.empty() ? 0 : Record.Buttons.front();
    if (!FAnswers.empty()) {
        Answer = FAnswers.front();
        FAnswers.erase(FAnswers.begin());
    }
    HWND Button = GetDlgItem(Box, Answer);
    Record.Pressed = Button != nullptr ? Answer : 0;
    FBoxes.push_back(Record);
    if (OnShow) {
        OnShow(FBoxes.back());
    }
    if (Button != nullptr) {
        PostMessageW(Button, BM_CLICK, 0, 0);
    } else {
        EndDialog(Box, 0);
    }
}
