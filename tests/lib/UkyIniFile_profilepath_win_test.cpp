#include "UkyIniFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

TEST(ProfileLocation, BesideTheProgramWhenWritableElseInApplicationData) {
    std::wstring asked;
    const auto writable = [&asked](const std::wstring& Path) {
        asked = Path;
        return true;
    };
    const auto readOnly = [](const std::wstring&) { return false; };
    const std::wstring beside = L"C:\\Program Files\\Yieldora\\yieldora.ini";

    EXPECT_EQ(ChooseProfilePath(beside, L"C:\\Users\\me\\AppData\\Roaming", L"Yieldora", writable),
              beside);
    EXPECT_EQ(asked, beside);
    EXPECT_EQ(ChooseProfilePath(beside, L"C:\\Users\\me\\AppData\\Roaming", L"Yieldora", readOnly),
              L"C:\\Users\\me\\AppData\\Roaming\\Yieldora\\yieldora.ini");
    EXPECT_EQ(ChooseProfilePath(beside, L"D:\\", L"Yieldora", readOnly),
              L"D:\\Yieldora\\yieldora.ini");
    // Without an application-data folder there is nowhere else to go.
    EXPECT_EQ(ChooseProfilePath(beside, L"", L"Yieldora", readOnly), beside);
    // Nor for a program that named no folder of its own.
    EXPECT_EQ(ChooseProfilePath(beside, L"C:\\Users\\me\\AppData\\Roaming", L"", readOnly), beside);
}

// The probe and the first write into a folder of its own, in a scratch folder of the test.
class ProfileFolder : public testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(Root);
        fs::create_directories(Root);
    }
    void TearDown() override { fs::remove_all(Root); }

    const fs::path Root = fs::temp_directory_path() / L"UkyIniFile_profilepath";
};

TEST_F(ProfileFolder, CanWriteFileProbesWithoutLeavingAFile) {
    const fs::path file = Root / L"yieldora.ini";
    EXPECT_TRUE(CanWriteFile(file.wstring()));
    EXPECT_FALSE(fs::exists(file));

    TkyIniFile(file.wstring()).WriteString(L"Fund", L"1");
    EXPECT_TRUE(CanWriteFile(file.wstring()));

    // A name taken by a folder cannot be written, nor can a file in a folder that is missing.
    const fs::path taken = Root / L"taken.ini";
    fs::create_directory(taken);
    EXPECT_FALSE(CanWriteFile(taken.wstring()));
    EXPECT_FALSE(CanWriteFile((Root / L"missing" / L"yieldora.ini").wstring()));
}

TEST_F(ProfileFolder, TheFirstWriteMakesTheProfilesFolder) {
    const fs::path file = Root / L"Yieldora" / L"yieldora.ini";
    TkyIniFile ini(file.wstring());
    ini.Section = L"Program";
    EXPECT_EQ(ini.ReadInteger(L"WindowLeft", 7), 7);
    EXPECT_FALSE(fs::exists(file.parent_path()));

    ini.WriteInteger(L"WindowLeft", 12);
    EXPECT_EQ(ini.ReadInteger(L"WindowLeft", 7), 12);
}

TEST(ProfileLocation, TheTestProgramsFolderIsWritable) {
    wchar_t module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(ProfilePath(), std::wstring(module, length - 4) + L".ini");
}

// An editor or a backup tool that holds the profile open for a moment does not send the
// profile elsewhere; and once chosen, the place stays for the whole run.
TEST_F(ProfileFolder, AProfileHeldOpenElsewhereStaysWhereItIs) {
    const fs::path file = Root / L"yieldora.ini";
    TkyIniFile(file.wstring()).WriteString(L"Fund", L"1");
    const HANDLE held = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CanWriteFile(file.wstring()));
    CloseHandle(held);

    const std::wstring chosen = ProfilePath();
    fs::create_directory(chosen);
    EXPECT_FALSE(CanWriteFile(chosen));
    EXPECT_EQ(ProfilePath(), chosen);
    fs::remove(chosen);
}
