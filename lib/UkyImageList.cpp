#include "UkyImageList.h"

#include "UkyWinControl.h"

namespace {

// The common controls are loaded before the program runs (the library's one load).
[[maybe_unused]] const HMODULE CommonControls = CommonControlsLibrary();

constexpr UINT IMAGE_FLAGS = ILC_COLOR32 | ILC_MASK;
constexpr int GROWTH = 200;

} // namespace

int ImageList_AddIcon(HIMAGELIST List, HICON Icon) {
    return ImageList_ReplaceIcon(List, -1, Icon);
}

bool ImageList_RemoveAll(HIMAGELIST List) {
    return ImageList_Remove(List, -1) != FALSE;
}

int ListView_GetItemCount(HWND Window) {
    return static_cast<int>(SendMessageW(Window, LVM_GETITEMCOUNT, 0, 0));
}

int ListView_HitTest(HWND Window, LVHITTESTINFO& Info) {
    return static_cast<int>(SendMessageW(Window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info)));
}

bool ListView_SetItemState(HWND Window, int Index, UINT State, UINT Mask) {
    LVITEMW item{};
    item.state = State;
    item.stateMask = Mask;
    return SendMessageW(Window, LVM_SETITEMSTATE, static_cast<WPARAM>(Index),
                        reinterpret_cast<LPARAM>(&item)) != 0;
}

UINT ListView_GetItemState(HWND Window, int Index, UINT Mask) {
    return static_cast<UINT>(
        SendMessageW(Window, LVM_GETITEMSTATE, static_cast<WPARAM>(Index), Mask));
}

int ListView_GetCheckState(HWND Window, int Index) {
    return static_cast<int>(ListView_GetItemState(Window, Index, LVIS_STATEIMAGEMASK) >> 12) - 1;
}

void ListView_SetCheckState(HWND Window, int Index, bool Checked) {
    ListView_SetItemState(Window, Index, INDEXTOSTATEIMAGEMASK(Checked ? 2u : 1u),
                          LVIS_STATEIMAGEMASK);
}

int ListView_GetSelectedCount(HWND Window) {
    return static_cast<int>(SendMessageW(Window, LVM_GETSELECTEDCOUNT, 0, 0));
}

DWORD ListView_SetExtendedListViewStyle(HWND Window, DWORD Style) {
    return static_cast<DWORD>(SendMessageW(Window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, Style));
}

DWORD ListView_GetExtendedListViewStyle(HWND Window) {
    return static_cast<DWORD>(SendMessageW(Window, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

TkyImageList::TkyImageList(int Width, int Height, int InitialCount) : FIcons(100) {
    if (Width <= 0) {
        Width = GetSystemMetrics(SM_CXSMICON);
    }
    if (Height <= 0) {
        Height = GetSystemMetrics(SM_CXSMICON);
    }
    InitCommonControls();
    if (InitialCount > 0) {
        FHandle.reset(ImageList_Create(Width, Height, IMAGE_FLAGS, InitialCount, 0));
    } else {
        FHandle.reset(ImageList_Create(Width, Height, IMAGE_FLAGS, 0, GROWTH));
    }
}

TkyImageList::~TkyImageList() {
    Clear();
}

void TkyImageList::Clear() {
    ImageList_RemoveAll(Handle());
    for (std::int32_t i = 0; i < FIcons.Count(); ++i) {
        if (const auto icon = reinterpret_cast<HICON>(FIcons.Get(i)); icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    FIcons.Clear();
}

int TkyImageList::Count() const {
    return ImageList_GetImageCount(Handle());
}

int TkyImageList::AddIcon(HICON Icon) {
    ImageList_AddIcon(Handle(), Icon);
    return Count() - 1;
}

int TkyImageList::AddIconFromResource(int Number) {
    const auto icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(Number), IMAGE_ICON, 0, 0, 0));
    if (icon == nullptr) {
        return -1;
    }
    const int index = AddIcon(icon);
    FIcons.AddWithKey(Number, reinterpret_cast<std::intptr_t>(icon));
    return index;
}

void TkyImageList::AddIcons(std::initializer_list<int> Numbers) {
    for (const int number : Numbers) {
        AddIconFromResource(number);
    }
}
