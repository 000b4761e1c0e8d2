#pragma once

#include "UkyHandles.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The paper, its orientation and the margins pages are printed with, as the page set-up dialog
// chooses them; kept in the profile's section "PageSetup".
struct TkyPageSetup {
    short PaperSize = DMPAPER_A4;
    short Orientation = DMORIENT_PORTRAIT;
    // Left, top, right and bottom, in hundredths of a millimetre.
    RECT Margins{2000, 2000, 2000, 2000};

    bool operator==(const TkyPageSetup& Other) const;
};

// The page set-up of the profile FileName ("PaperSize", "Orientation", "MarginLeft", "MarginTop",
// "MarginRight", "MarginBottom" of the section "PageSetup"); what is missing or out of range keeps
// the default.
TkyPageSetup ReadPageSetup(const std::wstring& FileName);
void WritePageSetup(const std::wstring& FileName, const TkyPageSetup& Setup);

// A printer's device context, deleted with its owner.
using TkyPrinterDc = TkyMemoryDc;

// The printers installed; empty when there are none.
std::vector<std::wstring> InstalledPrinters();

// What is to be printed where: the printer's device context (with the paper and orientation of
// the set-up), the printer's name, how many copies, and the pages asked for (first and last,
// counted from 1; none for all pages).
struct TkyPrintChoice {
    TkyPrinterDc Dc;
    std::wstring PrinterName;
    int Copies = 1;
    std::vector<std::pair<int, int>> Ranges;

    // Whether page Page (from 1) is among those asked for.
    bool Wants(int Page) const;
};

// A device context for the printer Name with Setup's paper and orientation, for all pages, once;
// none when there is no printer of that name.
std::optional<TkyPrintChoice> PrinterChoice(const std::wstring& Name, const TkyPageSetup& Setup);

// The standard Print dialog, owned by Owner, showing the default printer with Setup's paper and
// orientation: the printer, the copies and the page range as chosen; none when the user cancels.
// Raises EkyError when the dialog fails.
std::optional<TkyPrintChoice> ShowPrintDialog(HWND Owner, const TkyPageSetup& Setup);

// The standard page set-up dialog, owned by Owner, starting from Setup; true when the user
// confirmed, and Setup then holds the choices.
bool ShowPageSetupDialog(HWND Owner, TkyPageSetup& Setup);

// The device's printable area within the margins, in its own units from the corner of what it
// can print: Left and Top are where the area starts.
RECT PrintableArea(HDC Dc, const RECT& Margins);

// A document being printed on Dc under the name Name: Start (StartDocW) begins it, Finish
// (EndDoc) ends it, and a document started and not finished is cancelled (AbortDoc) when it is
// destroyed. Each step answers 0, or the system's error code when the printer refused it
// (ERROR_CANCELLED when the user cancelled the job).
class TkyPrintDocument {
public:
    explicit TkyPrintDocument(HDC Dc) : FDc(Dc) {}
    TkyPrintDocument(const TkyPrintDocument&) = delete;
    TkyPrintDocument& operator=(const TkyPrintDocument&) = delete;
    ~TkyPrintDocument();

    DWORD Start(const std::wstring& Name);
    DWORD StartPage();
    DWORD EndPage();
    DWORD Finish();

private:
    HDC FDc;
    bool FOpen = false;
};
