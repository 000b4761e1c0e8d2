#include "UkyScaling.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Functions of newer systems, looked up once: null where the system has none.
struct TDpiFunctions {
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    using TGetSystemMetricsForDpi = int(WINAPI*)(int, UINT);

    TGetDpiForWindow GetDpiForWindow = nullptr;
    TGetSystemMetricsForDpi GetSystemMetricsForDpi = nullptr;
    using TSetDialogDpiChangeBehavior = BOOL(WINAPI*)(HWND, int, int);
    TSetDialogDpiChangeBehavior SetDialogDpiChangeBehavior = nullptr;

    TDpiFunctions() {
        const HMODULE user = GetModuleHandleW(L"user32.dll");
        if (user != nullptr) {
            Find(user, "GetDpiForWindow", GetDpiForWindow);
            Find(user, "GetSystemMetricsForDpi", GetSystemMetricsForDpi);
            Find(user, "SetDialogDpiChangeBehavior", SetDialogDpiChangeBehavior);
        }
    }

    template <class TFunction>
    static void Find(HMODULE Module, const char* Name, TFunction& Function) {
        Function =
            reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(GetProcAddress(Module, Name)));
    }
};

const TDpiFunctions& DpiFunctions() {
    static const TDpiFunctions functions;
    return functions;
}

