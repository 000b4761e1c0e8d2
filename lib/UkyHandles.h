#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owning types for the platform handles that windows draw and pop up menus with: each releases
// its handle the way the platform asks when it goes, and none can be copied.

struct TkyGdiObjectDeleter {
    void operator()(HGDIOBJ Object) const noexcept { DeleteObject(Object); }
};
// A font, brush, pen or bitmap made by the program (CreateFontW, CreateSolidBrush, ...), deleted
// with DeleteObject. Stock objects must not be put in one.
template <class Handle>
using TkyGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, TkyGdiObjectDeleter>;

struct TkyMemoryDcDeleter {
    void operator()(HDC Dc) const noexcept { DeleteDC(Dc); }
};
// A device context made by CreateCompatibleDC, deleted with DeleteDC.
using TkyMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, TkyMemoryDcDeleter>;

struct TkyMenuDeleter {
    void operator()(HMENU Menu) const noexcept { DestroyMenu(Menu); }
};
// A menu made by CreatePopupMenu or CreateMenu and never attached to a window, destroyed with
// DestroyMenu.
using TkyMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, TkyMenuDeleter>;

struct TkyWindowDeleter {
    void operator()(HWND Window) const noexcept { DestroyWindow(Window); }
};
// A window the program made and destroys with DestroyWindow, unless it is let go of first (a
// window owned by another is destroyed with it).
using TkyWindow = std::unique_ptr<std::remove_pointer_t<HWND>, TkyWindowDeleter>;

// The device context of a window's client area (GetDC), or of the screen for a null window,
// released with ReleaseDC.
class TkyWindowDc {
public:
    explicit TkyWindowDc(HWND Window);
    TkyWindowDc(const TkyWindowDc&) = delete;
    TkyWindowDc& operator=(const TkyWindowDc&) = delete;
    ~TkyWindowDc();

    HDC Handle() const { return FDc; }

private:
    HWND FWindow;
    HDC FDc;
};

// A WM_PAINT's drawing: BeginPaint when made, EndPaint when it goes.
class TkyPaint {
public:
    explicit TkyPaint(HWND Window);
    TkyPaint(const TkyPaint&) = delete;
    TkyPaint& operator=(const TkyPaint&) = delete;
    ~TkyPaint();

    HDC Handle() const { return FDc; }
    // The part of the client area to paint.
    const RECT& Area() const { return FPaint.rcPaint; }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint{};
    HDC FDc;
};

// Selects an object into a device context while it lives, and the object it replaced again when
// it goes (before the object or the context is deleted).
class TkySelection {
public:
    TkySelection(HDC Dc, HGDIOBJ Object);
    TkySelection(const TkySelection&) = delete;
    TkySelection& operator=(const TkySelection&) = delete;
    ~TkySelection();

private:
    HDC FDc;
    HGDIOBJ FOld;
};

// A top-down device-independent bitmap of BitCount bits a pixel (24 or 32), its pixels at Bits;
// null when it could not be made.
TkyGdiObject<HBITMAP> CreateTopDownDib(int Width, int Height, WORD BitCount, void** Bits);
