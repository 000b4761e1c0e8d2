#include "UkySaveDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

std::optional<TkySaveDialogAnswer> AskSaveFileName(HWND Owner, const TkySaveDialogOptions& Options,
                                                   DWORD& Error) {
    std::vector<wchar_t> name(32768, L'\0');
    std::copy_n(Options.FileName.begin(), std::min(Options.FileName.size(), name.size() - 1),
                name.begin());
    const std::wstring filter = Options.Filter + L'\0';
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = Options.Folder.empty() ? nullptr : Options.Folder.c_str();
    dialog.lpstrDefExt = Options.DefaultExtension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | Options.Flags;
    if (!GetSaveFileNameW(&dialog)) {
        Error = CommDlgExtendedError();
        return std::nullopt;
    }
    Error = 0;
    return TkySaveDialogAnswer{name.data(), dialog.nFilterIndex};
}
