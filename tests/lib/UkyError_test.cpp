#include "UkyError.h"

#include <gtest/gtest.h>

TEST(EkyError, CarriesItsMessageAndAReadableNarrowForm) {
    EkyError plain(L"Division by zero");
    EXPECT_EQ(plain.Message(), L"Division by zero");
    EXPECT_STREQ(plain.what(), "Division by zero");

    EkyError chinese(L"剪贴板 abc");
    EXPECT_STREQ(chinese.what(), "\xE5\x89\xAA\xE8\xB4\xB4\xE6\x9D\xBF abc");
}
