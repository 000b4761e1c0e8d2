#pragma once

#include <windows.h>

#include <string>

// The place of a top-level window, kept in a profile section under a key prefix: <Prefix>Left,
// <Prefix>Top, <Prefix>Width and <Prefix>Height hold the restored window's rectangle in screen
// pixels (also while it is minimised or maximised), <Prefix>Maximized 1 when it was maximised.
//
// Screen pixels, not the workspace coordinates of GetWindowPlacement: Windows gives those relative
// to the work area, so they differ from the screen's by the bars at the work area's top and left,
// while Wine gives screen pixels there. The restored rectangle is therefore remembered from the
// window's own moves (Track) instead of being read back from the platform.
class TkyWindowPlacement {
public:
    TkyWindowPlacement(std::wstring Section, std::wstring Prefix);

    // Places Window, which must not be minimised or maximised: the saved size, never below
    // MinSize and cut to the work area; the saved position, or Default's when nothing is saved or
    // the saved rectangle lies on no monitor; then moved as little as needed to bring the whole
    // window into the work area of the monitor it overlaps most. Without saved keys the window
    // takes Default. A style changed just before takes effect with the placement. Answers whether
    // the window was saved maximised; the caller shows it so.
    bool Restore(HWND Window, const RECT& Default, SIZE MinSize);
    // Shows a window placed by Restore and brings it to the front: maximised the first time when
    // it was saved so; afterwards in the state it was hidden in, restored when minimised.
    void Show(HWND Window);
    // Remembers the window's rectangle when it is neither minimised nor maximised; the window
    // calls it on every WM_WINDOWPOSCHANGED.
    void Track(HWND Window);
    // Writes the restored rectangle and the maximised state, in the order Left, Top, Width,
    // Height, Maximized.
    void Save(HWND Window) const;
    // The restored rectangle, in screen pixels.
    const RECT& Normal() const { return FNormal; }

private:
    std::wstring FSection;
    std::wstring FPrefix;
    RECT FNormal{};
    // Saved maximised, and not yet shown.
    bool FShowMaximized = false;
};

// Rect moved as little as needed to lie wholly within Area, its size cut to Area's first.
RECT FitRectInto(const RECT& Rect, const RECT& Area);
