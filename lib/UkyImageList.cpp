#include "UkyImageList.h"

#include <vector>

namespace {

constexpr UINT IMAGE_FLAGS = ILC_COLOR32 | ILC_MASK;
constexpr int GROWTH = 200;

} // namespace

TkyImageList::TkyImageList(int Width, int Height, int InitialCount) : FIcons(100) {
    if (Width <= 0) {
        Width = GetSystemMetrics(SM_CXSMICON);
    }
    if (Height <= 0) {
        Height = GetSystemMetrics(SM_CXSMICON);
    }
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
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(Handle(), &width, &height);
    const auto icon = static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(Number), IMAGE_ICON, width, height, 0));
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

void TkyImageList::SetImageSize(int Width, int Height) {
    std::vector<int> numbers;
    TListItem* item = nullptr;
    for (bool on = FIcons.Navigate(NAV_FIRST, item); on; on = FIcons.Navigate(NAV_NEXT, item)) {
        numbers.push_back(item->Key);
    }
    Clear();
    ImageList_SetIconSize(Handle(), Width, Height);
    for (const int number : numbers) {
        AddIconFromResource(number);
    }
}
