#pragma once

#include "UkyClasses.h"
#include "UkyListSuper.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <type_traits>

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
    // Appends the icon resource Number in the list's image size (the resource's image of that
    // size when it has one); the new image's index, or -1 when there is no such icon.
    int AddIconFromResource(int Number);
    // Gives the list another image size: the icons loaded from resources are loaded again in it,
    // in their order; images added as handles are dropped.
    void SetImageSize(int Width, int Height);
    void AddIcons(std::initializer_list<int> Numbers);

private:
    struct TListDeleter {
        void operator()(HIMAGELIST List) const noexcept { ImageList_Destroy(List); }
    };

    std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, TListDeleter> FHandle;
    TkyIntList FIcons;
};
