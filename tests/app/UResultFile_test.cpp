#include "UResultFile.h"

#include "ErrorOf.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::ptrdiff_t FileCount(const fs::path& Folder) {
    return std::distance(fs::directory_iterator(Folder), fs::directory_iterator());
}

// A folder of the test's own holding Target with "old" in it.
fs::path FolderWithOldFile(const wchar_t* Name, fs::path& Target) {
    const fs::path folder = fs::absolute(Name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    Target = folder / L"结果.csv";
    SaveFileSafely(Target.wstring(), "old");
    return folder;
}

// What the failing replace does to the old file before it fails, as the system may.
enum class TStep { None, Remove, MoveToBackup };

// Every replace fails with Error after Step, until the end of the object; the temporary file and
// the backup, when told, are then held open by "another program" that does not share their
// deletion.
class TFailingReplace {
public:
    TFailingReplace(DWORD Error, TStep Step, bool HoldTemp = false, bool HoldBackup = false) {
        SetReplaceFile(
            [=, this](const wchar_t* Replaced, const wchar_t* Replacement, const wchar_t* Backup) {
                TempName = Replacement;
                BackupName = Backup != nullptr ? Backup : L"";
                if (Step == TStep::Remove) {
                    DeleteFileW(Replaced);
                } else if (Step == TStep::MoveToBackup) {
                    MoveFileExW(Replaced, Backup, 0);
                }
                if (HoldTemp) {
                    Hold(Replacement);
                }
                if (HoldBackup) {
                    Hold(Backup);
                }
                SetLastError(Error);
                return FALSE;
            });
    }
    TFailingReplace(const TFailingReplace&) = delete;
    TFailingReplace& operator=(const TFailingReplace&) = delete;
    ~TFailingReplace() {
        Release();
        SetReplaceFile({});
    }
    void Release() {
        for (const HANDLE file : FHeld) {
            CloseHandle(file);
        }
        FHeld.clear();
    }
    std::wstring TempName;
    std::wstring BackupName;

private:
    void Hold(const wchar_t* Name) {
        FHeld.push_back(
            CreateFileW(Name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    std::vector<HANDLE> FHeld;
};

} // namespace

TEST(SaveFileSafely, ReplacesTheFileOrOnFailureKeepsItAndNamesItWithTheSystemsReason) {
    const fs::path folder = fs::absolute(L"UResultFile_test.保存");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / L"存款计算结果.csv";
    SaveFileSafely(target.wstring(), "old");
    SaveFileSafely(target.wstring(), "\xEF\xBB\xBF"
                                     "a,b\r\n");
    EXPECT_EQ(Bytes(target), "\xEF\xBB\xBF"
                             "a,b\r\n");

    // Held open by another program, without sharing.
    const HANDLE held =
        CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::wstring busy = ErrorOf([&] { SaveFileSafely(target.wstring(), "new"); });
    CloseHandle(held);
    const std::wstring prefix = L"无法保存文件 " + target.wstring() + L"：";
    EXPECT_TRUE(busy.starts_with(prefix) && busy.size() > prefix.size() && !busy.ends_with(L"\n"))
        << testing::PrintToString(busy);
    EXPECT_EQ(Bytes(target), "\xEF\xBB\xBF"
                             "a,b\r\n");
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    const fs::path nowhere = folder / L"missing" / L"x.csv";
    EXPECT_EQ(ErrorOf([&] { SaveFileSafely(nowhere.wstring(), "new"); }),
              L"无法保存文件 " + nowhere.wstring() + L"：" + SystemErrorText(ERROR_PATH_NOT_FOUND));
    fs::remove_all(folder);
}

TEST(SaveFileSafely, AReplacedFileKeepsItsAttributesAndAReadOnlyOneIsLeftAlone) {
    const fs::path folder = fs::absolute(L"UResultFile_test.属性");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path target = folder / L"结果.csv";
    SaveFileSafely(target.wstring(), "old");
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    SaveFileSafely(target.wstring(), "new");
    EXPECT_EQ(Bytes(target), "new");
    EXPECT_EQ(GetFileAttributesW(target.c_str()) &
                  (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ErrorOf([&] { SaveFileSafely(target.wstring(), "newer"); }),
              L"无法保存文件 " + target.wstring() + L"：" + SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Bytes(target), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(folder);
}

// The program is not aware of long paths: a name it could not write everywhere is refused before
// anything is made, and the longest one it takes is written.
TEST(SaveFileSafely, APathBeyondMaxPathIsRefusedBeforeAnythingIsTouched) {
    const fs::path folder = fs::absolute(L"UResultFile_test.长");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::wstring base = folder.wstring() + L"\\";
    const std::wstring longest =
        base + std::wstring(MAX_PATH - 1 - base.size() - 4, L'a') + L".csv";
    ASSERT_EQ(longest.size(), MAX_PATH - 1u);
    SaveFileSafely(longest, "new");
    EXPECT_EQ(Bytes(longest), "new");

    const std::wstring tooLong = base + std::wstring(MAX_PATH - base.size() - 4, L'b') + L".csv";
    const std::wstring error = ErrorOf([&] { SaveFileSafely(tooLong, "new"); });
    EXPECT_TRUE(error.starts_with(L"无法保存文件 " + tooLong + L"：路径太长")) << error;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    fs::remove_all(folder);
}

// The system's documented outcomes of a failed replace where both files keep their names: nothing
// changed, and the old file is left as it was.
TEST(SaveFileSafely, AReplaceFailingWithBothNamesKeptLeavesTheOldFileAndNoOtherOne) {
    fs::path target;
    const fs::path folder = FolderWithOldFile(L"UResultFile_test.未变", target);
    for (const DWORD error : {static_cast<DWORD>(ERROR_UNABLE_TO_REMOVE_REPLACED),
                              static_cast<DWORD>(ERROR_UNABLE_TO_MOVE_REPLACEMENT),
                              static_cast<DWORD>(ERROR_ACCESS_DENIED)}) {
        const TFailingReplace replace(error, TStep::None);
        EXPECT_EQ(ErrorOf([&] { SaveFileSafely(target.wstring(), "new"); }),
                  L"无法保存文件 " + target.wstring() + L"：" + SystemErrorText(error))
            << error;
        EXPECT_EQ(Bytes(target), "old") << error;
        EXPECT_EQ(FileCount(folder), 1) << error;
    }
    fs::remove_all(folder);
}

// The old file gone from its name (without a backup name, or moved to it) and the new one still
// under its own: the new one takes the old one's place, and nothing else stays.
TEST(SaveFileSafely, AReplaceFailingAfterTheOldFileWentAwayEndsWithTheNewFileInItsPlace) {
    fs::path target;
    const fs::path folder = FolderWithOldFile(L"UResultFile_test.移走", target);
    const std::pair<DWORD, TStep> faults[] = {
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT, TStep::Remove},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT, TStep::MoveToBackup},
        {ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, TStep::MoveToBackup}};
    for (const auto& [error, step] : faults) {
        const std::string bytes = "new " + std::to_string(static_cast<int>(step));
        const TFailingReplace replace(error, step);
        EXPECT_EQ(ErrorOf([&] { SaveFileSafely(target.wstring(), bytes); }), L"(no error)")
            << error;
        EXPECT_EQ(Bytes(target), bytes) << error;
        EXPECT_EQ(FileCount(folder), 1) << error;
    }
    fs::remove_all(folder);
}

// When the new file cannot be moved into the empty place either, the old one goes back; when that
// fails too, neither is deleted, and the message says where each one is.
TEST(SaveFileSafely, WhereTheNewFileCannotTakeThePlaceTheOldOneReturnsOrBothStayNamed) {
    fs::path target;
    const fs::path folder = FolderWithOldFile(L"UResultFile_test.保留", target);
    const std::wstring prefix = L"无法保存文件 " + target.wstring() + L"：";
    {
        TFailingReplace replace(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, TStep::MoveToBackup, true);
        EXPECT_EQ(ErrorOf([&] { SaveFileSafely(target.wstring(), "new"); }),
                  prefix + SystemErrorText(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2));
        EXPECT_EQ(Bytes(target), "old");
        EXPECT_FALSE(fs::exists(replace.BackupName));
        replace.Release();
        fs::remove(replace.TempName);
    }
    {
        TFailingReplace replace(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, TStep::MoveToBackup, true,
                                true);
        const std::wstring error = ErrorOf([&] { SaveFileSafely(target.wstring(), "new"); });
        replace.Release();
        EXPECT_EQ(error, prefix + SystemErrorText(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) +
                             L"\n新的内容保存在 " + replace.TempName + L"。\n原来的文件保存在 " +
                             replace.BackupName + L"。");
        EXPECT_FALSE(fs::exists(target));
        EXPECT_EQ(Bytes(replace.TempName), "new");
        EXPECT_EQ(Bytes(replace.BackupName), "old");
        fs::rename(replace.BackupName, target);
        fs::remove(replace.TempName);
    }
    {
        // The old file deleted by the replace: the new one is the only copy.
        TFailingReplace replace(ERROR_UNABLE_TO_MOVE_REPLACEMENT, TStep::Remove, true);
        const std::wstring error = ErrorOf([&] { SaveFileSafely(target.wstring(), "new"); });
        replace.Release();
        EXPECT_EQ(error, prefix + SystemErrorText(ERROR_UNABLE_TO_MOVE_REPLACEMENT) +
                             L"\n新的内容保存在 " + replace.TempName + L"。");
        EXPECT_EQ(Bytes(replace.TempName), "new");
        EXPECT_EQ(FileCount(folder), 1);
    }
    fs::remove_all(folder);
}
