#include "UkyIniFile.h"

#include "UkyFunctions.h"
#include "UkyProfileApi.h"
#include "UkyStrUtils.h"

#include <utility>

TkyIniFile::TkyIniFile(std::wstring FileName) : FileName(std::move(FileName)) {}

std::wstring TkyIniFile::ReadString(const std::wstring& Key, const std::wstring& Default) const {
    return ProfileReadString(Section, Key, Default, 500, FileName);
}

std::int32_t TkyIniFile::ReadInteger(const std::wstring& Key, std::int32_t Default) const {
    return static_cast<std::int32_t>(ProfileReadInt(Section, Key, Default, FileName));
}

long double TkyIniFile::ReadFloat(const std::wstring& Key, double Default) const {
    return TextToRealDef(ReadString(Key, RealToText(-1, false, Default)), Default, false);
}

bool TkyIniFile::ReadBool(const std::wstring& Key, bool Default) const {
    return ReadInteger(Key, BoolToInt(Default)) != 0;
}

bool TkyIniFile::WriteString(const std::wstring& Key, const std::wstring& Value) const {
    if (ProfileWriteString(Section, Key, Value, FileName)) {
        return true;
    }
    // A profile in the application-data folder finds its own folder missing on the first write.
    const std::size_t slash = FileName.find_last_of(L'\\');
    return slash != std::wstring::npos && CreateFolder(FileName.substr(0, slash)) &&
           ProfileWriteString(Section, Key, Value, FileName);
}

bool TkyIniFile::WriteInteger(const std::wstring& Key, std::int32_t Value) const {
    return WriteString(Key, IntToText(0, Value));
}

bool TkyIniFile::WriteFloat(const std::wstring& Key, double Value) const {
    return WriteString(Key, RealToText(-1, false, Value));
}

bool TkyIniFile::WriteBool(const std::wstring& Key, bool Value) const {
    return WriteInteger(Key, BoolToInt(Value));
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
                               const std::wstring& FolderName,
                               const std::function<bool(const std::wstring&)>& CanWrite) {
    if (AppDataFolder.empty() || FolderName.empty() || CanWrite(BesidePath)) {
        return BesidePath;
    }
    const std::size_t slash = BesidePath.find_last_of(L"\\/");
    const std::wstring name =
        slash == std::wstring::npos ? BesidePath : BesidePath.substr(slash + 1);
    std::wstring folder = AppDataFolder;
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder + FolderName + L"\\" + name;
}

bool IsInstalledCopy(const std::wstring& ExePath, const std::wstring& InstallFolder) {
    const std::size_t slash = ExePath.find_last_of(L"\\/");
    std::wstring folder = InstallFolder;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return !InstallFolder.empty() && slash != std::wstring::npos &&
           TextSame(ExePath.substr(0, slash), folder, false);
}

namespace {

std::wstring& ProfileFolder() {
    static std::wstring folder;
    return folder;
}

} // namespace

void SetProfileFolder(const std::wstring& FolderName) {
    ProfileFolder() = FolderName;
}

// Chosen on the first call: every later read and write of the run goes to the same file, whatever
// happens to the file meanwhile.
std::wstring ProfilePath() {
    static const std::wstring path = [] {
        const std::wstring exe = ModuleFileName();
        const bool installed = IsInstalledCopy(exe, InstalledFolder(ProfileFolder()));
        const auto neverBeside = [](const std::wstring&) { return false; };
        return ChooseProfilePath(ProfilePathOf(exe), ApplicationDataFolder(), ProfileFolder(),
                                 installed ? std::function<bool(const std::wstring&)>(neverBeside)
                                           : CanWriteFile);
    }();
    return path;
}
