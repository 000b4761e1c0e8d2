#include "UkyIniFile.h"

#include "UkyFunctions.h"
#include "UkyStrUtils.h"

#include <windows.h>

#include <utility>

TkyIniFile::TkyIniFile(std::wstring FileName) : FileName(std::move(FileName)) {}

std::wstring TkyIniFile::ReadString(const std::wstring& Key, const std::wstring& Default) const {
    wchar_t buffer[500];
    const DWORD count = GetPrivateProfileStringW(Section.c_str(), Key.c_str(), Default.c_str(),
                                                 buffer, 500, FileName.c_str());
    return std::wstring(buffer, count);
}

std::int32_t TkyIniFile::ReadInteger(const std::wstring& Key, std::int32_t Default) const {
    return static_cast<std::int32_t>(
        GetPrivateProfileIntW(Section.c_str(), Key.c_str(), Default, FileName.c_str()));
}

long double TkyIniFile::ReadFloat(const std::wstring& Key, double Default) const {
    return TextToRealDef(ReadString(Key, RealToText(-1, false, Default)), Default, false);
}

bool TkyIniFile::ReadBool(const std::wstring& Key, bool Default) const {
    return ReadInteger(Key, BoolToInt(Default)) != 0;
}

void TkyIniFile::WriteString(const std::wstring& Key, const std::wstring& Value) const {
    if (WritePrivateProfileStringW(Section.c_str(), Key.c_str(), Value.c_str(), FileName.c_str())) {
        return;
    }
    // A profile in the application-data folder finds its own folder missing on the first write.
    const std::size_t slash = FileName.find_last_of(L'\\');
    if (slash != std::wstring::npos &&
        CreateDirectoryW(FileName.substr(0, slash).c_str(), nullptr)) {
        WritePrivateProfileStringW(Section.c_str(), Key.c_str(), Value.c_str(), FileName.c_str());
    }
}

void TkyIniFile::WriteInteger(const std::wstring& Key, std::int32_t Value) const {
    WriteString(Key, IntToText(0, Value));
}

void TkyIniFile::WriteFloat(const std::wstring& Key, double Value) const {
    WriteString(Key, RealToText(-1, false, Value));
}

void TkyIniFile::WriteBool(const std::wstring& Key, bool Value) const {
    WriteInteger(Key, BoolToInt(Value));
}

std::wstring ProfilePathOf(const std::wstring& ExePath) {
    std::wstring path = TextReplace(ExePath, L".exe", L".ini");
    if (path != ExePath) {
        return path;
    }
    const std::wstring extension = TextCopy(path, static_cast<int>(path.size()) - 3, 4);
    if (extension.size() == 4 && TextSame(extension, L".exe", false)) {
        path.resize(path.size() - 4);
    }
    return path + L".ini";
}

std::wstring ChooseProfilePath(const std::wstring& BesidePath, const std::wstring& AppDataFolder,
                               const std::function<bool(const std::wstring&)>& CanWrite) {
    if (AppDataFolder.empty() || CanWrite(BesidePath)) {
        return BesidePath;
    }
    const std::size_t slash = BesidePath.find_last_of(L"\\/");
    const std::wstring name =
        slash == std::wstring::npos ? BesidePath : BesidePath.substr(slash + 1);
    std::wstring folder = AppDataFolder;
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder + L"Yieldora\\" + name;
}

bool CanWriteFile(const std::wstring& Path) {
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = CreateFileW(Path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
        file = CreateFileW(Path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

namespace {

std::wstring ApplicationDataFolder() {
    const DWORD size = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring folder(size, L'\0');
    folder.resize(GetEnvironmentVariableW(L"APPDATA", folder.data(), size));
    return folder;
}

} // namespace

std::wstring ProfilePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return ChooseProfilePath(ProfilePathOf(path), ApplicationDataFolder(), CanWriteFile);
}
