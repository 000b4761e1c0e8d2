#include "UkyDialog.h"

#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyFunctions.h"

namespace {

constexpr std::uint32_t LIST_CAPACITY = 100;
constexpr int DLG_TEXT_CAPACITY = 5000;
// The window property that holds a dialog's shortcut keys.
const wchar_t* const SHORTCUTS_PROPERTY = L"UkyDialogShortcuts";

void AttachPending(TkyWinContainer& Dialog, HWND Window) {
    static_cast<TkyDialog&>(Dialog).Attach(Window);
}

// A WM_COMMAND that commands something: a click of a button (BN_CLICKED, also the dialog
// manager's IDOK and IDCANCEL for Enter and Escape), a menu command (code 0, no sender) or an
// accelerator (code 1, no sender). The other notifications of the items (EN_CHANGE,
// CBN_SELCHANGE, focus changes, ...) only concern the item.
bool IsItemCommand(WPARAM WParam, LPARAM LParam) {
    const WORD code = HIWORD(WParam);
    return code == BN_CLICKED || (code == 1 && LParam == 0);
}

// A dialog loop hands each message to the thread's message filters before the dialog manager
// sees it: a key pressed in a dialog that has shortcuts, or in one of its items, becomes the
// dialog's command.
LRESULT CALLBACK ShortcutFilter(int Code, WPARAM WParam, LPARAM LParam) {
    if (Code == MSGF_DIALOGBOX) {
        MSG* message = reinterpret_cast<MSG*>(LParam);
        if (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) {
            const HWND dialog = GetAncestor(message->hwnd, GA_ROOT);
            const auto table = static_cast<HACCEL>(GetPropW(dialog, SHORTCUTS_PROPERTY));
            if (table != nullptr && TranslateAcceleratorW(dialog, table, message) != 0) {
                return TRUE;
            }
        }
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}

struct TAcceleratorDeleter {
    void operator()(HACCEL Table) const noexcept { DestroyAcceleratorTable(Table); }
};

struct THookDeleter {
    void operator()(HHOOK Hook) const noexcept { UnhookWindowsHookEx(Hook); }
};

} // namespace

// The keys' table, named by a property of the window, and the thread's filter that finds it
// there; the property goes first.
struct TkyDialogSuper::TShortcuts {
    HWND Window = nullptr;
    std::unique_ptr<std::remove_pointer_t<HACCEL>, TAcceleratorDeleter> Table;
    std::unique_ptr<std::remove_pointer_t<HHOOK>, THookDeleter> Filter;

