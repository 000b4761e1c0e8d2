#include "UkyFont.h"

#include <gtest/gtest.h>

#include <string>

namespace {

LOGFONTW FontOf(HFONT Font) {
    LOGFONTW font{};
    GetObjectW(Font, sizeof(font), &font);
    return font;
}

int ScreenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    int ppi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return ppi;
}

struct FontTest : ::testing::Test {
    TkyFont Font;
    int Changes = 0;

    void SetUp() override {
        Font.OnChange = [this](TkyFont& Sender) {
            EXPECT_EQ(&Sender, &Font);
            ++Changes;
        };
    }
};

TEST(FontDefaults, NewFontIsArialNinePointsBlackRegularAndBuilt) {
    ASSERT_EQ(ScreenPixelsPerInch(), 96);
    TkyFont font;
    EXPECT_EQ(font.Name(), L"Arial");
    EXPECT_EQ(font.Height(), -12);
    EXPECT_EQ(font.Color(), 0);
    EXPECT_FALSE(font.Bold() || font.Italic() || font.Underline() || font.StrikeOut());
    HFONT handle = font.GetHandle();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
    LOGFONTW built = FontOf(handle);
    EXPECT_EQ(built.lfHeight, -12);
    EXPECT_EQ(std::wstring(built.lfFaceName), L"Arial");
    EXPECT_EQ(built.lfWeight, FW_NORMAL);
    EXPECT_EQ(built.lfCharSet, DEFAULT_CHARSET);
}

TEST(FontDefaults, HeightFromPointsFollowsPixelsPerInch) {
    EXPECT_EQ(FontHeightFromPoints(9, 96), -12);
    EXPECT_EQ(FontHeightFromPoints(9, 120), -15);
    EXPECT_EQ(FontHeightFromPoints(12, 96), -16);
}

TEST_F(FontTest, EqualValuesNeitherRebuildNorNotify) {
    HFONT before = Font.GetHandle();
    Font.SetName(L"Arial");
    Font.SetHeight(Font.Height());
    Font.SetSize(9);
    Font.SetBold(false);
    Font.SetItalic(false);
    Font.SetUnderline(false);
    Font.SetStrikeOut(false);
    Font.SetColor(0);
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Font.GetHandle(), before);
}

TEST_F(FontTest, EachChangeRebuildsAndNotifiesOnce) {
    HFONT first = Font.GetHandle();
    Font.SetBold(true);
    EXPECT_EQ(Changes, 1);
    HFONT second = Font.GetHandle();
    EXPECT_NE(second, first);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(FontOf(second).lfWeight, FW_BOLD);

    Font.SetItalic(true);
    Font.SetUnderline(true);
    Font.SetStrikeOut(true);
    Font.SetHeight(-20);
    Font.SetName(L"Courier New");
    EXPECT_EQ(Changes, 6);
    LOGFONTW built = FontOf(Font.GetHandle());
    EXPECT_EQ(built.lfItalic, 1);
    EXPECT_EQ(built.lfUnderline, 1);
    EXPECT_EQ(built.lfStrikeOut, 1);
    EXPECT_EQ(built.lfHeight, -20);
    EXPECT_EQ(std::wstring(built.lfFaceName), L"Courier New");
}

TEST_F(FontTest, AssignFromEqualFontStillRebuildsAndNotifies) {
    TkyFont other;
    HFONT before = Font.GetHandle();
    Font.Assign(other);
    EXPECT_EQ(Changes, 1);
    EXPECT_NE(Font.GetHandle(), before);

    other.SetBold(true);
    other.SetColor(0x0000FF);
    other.SetName(L"Times New Roman");
    Font.Assign(other);
    EXPECT_EQ(Changes, 2);
    EXPECT_TRUE(Font.Bold());
    EXPECT_EQ(Font.Color(), 0x0000FF);
    EXPECT_EQ(Font.Name(), L"Times New Roman");
}

TEST_F(FontTest, ColorChangeNotifiesWithoutNewHandle) {
    HFONT before = Font.GetHandle();
    Font.SetColor(0x00FF00);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Font.GetHandle(), before);
    EXPECT_EQ(Font.Color(), 0x00FF00);
}

TEST_F(FontTest, EmptyNameIsBuiltAsArial) {
    Font.SetName(L"");
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Font.Name(), L"Arial");
    EXPECT_EQ(std::wstring(FontOf(Font.GetHandle()).lfFaceName), L"Arial");
}

TEST_F(FontTest, LongNameIsKeptButBuiltWithItsFirst31Characters) {
    const std::wstring name = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    ASSERT_EQ(name.size(), 40u);
    Font.SetName(name);
    EXPECT_EQ(Font.Name(), name);
    EXPECT_EQ(std::wstring(Font.BuildLogFont().lfFaceName), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
    EXPECT_EQ(std::wstring(FontOf(Font.GetHandle()).lfFaceName),
              L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
}

TEST(FontHandles, DestroyedFontReleasesItsHandle) {
    HFONT handle = nullptr;
    {
        TkyFont font;
        handle = font.GetHandle();
        ASSERT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST(FontHandles, DeletedHandleIsBuiltAgainOnDemand) {
    TkyFont font;
    HFONT first = font.GetHandle();
    font.DeleteHandle();
    EXPECT_EQ(GetObjectType(first), 0u);
    HFONT second = font.GetHandle();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_FONT));
}

} // namespace
