#include "UPrintJob.h"

#include "UChartWindow.h"
#include "UCompareWindow.h"
#include "UPrintLayout.h"
#include "UResultFile.h"

#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyHandles.h"
#include "UkyIniFile.h"

#include <algorithm>

namespace {

// The face asked for; with GB2312_CHARSET the font mapper picks a face that has the Chinese
// glyphs where the system lacks this one (SimSun on Windows): a printer's driver does not fall
// back per character.
const wchar_t* const FONT_FACE = L"WenQuanYi Micro Hei";
constexpr int LARGEST_POINTS = 10;
constexpr int SMALLEST_POINTS = 6;

TkyGdiObject<HFONT> MakeFont(int Dpi, int Points, bool Bold) {
    return TkyGdiObject<HFONT>(
        CreateFontW(-MulDiv(Points, Dpi, 72), 0, 0, 0, Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                    FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, FONT_FACE));
}

// The width of Text in the font selected into Dc.
int SelectedTextWidth(HDC Dc, const std::wstring& Text) {
    SIZE size{};
    GetTextExtentPoint32W(Dc, Text.c_str(), static_cast<int>(Text.size()), &size);
    return size.cx;
}

int TextWidthIn(HDC Dc, HFONT Font, const std::wstring& Text) {
    const TkySelection selection(Dc, Font);
    return SelectedTextWidth(Dc, Text);
}

// The fonts of one size and the pages laid out in them.
struct TLaidOut {
    TkyGdiObject<HFONT> Normal;
    TkyGdiObject<HFONT> Bold;
    TPrintDocument Document;
};

TPrintDocument Layout(TPrintKind Kind, const TPrintSource& Source, const TPrintMetrics& Metrics,
                      const std::wstring& Date) {
    switch (Kind) {
    case TPrintKind::Schedule:
        return LayoutSchedulePrint(Source.Result, Metrics, Date);
    case TPrintKind::Comparison:
        return LayoutComparisonPrint(Source.Comparison, Metrics, Date);
    case TPrintKind::Chart:
        break;
    }
    return LayoutChartPrint(Metrics, Date);
}

// The pages in the largest font size at which they fit the area's width.
TLaidOut LayOut(HDC Dc, const RECT& Area, TPrintKind Kind, const TPrintSource& Source,
                const std::wstring& Date) {
    const int dpi = GetDeviceCaps(Dc, LOGPIXELSY);
    for (int points = LARGEST_POINTS;; --points) {
        TLaidOut laidOut{MakeFont(dpi, points, false), MakeFont(dpi, points, true), {}};
        TEXTMETRICW metrics{};
        {
            const TkySelection selection(Dc, laidOut.Normal.get());
            GetTextMetricsW(Dc, &metrics);
        }
        const HFONT normal = laidOut.Normal.get();
        const HFONT bold = laidOut.Bold.get();
        const TPrintMetrics page{
            static_cast<int>(Area.right - Area.left), static_cast<int>(Area.bottom - Area.top),
            static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading + metrics.tmHeight / 5),
            [Dc, normal, bold](const std::wstring& Text, bool Bold) {
                return TextWidthIn(Dc, Bold ? bold : normal, Text);
            }};
        laidOut.Document = Layout(Kind, Source, page, Date);
        if (laidOut.Document.Fits || points == SMALLEST_POINTS) {
            return laidOut;
        }
    }
}

// Each font is selected once a page: a printer's driver may do work of its own at each selection.
void DrawTexts(HDC Dc, const TPrintPage& Page, const TLaidOut& Fonts) {
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, RGB(0, 0, 0));
    SetTextAlign(Dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    for (const bool bold : {false, true}) {
        const TkySelection selection(Dc, bold ? Fonts.Bold.get() : Fonts.Normal.get());
        for (const TPrintText& text : Page.Texts) {
            if (text.Bold != bold) {
                continue;
            }
            const int x = text.Align == TPrintAlign::Right
                              ? text.X + text.Width - SelectedTextWidth(Dc, text.Text)
                              : text.X;
            TextOutW(Dc, x, text.Y, text.Text.c_str(), static_cast<int>(text.Text.size()));
        }
    }
}

void DrawLines(HDC Dc, const TPrintPage& Page, int Dpi) {
    {
        const TkyGdiObject<HPEN> thin(CreatePen(PS_SOLID, std::max(1, Dpi / 150), RGB(0, 0, 0)));
        const TkySelection selection(Dc, thin.get());
        for (const TPrintRule& rule : Page.Rules) {
            MoveToEx(Dc, rule.X1, rule.Y, nullptr);
            LineTo(Dc, rule.X2, rule.Y);
        }
    }
    const TkyGdiObject<HPEN> thick(CreatePen(PS_SOLID, std::max(1, Dpi / 72), RGB(0, 0, 0)));
    const TkySelection pen(Dc, thick.get());
    const TkySelection brush(Dc, GetStockObject(NULL_BRUSH));
    const int pad = std::max(1, Dpi / 50);
    for (const TChartRect& frame : Page.Frames) {
        Rectangle(Dc, frame.Left - pad, frame.Top - pad, frame.Right + pad, frame.Bottom + pad);
    }
}

