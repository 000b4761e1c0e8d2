#include "ImageColour.h"

COLORREF ImageColour(HIMAGELIST Image, int Index, int Below) {
    int width = 0;
    int height = 0;
    ImageList_GetIconSize(Image, &width, &height);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(Image, Index, dc, 0, 0, ILD_NORMAL);
    const COLORREF colour = GetPixel(dc, width / 2, height / 2 + Below);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return colour;
}
