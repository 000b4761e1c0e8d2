// RealToText and TextToReal against their earlier implementations (ReferenceNumberTexts): on any
// value and any text both give the same text, the same bits or the same message.
#include "FuzzText.h"
#include "ReferenceNumberTexts.h"

#include "UkyError.h"
#include "UkyFunctions.h"

#include <cstring>
#include <functional>

namespace {

// The answer of one conversion: its result as bytes, or the message it raised.
struct TOutcome {
    bool Raised = false;
    std::wstring Text;

    bool operator==(const TOutcome&) const = default;
};

TOutcome Outcome(const std::function<std::wstring()>& Convert) {
    try {
        return {false, Convert()};
    } catch (const EkyError& error) {
        return {true, error.Message()};
    }
}

// The ten bytes of an 80-bit long double (its padding left out), as characters.
std::wstring Bits(long double Value) {
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &Value, 10);
    return std::wstring(bytes, bytes + 10);
}

long double ValueOf(const std::uint8_t* Data) {
    long double value = 0;
    std::memcpy(&value, Data, 10);
    return value;
}

} // namespace

// The first byte picks the case: bit 0 the decimal character, bit 1 the text's code, bit 2 a
// value from ten raw bytes (else read from the text), bits 3 to 7 the digits (-2 to 29).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0) {
        return 0;
    }
    const bool useDot = (Data[0] & 1) != 0;
    const int digits = (Data[0] >> 3) - 2;
    long double value = 0;
    if ((Data[0] & 4) != 0) {
        if (Size < 11) {
            return 0;
        }
        value = ValueOf(Data + 1);
    } else {
        const std::wstring text = FuzzText(Data + 1, Size - 1, (Data[0] & 2) != 0);
        const TOutcome now = Outcome([&] { return Bits(TextToReal(text, useDot)); });
        const TOutcome before = Outcome([&] { return Bits(ReferenceTextToReal(text, useDot)); });
        FUZZ_CHECK(now == before);
        if (now.Raised) {
            return 0;
        }
        value = TextToReal(text, useDot);
    }
    const TOutcome now = Outcome([&] { return RealToText(digits, useDot, value); });
    const TOutcome before = Outcome([&] { return ReferenceRealToText(digits, useDot, value); });
    FUZZ_CHECK(now == before);
    return 0;
}
