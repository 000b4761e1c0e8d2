#pragma once

#include <windows.h>
#include <commctrl.h>

// Colour of image Index of an image list drawn onto white, taken in the middle column, Below
// pixels under the middle row.
COLORREF ImageColour(HIMAGELIST Image, int Index, int Below);
