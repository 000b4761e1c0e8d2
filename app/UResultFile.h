#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The forms the result table is saved in: comma-separated values, or the exported text with its
// cells separated by TAB.
enum class TResultFileKind { Csv, Text };

// Writes Bytes to FileName through a new file in the same folder, which then takes its place: an
// existing file is replaced so that it keeps its attributes, security and streams, and a
// symbolic link keeps leading to the file it names, which is the one replaced. A failure at any
// point (a folder where no new file can be made, a full disk, a file held open by another program
// or marked read-only, a path longer than the system's MAX_PATH) leaves the old file as it was and
// no new file behind. Raises, naming the file and the reason: "无法保存文件 <FileName>：<reason>".
// Should the replace fail halfway, with the old file already moved away, the new file takes its
// place (and the save succeeds) or else the old one is put back; where neither can be, both stay,
// and a line for each after the reason names the file that holds it ("新的内容保存在 <name>。",
// "原来的文件保存在 <name>。").
void SaveFileSafely(const std::wstring& FileName, const std::string& Bytes);

// What SaveFileSafely replaces an existing file with: ReplaceFileW (given a backup name, which may
// be null) or a stand-in that answers as it does, FALSE with the error code set on a failure.
using TReplaceFile =
    std::function<BOOL(const wchar_t* Replaced, const wchar_t* Replacement, const wchar_t* Backup)>;

// Puts Replace in the place of the system's ReplaceFileW, for tests that make the replace fail as
// the system may; an empty one puts the system's back.
void SetReplaceFile(TReplaceFile Replace);

// The system's description of an error code, without its line end.
std::wstring SystemErrorText(DWORD Code);

// The standard Save dialog for the result table, owned by Owner: it starts in the user's
// Documents folder with the name "存款计算结果" and the file types CSV and tab-separated text,
// and asks before replacing a file. False when the user cancels. Kind is the form of the file's
// extension (.csv, .txt), or else of the file type chosen.
bool AskResultFileName(HWND Owner, std::wstring& FileName, TResultFileKind& Kind);
