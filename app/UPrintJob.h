#pragma once

#include "UCalculationDocument.h"
#include "UDepositResult.h"
#include "UDepositPlan.h"

#include "UkyPrinter.h"

#include <windows.h>

#include <string>

// What a print job prints.
enum class TPrintKind { Schedule, Comparison, Chart };

// What is printed: the calculation's result and its comparison of the terms.
struct TPrintSource {
    const TDepositResult& Result;
    const TDepositPlan& Comparison;
};

// The name of a print job in the printer's queue: "Yieldora schedule", "Yieldora comparison",
// "Yieldora chart" (plain ASCII, as print queues and the files they write take it).
std::wstring PrintJobName(TPrintKind Kind);

// Today's date as the pages state it: "2026年12月8日".
std::wstring TodayText();

// The box's text when no printer is installed.
inline const std::wstring NO_PRINTER_MESSAGE =
    L"没有安装打印机，无法打印。请先在系统中添加打印机。";

// Prints Kind of Source onto Choice's printer, with Setup's margins, each page stating Date: the
// texts measured with the printer's own device context, in a smaller font where the columns would
// not fit the paper; the charts drawn at the printer's resolution. Answers the message for the
// user: empty when the job was printed; else why not, naming the printer (the job was then
// cancelled with AbortDoc; when none of the pages asked for exists, no job was started).
std::wstring PrintPages(const TkyPrintChoice& Choice, const TkyPageSetup& Setup, TPrintKind Kind,
                        const TPrintSource& Source, const std::wstring& Date);

// The Print command of a window: the standard Print dialog owned by Owner, then the job, with the
// page set-up of the profile FileName. No printer installed, a failed dialog, or a job that
// fails or is cancelled: a box owned by Owner says so. Cancelling the dialog does nothing.
void PrintWithDialog(HWND Owner, TPrintKind Kind, const TPrintSource& Source,
                     const std::wstring& FileName);

// The page set-up command: the dialog owned by Owner, its choices kept in the profile FileName.
void SetUpPages(HWND Owner, const std::wstring& FileName);

// The print commands of a window's menu, after a separator: "打印…\tCtrl+P" (PrintId), greyed
// unless Printable, and "页面设置…" (SetupId).
void AppendPrintCommands(HMENU Menu, bool Printable, UINT_PTR PrintId, UINT_PTR SetupId);

// The Print command of a window that shows Kind of Document, with the page set-up of the
// program's profile (PrintWithDialog). Before the first calculation there is nothing to print: a
// beep.
void PrintDocument(HWND Owner, TPrintKind Kind, const TCalculationDocument& Document);

// The page set-up command of a window: SetUpPages with the program's profile.
void SetUpDocumentPages(HWND Owner);
