#include "UkyUtf8.h"

#include <gtest/gtest.h>

TEST(UkyUtf8, TextAndBytesConvertBothWays) {
    const std::wstring text = L"年 a\u00e9\U0001F4B0";
    const std::string bytes = "\xE5\xB9\xB4 a\xC3\xA9\xF0\x9F\x92\xB0";
    EXPECT_EQ(TextToUtf8(text), bytes);
    EXPECT_EQ(Utf8ToText(bytes), text);
    EXPECT_EQ(TextToUtf8(L""), "");
    EXPECT_EQ(Utf8ToText(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(UkyUtf8, MalformedInputStillConverts) {
    // Bytes outside a well-formed sequence stand for the character of their code: a lone lead
    // byte, an overlong form, an encoded surrogate, a sequence cut short at the end.
    EXPECT_EQ(Utf8ToText("\xE9t\xE9"), L"\u00e9t\u00e9");
    EXPECT_EQ(Utf8ToText("\xC0\xAF"), L"\u00c0\u00af");
    EXPECT_EQ(Utf8ToText("\xED\xA0\x80"), L"\u00ed\u00a0\u0080");
    EXPECT_EQ(Utf8ToText("a\xE5\xB9"), L"a\u00e5\u00b9");
    // A surrogate without its partner has no UTF-8 form.
    EXPECT_EQ(TextToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x"), "\xEF\xBF\xBDx");
}
