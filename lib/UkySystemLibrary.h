#pragma once

#include <windows.h>

// A library of the system, loaded from the system's folder only (for comctl32 the program's
// manifest still chooses the side-by-side version 6 there); null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* Name);

// The functions of the common controls and dialogs, shell32, ole32, oleacc, oleaut32 and the print
// spooler that the
// library and the program call are not imported when the program starts: the system's loader would
// look for those libraries (and what they load in turn) in the program's folder first, before any
// of our code can confine it. Each is bound on its first call, through LoadSystemLibrary;
// UkySystemLibrary.cpp lists them, and a call of one not listed fails the link.
