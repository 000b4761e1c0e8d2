#include "UkyTopWindow.h"

#include "UkyScaling.h"

#include <algorithm>

namespace {

// The top-level window as the container of the controls made on it: it hands a command or a
// notification from one of them to the control's object, and leaves every other message, and the
// window itself, to the top-level window.
class TTopWindowControls final : public TkyWinContainer {
public:
    explicit TTopWindowControls(HWND Window) {
        FHandle = Window;
        Initialize();
    }

    // The control's answer, none when the message came from no control made here.
    std::optional<LRESULT> Dispatch(UINT AMessage, WPARAM WParam, LPARAM LParam) {
        if ((AMessage != WM_COMMAND || LParam == 0) && AMessage != WM_NOTIFY) {
            return std::nullopt;
        }
        FUnhandled = false;
        const LRESULT answer = ReceiveMessage(AMessage, WParam, LParam);
        if (FUnhandled) {
            return std::nullopt;
        }
        return answer;
    }

protected:
    LRESULT DefaultProc(UINT, WPARAM, LPARAM) override {
        FUnhandled = true;
        return 0;
    }
    void Destroy() override { Finalize(); }

private:
    bool FUnhandled = false;
};

} // namespace

TkyTopWindow::TkyTopWindow(HWND Owner, const TkyTopWindowKind& Kind)
    : FOwner(Owner), FKind(Kind), FPlacement(L"Program", Kind.PlacementPrefix) {}

TkyTopWindow::~TkyTopWindow() {
    // The window's last messages must not reach the object that is going.
    if (FHandle) {
        SetWindowLongPtrW(FHandle.get(), GWLP_USERDATA, 0);
    }
}

void TkyTopWindow::Show() {
    if (!FHandle) {
        CreateHandle();
    }
    FPlacement.Show(FHandle.get());
    Shown();
}

void TkyTopWindow::Hide() const {
    ShowWindow(FHandle.get(), SW_HIDE);
}

bool TkyTopWindow::Visible() const {
    return FHandle && IsWindowVisible(FHandle.get());
}

void TkyTopWindow::SavePlacement() const {
    if (FHandle) {
        FPlacement.Save(FHandle.get());
    }
}

int TkyTopWindow::Dpi() const {
    return FDpi > 0 ? FDpi : WindowDpi(FHandle ? FHandle.get() : FOwner);
}

int TkyTopWindow::Scaled(int Length) const {
    return MulDiv(Length, Dpi(), 96);
}

RECT TkyTopWindow::PaintArea() const {
    RECT client{};
    GetClientRect(FHandle.get(), &client);
    return client;
}

void TkyTopWindow::CreateHandle() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExW(instance, FKind.ClassName, &windowClass)) {
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &ObjectWindowProc<TkyTopWindow>;
        windowClass.hInstance = instance;
        windowClass.hIcon =
            FKind.IconId != 0 ? LoadIconW(instance, MAKEINTRESOURCEW(FKind.IconId)) : nullptr;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground =
            FKind.ButtonFaceGround ? GetSysColorBrush(COLOR_BTNFACE) : nullptr;
        windowClass.lpszClassName = FKind.ClassName;
        RegisterClassExW(&windowClass);
    }
    const int width = Scaled(FKind.Size.cx);
    const int height = Scaled(FKind.Size.cy);
    RECT owner{};
    GetWindowRect(FOwner, &owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(FOwner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const POINT origin = DefaultOrigin(owner);
    const int left = std::max<int>(work.left, std::min<int>(origin.x, work.right - width));
    const int top = std::max<int>(work.top, std::min<int>(origin.y, work.bottom - height));
    CreateWindowExW(0, FKind.ClassName, FKind.Caption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left,
                    top, width, height, FOwner, nullptr, instance, this);
    FControls = std::make_unique<TTopWindowControls>(FHandle.get());
    Created();
    FMade = true;
    FPlacement.Restore(FHandle.get(), RECT{left, top, left + width, top + height},
                       SIZE{Scaled(FKind.MinSize.cx), Scaled(FKind.MinSize.cy)});
    Resized();
}

void TkyTopWindow::TakeHandle(HWND Window) {
    FHandle.reset(Window);
}

void TkyTopWindow::ReleaseHandle() {
    static_cast<void>(FHandle.release());
    FMade = false;
    Destroyed();
    FControls.reset();
}

// Drawn into a DIB section: under Wine its drawing stays in the process, where a compatible
// bitmap would send every line to the X server.
void TkyTopWindow::PaintBuffered() {
    const TkyPaint paint(FHandle.get());
    const HDC dc = paint.Handle();
    const RECT area = PaintArea();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    void* bits = nullptr;
    const TkyMemoryDc memory(CreateCompatibleDC(dc));
    const TkyGdiObject<HBITMAP> buffer = CreateTopDownDib(width, height, 32, &bits);
    if (memory && buffer) {
        const TkySelection selection(memory.get(), buffer.get());
        SetViewportOrgEx(memory.get(), -area.left, -area.top, nullptr);
        Paint(memory.get(), area);
        SetViewportOrgEx(memory.get(), 0, 0, nullptr);
        BitBlt(dc, area.left, area.top, width, height, memory.get(), 0, 0, SRCCOPY);
    }
}

LRESULT TkyTopWindow::HandleMessage(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    const HWND window = FHandle.get();
    if (const std::optional<LRESULT> answer = Message(AMessage, WParam, LParam)) {
        return *answer;
    }
    if (FControls) {
        if (const std::optional<LRESULT> answer =
                static_cast<TTopWindowControls&>(*FControls).Dispatch(AMessage, WParam, LParam)) {
            return *answer;
        }
    }
    switch (AMessage) {
    case WM_SIZE:
        if (FMade) {
            Resized();
        }
        return 0;
    case WM_WINDOWPOSCHANGED:
        FPlacement.Track(window);
        break;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(LParam)->ptMinTrackSize = {Scaled(FKind.MinSize.cx),
                                                                 Scaled(FKind.MinSize.cy)};
        return 0;
    case WM_DPICHANGED: {
        // Another monitor's scale: its suggested place, and the window laid out anew.
        FDpi = LOWORD(WParam);
        const auto* suggested = reinterpret_cast<const RECT*>(LParam);
        ScaleChanged();
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Resized();
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_ERASEBKGND:
        if (!FKind.ButtonFaceGround) {
            return 1;
        }
        break;
    case WM_PAINT:
        PaintBuffered();
        return 0;
    case WM_CLOSE:
        // Closing only hides it: it keeps what it shows and its place.
        Hide();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, AMessage, WParam, LParam);
}
