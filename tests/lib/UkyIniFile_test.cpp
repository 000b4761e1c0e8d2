#include "UkyIniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Each test starts without a profile file beside the test program.
class UkyIniFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(Path);
        Ini.Section = L"Yieldora";
    }
    void TearDown() override { std::filesystem::remove_all(Path); }

    void Store(const std::string& Content) const {
        std::ofstream(std::filesystem::path(Path), std::ios::binary) << Content;
    }
    std::string Content() const {
        std::ifstream file(std::filesystem::path(Path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    const std::wstring Path = ProfilePath();
    TkyIniFile Ini{Path};
};

} // namespace

TEST(UkyIniFile, ProfilePathReplacesTheExecutablesExtension) {
    EXPECT_EQ(ProfilePathOf(L"D:\\Tools\\calc.exe"), L"D:\\Tools\\calc.ini");
    EXPECT_EQ(ProfilePathOf(L"D:\\x.exe.d\\calc.exe"), L"D:\\x.ini.d\\calc.ini");
    EXPECT_EQ(ProfilePathOf(L"D:\\x.exe.d\\CALC.EXE"), L"D:\\x.ini.d\\CALC.EXE");
    EXPECT_EQ(ProfilePathOf(L"C:\\CALC.EXE"), L"C:\\CALC.ini");
    EXPECT_EQ(ProfilePathOf(L"C:\\Calc.Exe"), L"C:\\Calc.ini");
    EXPECT_EQ(ProfilePathOf(L"/usr/bin/calc"), L"/usr/bin/calc.ini");
    EXPECT_EQ(ProfilePathOf(L"exe"), L"exe.ini");

    // The test program's own: UkyIniFile_test.exe on Windows, UkyIniFile_test elsewhere.
    const std::wstring module = ModuleFileName();
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(module)));
    EXPECT_EQ(ProfilePath(), ProfilePathOf(module));
    EXPECT_EQ(ProfilePath().substr(ProfilePath().size() - 19), L"UkyIniFile_test.ini");
}

// The copy an installer put in its folder, told from any other copy of the same program.
TEST(UkyIniFile, AnInstalledCopyIsTheOneInTheFolderItsInstallerRecorded) {
    const std::wstring installed = L"C:\\Users\\me\\AppData\\Local\\Programs\\Yieldora\\";
    EXPECT_TRUE(IsInstalledCopy(installed + L"yieldora.exe", installed));
    EXPECT_TRUE(IsInstalledCopy(L"c:\\users\\ME\\appdata\\local\\programs\\yieldora\\yieldora.exe",
                                installed));
    EXPECT_TRUE(IsInstalledCopy(installed + L"yieldora.exe",
                                L"C:\\Users\\me\\AppData\\Local\\Programs\\Yieldora"));
    EXPECT_TRUE(IsInstalledCopy(L"D:\\yieldora.exe", L"D:\\"));

    // An unpacked copy elsewhere, one in a folder below or beside the installed one, and any copy
    // once the uninstall removed the record.
    EXPECT_FALSE(IsInstalledCopy(L"D:\\Tools\\yieldora\\yieldora.exe", installed));
    EXPECT_FALSE(IsInstalledCopy(installed + L"old\\yieldora.exe", installed));
    EXPECT_FALSE(IsInstalledCopy(
        L"C:\\Users\\me\\AppData\\Local\\Programs\\Yieldora2\\yieldora.exe", installed));
    EXPECT_FALSE(IsInstalledCopy(installed + L"yieldora.exe", L""));
    EXPECT_FALSE(IsInstalledCopy(L"yieldora.exe", L"\\"));
}

TEST_F(UkyIniFileTest, MissingFileGivesDefaultsAndTheFirstWriteCreatesIt) {
    EXPECT_EQ(Ini.ReadString(L"Name", L"none"), L"none");
    EXPECT_EQ(Ini.ReadInteger(L"Year", 20), 20);
    EXPECT_EQ(static_cast<double>(Ini.ReadFloat(L"Rate", 3.6)), 3.6);
    EXPECT_TRUE(Ini.ReadBool(L"Deposit", true));
    EXPECT_FALSE(Ini.ReadBool(L"Deposit", false));
    EXPECT_FALSE(std::filesystem::exists(Path));

    EXPECT_TRUE(Ini.WriteFloat(L"Fund", 10000));
    Ini.WriteInteger(L"Period", 1);
    Ini.WriteFloat(L"Rate", 3.6);
    Ini.WriteFloat(L"Year", 20);
    Ini.WriteInteger(L"Step", -5);
    Ini.WriteBool(L"Deposit", true);
    Ini.Section = L"Program";
    Ini.WriteFloat(L"Half", 0.5);
    Ini.WriteBool(L"Flag", false);
    EXPECT_EQ(Content(),
              "[Yieldora]\r\nFund=10000\r\nPeriod=1\r\nRate=3.6\r\nYear=20\r\nStep=-5\r\n"
              "Deposit=1\r\n[Program]\r\nHalf=0.5\r\nFlag=0\r\n");

    Ini.Section = L"Yieldora";
    EXPECT_EQ(Ini.ReadInteger(L"Year", 0), 20);
    EXPECT_EQ(Ini.ReadInteger(L"Step", 0), -5);
    EXPECT_EQ(static_cast<double>(Ini.ReadFloat(L"Rate", 0)), 3.6);
    EXPECT_EQ(static_cast<double>(Ini.ReadFloat(L"Fund", 0)), 10000.0);
    EXPECT_EQ(Ini.ReadString(L"Absent", L"x"), L"x");
}

