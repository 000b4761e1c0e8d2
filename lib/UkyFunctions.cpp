#include "UkyFunctions.h"

#include "UkyError.h"
#include "UkyMath.h"
#include "UkyStrUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

[[noreturn]] void RaiseNotFloat(const std::wstring& Trimmed) {
    throw EkyError(Trimmed + L" is not a valid float number!");
}

// The operands of every step of a parse are finite, so an infinite result is an overflow.
long double Finite(long double Value) {
    if (std::isinf(Value)) {
        throw EkyError(L"Floating point overflow");
    }
    return Value;
}

// An exponent beyond the 32-bit range only saturates: its power overflows either way.
std::int32_t ExponentOf(std::int64_t Value) {
    if (Value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (Value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(Value);
}

// The exponent written in Text[First, Last): a short run of digits after an optional "-" is read
// here; anything else goes through TextToInt, which gives every other text its answer.
std::int64_t ExponentText(const std::wstring& Text, std::size_t First, std::size_t Last) {
    const bool negative = First < Last && Text[First] == L'-';
    const std::size_t digits = negative ? First + 1 : First;
    if (digits == Last || Last - digits > 18) {
        return TextToInt(Text.substr(First, Last - First));
    }
    std::int64_t value = 0;
    for (std::size_t k = digits; k < Last; ++k) {
        const wchar_t c = Text[k];
        if (c < L'0' || c > L'9') {
            return TextToInt(Text.substr(First, Last - First));
        }
        value = value * 10 + (c - L'0');
    }
    return negative ? -value : value;
}

} // namespace

std::wstring IntToText(int Width, std::int64_t Value) {
    std::wstring digits;
    std::int64_t rest = Value;
    do {
        const std::int64_t remainder = rest % 10;
        digits.insert(digits.begin(),
                      static_cast<wchar_t>(L'0' + (remainder < 0 ? -remainder : remainder)));
        rest /= 10;
    } while (rest != 0);
    if (Width > 0 && digits.size() < static_cast<std::size_t>(Width)) {
        digits.insert(0, static_cast<std::size_t>(Width) - digits.size(), L'0');
    }
    if (Value < 0) {
        digits.insert(digits.begin(), L'-');
    }
    return digits;
}

std::int64_t TextToInt(const std::wstring& Text) {
    std::wstring text = TextTrim(Text);
    if (text.empty()) {
        throw EkyError(L"empty string cannot be converted to integer!");
    }
    const bool negative = text[0] == L'-';
    if (negative) {
        text.erase(0, 1);
    }
    const std::uint64_t limit =
        negative ? 0x8000000000000000ull : static_cast<std::uint64_t>(INT64_MAX);
    std::uint64_t magnitude = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            throw EkyError(text + L" is not a valid integer!");
        }
        const auto digit = static_cast<std::uint64_t>(c - L'0');
        if (magnitude > (limit - digit) / 10) {
            throw EkyError(text + L" is not a valid integer!");
        }
        magnitude = magnitude * 10 + digit;
    }
    return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
}

std::int64_t TextToIntInRange(const std::wstring& Text, std::int64_t Min, std::int64_t Max) {
    const std::int64_t value = TextToInt(Text);
    if (value < Min || value > Max) {
        throw EkyError(TextTrim(Text) + L" is out of range " + IntText(Min) + L".." + IntText(Max) +
                       L"!");
    }
    return value;
}

std::int64_t TextToIntDef(const std::wstring& Text, std::int32_t Default) {
    try {
        return TextToInt(Text);
    } catch (const EkyError&) {
        return Default;
    }
}

