#include "UkyMath.h"

#include "UkyError.h"

#include <bit>
#include <cmath>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

[[noreturn]] void RaiseOverflow() {
    throw EkyError(L"Floating point overflow");
}

// A finite product that came out infinite has left the extended range.
long double CheckedProduct(long double A, long double B) {
    const long double result = A * B;
    if (std::isinf(result) && std::isfinite(A) && std::isfinite(B)) {
        RaiseOverflow();
    }
    return result;
}

long double RoundHalfEven(long double Value) {
    long double whole = std::floor(Value);
    const long double fraction = Value - whole;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0)) {
        whole += 1;
    }
    return whole;
}

// 2^63 as an extended value; the signed 64-bit range is [-2^63, 2^63).
constexpr long double TWO_POW63 = 9223372036854775808.0L;

bool FitsInt64(long double Whole) {
    return Whole >= -TWO_POW63 && Whole < TWO_POW63;
}

} // namespace

long double RaiseToPower(long double Base, std::int32_t Exponent) {
    std::uint32_t remaining = Exponent < 0 ? 0u - static_cast<std::uint32_t>(Exponent)
                                           : static_cast<std::uint32_t>(Exponent);
    long double result = 1.0L;
    long double square = Base;
    while (remaining > 0) {
        if (remaining & 1u) {
            result = CheckedProduct(result, square);
        }
        remaining >>= 1;
        if (remaining > 0) {
            square = CheckedProduct(square, square);
        }
    }
    if (Exponent < 0) {
        if (result == 0) {
            throw EkyError(L"Division by zero");
        }
        return 1.0L / result;
    }
    return result;
}

long double RoundDigits(std::int32_t Digits, long double Value) {
    if (IsNotANumber(Value) || IsInfinity(StoreDouble(Value))) {
        throw EkyError(L"Invalid result!");
    }
    if (Value == 0 || (Digits >= -20 && Digits <= -1)) {
        return Value;
    }
    if (Digits < 0) {
        Digits = 0;
    }
    long double scaled = Value;
    std::int32_t i = 0;
    while (std::fabs(scaled * 10) < 1.0L) {
        if (i > 19) {
            return Value;
        }
        scaled *= 10;
        ++i;
    }
    for (std::int32_t d = 0; d < Digits; ++d) {
        if (std::fabs(scaled) >= 1e20L || i > 19) {
            return Value;
        }
        scaled *= 10;
        ++i;
    }
    const long double whole = RoundHalfEven(scaled);
    if (!FitsInt64(whole)) {
        return Value;
    }
    return whole / RaiseToPower(10.0L, i);
}

std::int32_t LimitToRange(std::int32_t Value, std::int32_t Minimum, std::int32_t Maximum) {
    if (Value < Minimum) {
        return Minimum;
    }
    if (Value > Maximum) {
        return Maximum;
    }
    return Value;
}

bool IsBetween(std::int32_t Value, std::int32_t Minimum, std::int32_t Maximum) {
    return Minimum <= Value && Value <= Maximum;
}

bool IsNotANumber(long double Value) {
    std::uint64_t mantissa = 0;
    std::uint16_t signAndExponent = 0;
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &Value, 10);
    std::memcpy(&mantissa, bytes, sizeof mantissa);
    std::memcpy(&signAndExponent, bytes + 8, sizeof signAndExponent);
    const std::uint64_t fraction = mantissa & 0x7FFFFFFFFFFFFFFFull;
    return (signAndExponent & 0x7FFFu) == 0x7FFFu && fraction != 0;
}

bool IsInfinity(double Value) {
    const auto bits = std::bit_cast<std::uint64_t>(Value);
    return ((bits >> 52) & 0x7FFu) == 0x7FFu && (bits & 0xFFFFFFFFFFFFFull) == 0;
}

wchar_t SystemDecimalSeparator() {
#ifdef _WIN32
    wchar_t buffer[5] = {};
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_SDECIMAL, buffer, 5) == 0) {
        return L'.';
    }
    return buffer[0];
#else
    return L'.';
#endif
}

double StoreDouble(long double Value) {
    // The smallest magnitude that rounds beyond the largest double: halfway between it and 2^1024.
    static constexpr long double limit = 0x1.fffffffffffff8p+1023L;
    if (std::isfinite(Value) && std::fabs(Value) >= limit) {
        RaiseOverflow();
    }
    return static_cast<double>(Value);
}

std::int64_t RoundToInt64(long double Value) {
    const long double whole = RoundHalfEven(Value);
    if (!std::isfinite(Value) || !FitsInt64(whole)) {
        throw EkyError(L"Invalid floating point operation");
    }
    return static_cast<std::int64_t>(whole);
}

std::int64_t IntMod(std::int64_t A, std::int64_t B) {
    if (B == 0) {
        throw EkyError(L"Division by zero");
    }
    if (B == -1) {
        return 0;
    }
    return A % B;
}
