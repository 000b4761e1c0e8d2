#include "UkyFont.h"

#include <algorithm>

namespace {

constexpr std::size_t MAX_FACE_NAME_LENGTH = LF_FACESIZE - 1;
constexpr std::int64_t DEFAULT_TEXT_COLOR = 0;
constexpr int DEFAULT_POINT_SIZE = 9;

// Asked once: the screen's resolution is the system's, which stays for the process's life, and
// every control's font asks at the control's start.
int ScreenPixelsPerInch() {
    static const int pixels = GetDeviceCaps(TkyWindowDc(nullptr).Handle(), LOGPIXELSY);
    return pixels;
}

} // namespace

int FontHeightFromPoints(int Points, int PixelsPerInch) {
    return -MulDiv(Points, PixelsPerInch, 72);
}

TkyFont::TkyFont() {
    SetName(L"");
    SetSize(DEFAULT_POINT_SIZE);
    SetColor(DEFAULT_TEXT_COLOR);
    SetBold(false);
    SetItalic(false);
    SetUnderline(false);
    SetStrikeOut(false);
}

TkyFont::~TkyFont() {
    DeleteHandle();
}

void TkyFont::SetName(const std::wstring& Value) {
    if (Value != FName) {
        FName = Value;
        Changed();
    }
}

void TkyFont::SetHeight(int Value) {
    if (Value != FHeight) {
        FHeight = Value;
        Changed();
    }
}

void TkyFont::SetSize(int Points) {
    SetHeight(FontHeightFromPoints(Points, ScreenPixelsPerInch()));
}

void TkyFont::SetBold(bool Value) {
    if (Value != FBold) {
        FBold = Value;
        Changed();
    }
}

void TkyFont::SetItalic(bool Value) {
    if (Value != FItalic) {
        FItalic = Value;
        Changed();
    }
}

void TkyFont::SetUnderline(bool Value) {
    if (Value != FUnderline) {
        FUnderline = Value;
        Changed();
    }
}

void TkyFont::SetStrikeOut(bool Value) {
    if (Value != FStrikeOut) {
        FStrikeOut = Value;
        Changed();
    }
}

void TkyFont::SetColor(std::int64_t Value) {
    if (Value != FColor) {
        FColor = Value;
        Notify();
    }
}

void TkyFont::Assign(const TkyFont& Source) {
    FName = Source.FName;
    FHeight = Source.FHeight;
    FBold = Source.FBold;
    FItalic = Source.FItalic;
    FUnderline = Source.FUnderline;
    FStrikeOut = Source.FStrikeOut;
    FColor = Source.FColor;
    Changed();
}

HFONT TkyFont::GetHandle() {
    if (!FHandle) {
        Build();
    }
    return FHandle.get();
}

void TkyFont::Changed() {
    DeleteHandle();
    Build();
    Notify();
}

void TkyFont::DeleteHandle() {
    FHandle.reset();
}

LOGFONTW TkyFont::BuildLogFont() {
    if (FName.empty()) {
        FName = L"Arial";
    }
    LOGFONTW font{};
    font.lfHeight = FHeight;
    font.lfWeight = FBold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = FItalic ? 1 : 0;
    font.lfUnderline = FUnderline ? 1 : 0;
    font.lfStrikeOut = FStrikeOut ? 1 : 0;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::size_t length = std::min(FName.size(), MAX_FACE_NAME_LENGTH);
    std::copy_n(FName.begin(), length, font.lfFaceName);
    font.lfFaceName[length] = L'\0';
    return font;
}

void TkyFont::Build() {
    const LOGFONTW font = BuildLogFont();
    FHandle.reset(CreateFontIndirectW(&font));
}

void TkyFont::Notify() {
    if (OnChange) {
        OnChange(*this);
    }
}
