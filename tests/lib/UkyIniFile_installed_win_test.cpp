#include "UkyIniFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const wchar_t* const PROGRAM = L"YieldoraInstalledCopyTest";

std::wstring ModuleFolder() {
    wchar_t module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path(module, length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

void RecordInstallFolder(const std::wstring& Folder) {
    const std::wstring key = std::wstring(L"Software\\") + PROGRAM;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"InstallFolder", REG_SZ,
                              Folder.c_str(), static_cast<DWORD>((Folder.size() + 1) * 2)),
              ERROR_SUCCESS);
}

void ForgetInstallFolder() {
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + PROGRAM).c_str());
}

} // namespace

// The installer records its folder in the user's registry; the program run from there keeps its
// profile under %APPDATA%, although it could write beside itself.
TEST(InstalledCopy, KeepsItsProfileInTheApplicationDataFolder) {
    ForgetInstallFolder();
    EXPECT_EQ(InstalledFolder(PROGRAM), L"");

    // Recorded in another letter case, as a user's folder may be.
    std::wstring folder = ModuleFolder();
    CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    RecordInstallFolder(folder);
    EXPECT_EQ(InstalledFolder(PROGRAM), folder);
    EXPECT_TRUE(CanWriteFile(ModuleFolder() + L"probe.ini"));

    SetProfileFolder(PROGRAM);
    const std::wstring chosen = ProfilePath();
    ForgetInstallFolder();

    EXPECT_EQ(chosen,
              ApplicationDataFolder() + L"\\" + PROGRAM + L"\\UkyIniFile_installed_win_test.ini");
    EXPECT_EQ(InstalledFolder(PROGRAM), L"");
}
