#include "UkyWinControl.h"

#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyScaling.h"
#include "UkySystemLibrary.h"

#include <commctrl.h>

#include <exception>
#include <type_traits>
#include <utility>

namespace {

constexpr std::uint32_t LIST_CAPACITY = 100;

// The first error a handler raised outside every modal loop, kept until RaiseHandlerError raises
// it again.
std::exception_ptr HandlerError;

// The error keeper of the innermost modal loop that is running; null outside every loop.
THandlerErrors* InnermostHandlerErrors = nullptr;

struct TLibraryDeleter {
    void operator()(HMODULE Module) const noexcept { FreeLibrary(Module); }
};

COLORREF ColorRef(std::int64_t Color) {
    return static_cast<COLORREF>(Color & 0xFFFFFFFF);
}

// Runs a message handler for Window. An error must not unwind through the platform's frames: it
// is kept, and the modal dialog that Window belongs to is ended so that the error can be raised
// again once the dialog's loop has returned.
template <class F> LRESULT Guarded(HWND Window, F&& Handler) {
    try {
        return Handler();
    } catch (...) {
        KeepHandlerError(GetAncestor(Window, GA_ROOT));
        return 0;
    }
}

// The main window's handle names no window once that window is gone.
void ForgetDestroyedMainWindow(HWND Window, UINT AMessage) {
    if (AMessage == WM_NCDESTROY && Window != nullptr && Window == MainWindowHandle()) {
        SetMainWindowHandle(nullptr);
    }
}

TkyWinContainer& AsContainer(TkyControl* Control) {
    return *Control;
}

} // namespace

// TMHCenter

TMHCenter::TMHCenter() : FHandles(LIST_CAPACITY) {}

void TMHCenter::Register(HWND Handle, TMessagehandler Handler, const TkyWinControl* Owner) {
    FHandles.Add(reinterpret_cast<std::intptr_t>(Handle));
    FHandlers.resize(static_cast<std::size_t>(FHandles.Count()));
    FHandlers.back() = std::move(Handler);
    FOwners.resize(FHandlers.size());
    FOwners.back() = Owner;
}

std::int32_t TMHCenter::Unregister(HWND Handle, const TkyWinControl* Owner) {
    const auto handle = reinterpret_cast<std::intptr_t>(Handle);
    for (std::int32_t index = 0; index < FHandles.Count(); ++index) {
        if (FHandles.Get(index) == handle && FOwners[static_cast<std::size_t>(index)] == Owner) {
            FHandles.Delete(index, 1);
            FHandlers.erase(FHandlers.begin() + index);
            FOwners.erase(FOwners.begin() + index);
            return index;
        }
    }
    return -1;
}

TMessagehandler TMHCenter::Lookup(HWND Handle) const {
    const std::int32_t index = FHandles.IndexOf(reinterpret_cast<std::intptr_t>(Handle));
    return index >= 0 ? FHandlers[static_cast<std::size_t>(index)] : TMessagehandler();
}

TMHCenter& MHCenter() {
    static TMHCenter center;
    return center;
}

LRESULT CALLBACK CentreWindowProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
    ForgetDestroyedMainWindow(Window, AMessage);
    return Guarded(Window, [&]() -> LRESULT {
        const TMessagehandler handler = MHCenter().Lookup(Window);
        if (handler) {
            return handler(AMessage, WParam, LParam);
        }
        return DefWindowProcW(Window, AMessage, WParam, LParam);
    });
}

INT_PTR CALLBACK DialogProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
    ForgetDestroyedMainWindow(Window, AMessage);
    return Guarded(Window, [&]() -> LRESULT {
        if (AMessage == WM_INITDIALOG) {
            const auto* given = reinterpret_cast<const TPendingDialog*>(LParam);
            const TPendingDialog& pending = given != nullptr ? *given : PendingDialog();
            if (pending.Dialog != nullptr && pending.Attach != nullptr) {
                pending.Attach(*pending.Dialog, Window);
            }
            return TRUE;
        }
        const TMessagehandler handler = MHCenter().Lookup(Window);
        return handler ? handler(AMessage, WParam, LParam) : 0;
    });
}