int ScreenDpi() {
    const int dpi = GetDeviceCaps(TkyWindowDc(nullptr).Handle(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

std::wstring WindowText(HWND Window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The room Text takes on one line in the font Window draws with. Measured in a memory context of
// the screen, which measures as the window's own does: getting the window's would have the system
// work out the window's visible part for nothing (half a millisecond a label under Wine).
SIZE TextSize(HWND Window, const std::wstring& Text) {
    const TkyMemoryDc dc(CreateCompatibleDC(nullptr));
    const TkySelection font(dc.get(),
                            reinterpret_cast<HGDIOBJ>(SendMessageW(Window, WM_GETFONT, 0, 0)));
    RECT area{};
    DrawTextW(dc.get(), Text.c_str(), static_cast<int>(Text.size()), &area,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    return {area.right - area.left, area.bottom - area.top};
}

bool IsClass(HWND Window, const wchar_t* Name) {
    wchar_t name[64] = {};
    GetClassNameW(Window, name, 64);
    return CompareStringOrdinal(name, -1, Name, -1, TRUE) == CSTR_EQUAL;
}

// A report's columns, a vertical scroll bar and the frame around them.
int ReportWidth(HWND View, int Dpi) {
    const auto style = GetWindowLongW(View, GWL_STYLE);
    if ((style & LVS_TYPEMASK) != LVS_REPORT) {
        return 0;
    }
    const auto header = reinterpret_cast<HWND>(SendMessageW(View, LVM_GETHEADER, 0, 0));
    const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    int width = 0;
    for (int i = 0; i < columns; ++i) {
        width += static_cast<int>(SendMessageW(View, LVM_GETCOLUMNWIDTH, i, 0));
    }
    RECT window{};
    RECT client{};
    GetWindowRect(View, &window);
    GetClientRect(View, &client);
    const int scrollBar = MetricForDpi(SM_CXVSCROLL, Dpi);
    // The frame is what the window has beyond its client area, less a scroll bar that is shown.
    const int frame =
        (window.right - window.left) - client.right - ((style & WS_VSCROLL) != 0 ? scrollBar : 0);
    return width + scrollBar + frame;
}

struct TChild {
    HWND Window;
    RECT Place;
    SIZE Need;
};

} // namespace

int WindowDpi(HWND Window) {
    if (DpiFunctions().GetDpiForWindow != nullptr && Window != nullptr) {
        if (const UINT dpi = DpiFunctions().GetDpiForWindow(Window); dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return ScreenDpi();
}

int ScaleToDpi(int Length, int Dpi) {
    return MulDiv(Length, Dpi, 96);
}

TkyGdiObject<HFONT> ScaleFont(HFONT Font, int FromDpi, int ToDpi) {
    LOGFONTW description{};
    if (GetObjectW(Font, sizeof description, &description) == 0) {
        return nullptr;
    }
    description.lfHeight = MulDiv(description.lfHeight, ToDpi, FromDpi);
    description.lfWidth = MulDiv(description.lfWidth, ToDpi, FromDpi);
    return TkyGdiObject<HFONT>(CreateFontIndirectW(&description));
}

int MetricForDpi(int Index, int Dpi) {
    if (DpiFunctions().GetSystemMetricsForDpi != nullptr) {
        return DpiFunctions().GetSystemMetricsForDpi(Index, static_cast<UINT>(Dpi));
    }
    return MulDiv(GetSystemMetrics(Index), Dpi, ScreenDpi());
}

SIZE NeededSize(HWND Control, int Dpi) {
    if (IsClass(Control, L"Static")) {
        const auto type = GetWindowLongW(Control, GWL_STYLE) & SS_TYPEMASK;
        const bool text = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ||
                          type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
        return text ? TextSize(Control, WindowText(Control)) : SIZE{};
    }
    if (IsClass(Control, L"Button")) {
        const auto type = GetWindowLongW(Control, GWL_STYLE) & BS_TYPEMASK;
        const SIZE text = TextSize(Control, WindowText(Control));
        switch (type) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            // The frame and the focus rectangle inside it.
            return {text.cx + ScaleToDpi(8, Dpi), text.cy + ScaleToDpi(4, Dpi)};
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: {
            // The square (12 pixels and its edge at 100 %) and the gap before the text.
            const int square = ScaleToDpi(12, Dpi) + 1;
            return {text.cx + square + ScaleToDpi(5, Dpi), std::max<LONG>(text.cy, square)};
        }
        default:
            return {};
        }
    }
    if (IsClass(Control, WC_LISTVIEWW)) {
        return {ReportWidth(Control, Dpi), 0};
    }
    return {};
}

void TakeOverDpiChanges(HWND Dialog) {
    // DDC_DISABLE_ALL, in both the mask and the values.
    constexpr int disableAll = 1;
    if (DpiFunctions().SetDialogDpiChangeBehavior != nullptr) {
        DpiFunctions().SetDialogDpiChangeBehavior(Dialog, disableAll, disableAll);
    }
}

SIZE MakeRoomForTexts(HWND Window, int Dpi) {
    std::vector<TChild> children;
    for (HWND child = GetWindow(Window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, Window, reinterpret_cast<POINT*>(&place), 2);
        children.push_back({child, place, NeededSize(child, Dpi)});
    }
    // Across, then down: the same steps on the left and right edges, then the top and bottom.
    const auto makeRoom = [&children](LONG RECT::*Start, LONG RECT::*End, LONG SIZE::*Need) {
        int added = 0;
        while (true) {
            // The cramped child that ends first makes its room first: what it moves along
            // cannot cramp it again.
            const TChild* cramped = nullptr;
            for (const TChild& child : children) {
                if (child.Need.*Need > child.Place.*End - child.Place.*Start &&
                    (cramped == nullptr || child.Place.*End < cramped->Place.*End)) {
                    cramped = &child;
                }
            }
            if (cramped == nullptr) {
                return added;
            }
            const LONG edge = cramped->Place.*End;
            const LONG room = cramped->Need.*Need - (cramped->Place.*End - cramped->Place.*Start);
            for (TChild& child : children) {
                if (child.Place.*Start >= edge) {
                    child.Place.*Start += room;
                    child.Place.*End += room;
                } else if (child.Place.*End >= edge) {
                    child.Place.*End += room;
                }
            }
            added += room;
        }
    };
    const SIZE added{makeRoom(&RECT::left, &RECT::right, &SIZE::cx),
                     makeRoom(&RECT::top, &RECT::bottom, &SIZE::cy)};
    if (added.cx == 0 && added.cy == 0) {
        return added;
    }
    for (const TChild& child : children) {
        SetWindowPos(child.Window, nullptr, child.Place.left, child.Place.top,
                     child.Place.right - child.Place.left, child.Place.bottom - child.Place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{};
    GetWindowRect(Window, &frame);
    SetWindowPos(Window, nullptr, 0, 0, frame.right - frame.left + added.cx,
                 frame.bottom - frame.top + added.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return added;
}
