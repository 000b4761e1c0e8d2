#include "UkyPrinter.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"

// The Print dialog's structure names IUnknown.
#include <objbase.h>

#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

const wchar_t* const SETUP_SECTION = L"PageSetup";

// The error of the last call, never 0.
DWORD LastErrorCode() {
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

// Global memory, freed with its owner.
struct TGlobalDeleter {
    void operator()(void* Memory) const { GlobalFree(Memory); }
};
using TGlobal = std::unique_ptr<void, TGlobalDeleter>;

// An open printer, closed with its owner.
struct TPrinterDeleter {
    void operator()(HANDLE Printer) const { ClosePrinter(Printer); }
};
using TPrinter = std::unique_ptr<void, TPrinterDeleter>;

// The printer's own settings with Setup's paper and orientation, in movable global memory;
// null when the printer cannot be opened.
TGlobal MakeDevMode(const std::wstring& Name, const TkyPageSetup& Setup) {
    HANDLE opened = nullptr;
    std::wstring name = Name;
    if (!OpenPrinterW(name.data(), &opened, nullptr)) {
        return nullptr;
    }
    const TPrinter printer(opened);
    const LONG size = DocumentPropertiesW(nullptr, opened, name.data(), nullptr, nullptr, 0);
    if (size <= 0) {
        return nullptr;
    }
    TGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size)));
    auto* mode = memory ? static_cast<DEVMODEW*>(GlobalLock(memory.get())) : nullptr;
    if (mode == nullptr) {
        return nullptr;
    }
    bool made =
        DocumentPropertiesW(nullptr, opened, name.data(), mode, nullptr, DM_OUT_BUFFER) == IDOK;
    if (made) {
        mode->dmFields |= DM_PAPERSIZE | DM_ORIENTATION;
        mode->dmFields &= ~static_cast<DWORD>(DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME);
        mode->dmPaperSize = Setup.PaperSize;
        mode->dmOrientation = Setup.Orientation;
        made = DocumentPropertiesW(nullptr, opened, name.data(), mode, mode,
                                   DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK;
    }
    GlobalUnlock(memory.get());
    return made ? std::move(memory) : nullptr;
}

std::wstring DefaultPrinter() {
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    std::wstring name(size, L'\0');
    if (size == 0 || !GetDefaultPrinterW(name.data(), &size)) {
        const std::vector<std::wstring> printers = InstalledPrinters();
        return printers.empty() ? std::wstring() : printers.front();
    }
    name.resize(std::wcslen(name.c_str()));
    return name;
}

// The device name that DEVNAMES memory holds.
std::wstring DeviceName(HGLOBAL Names) {
    std::wstring name;
    if (const auto* names = static_cast<const DEVNAMES*>(GlobalLock(Names))) {
        name = reinterpret_cast<const wchar_t*>(names) + names->wDeviceOffset;
        GlobalUnlock(Names);
    }
    return name;
}

} // namespace

bool TkyPageSetup::operator==(const TkyPageSetup& Other) const {
    return PaperSize == Other.PaperSize && Orientation == Other.Orientation &&
           EqualRect(&Margins, &Other.Margins);
}

TkyPageSetup ReadPageSetup(const std::wstring& FileName) {
    TkyIniFile profile(FileName);
    profile.Section = SETUP_SECTION;
    TkyPageSetup setup;
    const std::int32_t paper = profile.ReadInteger(L"PaperSize", setup.PaperSize);
    if (paper > 0 && paper < 0x7FFF) {
        setup.PaperSize = static_cast<short>(paper);
    }
    const std::int32_t orientation = profile.ReadInteger(L"Orientation", setup.Orientation);
    if (orientation == DMORIENT_PORTRAIT || orientation == DMORIENT_LANDSCAPE) {
        setup.Orientation = static_cast<short>(orientation);
    }
    // A margin of up to 10 cm.
    const auto margin = [&profile](const wchar_t* Key, LONG& Value) {
        const std::int32_t read = profile.ReadInteger(Key, Value);
        if (read >= 0 && read <= 10000) {
            Value = read;
        }
    };
    margin(L"MarginLeft", setup.Margins.left);
    margin(L"MarginTop", setup.Margins.top);
    margin(L"MarginRight", setup.Margins.right);
    margin(L"MarginBottom", setup.Margins.bottom);
    return setup;
}

void WritePageSetup(const std::wstring& FileName, const TkyPageSetup& Setup) {
    TkyIniFile profile(FileName);
    profile.Section = SETUP_SECTION;
    profile.WriteInteger(L"PaperSize", Setup.PaperSize);
    profile.WriteInteger(L"Orientation", Setup.Orientation);
    profile.WriteInteger(L"MarginLeft", Setup.Margins.left);
    profile.WriteInteger(L"MarginTop", Setup.Margins.top);
    profile.WriteInteger(L"MarginRight", Setup.Margins.right);
    profile.WriteInteger(L"MarginBottom", Setup.Margins.bottom);
}

std::vector<std::wstring> InstalledPrinters() {
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<std::wstring> printers;
    if (needed == 0) {
        return printers;
    }
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count)) {
        return printers;
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        printers.emplace_back(info[i].pPrinterName);
    }
    return printers;
}

bool TkyPrintChoice::Wants(int Page) const {
    return Ranges.empty() || std::any_of(Ranges.begin(), Ranges.end(), [Page](const auto& Range) {
               return Range.first <= Page && Page <= Range.second;
           });
}