TPendingDialog& PendingDialog() {
    static TPendingDialog pending;
    return pending;
}

void KeepHandlerError(HWND Dialog) {
    if (!THandlerErrors::KeepInnermost(std::current_exception()) && !HandlerError) {
        HandlerError = std::current_exception();
    }
    EndDialog(Dialog, 0);
}

void RaiseHandlerError() {
    if (HandlerError) {
        std::rethrow_exception(std::exchange(HandlerError, nullptr));
    }
}

// THandlerErrors

THandlerErrors::THandlerErrors() : FOuter(std::exchange(InnermostHandlerErrors, this)) {}

THandlerErrors::~THandlerErrors() {
    InnermostHandlerErrors = FOuter;
}

void THandlerErrors::Raise() {
    if (FError) {
        std::rethrow_exception(std::exchange(FError, nullptr));
    }
}

bool THandlerErrors::KeepInnermost(std::exception_ptr Error) {
    if (InnermostHandlerErrors == nullptr) {
        return false;
    }
    if (!InnermostHandlerErrors->FError) {
        InnermostHandlerErrors->FError = std::move(Error);
    }
    return true;
}

// TkyWinControl

void* TkyWinControl::operator new(std::size_t Size) {
    return ::operator new(Size);
}

void TkyWinControl::operator delete(void* Memory) noexcept {
    ::operator delete(Memory);
}

void TkyWinControl::operator delete(TkyWinControl* Obj, std::destroying_delete_t) {
    Obj->Destroy();
    void* memory = dynamic_cast<void*>(Obj);
    Obj->~TkyWinControl();
    ::operator delete(memory);
}

void TkyWinControl::SetVisible(bool Value) {
    ShowWindow(FHandle, Value ? SW_SHOW : SW_HIDE);
    FVisible = Value;
}

void TkyWinControl::SetEnabled(bool Value) {
    EnableWindow(FHandle, Value ? TRUE : FALSE);
}

void TkyWinControl::SetParent(TkyWinContainer* AParent) {
    FParent = AParent;
}

void TkyWinControl::ApplyBounds(const TBounds& Bounds) {
    MoveWindow(FHandle, Bounds.X, Bounds.Y, Bounds.Width, Bounds.Height, TRUE);
}

RECT TkyWinControl::GetRect() {
    RECT rect{};
    GetWindowRect(FHandle, &rect);
    return rect;
}

