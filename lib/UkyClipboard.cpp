#include "UkyClipboard.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>

namespace {

HWND MainWindow = nullptr;

struct TGlobalDeleter {
    void operator()(HGLOBAL Memory) const noexcept { GlobalFree(Memory); }
};
using TGlobalMemory = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, TGlobalDeleter>;

// The clipboard, opened for as long as the object lives.
class TOpenClipboard {
public:
    explicit TOpenClipboard(HWND Owner) : FOpen(OpenClipboardWhenFree(Owner)) {}
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
    ~TOpenClipboard() {
        if (FOpen) {
            CloseClipboard();
        }
    }

    bool IsOpen() const { return FOpen; }

private:
    bool FOpen;
};

constexpr int CLIPBOARD_TRIES = 50;
constexpr DWORD CLIPBOARD_PAUSE = 10;

// A block holding the text and its terminating zero, ready to be handed to the clipboard.
TGlobalMemory CopyToGlobal(const std::wstring& Text) {
    const SIZE_T bytes = Text.size() * sizeof(wchar_t);
    TGlobalMemory memory(
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, bytes + sizeof(wchar_t)));
    if (!memory) {
        return memory;
    }
    void* target = GlobalLock(memory.get());
    if (target == nullptr) {
        return nullptr;
    }
    std::memcpy(target, Text.data(), bytes);
    GlobalUnlock(memory.get());
    return memory;
}

struct TMessageKind {
    UINT Icon;
    UINT Buttons;
    const wchar_t* Caption;
};

constexpr TMessageKind MESSAGE_KINDS[] = {
    {MB_ICONWARNING, MB_OK, L"警告!"},     {MB_ICONWARNING, MB_OK, L"警告!"},
    {MB_ICONINFORMATION, MB_OK, L"提示!"}, {MB_ICONQUESTION, MB_OKCANCEL, L"注意!"},
    {MB_ICONQUESTION, MB_YESNO, L"注意!"}, {MB_ICONQUESTION, MB_YESNOCANCEL, L"注意!"},
    {MB_ICONERROR, MB_OK, L"错误!"},
};

// Every kind beyond the table is an information box.
const TMessageKind& MessageKind(std::uint8_t Kind) {
    return Kind < std::size(MESSAGE_KINDS) ? MESSAGE_KINDS[Kind]
                                           : MESSAGE_KINDS[MSGBOX_INFORMATION];
}

std::uint8_t MessageBoxResult(int Answer) {
    switch (Answer) {
    case IDOK:
        return MSGBOX_RESULT_OK;
    case IDCANCEL:
        return MSGBOX_RESULT_CANCEL;
    case IDYES:
        return MSGBOX_RESULT_YES;
    default:
        return MSGBOX_RESULT_NO;
    }
}

struct TPopupSearch {
    HWND Owner;
    HWND Found;
};

BOOL CALLBACK MatchPopup(HWND Window, LPARAM Search) {
    auto& s = *reinterpret_cast<TPopupSearch*>(Search);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(Window, GWL_STYLE));
    if (GetWindow(Window, GW_OWNER) == s.Owner && (style & WS_POPUP) != 0 &&
        (style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0) {
        s.Found = Window;
        return FALSE;
    }
    return TRUE;
}

// The first (topmost) visible, enabled pop-up window that Owner owns; null when there is none.
// GetWindow's GW_ENABLEDPOPUP is not used: Wine answers null there, and Windows documents it
// loosely enough that an owned window of any style might be chosen.
HWND EnabledPopupOf(HWND Owner) {
    if (Owner == nullptr) {
        return nullptr;
    }
    TPopupSearch search{Owner, nullptr};
    EnumThreadWindows(GetWindowThreadProcessId(Owner, nullptr), MatchPopup,
                      reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

} // namespace

bool OpenClipboardWhenFree(HWND Owner) {
    for (int attempt = 1;; ++attempt) {
        if (OpenClipboard(Owner)) {
            return true;
        }
        if (attempt == CLIPBOARD_TRIES) {
            return false;
        }
        Sleep(CLIPBOARD_PAUSE);
    }
}

HWND MainWindowHandle() {
    return MainWindow;
}

void SetMainWindowHandle(HWND Window) {
    MainWindow = Window;
}

// The text is ready in its own block before the clipboard is opened, so that a failure on the
// way leaves the clipboard as it was.
bool TkyClipboard::SetText(const std::wstring& Text) {
    TGlobalMemory memory = CopyToGlobal(Text);
    if (!memory) {
        return false;
    }
    TOpenClipboard open(OwnerWindow());
    if (!open.IsOpen() || !EmptyClipboard()) {
        return false;
    }
    if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) {
        return false;
    }
    memory.release();
    return true;
}

TkyClipboard& Clipboard() {
    static TkyClipboard instance;
    return instance;
}

std::uint8_t ShowMessageBox(const std::wstring& Text, std::uint8_t Kind,
                            const std::wstring& Caption) {
    return ShowMessageBox(nullptr, Text, Kind, Caption);
}

std::uint8_t ShowMessageBox(HWND Owner, const std::wstring& Text, std::uint8_t Kind,
                            const std::wstring& Caption) {
    const TMessageKind& style = MessageKind(Kind);
    const wchar_t* title = Caption.empty() ? style.Caption : Caption.c_str();
    HWND owner = Owner;
    if (owner == nullptr) {
        owner = EnabledPopupOf(MainWindowHandle());
    }
    if (owner == nullptr) {
        owner = MainWindowHandle();
    }
    SendMessageW(owner, MSG_MODAL_BEGIN, 0, 0);
    const std::uint8_t result =
        MessageBoxResult(MessageBoxW(owner, Text.c_str(), title, style.Icon | style.Buttons));
    SendMessageW(owner, MSG_MODAL_END, 0, 0);
    return result;
}
