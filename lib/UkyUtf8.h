#pragma once

#include <string>

// UTF-8 bytes of a text. A UTF-16 surrogate without its partner becomes U+FFFD.
std::string TextToUtf8(const std::wstring& Text);

// The text of UTF-8 bytes. A byte that does not belong to a well-formed UTF-8 sequence stands for
// the character of the same code (as in ISO 8859-1), so any bytes convert and ASCII stays ASCII.
std::wstring Utf8ToText(const std::string& Bytes);