void DrawPicture(HDC Dc, const TPrintPage& Page, const RECT& Area, const TPrintSource& Source,
                 const TLaidOut& Fonts, int Dpi) {
    const TChartRect& r = Page.PictureRect;
    if (Page.Picture == TPrintPicture::GrowthChart) {
        POINT old{};
        SetViewportOrgEx(Dc, Area.left + r.Left, Area.top + r.Top, &old);
        DrawGrowthChart(Dc, MakeChartData(Source.Result.Source()), r.Right - r.Left,
                        r.Bottom - r.Top, Dpi, GB2312_CHARSET);
        SetViewportOrgEx(Dc, old.x, old.y, nullptr);
    } else if (Page.Picture == TPrintPicture::ComparisonChart) {
        DrawComparisonChart(Dc, {r.Left, r.Top, r.Right, r.Bottom}, Source.Comparison,
                            Fonts.Normal.get(), Dpi);
    }
}

bool IsCancelled(DWORD Error) {
    return Error == ERROR_CANCELLED || Error == ERROR_PRINT_CANCELLED;
}

std::wstring FailureText(const std::wstring& Printer, DWORD Error) {
    if (IsCancelled(Error)) {
        return L"打印机“" + Printer + L"”上的打印已取消。";
    }
    return L"在打印机“" + Printer + L"”上打印失败：" + SystemErrorText(Error) +
           L"\r\n本次打印已取消。";
}

} // namespace

std::wstring PrintJobName(TPrintKind Kind) {
    switch (Kind) {
    case TPrintKind::Schedule:
        return L"Yieldora schedule";
    case TPrintKind::Comparison:
        return L"Yieldora comparison";
    case TPrintKind::Chart:
        break;
    }
    return L"Yieldora chart";
}

std::wstring TodayText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return IntText(now.wYear) + L"年" + IntText(now.wMonth) + L"月" + IntText(now.wDay) + L"日";
}

std::wstring PrintPages(const TkyPrintChoice& Choice, const TkyPageSetup& Setup, TPrintKind Kind,
                        const TPrintSource& Source, const std::wstring& Date) {
    const HDC dc = Choice.Dc.get();
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const RECT area = PrintableArea(dc, Setup.Margins);
    const TLaidOut laidOut = LayOut(dc, area, Kind, Source, Date);
    const int count = static_cast<int>(laidOut.Document.Pages.size());
    bool wanted = false;
    for (int i = 1; i <= count; ++i) {
        wanted = wanted || Choice.Wants(i);
    }
    // The printer would put out a blank sheet for a job without pages.
    if (!wanted) {
        return L"本次打印共 " + IntText(count) + L" 页，所选的页码范围内没有页：打印机“" +
               Choice.PrinterName + L"”未打印任何内容。";
    }
    TkyPrintDocument document(dc);
    DWORD error = document.Start(PrintJobName(Kind));
    for (int copy = 0; error == 0 && copy < Choice.Copies; ++copy) {
        for (int i = 0; error == 0 && i < count; ++i) {
            if (!Choice.Wants(i + 1)) {
                continue;
            }
            error = document.StartPage();
            if (error != 0) {
                break;
            }
            const TPrintPage& page = laidOut.Document.Pages[static_cast<std::size_t>(i)];
            SetMapMode(dc, MM_TEXT);
            SetViewportOrgEx(dc, area.left, area.top, nullptr);
            DrawPicture(dc, page, area, Source, laidOut, dpi);
            DrawLines(dc, page, dpi);
            DrawTexts(dc, page, laidOut);
            error = document.EndPage();
        }
    }
    if (error == 0) {
        error = document.Finish();
    }
    return error == 0 ? std::wstring() : FailureText(Choice.PrinterName, error);
}

void PrintWithDialog(HWND Owner, TPrintKind Kind, const TPrintSource& Source,
                     const std::wstring& FileName) {
    if (InstalledPrinters().empty()) {
        ShowMessageBox(Owner, NO_PRINTER_MESSAGE, MSGBOX_ERROR, L"");
        return;
    }
    const TkyPageSetup setup = ReadPageSetup(FileName);
    std::optional<TkyPrintChoice> choice;
    try {
        choice = ShowPrintDialog(Owner, setup);
    } catch (const EkyError& e) {
        ShowMessageBox(Owner, L"无法打开打印对话框：" + e.Message(), MSGBOX_ERROR, L"");
        return;
    }
    if (!choice) {
        return;
    }
    const std::wstring failure = PrintPages(*choice, setup, Kind, Source, TodayText());
    if (!failure.empty()) {
        ShowMessageBox(Owner, failure, MSGBOX_ERROR, L"");
    }
}

void SetUpPages(HWND Owner, const std::wstring& FileName) {
    if (InstalledPrinters().empty()) {
        ShowMessageBox(Owner, NO_PRINTER_MESSAGE, MSGBOX_ERROR, L"");
        return;
    }
    TkyPageSetup setup = ReadPageSetup(FileName);
    if (ShowPageSetupDialog(Owner, setup)) {
        WritePageSetup(FileName, setup);
    }
}

void AppendPrintCommands(HMENU Menu, bool Printable, UINT_PTR PrintId, UINT_PTR SetupId) {
    AppendMenuW(Menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(Menu, MF_STRING | (Printable ? 0u : MF_GRAYED), PrintId, L"打印…\tCtrl+P");
    AppendMenuW(Menu, MF_STRING, SetupId, L"页面设置…");
}

void PrintDocument(HWND Owner, TPrintKind Kind, const TCalculationDocument& Document) {
    if (!Document.Result()) {
        MessageBeep(MB_OK);
        return;
    }
    PrintWithDialog(Owner, Kind, {*Document.Result(), Document.Comparison()}, ProfilePath());
}

void SetUpDocumentPages(HWND Owner) {
    SetUpPages(Owner, ProfilePath());
}
