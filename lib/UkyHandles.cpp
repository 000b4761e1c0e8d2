#include "UkyHandles.h"

TkyWindowDc::TkyWindowDc(HWND Window) : FWindow(Window), FDc(GetDC(Window)) {}

TkyWindowDc::~TkyWindowDc() {
    if (FDc != nullptr) {
        ReleaseDC(FWindow, FDc);
    }
}

TkyPaint::TkyPaint(HWND Window) : FWindow(Window), FDc(BeginPaint(Window, &FPaint)) {}

TkyPaint::~TkyPaint() {
    EndPaint(FWindow, &FPaint);
}

TkySelection::TkySelection(HDC Dc, HGDIOBJ Object) : FDc(Dc), FOld(SelectObject(Dc, Object)) {}

TkySelection::~TkySelection() {
    if (FOld != nullptr && FOld != HGDI_ERROR) {
        SelectObject(FDc, FOld);
    }
}

TkyGdiObject<HBITMAP> CreateTopDownDib(int Width, int Height, WORD BitCount, void** Bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = BitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return TkyGdiObject<HBITMAP>(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, Bits, nullptr, 0));
}
