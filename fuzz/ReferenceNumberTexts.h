#pragma once

#include <string>

// The earlier implementations of RealToText and TextToReal (UkyFunctions), for comparison only.
std::wstring ReferenceRealToText(int Digits, bool UseDot, long double Value);
long double ReferenceTextToReal(const std::wstring& Text, bool UseDot);
