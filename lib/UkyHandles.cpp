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