std::wstring TkyWinControl::GetText() {
    const int length = GetWindowTextLengthW(FHandle);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(FHandle, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void TkyWinControl::SetText(const std::wstring& Text) {
    SetWindowTextW(FHandle, Text.c_str());
}

void TkyWinControl::SetColor(std::int64_t AColor) {
    FColor = AColor;
    FOwnBrush.reset();
    FBrush = nullptr;
    if (AColor != -1) {
        FOwnBrush.reset(CreateSolidBrush(ColorRef(AColor)));
        FBrush = FOwnBrush.get();
    }
    if (UsesClassBrush()) {
        SetClassLongPtrW(FHandle, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(FBrush));
    }
    Redraw();
}

std::int64_t TkyWinControl::GetColor() {
    if (FColor >= 0) {
        return FColor;
    }
    const TkyWindowDc dc(FHandle);
    return static_cast<std::int64_t>(GetBkColor(dc.Handle()));
}

void TkyWinControl::SetRedraw(bool Value) {
    Perform(WM_SETREDRAW, Value ? 1 : 0, 0);
    if (Value) {
        Redraw();
    }
}

// A window whose top-level window is already in the foreground is there: asking again costs a
// round trip to the display for every control a dialog wraps.
void TkyWinControl::Activate() {
    if (GetAncestor(GetForegroundWindow(), GA_ROOT) != GetAncestor(FHandle, GA_ROOT)) {
        SetForegroundWindow(FHandle);
    }
    Focus();
}

TBounds TkyWinControl::GetClientBounds() {
    const RECT area = GetClientArea();
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

RECT TkyWinControl::GetClientArea() {
    RECT rect{};
    GetClientRect(FHandle, &rect);
    return rect;
}

LRESULT TkyWinControl::ReceiveMessage(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    if (AMessage == WM_KEYDOWN && WParam == VK_ESCAPE) {
        if (HWND main = MainWindowHandle()) {
            PostMessageW(main, MSG_ESCAPE_KEY, 0, 0);
        }
    }
    if (FHooks) {
        for (std::int32_t i = 0; i < FHooks->Count(); ++i) {
            TkyIntfRef<IInterface> entry;
            FHooks->Get(i, entry);
            if (auto* hook = dynamic_cast<MessageHook*>(entry.Get())) {
                bool handled = false;
                const LRESULT result = hook->HookMessage(*this, AMessage, WParam, LParam, handled);
                if (handled) {
                    return result;
                }
            }
        }
    }
    if (OnMessage) {
        bool handled = false;
        const LRESULT result = OnMessage(AMessage, WParam, LParam, handled);
        if (handled) {
            return result;
        }
    }
    return WindowProc(AMessage, WParam, LParam);
}

LRESULT TkyWinControl::Perform(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    return SendMessageW(FHandle, AMessage, WParam, LParam);
}

void TkyWinControl::SetBounds(int Left, int Top, int AWidth, int AHeight) {
    TBounds bounds = GetBounds();
    if (Left >= 0) {
        bounds.X = Left;
    }
    if (Top >= 0) {
        bounds.Y = Top;
    }
    if (AWidth >= 0) {
        bounds.Width = AWidth;
    }
    if (AHeight >= 0) {
        bounds.Height = AHeight;
    }
    ApplyBounds(bounds);
}

TBounds TkyWinControl::GetBounds() {
    const RECT rect = GetRect();
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

int TkyWinControl::Width() {
    return GetBounds().Width;
}

int TkyWinControl::Height() {
    return GetBounds().Height;
}

int TkyWinControl::TextLength() {
    return GetWindowTextLengthW(FHandle);
}

POINT TkyWinControl::CursorPos() {
    POINT position{};
    GetCursorPos(&position);
    ScreenToClient(FHandle, &position);
    return position;
}

void TkyWinControl::SetFont(const TkyFont& AFont) {
    FFont->Assign(AFont);
}

void TkyWinControl::SetIcon(int Id, int Dpi) {
    if (Dpi <= 0) {
        Dpi = WindowDpi(FHandle);
    }
    const int big = MetricForDpi(SM_CXICON, Dpi);
    const int smallSize = MetricForDpi(SM_CXSMICON, Dpi);
    TIconHandle icon = LoadAppIcon(MAKEINTRESOURCEW(Id), big, big);
    TIconHandle smallIcon = LoadAppIcon(MAKEINTRESOURCEW(Id), smallSize, smallSize);
    Perform(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
    Perform(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    FIcon = std::move(icon);
    FSmallIcon = std::move(smallIcon);
}

void TkyWinControl::Subclass(WNDPROC Procedure) {
    FSubclassProc = Procedure;
    FPrevWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
}

void TkyWinControl::SetStyle(DWORD Bits, bool On) {
    LONG_PTR style = GetLong(GWL_STYLE);
    if (On) {
        style |= static_cast<LONG_PTR>(Bits);
    } else {
        style &= ~static_cast<LONG_PTR>(Bits);
    }
    SetLong(GWL_STYLE, style);
}

LONG_PTR TkyWinControl::SetLong(int Index, LONG_PTR Value) {
    return SetWindowLongPtrW(FHandle, Index, Value);
}

LONG_PTR TkyWinControl::GetLong(int Index) {
    return GetWindowLongPtrW(FHandle, Index);
}

void TkyWinControl::Redraw() {
    InvalidateRect(FHandle, nullptr, TRUE);
    UpdateWindow(FHandle);
    Perform(WM_NCPAINT, 1, 0);
}

void TkyWinControl::Focus() {
    SetFocus(FHandle);
}

bool TkyWinControl::IsVisible() {
    return FVisible || IsWindowVisible(FHandle);
}

void TkyWinControl::Initialize() {
    FPrevWndProc = nullptr;
    FFont = std::make_unique<TkyFont>();
    FFont->OnChange = [this](TkyFont&) { ApplyFont(); };
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    FColor = -1;
    FBrush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(FHandle, GCLP_HBRBACKGROUND));
    FHooks = std::make_unique<TkyInterfaceList>(LIST_CAPACITY);
    RegisterHandle();
}

void TkyWinControl::Finalize() {
    RestoreWndProc();
    FHooks.reset();
    FFont.reset();
    FOwnBrush.reset();
    FBrush = nullptr;
    FIcon.reset();
    if (FHandle != nullptr) {
        MHCenter().Unregister(FHandle, this);
    }
}

LRESULT TkyWinControl::WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    if (FPrevWndProc != nullptr) {
        return CallWindowProcW(FPrevWndProc, FHandle, AMessage, WParam, LParam);
    }
    return DefaultProc(AMessage, WParam, LParam);
}

LRESULT TkyWinControl::DefaultProc(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    return DefWindowProcW(FHandle, AMessage, WParam, LParam);
}

void TkyWinControl::ApplyFont() {
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->GetHandle()), 1);
}

bool TkyWinControl::UsesClassBrush() {
    return false;
}

void TkyWinControl::RegisterHandle() {
    if (FHandle != nullptr) {
        MHCenter().Register(
            FHandle,
            [this](UINT AMessage, WPARAM WParam, LPARAM LParam) {
                return ReceiveMessage(AMessage, WParam, LParam);
            },
            this);
    }
}

// A wrapped window outlives its object: it gets its own procedure back, so that it keeps working
// (and cleans up after itself when it is destroyed) without the object.
void TkyWinControl::RestoreWndProc() {
    if (FSubclassProc != nullptr && IsWindow(FHandle) &&
        GetWindowLongPtrW(FHandle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(FSubclassProc)) {
        SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevWndProc));
    }
    FSubclassProc = nullptr;
    FPrevWndProc = nullptr;
}

// TkyWinContainer

void TkyWinContainer::SetVisible(bool Value) {
    TkyWinControl::SetVisible(Value);
    for (std::int32_t i = 0; i < ChildCount(); ++i) {
        Child(i)->SetVisible(Value);
    }
}

void TkyWinContainer::SetEnabled(bool Value) {
    TkyWinControl::SetEnabled(Value);
    for (std::int32_t i = 0; i < ChildCount(); ++i) {
        Child(i)->SetEnabled(Value);
    }
}

void TkyWinContainer::SetColor(std::int64_t AColor) {
    TkyWinControl::SetColor(AColor);
    for (std::int32_t i = 0; i < ChildCount(); ++i) {
        if (Child(i)->ParentColor()) {
            Child(i)->SetColor(AColor);
        }
    }
}

void TkyWinContainer::Realign() {
    TBounds area = GetClientBounds();
    for (std::int32_t i = 0; i < ChildCount(); ++i) {
        TkyControl* child = Child(i);
        if (child->Align() != ALIGN_CLIENT && !child->IsVisible()) {
            continue;
        }
        switch (child->Align()) {
        case ALIGN_LEFT:
            child->SetBounds(area.X, area.Y, -1, area.Height);
            area.X += child->Width();
            area.Width -= child->Width();
            break;
        case ALIGN_RIGHT:
            child->SetBounds(area.X + area.Width - child->Width(), area.Y, -1, area.Height);
            area.Width -= child->Width();
            break;
        case ALIGN_TOP:
            child->SetBounds(area.X, area.Y, area.Width, -1);
            area.Y += child->Height();
            area.Height -= child->Height();
            break;
        case ALIGN_BOTTOM:
            child->SetBounds(area.X, area.Y + area.Height - child->Height(), area.Width, -1);
            area.Height -= child->Height();
            break;
        case ALIGN_CLIENT:
            child->SetBounds(area.X, area.Y, area.Width, area.Height);
            break;
        default:
            break;
        }
        child->Realign();
        child->Redraw();
    }
    Realigned(GetClientBounds());
}

TkyControl* TkyWinContainer::Child(std::int32_t Index) const {
    return FChildren ? static_cast<TkyControl*>(FChildren->Get(Index)) : nullptr;
}

void TkyWinContainer::Initialize() {
    TkyWinControl::Initialize();
    FChildren = std::make_unique<TkyObjList>(LIST_CAPACITY);
}

void TkyWinContainer::Finalize() {
    // A child that outlives its container forgets it, so that the child's own end does not reach
    // back into a container that is gone.
    for (std::int32_t i = ChildCount() - 1; i >= 0; --i) {
        Child(i)->SetParent(nullptr);
    }
    FChildren.reset();
    TkyWinControl::Finalize();
}

LRESULT TkyWinContainer::WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    switch (AMessage) {
    case WM_MOVE:
        // Signed: a window on a monitor left of or above the primary one has negative
        // coordinates.
        Moved(POINT{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))});
        break;
    case WM_SIZE:
        if (WParam != SIZE_MINIMIZED) {
            Realign();
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(LParam);
        LRESULT result = 0;
        if (header != nullptr &&
            DispatchNotify(header->hwndFrom, static_cast<int>(header->code), header, result)) {
            return result;
        }
        break;
    }
    case WM_COMMAND:
        if (DispatchCommand(reinterpret_cast<HWND>(LParam), HIWORD(WParam))) {
            return 0;
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (TkyControl* child = DirectChild(reinterpret_cast<HWND>(LParam))) {
            AsContainer(child).HandleCommand(LOWORD(WParam));
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
        TkyControl* child = DirectChild(reinterpret_cast<HWND>(LParam));
        if (child == nullptr) {
            return 0;
        }
        HDC dc = reinterpret_cast<HDC>(WParam);
        SetTextColor(dc, ColorRef(child->Font().Color()));
        SetBkColor(dc, ColorRef(child->GetColor()));
        return reinterpret_cast<LRESULT>(child->Brush());
    }
    default:
        break;
    }
    return TkyWinControl::WindowProc(AMessage, WParam, LParam);
}

