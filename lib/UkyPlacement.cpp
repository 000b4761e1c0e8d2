#include "UkyPlacement.h"

#include "UkyIniFile.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// Far beyond any monitor, and small enough that no sum of a saved position and size overflows.
constexpr std::int32_t REACH = 1 << 24;

// The work area of the monitor that Rect overlaps most, or of the nearest one.
RECT WorkAreaOf(const RECT& Rect) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&Rect, MONITOR_DEFAULTTONEAREST), &info)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    }
    return info.rcWork;
}

LONG FitStart(LONG Start, LONG Size, LONG First, LONG Last) {
    return std::max<LONG>(First, std::min<LONG>(Start, Last - Size));
}

} // namespace

RECT FitRectInto(const RECT& Rect, const RECT& Area) {
    const LONG width = std::min<LONG>(Rect.right - Rect.left, Area.right - Area.left);
    const LONG height = std::min<LONG>(Rect.bottom - Rect.top, Area.bottom - Area.top);
    const LONG left = FitStart(Rect.left, width, Area.left, Area.right);
    const LONG top = FitStart(Rect.top, height, Area.top, Area.bottom);
    return RECT{left, top, left + width, top + height};
}

TkyWindowPlacement::TkyWindowPlacement(std::wstring Section, std::wstring Prefix)
    : FSection(std::move(Section)), FPrefix(std::move(Prefix)) {}

bool TkyWindowPlacement::Restore(HWND Window, const RECT& Default, SIZE MinSize) {
    TkyIniFile ini(ProfilePath());
    ini.Section = FSection;
    const auto read = [&](const wchar_t* Key, LONG Value) {
        return std::clamp<std::int32_t>(ini.ReadInteger(FPrefix + Key, Value), -REACH, REACH);
    };
    const LONG width = std::max<LONG>(read(L"Width", Default.right - Default.left), MinSize.cx);
    const LONG height = std::max<LONG>(read(L"Height", Default.bottom - Default.top), MinSize.cy);
    const LONG left = read(L"Left", Default.left);
    const LONG top = read(L"Top", Default.top);
    RECT place{left, top, left + width, top + height};
    if (MonitorFromRect(&place, MONITOR_DEFAULTTONULL) == nullptr) {
        place = RECT{Default.left, Default.top, Default.left + width, Default.top + height};
    }
    place = FitRectInto(place, WorkAreaOf(place));
    // Never below the least size, also on a work area smaller than that.
    place.right = place.left + std::max<LONG>(place.right - place.left, MinSize.cx);
    place.bottom = place.top + std::max<LONG>(place.bottom - place.top, MinSize.cy);
    // With the frame worked out anew, so that a style the caller has just given the window (a
    // sizing border) takes effect in the same step.
    SetWindowPos(Window, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    FNormal = place;
    Track(Window);
    FShowMaximized = ini.ReadInteger(FPrefix + L"Maximized", 0) == 1;
    return FShowMaximized;
}

void TkyWindowPlacement::Show(HWND Window) {
    if (FShowMaximized) {
        FShowMaximized = false;
        ShowWindow(Window, SW_SHOWMAXIMIZED);
    } else {
        ShowWindow(Window, IsIconic(Window) ? SW_RESTORE : SW_SHOW);
    }
    SetForegroundWindow(Window);
}

void TkyWindowPlacement::Track(HWND Window) {
    if (!IsIconic(Window) && !IsZoomed(Window)) {
        GetWindowRect(Window, &FNormal);
    }
}

void TkyWindowPlacement::Save(HWND Window) const {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Window, &placement);
    const bool maximized =
        IsZoomed(Window) || (IsIconic(Window) && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    RECT normal = FNormal;
    if (!IsIconic(Window) && !IsZoomed(Window)) {
        GetWindowRect(Window, &normal);
    }
    TkyIniFile ini(ProfilePath());
    ini.Section = FSection;
    ini.WriteInteger(FPrefix + L"Left", normal.left);
    ini.WriteInteger(FPrefix + L"Top", normal.top);
    ini.WriteInteger(FPrefix + L"Width", normal.right - normal.left);
    ini.WriteInteger(FPrefix + L"Height", normal.bottom - normal.top);
    ini.WriteInteger(FPrefix + L"Maximized", maximized ? 1 : 0);
}
