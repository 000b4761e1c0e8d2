#pragma once

#include <cstdint>
#include <string>

// The platform's profile-file functions, the only ones the profile file uses: kernel32's on
// Windows, this unit's own elsewhere. Ours keep the same contract: sections and keys are found by
// name regardless of the case of ASCII letters (the first section of a name counts), a value reads
// back as written less its surrounding blanks, and a missing file, section or key gives the
// default. Lines before the first section header belong to the section of the empty name; lines
// starting with ";" and lines without "=" are kept but hold no key. Files are UTF-8; a file that
// starts with a byte-order mark (UTF-8, or UTF-16 little-endian) keeps it.

// The value of Key in Section of the file, or Default when the file, the section or the key is
// absent; at most Size - 1 characters.
std::wstring ProfileReadString(const std::wstring& Section, const std::wstring& Key,
                               const std::wstring& Default, std::uint32_t Size,
                               const std::wstring& FileName);

// The decimal number (an optional sign and digits, taken modulo 2^32) at the start of the value
// of Key; 0 when the value starts with none, Default when the key or its value is absent.
std::uint32_t ProfileReadInt(const std::wstring& Section, const std::wstring& Key,
                             std::int32_t Default, const std::wstring& FileName);

// Stores Value under Key in Section, creating the file, the section and the key as needed and
// replacing an existing value in place. False when the file could not be written; the file is
// then left as it was. Ours write a new file beside the old one and move it over the old one
// only once it is complete, and refuse a name or value that would break the file's lines (a line
// end anywhere, "]" in the section, "=" in the key, a key that is empty or starts with "[" or
// ";").
bool ProfileWriteString(const std::wstring& Section, const std::wstring& Key,
                        const std::wstring& Value, const std::wstring& FileName);

// The full path of the running executable.
std::wstring ModuleFileName();

// Makes the folder (its parent must exist); false when it could not. A folder that is already
// there leaves the thread's last error as it was, so that it still says why a write failed.
bool CreateFolder(const std::wstring& Path);

// The program can write the file Path: it exists and opens for writing, or it does not exist and
// its folder accepts a new file (tried with a file that is deleted at once). A file that another
// program holds open (a sharing violation) counts as writable: only a refusal (access denied,
// read-only, no such folder) says no. Ours, which write
// every profile anew beside the old one, also need a file in the folder when Path exists.
bool CanWriteFile(const std::wstring& Path);

// The user's application-data folder (%APPDATA%); empty where there is none. Ours have none, so
// their profiles stay beside the executable.
std::wstring ApplicationDataFolder();

// The folder the program's installer put it in: the value "InstallFolder" of the user's registry
// key Software\ProgramName, which the installer writes and an uninstall removes; empty when there
// is none. Ours have no installer, so theirs is always empty.
std::wstring InstalledFolder(const std::wstring& ProgramName);
