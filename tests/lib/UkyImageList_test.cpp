#include "UkyImageList.h"

#include "ImageColour.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF RED = RGB(0xD3, 0x2F, 0x2F);
constexpr COLORREF BLUE = RGB(0x19, 0x76, 0xD2);
constexpr COLORREF GREEN = RGB(0x38, 0x8E, 0x3C);

} // namespace

TEST(TkyImageList, SizesDefaultToTheSmallIconWidth) {
    const int small = GetSystemMetrics(SM_CXSMICON);
    const TkyImageList defaulted(0, 0, 0);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(defaulted.Handle(), &width, &height));
    EXPECT_EQ(width, small);
    EXPECT_EQ(height, small);
    EXPECT_EQ(defaulted.Count(), 0);

    const TkyImageList sized(32, 24, 5);
    ASSERT_TRUE(ImageList_GetIconSize(sized.Handle(), &width, &height));
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 24);
}

TEST(TkyImageList, AddsResourceIconsInTheOrderGiven) {
    TkyImageList list(0, 0, 0);
    list.AddIcons({2, 1, 3});
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(ImageColour(list.Handle(), 0, 1), BLUE);
    EXPECT_EQ(ImageColour(list.Handle(), 1, 1), RED);
    EXPECT_EQ(ImageColour(list.Handle(), 2, 1), GREEN);

    ASSERT_EQ(list.Icons().Count(), 3);
    EXPECT_EQ(list.Icons().IndexOfKey(2), 0);
    EXPECT_EQ(list.Icons().IndexOfKey(1), 1);
    EXPECT_EQ(list.Icons().IndexOfKey(3), 2);

    EXPECT_EQ(list.AddIconFromResource(99), -1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Icons().Count(), 3);
    EXPECT_EQ(list.AddIconFromResource(1), 3);

    list.AddIcons({});
    EXPECT_EQ(list.Count(), 4);
}

TEST(TkyImageList, AddIconCopiesTheCallersIcon) {
    TkyImageList list(16, 16, 0);
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(3), IMAGE_ICON, 0, 0, 0));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(list.AddIcon(icon), 0);
    EXPECT_EQ(list.Icons().Count(), 0);
    list.Clear();
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST(TkyImageList, ClearDestroysTheLoadedIconsAndRestartsTheNumbering) {
    TkyImageList list(0, 0, 0);
    list.AddIcons({1, 2});
    std::vector<HICON> loaded;
    for (std::int32_t i = 0; i < list.Icons().Count(); ++i) {
        loaded.push_back(reinterpret_cast<HICON>(list.Icons().Get(i)));
    }
    ASSERT_EQ(loaded.size(), 2u);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Icons().Count(), 0);
    for (HICON icon : loaded) {
        ICONINFO info{};
        EXPECT_FALSE(GetIconInfo(icon, &info));
    }
    EXPECT_EQ(list.AddIconFromResource(3), 0);
    EXPECT_EQ(ImageColour(list.Handle(), 0, 1), GREEN);
}

TEST(TkyImageList, ANewImageSizeLoadsTheResourceIconsAgainInIt) {
    TkyImageList list(16, 16, 0);
    list.AddIcons({2, 1, 3});
    const HICON handle = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    list.AddIcon(handle);
    const auto firstIcon = reinterpret_cast<HICON>(list.Icons().Get(0));
    list.SetImageSize(24, 24);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list.Handle(), &width, &height));
    EXPECT_EQ(width, 24);
    EXPECT_EQ(height, 24);
    // The resource icons come back in their order; the icon added as a handle is gone.
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(ImageColour(list.Handle(), 0, 1), BLUE);
    EXPECT_EQ(ImageColour(list.Handle(), 1, 1), RED);
    EXPECT_EQ(ImageColour(list.Handle(), 2, 1), GREEN);
    EXPECT_EQ(list.Icons().IndexOfKey(2), 0);
    EXPECT_EQ(list.Icons().IndexOfKey(3), 2);
    // The icons of the old size were destroyed.
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(firstIcon, &info));
}
