#include "UResultFile.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkySaveDialog.h"
#include "UkyStrUtils.h"

#include <commdlg.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

struct THandleCloser {
    void operator()(HANDLE Handle) const noexcept { CloseHandle(Handle); }
};
using TFileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, THandleCloser>;

struct TTaskMemFreer {
    void operator()(wchar_t* Memory) const noexcept { CoTaskMemFree(Memory); }
};

[[noreturn]] void FailSaving(const std::wstring& FileName, const std::wstring& Reason) {
    throw EkyError(L"无法保存文件 " + FileName + L"：" + Reason);
}

[[noreturn]] void FailSaving(const std::wstring& FileName, DWORD Code) {
    FailSaving(FileName, SystemErrorText(Code));
}

// The program does not declare itself aware of long paths: every name it writes must fit in
// MAX_PATH characters with its terminating zero.
void CheckLength(const std::wstring& FileName, const std::wstring& Path) {
    if (Path.size() >= MAX_PATH) {
        FailSaving(FileName, L"路径太长（连同临时文件名最多 " + IntText(MAX_PATH - 1) +
                                 L" 个字符），请选择较短的文件夹或文件名。");
    }
}

std::wstring FullPath(const std::wstring& FileName) {
    const DWORD size = GetFullPathNameW(FileName.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        FailSaving(FileName, GetLastError());
    }
    std::wstring path(size, L'\0');
    path.resize(GetFullPathNameW(FileName.c_str(), size, path.data(), nullptr));
    return path;
}

// The file that FullName names in the end, through symbolic links; empty when there is none.
std::wstring ExistingFile(const std::wstring& FileName, const std::wstring& FullName) {
    // Opened as the replace will open it, so that a file held open by another program is found
    // before anything is made.
    const HANDLE opened = CreateFileW(FullName.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return {};
        }
        FailSaving(FileName, error);
    }
    const TFileHandle file(opened);
    std::vector<wchar_t> name(32768);
    const DWORD length =
        GetFinalPathNameByHandleW(file.get(), name.data(), static_cast<DWORD>(name.size()), 0);
    if (length == 0 || length >= name.size()) {
        return FullName;
    }
    std::wstring path(name.data(), length);
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        return L"\\" + path.substr(7);
    }
    return path.starts_with(L"\\\\?\\") ? path.substr(4) : path;
}

// The Attempt-th name of those tried for a temporary file in the folder of Target (a full path),
// counted from Start.
std::wstring TempNameBeside(const std::wstring& Target, DWORD Start, DWORD Attempt) {
    return Target.substr(0, Target.find_last_of(L'\\') + 1) + L"~yd" +
           IntText((Start + Attempt) % 100000) + L".tmp";
}

// A new, empty file in the folder of Target (a full path); its name goes to TempName.
TFileHandle CreateTempBeside(const std::wstring& FileName, const std::wstring& Target,
                             std::wstring& TempName) {
    const DWORD start = GetTickCount() % 100000;
    for (DWORD attempt = 0;; ++attempt) {
        TempName = TempNameBeside(Target, start, attempt);
        CheckLength(FileName, TempName);
        const HANDLE file = CreateFileW(TempName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return TFileHandle(file);
        }
        if (GetLastError() != ERROR_FILE_EXISTS || attempt == 99) {
            FailSaving(FileName, GetLastError());
        }
    }
}

// A name beside Target (a full path) that no file has, for the replace to move the old file to;
// empty when none is found. It has the form of the temporary file's name, so it fits in MAX_PATH
// as that one does, but is sought half the range away from it: another save in the same folder,
// which takes the next free temporary name, does not take this one before the replace does.
std::wstring FreeNameBeside(const std::wstring& Target) {
    const DWORD start = GetTickCount() % 100000 + 50000;
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = TempNameBeside(Target, start, attempt);
        if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (GetLastError() == ERROR_FILE_NOT_FOUND) {
                return name;
            }
            break;
        }
    }
    return {};
}

