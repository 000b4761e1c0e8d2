#include "UkyFunctions.h"

#include <gtest/gtest.h>

// The tests run on a 1024 x 768 screen.
TEST(UkyFunctionsWin, FitToScreenClampsPositionAndSize) {
    const TBounds screen = GetScreenBounds(true);
    ASSERT_EQ(screen.Width, 1024);
    ASSERT_EQ(screen.Height, 768);
    EXPECT_EQ(GetScreenBounds(false).Width, 1024);

    TBounds b{-10, 700, 2000, 10};
    FitToScreen(b, true);
    EXPECT_EQ(b.X, 0);
    EXPECT_EQ(b.Y, 700);
    EXPECT_EQ(b.Width, 1024);
    EXPECT_EQ(b.Height, 20);

    TBounds wide{50, 700, 2000, 100};
    FitToScreen(wide, false);
    EXPECT_EQ(wide.X, -976);
    EXPECT_EQ(wide.Y, 668);
    EXPECT_EQ(wide.Width, 2000);
}

TEST(UkyFunctionsWin, LoadAppIconLoadsTheRequestedSize) {
    const TIconHandle icon = LoadAppIcon(MAKEINTRESOURCEW(7), 32, 32);
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_FALSE(LoadAppIcon(MAKEINTRESOURCEW(8), 16, 16));
}
