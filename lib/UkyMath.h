#pragma once

#include <cstdint>
#include <limits>

// The extended-precision type of the number conversions: the 80-bit format with a 64-bit mantissa.
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the 80-bit extended type");

// Base to the power Exponent by squaring; a negative exponent gives 1 divided by the power.
// Raises "Floating point overflow" when the power leaves the extended range and "Division by
// zero" for a zero base with a negative exponent.
long double RaiseToPower(long double Base, std::int32_t Exponent);

// Value rounded (halves to even) to Digits decimal places beyond the leading zeros of a value
// below 0.1 in magnitude. Digits from -20 to -1 leave the value as it is. Raises "Invalid
// result!" for a value that is not a finite number. A value that cannot be scaled exactly into a
// signed 64-bit integer comes back unrounded.
long double RoundDigits(std::int32_t Digits, long double Value);

// Minimum if Value is below it, otherwise Maximum if Value is above it, otherwise Value.
std::int32_t LimitToRange(std::int32_t Value, std::int32_t Minimum, std::int32_t Maximum);

// Minimum <= Value <= Maximum.
bool IsBetween(std::int32_t Value, std::int32_t Minimum, std::int32_t Maximum);

bool IsNotANumber(long double Value);
bool IsInfinity(double Value);

// The system default locale's decimal separator ('.' when the platform has none to tell).
wchar_t SystemDecimalSeparator();

// Value stored into a double. Raises "Floating point overflow" when a finite value lies beyond the
// range of a double.
double StoreDouble(long double Value);

// Value rounded to the nearest integer, halves to even. Raises "Invalid floating point
// operation" when the result does not fit a signed 64-bit integer or the value is not finite.
std::int64_t RoundToInt64(long double Value);

// Remainder of the integer division A / B, with the sign of A. Raises "Division by zero" for a
// zero B.
std::int64_t IntMod(std::int64_t A, std::int64_t B);