void TkyWinContainer::ApplyFont() {
    TkyWinControl::ApplyFont();
    for (std::int32_t i = 0; i < ChildCount(); ++i) {
        if (Child(i)->ParentFont()) {
            Child(i)->SetFont(Font());
        }
    }
}

void TkyWinContainer::Moved(POINT) {}

void TkyWinContainer::Realigned(const TBounds&) {}

LRESULT TkyWinContainer::HandleCommand(WORD) {
    return 0;
}

LRESULT TkyWinContainer::HandleNotify(int, NMHDR*) {
    return 0;
}

// A command names the window that sent it; the search runs depth-first over all descendants. A
// command without a window (a menu or an accelerator) belongs to no object.
bool TkyWinContainer::DispatchCommand(HWND Control, WORD Code) {
    if (Control == nullptr) {
        return false;
    }
    if (Control == FHandle) {
        HandleCommand(Code);
        return true;
    }
    for (std::int32_t i = 0; i < ChildCount(); ++i) {
        if (AsContainer(Child(i)).DispatchCommand(Control, Code)) {
            return true;
        }
    }
    return false;
}

bool TkyWinContainer::DispatchNotify(HWND From, int Code, NMHDR* Header, LRESULT& Result) {
    if (From == nullptr) {
        return false;
    }
    if (From == FHandle) {
        Result = HandleNotify(Code, Header);
        return true;
    }
    for (std::int32_t i = 0; i < ChildCount(); ++i) {
        if (AsContainer(Child(i)).DispatchNotify(From, Code, Header, Result)) {
            return true;
        }
    }
    return false;
}

