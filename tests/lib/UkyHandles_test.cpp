#include "UkyHandles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// What each owner releases is gone once it goes, and a selection puts the context's own object
// back, so that the selected one can be deleted.
TEST(TkyHandles, EachOwnerReleasesItsHandleAndASelectionIsUndone) {
    HBRUSH brushHandle = nullptr;
    HDC dcHandle = nullptr;
    {
        const TkyGdiObject<HBRUSH> brush(CreateSolidBrush(RGB(1, 2, 3)));
        const TkyMemoryDc dc(CreateCompatibleDC(nullptr));
        ASSERT_TRUE(brush && dc);
        brushHandle = brush.get();
        dcHandle = dc.get();
        const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BRUSH);
        {
            const TkySelection selection(dc.get(), brush.get());
            EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), brush.get());
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), original);
    }
    EXPECT_EQ(GetObjectType(brushHandle), 0u);
    EXPECT_EQ(GetObjectType(dcHandle), 0u);

    HMENU menuHandle = nullptr;
    {
        const TkyMenu menu(CreatePopupMenu());
        menuHandle = menu.get();
        EXPECT_TRUE(IsMenu(menuHandle));
    }
    EXPECT_FALSE(IsMenu(menuHandle));

    const TkyWindowDc screen(nullptr);
    EXPECT_EQ(GetObjectType(screen.Handle()), static_cast<DWORD>(OBJ_DC));
}

} // namespace