bool Exists(const std::wstring& Path) {
    return GetFileAttributesW(Path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Which file Path leads to and the state of its data; none when it cannot be told.
std::optional<BY_HANDLE_FILE_INFORMATION> FileState(const std::wstring& Path) {
    // Without access to the data, so that another program's open does not stand in the way.
    const HANDLE opened = CreateFileW(Path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const TFileHandle file(opened);
    BY_HANDLE_FILE_INFORMATION state{};
    if (!GetFileInformationByHandle(file.get(), &state)) {
        return std::nullopt;
    }
    return state;
}

// True when both are known and are the same file, its size and last write unchanged.
bool SameData(const std::optional<BY_HANDLE_FILE_INFORMATION>& Before,
              const std::optional<BY_HANDLE_FILE_INFORMATION>& After) {
    return Before && After && Before->dwVolumeSerialNumber == After->dwVolumeSerialNumber &&
           Before->nFileIndexHigh == After->nFileIndexHigh &&
           Before->nFileIndexLow == After->nFileIndexLow &&
           Before->nFileSizeHigh == After->nFileSizeHigh &&
           Before->nFileSizeLow == After->nFileSizeLow &&
           CompareFileTime(&Before->ftLastWriteTime, &After->ftLastWriteTime) == 0;
}

BOOL SystemReplaceFile(const wchar_t* Replaced, const wchar_t* Replacement, const wchar_t* Backup) {
    return ReplaceFileW(Replaced, Replacement, Backup,
                        REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                        nullptr);
}

TReplaceFile& ReplaceFileFunction() {
    static TReplaceFile function = SystemReplaceFile;
    return function;
}

// Puts the written TempName in the place of the existing file Target, which keeps what it carries
// (attributes, security, streams, a link that leads to it). The old file is moved to a backup
// name on the way, so that a replace failing halfway leaves it where it can be put back.
void ReplaceExisting(const std::wstring& FileName, const std::wstring& Target,
                     const std::wstring& TempName) {
    const std::wstring backupName = FreeNameBeside(Target);
    const std::optional<BY_HANDLE_FILE_INFORMATION> before = FileState(Target);
    DWORD error = ERROR_ACCESS_DENIED;
    const DWORD attributes = GetFileAttributesW(Target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) {
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            // Not every system's replace keeps them.
            SetFileAttributesW(TempName.c_str(),
                               attributes &
                                   (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));
        }
        if (ReplaceFileFunction()(Target.c_str(), TempName.c_str(),
                                  backupName.empty() ? nullptr : backupName.c_str())) {
            DeleteFileW(backupName.c_str());
            return;
        }
        error = GetLastError();
    }
    // What the failed replace left is found on the disk, not told by the error code: the
    // system's documented outcomes differ with the code and with the backup name.
    if (!Exists(Target)) {
        // The old file was taken away and the new one still waits: it takes the old one's place.
        if (MoveFileExW(TempName.c_str(), Target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            DeleteFileW(backupName.c_str());
            return;
        }
        if (Exists(backupName)) {
            MoveFileExW(backupName.c_str(), Target.c_str(), MOVEFILE_WRITE_THROUGH);
        }
    }
    std::wstring kept;
    if (SameData(before, FileState(Target))) {
        DeleteFileW(TempName.c_str());
        DeleteFileW(backupName.c_str());
    } else {
        if (Exists(TempName)) {
            kept += L"\n新的内容保存在 " + TempName + L"。";
        }
        if (Exists(backupName)) {
            kept += L"\n原来的文件保存在 " + backupName + L"。";
        }
    }
    FailSaving(FileName, SystemErrorText(error) + kept);
}

// Writes all of Bytes; the error code of the failure, or 0.
DWORD WriteAll(HANDLE File, const std::string& Bytes) {
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(Bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(File, Bytes.data() + done, chunk, &written, nullptr)) {
            return GetLastError();
        }
        if (written == 0) {
            return ERROR_WRITE_FAULT;
        }
        done += written;
    }
    return FlushFileBuffers(File) ? 0 : GetLastError();
}

std::wstring DocumentsFolder() {
    wchar_t* path = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path))) {
        CoTaskMemFree(path);
        return {};
    }
    const std::unique_ptr<wchar_t, TTaskMemFreer> owner(path);
    return path;
}

bool EndsWithNoCase(const std::wstring& Text, const std::wstring& Ending) {
    return Text.size() >= Ending.size() &&
           CompareStringOrdinal(Text.c_str() + Text.size() - Ending.size(),
                                static_cast<int>(Ending.size()), Ending.c_str(),
                                static_cast<int>(Ending.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

void SetReplaceFile(TReplaceFile Replace) {
    ReplaceFileFunction() = Replace ? std::move(Replace) : TReplaceFile(SystemReplaceFile);
}

void SaveFileSafely(const std::wstring& FileName, const std::string& Bytes) {
    const std::wstring fullName = FullPath(FileName);
    CheckLength(FileName, fullName);
    const std::wstring existing = ExistingFile(FileName, fullName);
    const std::wstring& target = existing.empty() ? fullName : existing;
    CheckLength(FileName, target);
    std::wstring tempName;
    TFileHandle file = CreateTempBeside(FileName, target, tempName);
    DWORD error = WriteAll(file.get(), Bytes);
    file.reset();
    if (error == 0) {
        if (!existing.empty()) {
            ReplaceExisting(FileName, target, tempName);
            return;
        }
        if (!MoveFileExW(tempName.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            error = GetLastError();
        }
    }
    if (error != 0) {
        DeleteFileW(tempName.c_str());
        FailSaving(FileName, error);
    }
}

std::wstring SystemErrorText(DWORD Code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, Code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    text = TextTrim(text);
    return text.empty() ? L"错误代码 " + IntText(Code) : text;
}

bool AskResultFileName(HWND Owner, std::wstring& FileName, TResultFileKind& Kind) {
    using namespace std::string_literals;
    DWORD error = 0;
    const std::optional<TkySaveDialogAnswer> answer =
        AskSaveFileName(Owner,
                        {L"存款计算结果.csv", L"CSV (逗号分隔)\0*.csv\0文本 (制表符分隔)\0*.txt\0"s,
                         L"csv", DocumentsFolder(), OFN_EXPLORER | OFN_HIDEREADONLY},
                        error);
    if (!answer) {
        return false;
    }
    FileName = answer->FileName;
    if (EndsWithNoCase(FileName, L".csv")) {
        Kind = TResultFileKind::Csv;
    } else if (EndsWithNoCase(FileName, L".txt")) {
        Kind = TResultFileKind::Text;
    } else {
        Kind = answer->FilterIndex == 2 ? TResultFileKind::Text : TResultFileKind::Csv;
    }
    return true;
}