TkyControl* TkyWinContainer::DirectChild(HWND Window) const {
    if (Window == nullptr) {
        return nullptr;
    }
    for (std::int32_t i = 0; i < ChildCount(); ++i) {
        if (Child(i)->Handle() == Window) {
            return Child(i);
        }
    }
    return nullptr;
}

// TkyControl

void TkyControl::SetParent(TkyWinContainer* AParent) {
    SetParent(AParent, ALIGN_KEEP);
}

void TkyControl::SetParent(TkyWinContainer* AParent, std::uint8_t AAlign) {
    if (FParent != nullptr && FParent->FChildren) {
        FParent->FChildren->Remove(this);
    }
    FParent = AParent;
    if (AParent == nullptr) {
        return;
    }
    AParent->FChildren->AddUnique(this);
    if (::GetParent(FHandle) != AParent->Handle()) {
        ::SetParent(FHandle, AParent->Handle());
    }
    if (AAlign != ALIGN_KEEP) {
        FAlign = AAlign;
    }
    Activate();
}

RECT TkyControl::GetRect() {
    RECT rect{};
    GetWindowRect(FHandle, &rect);
    POINT origin{rect.left, rect.top};
    ScreenToClient(FParent != nullptr ? FParent->Handle() : nullptr, &origin);
    return {origin.x, origin.y, rect.right + (origin.x - rect.left),
            rect.bottom + (origin.y - rect.top)};
}

