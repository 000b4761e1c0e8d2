#include "UkyUtf8.h"

#include <cstdint>

namespace {

constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

bool IsHighSurrogate(char32_t Code) {
    return Code >= 0xD800 && Code <= 0xDBFF;
}

bool IsLowSurrogate(char32_t Code) {
    return Code >= 0xDC00 && Code <= 0xDFFF;
}

void AppendUtf8(std::string& Bytes, char32_t Code) {
    if (Code < 0x80) {
        Bytes += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Bytes += static_cast<char>(0xC0 | (Code >> 6));
        Bytes += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Bytes += static_cast<char>(0xE0 | (Code >> 12));
        Bytes += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Bytes += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Bytes += static_cast<char>(0xF0 | (Code >> 18));
        Bytes += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
        Bytes += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Bytes += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

void AppendCode(std::wstring& Text, char32_t Code) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (Code >= 0x10000) {
            Text += static_cast<wchar_t>(0xD800 + ((Code - 0x10000) >> 10));
            Text += static_cast<wchar_t>(0xDC00 + ((Code - 0x10000) & 0x3FF));
            return;
        }
    }
    Text += static_cast<wchar_t>(Code);
}

// The code of the well-formed sequence at Bytes[At], with its length in Length; 0 when there is
// none there.
char32_t DecodeAt(const std::string& Bytes, std::size_t At, std::size_t& Length) {
    const auto lead = static_cast<std::uint8_t>(Bytes[At]);
    std::size_t count;
    char32_t code;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 1;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 2;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 3;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (Bytes.size() - At <= count) {
        return 0;
    }
    for (std::size_t i = 1; i <= count; ++i) {
        const auto next = static_cast<std::uint8_t>(Bytes[At + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    Length = count + 1;
    return code;
}

} // namespace

std::string TextToUtf8(const std::wstring& Text) {
    std::string bytes;
    bytes.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t code = static_cast<char32_t>(Text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (IsHighSurrogate(code) && i + 1 < Text.size() &&
                IsLowSurrogate(static_cast<char32_t>(Text[i + 1]))) {
                code = 0x10000 + ((code - 0xD800) << 10) +
                       (static_cast<char32_t>(Text[i + 1]) - 0xDC00);
                ++i;
            }
        }
        if (IsHighSurrogate(code) || IsLowSurrogate(code) || code > 0x10FFFF) {
            code = REPLACEMENT_CHARACTER;
        }
        AppendUtf8(bytes, code);
    }
    return bytes;
}

std::wstring Utf8ToText(const std::string& Bytes) {
    std::wstring text;
    text.reserve(Bytes.size());
    std::size_t at = 0;
    while (at < Bytes.size()) {
        const auto byte = static_cast<std::uint8_t>(Bytes[at]);
        std::size_t length = 1;
        char32_t code = byte;
        if (byte >= 0x80) {
            code = DecodeAt(Bytes, at, length);
            if (code == 0) {
                code = byte;
                length = 1;
            }
        }
        AppendCode(text, code);
        at += length;
    }
    return text;
}
