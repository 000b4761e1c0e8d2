#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What a screen reader learns of one accessible object through Microsoft Active Accessibility.
struct TAccessibleNode {
    std::wstring Name;
    std::wstring Value;
    std::wstring Description;
    long Role = 0;
    long State = 0;
    // Its children (objects and simple elements alike), in the order the object gives them.
    std::vector<TAccessibleNode> Children;
};

// Reads a window's client object from this process, as a screen reader in a process of its own
// does (AccessibleObjectFromWindow, AccessibleChildren), with its children down to Depth levels.
// The window's program answers through COM; the caller's thread needs no COM of its own. Raises
// std::runtime_error when the window has no accessible object.
TAccessibleNode ReadAccessible(HWND Window, int Depth = 1);