TEST_F(UkyIniFileTest, MalformedValuesReadAsDocumented) {
    Store("[Yieldora]\r\nRate=\r\nTax=abc\r\nFund=12a\r\nYear=44abc\r\nPeriod=x3\r\n"
          "D2=2\r\nD0=0\r\nDx=yes\r\n");
    EXPECT_EQ(Ini.ReadFloat(L"Rate", 3.6), 0.0L);
    EXPECT_EQ(Ini.ReadFloat(L"Tax", 20), 20.0L);
    EXPECT_EQ(Ini.ReadFloat(L"Fund", 10000), 10000.0L);
    EXPECT_EQ(Ini.ReadInteger(L"Year", 20), 44);
    EXPECT_EQ(Ini.ReadInteger(L"Period", 1), 0);
    EXPECT_TRUE(Ini.ReadBool(L"D2", false));
    EXPECT_FALSE(Ini.ReadBool(L"D0", true));
    EXPECT_FALSE(Ini.ReadBool(L"Dx", true));
    EXPECT_TRUE(Ini.ReadBool(L"Dmissing", true));
}

TEST_F(UkyIniFileTest, LongValuesAreCutTo499Characters) {
    Store("[Yieldora]\r\nLong=" + std::string(600, 'x') + "\r\n");
    EXPECT_EQ(Ini.ReadString(L"Long", L""), std::wstring(499, L'x'));
}

TEST_F(UkyIniFileTest, FailedWritesAnswerFalseAndChangeNothing) {
    std::filesystem::create_directory(std::filesystem::path(Path));
    EXPECT_FALSE(Ini.WriteFloat(L"Fund", 5));
    EXPECT_FALSE(Ini.WriteString(L"Name", L"x"));
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(Path)));
    EXPECT_EQ(Ini.ReadFloat(L"Fund", 10000), 10000.0L);
}

TEST_F(UkyIniFileTest, NamesIgnoreCaseAndValuesAreReplacedInPlace) {
    Store("[Program]\r\nWindowLeft=1\r\n[Yieldora]\r\nFund = 2500.5 \r\nYear=44abc\r\n"
          "Step=-12x\r\n[Other]\r\nFund=1\r\n");
    Ini.Section = L"yieldora";
    EXPECT_EQ(Ini.ReadString(L"FUND", L""), L"2500.5");
    EXPECT_EQ(Ini.ReadInteger(L"year", 0), 44);
    EXPECT_EQ(Ini.ReadInteger(L"Step", 0), -12);

    Ini.WriteString(L"fund", L"7");
    Ini.WriteString(L"Tax", L"20");
    Ini.Section = L"Program";
    Ini.WriteInteger(L"WindowLeft", -5);
    EXPECT_EQ(Content(), "[Program]\r\nWindowLeft=-5\r\n[Yieldora]\r\nFund=7\r\nYear=44abc\r\n"
                         "Step=-12x\r\nTax=20\r\n[Other]\r\nFund=1\r\n");
}

TEST_F(UkyIniFileTest, TheProfileWrittenOnWindowsIsReadAndWrittenAlike) {
    // Written under Wine by the system's own profile functions, as the dialog writes on closing.
    const std::filesystem::path fixture =
        std::filesystem::path(YIELDORA_GOLDEN_FOLDER) / "profile-written-by-windows.ini";
    std::ifstream file(fixture, std::ios::binary);
    ASSERT_TRUE(file.good()) << fixture;
    const std::string expected(std::istreambuf_iterator<char>(file), {});

    Ini.Section = L"Program";
    Ini.WriteInteger(L"WindowLeft", 312);
    Ini.WriteInteger(L"WindowTop", 208);
    Ini.Section = L"Yieldora";
    Ini.WriteFloat(L"Fund", 25000.5);
    Ini.WriteInteger(L"Period", 3);
    Ini.WriteFloat(L"Rate", 2.75);
    Ini.WriteFloat(L"Tax", 5);
    Ini.WriteFloat(L"Year", 30);
    Ini.WriteFloat(L"Step", 4);
    Ini.WriteBool(L"Deposit", false);
    EXPECT_EQ(Content(), expected);

    TkyIniFile windows(std::filesystem::absolute(fixture).wstring());
    windows.Section = L"Program";
    EXPECT_EQ(windows.ReadInteger(L"WindowLeft", 0), 312);
    EXPECT_EQ(windows.ReadInteger(L"WindowTop", 0), 208);
    windows.Section = L"Yieldora";
    EXPECT_EQ(windows.ReadFloat(L"Fund", 0), 25000.5L);
    EXPECT_EQ(windows.ReadInteger(L"Period", 0), 3);
    EXPECT_EQ(static_cast<double>(windows.ReadFloat(L"Rate", 0)), 2.75);
    EXPECT_EQ(windows.ReadFloat(L"Tax", 0), 5.0L);
    EXPECT_EQ(windows.ReadInteger(L"Year", 0), 30);
    EXPECT_EQ(windows.ReadInteger(L"Step", 0), 4);
    EXPECT_FALSE(windows.ReadBool(L"Deposit", true));
}
