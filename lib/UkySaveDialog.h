#pragma once

#include <windows.h>

#include <optional>
#include <string>

// What the standard Save dialog asks for one kind of file.
struct TkySaveDialogOptions {
    // The name it proposes.
    std::wstring FileName;
    // Pairs of a description and a pattern, each ended by L'\0' (the dialog's filter).
    std::wstring Filter;
    // Added to a name typed without one.
    std::wstring DefaultExtension;
    // Where it starts; the system's choice when empty.
    std::wstring Folder;
    // OFN_... flags besides OFN_OVERWRITEPROMPT, OFN_PATHMUSTEXIST and OFN_NOCHANGEDIR.
    DWORD Flags = 0;
};

// The file a user chose.
struct TkySaveDialogAnswer {
    std::wstring FileName;
    // The filter chosen, from 1.
    DWORD FilterIndex = 1;
};

// Shows the standard Save dialog, owned by Owner, with room for the longest path the system
// knows. No answer when the user cancelled or the dialog could not open; Error then holds
// CommDlgExtendedError's code (0 for a cancel).
std::optional<TkySaveDialogAnswer> AskSaveFileName(HWND Owner, const TkySaveDialogOptions& Options,
                                                   DWORD& Error);
