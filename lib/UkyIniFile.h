#pragma once

#include "UkyProfileApi.h"

#include <cstdint>
#include <functional>
#include <string>

// A profile file of named sections holding key=value lines. Every read and write is a complete
// access to the file through the platform's profile functions; nothing is kept open or cached.
class TkyIniFile {
public:
    explicit TkyIniFile(std::wstring FileName);

    // Full path of the file; fixed at construction.
    const std::wstring FileName;
    // The section every read and write addresses.
    std::wstring Section;

    // The stored value, at most 499 characters, or Default when the key or the file is absent.
    std::wstring ReadString(const std::wstring& Key, const std::wstring& Default) const;
    // The decimal number at the start of the stored value, or Default when the key is absent.
    std::int32_t ReadInteger(const std::wstring& Key, std::int32_t Default) const;
    // The stored number in the locale's decimal form, or Default when it is absent or malformed.
    long double ReadFloat(const std::wstring& Key, double Default) const;
    bool ReadBool(const std::wstring& Key, bool Default) const;

    // Writes create the file, section and key as needed, and the file's folder when it is
    // missing. Each answers whether the value was stored; a caller may ignore a failure.
    bool WriteString(const std::wstring& Key, const std::wstring& Value) const;
    bool WriteInteger(const std::wstring& Key, std::int32_t Value) const;
    bool WriteFloat(const std::wstring& Key, double Value) const;
    bool WriteBool(const std::wstring& Key, bool Value) const;
};

// The profile path of an executable: every ".exe" replaced by ".ini". When that changes nothing,
// a final extension ".exe" in any letter case becomes ".ini", and any other path gets ".ini"
// appended, so the result is never the executable itself.
std::wstring ProfilePathOf(const std::wstring& ExePath);

// Where the profile goes: BesidePath (the path rule's result) when CanWrite says the program can
// write that file, otherwise the file of the same name in the folder FolderName of AppDataFolder
// (the user's application-data folder). Without an AppDataFolder or a FolderName it stays
// BesidePath.
std::wstring ChooseProfilePath(const std::wstring& BesidePath, const std::wstring& AppDataFolder,
                               const std::wstring& FolderName,
                               const std::function<bool(const std::wstring&)>& CanWrite);

// An installed copy: the executable ExePath lies in InstallFolder, the folder its installer
// recorded (letter case and a final backslash aside). False without an InstallFolder.
bool IsInstalledCopy(const std::wstring& ExePath, const std::wstring& InstallFolder);

// Names the program's own folder in the user's application-data folder, where its profile goes
// when it cannot write beside the executable or is an installed copy; the same name is its
// installer's registry key (InstalledFolder). The program's entry calls it before the first
// ProfilePath; without it the profile always stays beside the executable.
void SetProfileFolder(const std::wstring& FolderName);

// The profile path of the running executable. An installed copy keeps it in the folder that
// SetProfileFolder named under %APPDATA%, so that upgrades and uninstalls leave it alone; any other
// copy beside itself when it can write there, otherwise in that same folder. Chosen once, on the
// first call, for the whole run.
std::wstring ProfilePath();
