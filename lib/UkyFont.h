#pragma once

#include "UkyHandles.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Platform font height (negative: character height in pixels) of a size in points on a screen
// with the given pixels per inch.
int FontHeightFromPoints(int Points, int PixelsPerInch);

// A font described by name, height, style flags and text colour. The platform font is built from
// the description whenever it changes; OnChange tells the owner after every change.
class TkyFont {
public:
    using TNotifyEvent = std::function<void(TkyFont& Sender)>;

    TkyFont();
    TkyFont(const TkyFont&) = delete;
    TkyFont& operator=(const TkyFont&) = delete;
    ~TkyFont();

    const std::wstring& Name() const { return FName; }
    std::int64_t Color() const { return FColor; }
    int Height() const { return FHeight; }
    bool Bold() const { return FBold; }
    bool Italic() const { return FItalic; }
    bool Underline() const { return FUnderline; }
    bool StrikeOut() const { return FStrikeOut; }

    void SetName(const std::wstring& Value);
    void SetHeight(int Value);
    // Height of the size in points on the screen.
    void SetSize(int Points);
    void SetBold(bool Value);
    void SetItalic(bool Value);
    void SetUnderline(bool Value);
    void SetStrikeOut(bool Value);
    // The text colour; a change notifies but keeps the built font.
    void SetColor(std::int64_t Value);
    // Copies the whole description and rebuilds, also when nothing differed.
    void Assign(const TkyFont& Source);

    // The built font; builds it when there is none.
    HFONT GetHandle();
    void Changed();
    void DeleteHandle();
    LOGFONTW BuildLogFont();

    TNotifyEvent OnChange;

private:
    void Build();
    void Notify();

    std::wstring FName;
    std::int64_t FColor = 0;
    int FHeight = 0;
    bool FBold = false;
    bool FItalic = false;
    bool FUnderline = false;
    bool FStrikeOut = false;
    TkyGdiObject<HFONT> FHandle;
};
