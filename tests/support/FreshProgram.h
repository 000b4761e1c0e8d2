#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

// The folder of the running test program.
inline std::filesystem::path TestFolder() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return std::filesystem::path(module).parent_path();
}

// A copy of the built program (Built, relative to the test's folder) in a fresh folder of its own
// under the temporary folder, so that it starts without a profile; the folder goes with the copy.
class TFreshProgramCopy {
public:
    TFreshProgramCopy(const std::wstring& FolderName, const std::filesystem::path& Built)
        : Folder(std::filesystem::temp_directory_path() / FolderName),
          Program(Folder / L"yieldora.exe") {
        std::filesystem::remove_all(Folder);
        std::filesystem::create_directories(Folder);
        std::filesystem::copy_file(TestFolder() / Built, Program);
    }
    TFreshProgramCopy(const TFreshProgramCopy&) = delete;
    TFreshProgramCopy& operator=(const TFreshProgramCopy&) = delete;
    ~TFreshProgramCopy() {
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    const std::filesystem::path Folder;
    const std::filesystem::path Program;
};
