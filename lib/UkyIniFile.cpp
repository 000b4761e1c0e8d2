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
    WritePrivateProfileStringW(Section.c_str(), Key.c_str(), Value.c_str(), FileName.c_str());
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
    return ProfilePathOf(path);
}