void TkyControl::RecreateHandle() {
    if (!FOwnsHandle) {
        return;
    }
    HWND parentWindow = FParent != nullptr ? FParent->Handle() : nullptr;
    MoveChildWindows(parentWindow);
    const TBounds bounds = GetBounds();
    const std::wstring text = GetText();
    TkyFont font;
    font.Assign(Font());
    const std::int64_t color = GetColor();
    // The old window goes with its own procedure, so that it cleans up after itself.
    RestoreWndProc();
    MHCenter().Unregister(FHandle, this);
    DestroyWindow(FHandle);
    FHandle = CreateHandle(parentWindow);
    RegisterHandle();
    AfterCreate();
    SetColor(color);
    SetFont(font);
    ApplyBounds(bounds);
    SetText(text);
    MoveChildWindows(FHandle);
}

void TkyControl::SetBorder(bool Value) {
    SetStyle(WS_BORDER, Value);
}

void TkyControl::AfterCreate() {}

void TkyControl::BeforeDestroy() {}

void TkyControl::Destroy() {
    if (FParent != nullptr && FParent->FChildren) {
        FParent->FChildren->Remove(this);
    }
    BeforeDestroy();
    if (FOwnsHandle && FHandle != nullptr) {
        RestoreWndProc();
        DestroyWindow(FHandle);
    }
    Finalize();
}

void TkyControl::Construct(TkyWinContainer& AParent, HWND Existing) {
    FAlign = ALIGN_NONE;
    FHandle = Existing != nullptr ? Existing : CreateHandle(AParent.Handle());
    FOwnsHandle = Existing == nullptr;
    Initialize();
    SetParent(&AParent, ALIGN_KEEP);
    AfterCreate();
}

void TkyControl::MoveChildWindows(HWND Target) {
    for (std::int32_t i = ChildCount() - 1; i >= 0; --i) {
        ::SetParent(Child(i)->Handle(), Target);
    }
}

// Library functions

HWND CreateChildWindow(HWND Parent, const wchar_t* ClassName, DWORD Style, DWORD ExStyle) {
    return CreateWindowExW(ExStyle, ClassName, L"",
                           Style | WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, 0, 0, 0, 0,
                           Parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HMODULE CommonControlsLibrary() {
    // From the system's folder (the program's manifest chooses the side-by-side version 6 there),
    // never from the program's own.
    static const std::unique_ptr<std::remove_pointer_t<HMODULE>, TLibraryDeleter> library(
        LoadSystemLibrary(L"comctl32.dll"));
    return library.get();
}

// Every caller shares the one load of the library, so that loads and releases stay balanced
// however many controls come and go.
void InitCommonControlClasses(DWORD Flags) {
    const HMODULE library = CommonControlsLibrary();
    if (library == nullptr) {
        return;
    }
    using TInitCommonControlsEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initialize = reinterpret_cast<TInitCommonControlsEx>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), Flags};
    if (initialize == nullptr || !initialize(&classes)) {
        throw EkyError(L"Load Common Controls Failed!");
    }
}
