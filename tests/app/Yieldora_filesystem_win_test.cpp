// The built program and the file system, from another process: libraries planted beside it
// (a download folder, where a web page can drop a file) under the names of those the program and
// the system's dialogs load, none of which may run; and files saved over through its dialogs.

#include "YieldoraRemote.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

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

// Answers a Save dialog with File, its question whether to replace the file with Yes, and any
// other box with OK.
TBoxAnswer SaveAs(const fs::path& File) {
    return [File](HWND Box) {
        if (GetDlgItem(Box, cmb13) != nullptr) {
            SendDlgItemMessageW(Box, cmb13, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(File.c_str()));
            PostMessageW(Box, WM_COMMAND, IDOK, 0);
        } else if (GetDlgItem(Box, IDYES) != nullptr) {
            PostMessageW(GetDlgItem(Box, IDYES), BM_CLICK, 0, 0);
        } else {
            AnswerWithOk(Box);
        }
        return true;
    };
}

void WriteFile(const fs::path& Path, const std::string& Bytes) {
    std::ofstream(Path, std::ios::binary) << Bytes;
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
        EXPECT_EQ(remote.ChooseFromMenu(table, 4, SaveAs(csv), ShowsABox).Boxes.size(), 1u);
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
        EXPECT_EQ(remote.ChooseFromMenu(chart, 2, SaveAs(png), ShowsABox).Boxes.size(), 1u);
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
    // The last box of an outcome names File and a reason.
    const auto namesFailure = [](const TRemoteOutcome& Outcome, const fs::path& File) {
        const std::wstring prefix = L"无法保存文件 " + File.wstring() + L"：";
        const std::wstring text = Outcome.Boxes.empty() ? L"" : Outcome.Boxes.back().Text;
        return text.starts_with(prefix) && text.size() > prefix.size();
    };
    {
        TYieldoraRemote remote(program.wstring());
        remote.Press(IDC_CALCULATE);
        const HWND table = remote.Item(IDC_RESULTS);
        remote.ChooseFromMenu(table, 4, SaveAs(hidden), ShowsABox);
        EXPECT_TRUE(
            namesFailure(remote.ChooseFromMenu(table, 4, SaveAs(locked), ShowsABox), locked));
        const HWND chart = ShowChart(remote);
        ASSERT_NE(chart, nullptr);
        EXPECT_TRUE(
            namesFailure(remote.ChooseFromMenu(chart, 2, SaveAs(picture), ShowsABox), picture));
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