std::wstring RealToText(int Digits, bool UseDot, long double Value) {
    const wchar_t separator = UseDot ? L'.' : SystemDecimalSeparator();
    if (!std::isfinite(Value)) {
        throw EkyError(L"Invalid result!");
    }
    if (Digits >= 0) {
        Value = RoundDigits(Digits, Value);
    }
    if (Value == 0) {
        return L"0";
    }
    const bool negative = Value < 0;
    // Scale to fifteen significant digits; n is where the decimal point falls in them.
    long double v = std::fabs(Value);
    int n = 15;
    if (v < 5e12L) {
        while (v < 5e12L) {
            v *= 10;
            --n;
        }
    } else {
        while (v >= 1e13L) {
            v /= 10;
            ++n;
        }
    }
    std::int64_t m = RoundToInt64(v);
    while (m < 100000000000000) {
        v *= 10;
        --n;
        m = RoundToInt64(v);
    }
    // Fifteen digits, or sixteen when the rounding carried into one more.
    wchar_t digits[20];
    std::size_t count = 0;
    for (std::int64_t rest = m; rest != 0; rest /= 10) {
        digits[count++] = static_cast<wchar_t>(L'0' + rest % 10);
    }
    std::reverse(digits, digits + count);
    const std::wstring_view all(digits, count);

    const std::size_t places = Digits >= 1 ? static_cast<std::size_t>(Digits) : 0;
    std::wstring text;
    if (negative) {
        text += L'-';
    }
    if (n >= 15) {
        text.reserve(count + static_cast<std::size_t>(n - 15) + places + 2);
        text += all;
        text.append(static_cast<std::size_t>(n - 15), L'0');
        if (places > 0) {
            text += separator;
            text.append(places, L'0');
        }
        return text;
    }
    // A fraction: its digits without the trailing zeros, then padded to the places asked for.
    std::size_t whole = 0;
    std::size_t leading = 0;
    if (n > 0) {
        whole = static_cast<std::size_t>(n);
    } else {
        leading = static_cast<std::size_t>(-n);
    }
    std::size_t end = count;
    while (end > whole && digits[end - 1] == L'0') {
        --end;
    }
    const std::size_t fraction = leading + (end - whole);
    text.reserve(leading + count + places + 3);
    if (whole > 0) {
        text += all.substr(0, whole);
    } else {
        text += L'0';
    }
    if (fraction > 0 || places > 0) {
        text += separator;
        text.append(leading, L'0');
        text += all.substr(whole, end - whole);
        if (fraction < places) {
            text.append(places - fraction, L'0');
        }
    }
    return text;
}

std::wstring IntText(std::int64_t Value) {
    return IntToText(0, Value);
}

std::wstring FloatText(long double Value) {
    return RealToText(-1, false, Value);
}

long double TextToReal(const std::wstring& Text, bool UseDot) {
    const wchar_t separator = UseDot ? L'.' : SystemDecimalSeparator();
    // The trimmed text is Text[first, last).
    const auto [first, last] = TextTrimBounds(Text);
    long double v = 0;
    if (first == last) {
        return v;
    }
    const bool negative = Text[first] == L'-';
    bool pastSeparator = false;
    long double weight = 1;
    for (std::size_t k = negative ? first + 1 : first; k < last; ++k) {
        const wchar_t c = Text[k];
        if (c == separator) {
            if (pastSeparator) {
                RaiseNotFloat(Text.substr(first, last - first));
            }
            pastSeparator = true;
        } else if (c >= L'0' && c <= L'9') {
            if (pastSeparator) {
                weight *= 0.1L;
                v = static_cast<long double>(c - L'0') * weight + v;
            } else {
                v = Finite((v * 10 + static_cast<long double>(c)) - 48);
            }
        } else if (c == L'E' || c == L'e') {
            const std::int64_t exponent = ExponentText(Text, k + 1, last);
            v = Finite(v * RaiseToPower(10.0L, ExponentOf(exponent)));
            break;
        } else {
            RaiseNotFloat(Text.substr(first, last - first));
        }
    }
    return negative ? -v : v;
}

long double TextToRealDef(const std::wstring& Text, long double Default, bool UseDot) {
    try {
        return TextToReal(Text, UseDot);
    } catch (const EkyError&) {
        return Default;
    }
}

int BoolToInt(bool Value) {
    return Value ? 1 : 0;
}

bool IntToBool(int Value) {
    return Value != 0;
}

std::wstring PickText(bool Condition, const std::wstring& A, const std::wstring& B) {
    return Condition ? A : B;
}

int PickInt(bool Condition, int A, int B) {
    return Condition ? A : B;
}

#ifdef _WIN32

TBounds GetScreenBounds(bool Full) {
    TBounds bounds;
    bounds.Width = GetSystemMetrics(SM_CXSCREEN);
    bounds.Height = Full ? GetSystemMetrics(SM_CYSCREEN)
                         : GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION);
    return bounds;
}

void FitToScreen(TBounds& Bounds, bool ClampSize) {
    const TBounds screen = GetScreenBounds(true);
    if (ClampSize) {
        Bounds.Width = LimitToRange(Bounds.Width, 20, screen.Width);
        Bounds.Height = LimitToRange(Bounds.Height, 20, screen.Height);
    }
    Bounds.X = LimitToRange(Bounds.X, 0, screen.Width - Bounds.Width);
    Bounds.Y = LimitToRange(Bounds.Y, 0, screen.Height - Bounds.Height);
}

bool IsKeyDown(int VirtualKey) {
    return GetKeyState(VirtualKey) < 0;
}

TIconHandle LoadAppIcon(const wchar_t* Name, int Width, int Height) {
    return TIconHandle(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), Name, IMAGE_ICON, Width, Height, LR_DEFAULTCOLOR)));
}

void TrimWorkingSet() {
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

void RestrictLibraryLoads() {
    SetDllDirectoryW(L"");
    // Looked up, as older systems lack it.
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    const auto restrict = reinterpret_cast<TSetDefaultDllDirectories>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (restrict != nullptr) {
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

#endif