std::optional<TkyPrintChoice> PrinterChoice(const std::wstring& Name, const TkyPageSetup& Setup) {
    const TGlobal mode = MakeDevMode(Name, Setup);
    if (!mode) {
        return std::nullopt;
    }
    const auto* settings = static_cast<const DEVMODEW*>(GlobalLock(mode.get()));
    TkyPrinterDc dc(CreateDCW(L"WINSPOOL", Name.c_str(), nullptr, settings));
    GlobalUnlock(mode.get());
    if (!dc) {
        return std::nullopt;
    }
    return TkyPrintChoice{std::move(dc), Name, 1, {}};
}

std::optional<TkyPrintChoice> ShowPrintDialog(HWND Owner, const TkyPageSetup& Setup) {
    std::vector<PRINTPAGERANGE> ranges(16);
    PRINTDLGEXW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner;
    dialog.hDevMode = MakeDevMode(DefaultPrinter(), Setup).release();
    dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOCURRENTPAGE;
    dialog.nMaxPageRanges = static_cast<DWORD>(ranges.size());
    dialog.lpPageRanges = ranges.data();
    dialog.nMinPage = 1;
    dialog.nMaxPage = 0xFFFF;
    dialog.nCopies = 1;
    dialog.nStartPage = START_PAGE_GENERAL;
    const HRESULT result = PrintDlgExW(&dialog);
    const TGlobal mode(dialog.hDevMode);
    const TGlobal names(dialog.hDevNames);
    TkyPrinterDc dc(dialog.hDC);
    if (result != S_OK) {
        throw EkyError(L"PrintDlgEx failed: " + IntText(static_cast<std::int64_t>(result)));
    }
    if (dialog.dwResultAction != PD_RESULT_PRINT) {
        return std::nullopt;
    }
    if (!dc) {
        throw EkyError(L"PrintDlgEx gave no device context: " + IntText(CommDlgExtendedError()));
    }
    TkyPrintChoice choice{std::move(dc),
                          DeviceName(dialog.hDevNames),
                          std::max<int>(1, static_cast<int>(dialog.nCopies)),
                          {}};
    if ((dialog.Flags & PD_PAGENUMS) != 0) {
        for (DWORD i = 0; i < dialog.nPageRanges; ++i) {
            choice.Ranges.emplace_back(static_cast<int>(ranges[i].nFromPage),
                                       static_cast<int>(ranges[i].nToPage));
        }
    }
    return choice;
}

bool ShowPageSetupDialog(HWND Owner, TkyPageSetup& Setup) {
    PAGESETUPDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner;
    dialog.hDevMode = MakeDevMode(DefaultPrinter(), Setup).release();
    dialog.Flags = PSD_INHUNDREDTHSOFMILLIMETERS | PSD_MARGINS;
    dialog.rtMargin = Setup.Margins;
    const BOOL confirmed = PageSetupDlgW(&dialog);
    const TGlobal mode(dialog.hDevMode);
    const TGlobal names(dialog.hDevNames);
    if (!confirmed) {
        return false;
    }
    Setup.Margins = dialog.rtMargin;
    if (const auto* settings = static_cast<const DEVMODEW*>(GlobalLock(dialog.hDevMode))) {
        if ((settings->dmFields & DM_PAPERSIZE) != 0) {
            Setup.PaperSize = settings->dmPaperSize;
        }
        if ((settings->dmFields & DM_ORIENTATION) != 0) {
            Setup.Orientation = settings->dmOrientation;
        }
        GlobalUnlock(dialog.hDevMode);
    }
    return true;
}

RECT PrintableArea(HDC Dc, const RECT& Margins) {
    const int dpiX = GetDeviceCaps(Dc, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(Dc, LOGPIXELSY);
    const int offsetX = GetDeviceCaps(Dc, PHYSICALOFFSETX);
    const int offsetY = GetDeviceCaps(Dc, PHYSICALOFFSETY);
    const int pageWidth = GetDeviceCaps(Dc, PHYSICALWIDTH);
    const int pageHeight = GetDeviceCaps(Dc, PHYSICALHEIGHT);
    const int width = GetDeviceCaps(Dc, HORZRES);
    const int height = GetDeviceCaps(Dc, VERTRES);
    const auto device = [](LONG Hundredths, int Dpi) { return MulDiv(Hundredths, Dpi, 2540); };
    RECT area{std::max(device(Margins.left, dpiX) - offsetX, 0),
              std::max(device(Margins.top, dpiY) - offsetY, 0),
              std::min(pageWidth - device(Margins.right, dpiX) - offsetX, width),
              std::min(pageHeight - device(Margins.bottom, dpiY) - offsetY, height)};
    // Margins wider than the page leave the whole printable area.
    if (area.right <= area.left || area.bottom <= area.top) {
        area = {0, 0, width, height};
    }
    return area;
}

TkyPrintDocument::~TkyPrintDocument() {
    if (FOpen) {
        AbortDoc(FDc);
    }
}

DWORD TkyPrintDocument::Start(const std::wstring& Name) {
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = Name.c_str();
    SetLastError(0);
    if (StartDocW(FDc, &info) <= 0) {
        return LastErrorCode();
    }
    FOpen = true;
    return 0;
}

DWORD TkyPrintDocument::StartPage() {
    SetLastError(0);
    return ::StartPage(FDc) > 0 ? 0 : LastErrorCode();
}

DWORD TkyPrintDocument::EndPage() {
    SetLastError(0);
    return ::EndPage(FDc) > 0 ? 0 : LastErrorCode();
}

DWORD TkyPrintDocument::Finish() {
    SetLastError(0);
    // A document the printer would not end stays open, to be cancelled by the destructor.
    if (EndDoc(FDc) <= 0) {
        return LastErrorCode();
    }
    FOpen = false;
    return 0;
}
