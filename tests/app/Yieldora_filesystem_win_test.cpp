// The built program and the file system, from another process: libraries planted beside it
// (a download folder, where a web page can drop a file) under the names of those the program and
// the system's dialogs load, none of which may run; and files saved over through its dialogs.

#include "YieldoraRemote.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commdlg.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The libraries the program loads, directly or through the system's dialogs and image coders,
// as Wine's load tracing lists them for every feature.
const wchar_t* const PLANTED_NAMES[] = {
    L"comctl32.dll", L"comdlg32.dll", L"ole32.dll",   L"shell32.dll",
    L"shcore.dll",   L"shlwapi.dll",  L"uxtheme.dll", L"windowscodecs.dll",
    L"oleaut32.dll", L"version.dll",  L"propsys.dll", L"explorerframe.dll",
    L"dwmapi.dll",   L"msimg32.dll",  L"imm32.dll",   L"combase.dll"};

fs::path TestFolder() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return fs::path(module).parent_path();
}

std::string ReadFile(const fs::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool ShowsABox(const TRemoteOutcome& Outcome) {
    return !Outcome.Boxes.empty();
}

// Opens the chart through the table's menu.
HWND ShowChart(TYieldoraRemote& Remote) {
    Remote.ChooseFromMenu(Remote.Item(IDC_RESULTS), 5, {}, [](const TRemoteOutcome&) {
        return FindWindowW(L"YieldoraChart", L"收益图") != nullptr;
    });
    return FindWindowW(L"YieldoraChart", L"收益图");
}

void WriteFile(const fs::path& Path, const std::string& Bytes) {
    std::ofstream(Path, std::ios::binary) << Bytes;
}

// Copies the built program into a new, empty folder of its own.
fs::path ProgramIn(const fs::path& Folder) {
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    const fs::path program = Folder / L"yieldora.exe";
    fs::copy_file(TestFolder() / YIELDORA_PROGRAM, program);
    return program;
}

// The last box of an outcome names File and a reason after the text Before.
bool NamesFailure(const TRemoteOutcome& Outcome, const std::wstring& Before, const fs::path& File) {
    const std::wstring prefix = Before + File.wstring() + L"：";
    const std::wstring text = Outcome.Boxes.empty() ? L"" : Outcome.Boxes.back().Text;
    return text.starts_with(prefix) && text.size() > prefix.size();
}

// Makes a folder read-only or writable again; fails the test where it cannot.
void MakeReadOnly(const fs::path& Folder, bool ReadOnly) {
    try {
        SetFolderReadOnly(Folder.wstring(), ReadOnly);
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
}

} // namespace

TEST(PlantedLibraries, NoneRunsAndTheProgramStillWorks) {
    const fs::path folder = fs::temp_directory_path() / L"Yieldora_planted";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path program = folder / L"yieldora.exe";
    fs::copy_file(TestFolder() / YIELDORA_PROGRAM, program);
    for (const wchar_t* name : PLANTED_NAMES) {
        fs::copy_file(TestFolder() / PLANTED_LIBRARY, folder / name);
    }
    const fs::path csv = folder / L"结果.csv";
    const fs::path png = folder / L"收益图.png";
    {
        TYieldoraRemote remote(program.wstring());
        remote.Press(IDC_CALCULATE);
        EXPECT_EQ(remote.RowCount(), 20);
        EXPECT_EQ(remote.PressAndAnswer(IDC_EXPORT).Text, L"当前计算结果已导出到剪贴板！");
        const HWND table = remote.Item(IDC_RESULTS);
        // Save As, then the chart.
        EXPECT_EQ(remote.ChooseFromMenu(table, 4, AnswerSaveDialog(csv.wstring()), ShowsABox)
                      .Boxes.size(),
                  1u);
        const HWND chart = ShowChart(remote);
        ASSERT_NE(chart, nullptr);
        // The chart's picture onto the clipboard, and into a PNG file.
        EXPECT_TRUE(remote
                        .ChooseFromMenu(chart, 1, {},
                                        [](const TRemoteOutcome&) {
                                            return IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
                                        })
                        .Boxes.empty());
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
        EXPECT_EQ(remote.ChooseFromMenu(chart, 2, AnswerSaveDialog(png.wstring()), ShowsABox)
                      .Boxes.size(),
                  1u);
        EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
    }
    EXPECT_EQ(ReadFile(csv),
              ReadFile((TestFolder() / YIELDORA_GOLDEN_EXPORT).replace_extension(L".csv")));
    EXPECT_EQ(ReadFile(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
    std::vector<std::wstring> ran;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == L".ran") {
            ran.push_back(entry.path().filename().wstring());
        }
    }
    EXPECT_TRUE(ran.empty()) << testing::PrintToString(ran);
    fs::remove_all(folder);
}

// Saved over through the program's dialogs: a file keeps its attributes; one marked read-only
// keeps its bytes, and the box names it and the reason; the same for the chart's picture.
TEST(SavedFiles, KeepTheirAttributesOrOnFailureTheirBytesAndTheBoxSaysWhy) {
    const fs::path folder = fs::temp_directory_path() / L"Yieldora_saving";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path program = folder / L"yieldora.exe";
    fs::copy_file(TestFolder() / YIELDORA_PROGRAM, program);
    const fs::path hidden = folder / L"隐藏.csv";
    const fs::path locked = folder / L"只读.csv";
    const fs::path picture = folder / L"只读.png";
    for (const fs::path& file : {hidden, locked, picture}) {
        WriteFile(file, "old");
    }
    SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(picture.c_str(), FILE_ATTRIBUTE_READONLY);
    const auto namesFailure = [](const TRemoteOutcome& Outcome, const fs::path& File) {
        return NamesFailure(Outcome, L"无法保存文件 ", File);
    };
    {
        TYieldoraRemote remote(program.wstring());
        remote.Press(IDC_CALCULATE);
        const HWND table = remote.Item(IDC_RESULTS);
        remote.ChooseFromMenu(table, 4, AnswerSaveDialog(hidden.wstring()), ShowsABox);
        EXPECT_TRUE(namesFailure(
            remote.ChooseFromMenu(table, 4, AnswerSaveDialog(locked.wstring()), ShowsABox),
            locked));
        const HWND chart = ShowChart(remote);
        ASSERT_NE(chart, nullptr);
        EXPECT_TRUE(namesFailure(
            remote.ChooseFromMenu(chart, 2, AnswerSaveDialog(picture.wstring()), ShowsABox),
            picture));
        EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
    }
    EXPECT_EQ(ReadFile(hidden),
              ReadFile((TestFolder() / YIELDORA_GOLDEN_EXPORT).replace_extension(L".csv")));
    EXPECT_EQ(GetFileAttributesW(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ReadFile(locked), "old");
    EXPECT_EQ(ReadFile(picture), "old");
    for (const fs::path& file : {hidden, locked, picture}) {
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(folder);
}

// Saving into a folder where no new file can be made: a new file is not made, an existing one
// keeps its bytes, and the box names the file and the reason; the same for a path too long for
// the file beside the target that the save writes first.
TEST(SavedFiles, AReadOnlyFolderOrAPathTooLongLeavesEverythingAndTheBoxSaysWhy) {
    const fs::path program = ProgramIn(fs::temp_directory_path() / L"Yieldora_folders");
    const fs::path locked = program.parent_path() / L"locked";
    fs::create_directories(locked);
    const fs::path existing = locked / L"old.csv";
    const fs::path fresh = locked / L"new.csv";
    const fs::path picture = locked / L"new.png";
    WriteFile(existing, "old");
    // A folder path of 251 characters: the target "a.csv" fits in MAX_PATH, the save's own
    // file beside it ("~ydN.tmp" at least) does not.
    std::wstring deep = (program.parent_path() / L"long").wstring();
    while (deep.size() < 251) {
        deep += L"\\" + std::wstring(std::min<std::size_t>(60, 250 - deep.size()), L'd');
    }
    ASSERT_EQ(deep.size(), 251u);
    for (std::size_t slash = deep.find(L'\\', program.parent_path().wstring().size());
         slash != std::wstring::npos; slash = deep.find(L'\\', slash + 1)) {
        CreateDirectoryW((L"\\\\?\\" + deep.substr(0, slash)).c_str(), nullptr);
    }
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << GetLastError();
    const fs::path longTarget = deep + L"\\a.csv";
    ASSERT_NO_FATAL_FAILURE(MakeReadOnly(locked, true));
    {
        TYieldoraRemote remote(program.wstring());
        remote.Press(IDC_CALCULATE);
        const HWND table = remote.Item(IDC_RESULTS);
        for (const fs::path& file : {fresh, existing, longTarget}) {
            EXPECT_TRUE(NamesFailure(
                remote.ChooseFromMenu(table, 4, AnswerSaveDialog(file.wstring()), ShowsABox),
                L"无法保存文件 ", file))
                << ToUtf8(file.wstring());
        }
        const HWND chart = ShowChart(remote);
        ASSERT_NE(chart, nullptr);
        EXPECT_TRUE(NamesFailure(
            remote.ChooseFromMenu(chart, 2, AnswerSaveDialog(picture.wstring()), ShowsABox),
            L"无法保存文件 ", picture));
        EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
    }
    ASSERT_NO_FATAL_FAILURE(MakeReadOnly(locked, false));
    std::vector<std::wstring> left;
    for (const fs::path& folder : {locked, fs::path(deep)}) {
        for (const fs::directory_entry& entry :
             fs::directory_iterator(L"\\\\?\\" + folder.wstring())) {
            left.push_back(entry.path().filename().wstring());
        }
    }
    EXPECT_EQ(left, std::vector<std::wstring>{L"old.csv"});
    EXPECT_EQ(ReadFile(existing), "old");
    fs::remove_all(L"\\\\?\\" + program.parent_path().wstring());
}

// The program's folder turns read-only while it runs: a profile already there is still saved (in
// place); one that cannot be made is not, and closing says so before the program ends cleanly.
TEST(SavedFiles, AProfileFolderTurnedReadOnlyStillSavesOrTheUserIsTold) {
    const fs::path program = ProgramIn(fs::temp_directory_path() / L"Yieldora_readonly");
    const fs::path folder = program.parent_path();
    const fs::path profile = folder / L"yieldora.ini";
    {
        TYieldoraRemote remote(program.wstring());
        ASSERT_NO_FATAL_FAILURE(MakeReadOnly(folder, true));
        const TRemoteOutcome outcome = remote.Click(IDC_EXIT);
        EXPECT_TRUE(outcome.Exited);
        EXPECT_EQ(outcome.ExitCode, 0u);
        ASSERT_EQ(outcome.Boxes.size(), 1u);
        EXPECT_TRUE(NamesFailure(outcome, L"无法保存设置文件 ", profile))
            << ToUtf8(outcome.Boxes[0].Text);
        EXPECT_FALSE(fs::exists(profile));
    }
    ASSERT_NO_FATAL_FAILURE(MakeReadOnly(folder, false));
    {
        TYieldoraRemote remote(program.wstring());
        EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
    }
    ASSERT_TRUE(fs::exists(profile));
    {
        TYieldoraRemote remote(program.wstring());
        ASSERT_NO_FATAL_FAILURE(MakeReadOnly(folder, true));
        remote.SetItemText(IDC_FUND, L"12345");
        const TRemoteOutcome outcome = remote.Click(IDC_EXIT);
        EXPECT_TRUE(outcome.Exited);
        EXPECT_EQ(outcome.ExitCode, 0u);
        EXPECT_TRUE(outcome.Boxes.empty());
    }
    ASSERT_NO_FATAL_FAILURE(MakeReadOnly(folder, false));
    wchar_t fund[64] = {};
    GetPrivateProfileStringW(L"Yieldora", L"Fund", L"", fund, 64, profile.c_str());
    EXPECT_STREQ(fund, L"12345");
    fs::remove_all(folder);
}