    ~TShortcuts() { RemovePropW(Window, SHORTCUTS_PROPERTY); }
};

// TkyDialogSuper

TkyDialogSuper::TkyDialogSuper() = default;
TkyDialogSuper::~TkyDialogSuper() = default;

void TkyDialogSuper::SetTemplate(int ATemplateId, int AIconId) {
    FTemplateId = ATemplateId;
    FIconId = AIconId;
}

HWND TkyDialogSuper::DlgItemHandle(int Id) {
    return GetDlgItem(FHandle, Id);
}

void TkyDialogSuper::SetDlgText(int Id, const std::wstring& Text) {
    SetDlgItemTextW(FHandle, Id, Text.c_str());
}

std::wstring TkyDialogSuper::GetDlgText(int Id) {
    std::wstring buffer(DLG_TEXT_CAPACITY + 1, L'\0');
    const UINT copied = GetDlgItemTextW(FHandle, Id, buffer.data(), DLG_TEXT_CAPACITY);
    buffer[copied] = L'\0';
    return std::wstring(buffer.c_str());
}

void TkyDialogSuper::SetDlgCheck(int Id, bool On) {
    SendMessageW(DlgItemHandle(Id), BM_SETCHECK, On ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TkyDialogSuper::GetDlgCheck(int Id) {
    return SendMessageW(DlgItemHandle(Id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TkyDialogSuper::EnableDlgItem(int Id, bool Enabled) {
    EnableWindow(DlgItemHandle(Id), Enabled ? TRUE : FALSE);
}

void TkyDialogSuper::SetShortcuts(const std::vector<ACCEL>& Keys) {
    FShortcuts.reset();
    std::vector<ACCEL> keys = Keys;
    auto shortcuts = std::make_unique<TShortcuts>();
    shortcuts->Window = FHandle;
    shortcuts->Table.reset(CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
    if (!shortcuts->Table) {
        throw EkyError(L"CreateAcceleratorTable failed: " + IntText(GetLastError()));
    }
    shortcuts->Filter.reset(
        SetWindowsHookExW(WH_MSGFILTER, ShortcutFilter, nullptr, GetCurrentThreadId()));
    if (!shortcuts->Filter) {
        throw EkyError(L"SetWindowsHookEx failed: " + IntText(GetLastError()));
    }
    SetPropW(FHandle, SHORTCUTS_PROPERTY, shortcuts->Table.get());
    FShortcuts = std::move(shortcuts);
}

void TkyDialogSuper::Close(bool) {
    FOwnedObjects->FreeAll();
    Closing();
}

void TkyDialogSuper::Destroying() {}

void TkyDialogSuper::InitDialog() {
    const TBounds screen = GetScreenBounds(true);
    TBounds area = screen;
    if (FOwnerHandle != nullptr && !FCentreOnScreen) {
        RECT owner{};
        GetWindowRect(FOwnerHandle, &owner);
        if (owner.left >= 0 && owner.top >= 0 && owner.right <= screen.Width &&
            owner.bottom <= screen.Height) {
            area = {owner.left, owner.top, owner.right - owner.left, owner.bottom - owner.top};
        }
    }
    TBounds bounds = GetBounds();
    bounds.X = area.X + (area.Width - bounds.Width) / 2;
    bounds.Y = area.Y + (area.Height - bounds.Height) / 2;
    FitToScreen(bounds, false);
    ApplyBounds(bounds);
    Activate();
}

void TkyDialogSuper::Closing() {}

void TkyDialogSuper::ItemCommand(WORD Id) {
    if (Id == IDOK) {
        Close(true);
    } else if (Id == IDCANCEL) {
        Close(false);
    }
}

LRESULT TkyDialogSuper::WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    if ((AMessage == WM_SYSCOMMAND && (WParam & 0xFFF0) == SC_CLOSE) ||
        (AMessage == WM_COMMAND && WParam == IDCANCEL)) {
        Close(false);
        return 1;
    }
    switch (AMessage) {
    case WM_DESTROY:
        FShortcuts.reset();
        return TkyWinContainer::WindowProc(AMessage, WParam, LParam);
    case WM_NOTIFY: {
        const LRESULT result = TkyWinContainer::WindowProc(AMessage, WParam, LParam);
        SetWindowLongPtrW(FHandle, DWLP_MSGRESULT, result);
        return result;
    }
    case WM_COMMAND:
        TkyWinContainer::WindowProc(AMessage, WParam, LParam);
        if (IsItemCommand(WParam, LParam)) {
            ItemCommand(LOWORD(WParam));
        }
        return 1;
    case WM_CTLCOLORDLG: {
        HDC dc = reinterpret_cast<HDC>(WParam);
        SetTextColor(dc, static_cast<COLORREF>(Font().Color() & 0xFFFFFFFF));
        SetBkColor(dc, static_cast<COLORREF>(GetColor() & 0xFFFFFFFF));
        return reinterpret_cast<LRESULT>(Brush());
    }
    default:
        return TkyWinContainer::WindowProc(AMessage, WParam, LParam);
    }
}

LRESULT TkyDialogSuper::DefaultProc(UINT, WPARAM, LPARAM) {
    return 0;
}

// Objects still owned when the dialog goes (it never closed) go with it.
void TkyDialogSuper::Destroy() {
    FShortcuts.reset();
    Destroying();
    if (FOwnedObjects) {
        FOwnedObjects->FreeAll();
        FOwnedObjects.reset();
    }
    Finalize();
}

void TkyDialogSuper::Construct(TkyWinControl* AOwner, bool ACentreOnScreen) {
    Initialize();
    FOwnerHandle = AOwner != nullptr ? AOwner->Handle() : MainWindowHandle();
    FOwnedObjects = std::make_unique<TkyObjList>(LIST_CAPACITY);
    FHandle = nullptr;
    FCentreOnScreen = ACentreOnScreen;
    DefineTemplate();
}

// TkyDialog

// The window is gone when the platform's dialog function returns: its registration goes too, so
// that a later window that gets the same handle value is not taken for this dialog. A loop that
// a handler's error ended never got to Close: the owner still hears that the dialog is over, and
// the error is raised here, never by another loop. A dialog that could not be shown answers false.
bool TkyDialog::RunModal() {
    FHandle = nullptr;
    FModalBegun = false;
    THandlerErrors errors;
    // The dialog travels with its window's creation; the slot names it as well.
    const TPendingDialog pending{this, &AttachPending};
    PendingDialog() = pending;
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TemplateId()), OwnerHandle(),
                        DialogProc, reinterpret_cast<LPARAM>(&pending));
    if (FHandle != nullptr) {
        MHCenter().Unregister(FHandle, this);
        if (MainWindowHandle() == FHandle) {
            SetMainWindowHandle(nullptr);
        }
        FHandle = nullptr;
    }
    if (FModalBegun) {
        FModalBegun = false;
        NotifyOwner(MSG_MODAL_END);
    }
    errors.Raise();
    return result != 0 && result != -1;
}

void TkyDialog::Attach(HWND Window) {
    FHandle = Window;
    if (IconId() != 0) {
        SetIcon(IconId());
    }
    RegisterHandle();
    FModalBegun = true;
    NotifyOwner(MSG_MODAL_BEGIN);
    InitDialog();
}

void TkyDialog::Close(bool Result) {
    TkyDialogSuper::Close(Result);
    EndDialog(FHandle, Result ? 1 : 0);
    FModalBegun = false;
    NotifyOwner(MSG_MODAL_END);
}

void TkyDialog::NotifyOwner(UINT AMessage) {
    if (OwnerHandle() != nullptr) {
        SendMessageW(OwnerHandle(), AMessage, 0, 0);
    }
}
