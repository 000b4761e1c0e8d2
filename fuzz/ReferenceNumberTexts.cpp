// The number texts as the library wrote and read them before their conversions were reworked for
// speed, kept word for word so that the differential fuzz target can hold the two side by side.
#include "ReferenceNumberTexts.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyMath.h"
#include "UkyStrUtils.h"

#include <cmath>
#include <limits>

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

} // namespace

std::wstring ReferenceRealToText(int Digits, bool UseDot, long double Value) {
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
    const std::wstring digits = IntToText(15, m);

    std::wstring text;
    if (n >= 15) {
        text = digits + std::wstring(static_cast<std::size_t>(n - 15), L'0');
    } else if (n > 0) {
        text = digits.substr(0, static_cast<std::size_t>(n)) + separator +
               digits.substr(static_cast<std::size_t>(n));
    } else {
        text = std::wstring(1, L'0') + separator +
               std::wstring(static_cast<std::size_t>(-n), L'0') + digits;
    }
    std::size_t point = text.find(separator);
    if (point != std::wstring::npos) {
        while (text.back() == L'0') {
            text.pop_back();
        }
        if (text.back() == separator) {
            text.pop_back();
            point = std::wstring::npos;
        }
    }
    if (Digits >= 1) {
        if (point == std::wstring::npos) {
            point = text.size();
            text += separator;
        }
        const std::size_t places = static_cast<std::size_t>(Digits);
        if (text.size() - point - 1 < places) {
            text.append(places - (text.size() - point - 1), L'0');
        }
    }
    if (negative) {
        text.insert(text.begin(), L'-');
    }
    return text;
}

long double ReferenceTextToReal(const std::wstring& Text, bool UseDot) {
    const wchar_t separator = UseDot ? L'.' : SystemDecimalSeparator();
    const std::wstring text = TextTrim(Text);
    long double v = 0;
    if (text.empty()) {
        return v;
    }
    const bool negative = text[0] == L'-';
    bool pastSeparator = false;
    long double weight = 1;
    for (std::size_t k = negative ? 1 : 0; k < text.size(); ++k) {
        const wchar_t c = text[k];
        if (c == separator) {
            if (pastSeparator) {
                RaiseNotFloat(text);
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
            const std::int64_t exponent = TextToInt(text.substr(k + 1));
            v = Finite(v * RaiseToPower(10.0L, ExponentOf(exponent)));
            break;
        } else {
            RaiseNotFloat(text);
        }
    }
    return negative ? -v : v;
}
