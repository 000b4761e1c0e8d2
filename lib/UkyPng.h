#pragma once

#include <windows.h>

#include <string>

// A picture of Width x Height pixels, 24 bits per pixel in the order blue, green, red, rows
// top-down and Stride bytes apart (a top-down DIB's bits), encoded as a PNG file's bytes by the
// Windows Imaging Component. The answer is the failing step's result when it cannot be; Bytes is
// then left as it was.
HRESULT EncodePng(const BYTE* Bits, UINT Stride, UINT Width, UINT Height, std::string& Bytes);
