#pragma once

#include <cstdint>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include <memory>
#include <type_traits>
#endif

// A window's bounds: position and size in pixels.
struct TBounds {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// Decimal digits of Value, zero-padded to Width digits, with "-" in front when negative.
std::wstring IntToText(int Width, std::int64_t Value);

// Strict decimal parse of a trimmed text with an optional leading "-". Raises on an empty text,
// on any other character and on a number beyond the signed 64-bit range.
std::int64_t TextToInt(const std::wstring& Text);
std::int64_t TextToIntDef(const std::wstring& Text, std::int32_t Default);
// TextToInt of a number that must lie within Min..Max; raises "<text> is out of range Min..Max!"
// for one outside.
std::int64_t TextToIntInRange(const std::wstring& Text, std::int64_t Min, std::int64_t Max);

// Fixed-point text of Value with at most 15 significant digits and never an exponent. Digits -1
// leaves the value unrounded and unpadded; Digits >= 0 rounds first (RoundDigits) and Digits >= 1
// pads the fraction to that many places. UseDot selects "." instead of the system default
// locale's decimal separator. Raises "Invalid result!" for a value that is not finite.
std::wstring RealToText(int Digits, bool UseDot, long double Value);

// The texts a user reads and types: an integer without padding (IntToText with width 0), and a
// float unrounded with the system's decimal separator (RealToText with Digits -1), as the fields
// and the profile show them.
std::wstring IntText(std::int64_t Value);
std::wstring FloatText(long double Value);

// Strict parse of a trimmed decimal text with an optional leading "-" and an optional exponent.
// An empty text gives 0.
long double TextToReal(const std::wstring& Text, bool UseDot);
long double TextToRealDef(const std::wstring& Text, long double Default, bool UseDot);

int BoolToInt(bool Value);
bool IntToBool(int Value);
std::wstring PickText(bool Condition, const std::wstring& A, const std::wstring& B);
int PickInt(bool Condition, int A, int B);

#ifdef _WIN32

// The screen's size; with Full false the height is that of a maximised window's client area plus
// its caption.
TBounds GetScreenBounds(bool Full);

// Moves Bounds onto the screen, and with ClampSize first limits its size to the screen.
void FitToScreen(TBounds& Bounds, bool ClampSize);

// The key is down now, as the current message sees it.
bool IsKeyDown(int VirtualKey);

struct TIconDeleter {
    void operator()(HICON Icon) const noexcept { DestroyIcon(Icon); }
};
using TIconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, TIconDeleter>;

// An icon of the program's resources (a name, or a number through MAKEINTRESOURCEW) in the given
// size; empty when there is none.
TIconHandle LoadAppIcon(const wchar_t* Name, int Width, int Height);

// Asks the system to release as much of the process's resident memory as it can.
void TrimWorkingSet();

// From now on the process loads libraries from the system's folder only, never from the
// program's folder or the current one, where anyone may have put a file of the same name (a
// download folder). Call it first thing: where the system lacks the means (Windows 7 without its
// update) only the current folder is taken out of the search.
void RestrictLibraryLoads();

#endif
