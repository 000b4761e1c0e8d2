#include "UResultFile.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyStrUtils.h"

#include <commdlg.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

namespace {

struct THandleCloser {
    void operator()(HANDLE Handle) const noexcept { CloseHandle(Handle); }
};
using TFileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, THandleCloser>;

struct TTaskMemFreer {
    void operator()(wchar_t* Memory) const noexcept { CoTaskMemFree(Memory); }
};

[[noreturn]] void FailSaving(const std::wstring& FileName, DWORD Code) {
    throw EkyError(L"无法保存文件 " + FileName + L"：" + SystemErrorText(Code));
}

// A new, empty file beside FileName, named after it; its name goes to TempName.
TFileHandle CreateTempBeside(const std::wstring& FileName, std::wstring& TempName) {
    const std::wstring stem = FileName + L"." + IntText(GetCurrentProcessId()) + L"-";
    for (int attempt = 0;; ++attempt) {
        TempName = stem + IntText(attempt) + L".tmp";
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

void SaveFileSafely(const std::wstring& FileName, const std::string& Bytes) {
    std::wstring tempName;
    TFileHandle file = CreateTempBeside(FileName, tempName);
    DWORD error = WriteAll(file.get(), Bytes);
    file.reset();
    if (error == 0 && !MoveFileExW(tempName.c_str(), FileName.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
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
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring initial = L"存款计算结果.csv";
    std::copy(initial.begin(), initial.end(), name.begin());
    const std::wstring folder = DocumentsFolder();
    static const wchar_t filter[] = L"CSV (逗号分隔)\0*.csv\0文本 (制表符分隔)\0*.txt\0";

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrDefExt = L"csv";
    dialog.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) {
        return false;
    }
    FileName = name.data();
    if (EndsWithNoCase(FileName, L".csv")) {
        Kind = TResultFileKind::Csv;
    } else if (EndsWithNoCase(FileName, L".txt")) {
        Kind = TResultFileKind::Text;
    } else {
        Kind = dialog.nFilterIndex == 2 ? TResultFileKind::Text : TResultFileKind::Csv;
    }
    return true;
}
