#pragma once

#include "UkyClasses.h"
#include "UkyListSuper.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <type_traits>

// The common-control helpers below are typed functions here, in place of the macros of the
// platform headers.
#undef ImageList_AddIcon
#undef ImageList_RemoveAll
#undef ListView_GetItemCount
#undef ListView_HitTest
#undef ListView_SetItemState
#undef ListView_GetItemState
#undef ListView_GetCheckState
#undef ListView_SetCheckState
#undef ListView_GetSelectedCount
#undef ListView_SetExtendedListViewStyle
#undef ListView_GetExtendedListViewStyle

// Appends the icon's image; the index of the new image, -1 when refused.
int ImageList_AddIcon(HIMAGELIST List, HICON Icon);
bool ImageList_RemoveAll(HIMAGELIST List);
int ListView_GetItemCount(HWND Window);
// The item at Info.pt (client coordinates), -1 for none.
int ListView_HitTest(HWND Window, LVHITTESTINFO& Info);
bool ListView_SetItemState(HWND Window, int Index, UINT State, UINT Mask);
UINT ListView_GetItemState(HWND Window, int Index, UINT Mask);
// 1 checked, 0 unchecked, -1 without a state image.
int ListView_GetCheckState(HWND Window, int Index);
void ListView_SetCheckState(HWND Window, int Index, bool Checked);
int ListView_GetSelectedCount(HWND Window);
// Replaces the whole extended style; answers the previous one.
DWORD ListView_SetExtendedListViewStyle(HWND Window, DWORD Style);
DWORD ListView_GetExtendedListViewStyle(HWND Window);

// A platform image list filled with icons from the program's icon resources.
class TkyImageList : public TObject {
public:
    // A width or height of 0 or less is the small-icon width. With an initial count above 0 the
    // list has room for that many images and no growth step of its own; otherwise it grows by
    // 200 images at a time.
    TkyImageList(int Width, int Height, int InitialCount);
    ~TkyImageList() override;

    HIMAGELIST Handle() const { return FHandle.get(); }
    // The icons loaded from resources: Key the resource number, Data the icon handle.
    const TkyIntList& Icons() const { return FIcons; }

    // Removes every image and destroys the icons loaded from resources.
    void Clear();
    int Count() const;
    // Appends a copy of the icon (the handle stays the caller's); answers Count - 1.
    int AddIcon(HICON Icon);
    // Appends the icon resource Number; the new image's index, or -1 when there is no such icon.
    int AddIconFromResource(int Number);
    void AddIcons(std::initializer_list<int> Numbers);

private:
    struct TListDeleter {
        void operator()(HIMAGELIST List) const noexcept { ImageList_Destroy(List); }
    };

    std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, TListDeleter> FHandle;
    TkyIntList FIcons;
};
