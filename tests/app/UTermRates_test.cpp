#include "UTermRates.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(TermRates, KeptInTheirOwnSection) {
    const std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::path("UTermRates_test.ini"));
    std::filesystem::remove(path);
    EXPECT_EQ(ReadTermRates(path.wstring(), 3.6), (TTermRates{3.6, 3.6, 3.6, 3.6, 3.6}));
    WriteTermRates(path.wstring(), {1.5, 2.1, 2.75, 2.75, 3});
    EXPECT_EQ(ReadTermRates(path.wstring(), 3.6), (TTermRates{1.5, 2.1, 2.75, 2.75, 3}));
    std::filesystem::remove(path);
}
