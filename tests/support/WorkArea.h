#pragma once

#include <windows.h>

// The work area of the screen's monitor. A run that asked for a work area of its own
// (YIELDORA_WORKAREA, "left top width height", set by tools/workarea-session.sh) records a test
// failure when the monitor does not have it, so that a placement test never passes on a work
// area it did not mean to check.
RECT CheckedWorkArea();
