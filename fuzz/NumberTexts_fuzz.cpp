// TextToInt and TextToReal on any text: no crash, every accepted text follows the grammar, every
// text that follows it is accepted, and a value in the double range survives being written and
// read back.
#include "FuzzText.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyStrUtils.h"

#include <cfloat>
#include <cmath>

namespace {

bool IsDigit(wchar_t C) {
    return C >= L'0' && C <= L'9';
}

// Digits only, after an optional "-": the integer grammar, less the range.
bool IsIntegerForm(const std::wstring& Trimmed) {
    if (Trimmed.empty()) {
        return false;
    }
    for (std::size_t i = Trimmed[0] == L'-' ? 1 : 0; i < Trimmed.size(); ++i) {
        if (!IsDigit(Trimmed[i])) {
            return false;
        }
    }
    return true;
}

// The shortest decimal text of an integer written as Trimmed (no leading zeros, no "-0").
std::wstring Canonical(const std::wstring& Trimmed) {
    const bool negative = !Trimmed.empty() && Trimmed[0] == L'-';
    std::wstring digits = Trimmed.substr(negative ? 1 : 0);
    digits.erase(0, std::min(digits.find_first_not_of(L'0'), digits.size()));
    if (digits.empty()) {
        return L"0";
    }
    return negative ? L"-" + digits : digits;
}

void CheckInteger(const std::wstring& Text) {
    const std::wstring trimmed = TextTrim(Text);
    try {
        const std::int64_t value = TextToInt(Text);
        FUZZ_CHECK(IsIntegerForm(trimmed));
        FUZZ_CHECK(IntToText(0, value) == Canonical(trimmed));
    } catch (const EkyError& error) {
        if (trimmed.empty()) {
            FUZZ_CHECK(error.Message() == L"empty string cannot be converted to integer!");
        } else {
            const std::wstring unsigned_ = trimmed.substr(trimmed[0] == L'-' ? 1 : 0);
            FUZZ_CHECK(error.Message() == unsigned_ + L" is not a valid integer!");
        }
    }
}

// The float grammar: "-"?, digits with at most one decimal character, then optionally "e" or
// "E" and an integer the integer conversion accepts.
bool IsFloatForm(const std::wstring& Trimmed) {
    bool separator = false;
    for (std::size_t i = !Trimmed.empty() && Trimmed[0] == L'-' ? 1 : 0; i < Trimmed.size(); ++i) {
        const wchar_t c = Trimmed[i];
        if (c == L'.' && !separator) {
            separator = true;
        } else if (c == L'e' || c == L'E') {
            try {
                TextToInt(Trimmed.substr(i + 1));
                return true;
            } catch (const EkyError&) {
                return false;
            }
        } else if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

// Written holds fourteen nines and then a digit from 5 to 9 as its first significant digits, and
// Rewritten is the same number of digits rounded up to a power of ten.
bool IsCarryOfNines(const std::wstring& Written, const std::wstring& Rewritten) {
    std::wstring digits;
    for (const wchar_t c : Written) {
        if (IsDigit(c) && (c != L'0' || !digits.empty())) {
            digits += c;
        }
    }
    if (digits.size() < 15 || digits.compare(0, 14, std::wstring(14, L'9')) != 0 ||
        digits[14] < L'5') {
        return false;
    }
    const long double a = std::fabs(TextToReal(Written, true));
    const long double b = std::fabs(TextToReal(Rewritten, true));
    return b > a && (b - a) / b < 1e-14L;
}

bool InDoubleRange(long double Value) {
    const long double magnitude = std::fabs(Value);
    return Value == 0 || (magnitude >= DBL_MIN && magnitude <= DBL_MAX);
}

void CheckReal(const std::wstring& Text, bool UseDot) {
    const std::wstring trimmed = TextTrim(Text);
    long double value;
    try {
        value = TextToReal(Text, UseDot);
    } catch (const EkyError& error) {
        FUZZ_CHECK(!IsFloatForm(trimmed) || error.Message() == L"Floating point overflow");
        return;
    }
    FUZZ_CHECK(IsFloatForm(trimmed));
    FUZZ_CHECK(!std::isnan(value));
    if (!InDoubleRange(value)) {
        return;
    }
    const std::wstring written = RealToText(-1, true, static_cast<double>(value));
    FUZZ_CHECK(IsFloatForm(written));
    FUZZ_CHECK(written.find_first_of(L"eE") == std::wstring::npos);
    const long double reread = TextToReal(written, true);
    // The one known exception: fifteen digits from 999999999999995 up are written as a power of
    // ten when the value read back falls just above them (the rounding carries into a sixteenth
    // digit that is then dropped).
    const std::wstring rewritten = RealToText(-1, true, static_cast<double>(reread));
    FUZZ_CHECK(rewritten == written || IsCarryOfNines(written, rewritten));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0) {
        return 0;
    }
    const std::wstring text = FuzzText(Data + 1, Size - 1, (Data[0] & 2) != 0);
    CheckInteger(text);
    CheckReal(text, (Data[0] & 1) != 0);
    return 0;
}
