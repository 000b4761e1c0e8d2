#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

// The fuzzers' texts: every byte is one character of the same code (so the ASCII the grammars
// use comes easily), or, when asked, every two bytes one UTF-16 code unit (little-endian).
inline std::wstring FuzzText(const std::uint8_t* Data, std::size_t Size, bool Wide) {
    std::wstring text;
    if (Wide) {
        for (std::size_t i = 0; i + 1 < Size; i += 2) {
            text += static_cast<wchar_t>(Data[i] | (Data[i + 1] << 8));
        }
    } else {
        for (std::size_t i = 0; i < Size; ++i) {
            text += static_cast<wchar_t>(Data[i]);
        }
    }
    return text;
}

// Stops the run with a message when a property does not hold.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
