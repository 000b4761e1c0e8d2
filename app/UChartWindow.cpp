#include "UChartWindow.h"

#include "UChartAccessible.h"
#include "UChartPalette.h"
#include "UComparisonChart.h"
#include "UPrintJob.h"
#include "UResultFile.h"

#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyHandles.h"
#include "UkyIniFile.h"
#include "UkyPng.h"
#include "UkySaveDialog.h"
#include "UkyScaling.h"
#include "UkyWinControl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

// Its class, caption, icon, size and least size, and the keys "ChartLeft" ... of its place.
const TkyTopWindowKind CHART_KIND{L"YieldoraChart", L"收益图", 1, {640, 440}, {320, 240}, L"Chart"};
const wchar_t* const FONT_FACE = L"Tahoma";

constexpr UINT_PTR MENU_COPY = 1;
constexpr UINT_PTR MENU_SAVE = 2;
constexpr UINT_PTR MENU_COMPARISON = 3;
constexpr UINT_PTR MENU_PRINT = 4;
constexpr UINT_PTR MENU_PAGE_SETUP = 5;

TkyGdiObject<HFONT> MakeFont(int Dpi, int Points, bool Bold, BYTE CharSet = DEFAULT_CHARSET) {
    return TkyGdiObject<HFONT>(CreateFontW(-MulDiv(Points, Dpi, 72), 0, 0, 0,
                                           Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, CharSet,
                                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                           DEFAULT_PITCH | FF_SWISS, FONT_FACE));
}

void FillArea(HDC Dc, const RECT& Area, COLORREF Colour) {
    const TkyGdiObject<HBRUSH> brush(CreateSolidBrush(Colour));
    FillRect(Dc, &Area, brush.get());
}

// The interest's area: hatched in the system's colours.
void FillInterest(HDC Dc, const RECT& Area, const TChartPalette& Palette) {
    const TkyGdiObject<HBRUSH> brush = ChartBrush(Palette, Palette.Interest, true);
    FillRect(Dc, &Area, brush.get());
}

void Line(HDC Dc, int X1, int Y1, int X2, int Y2) {
    MoveToEx(Dc, X1, Y1, nullptr);
    LineTo(Dc, X2, Y2);
}

SIZE TextSize(HDC Dc, const std::wstring& Text) {
    SIZE size{};
    GetTextExtentPoint32W(Dc, Text.c_str(), static_cast<int>(Text.size()), &size);
    return size;
}

using TTextLog = std::vector<TChartWindow::TPlacedText>;

// Draws Text into Area; with a log, also notes where it went and the room it took.
void DrawTextAt(HDC Dc, const std::wstring& Text, RECT Area, UINT Format, TTextLog* Log) {
    if (Log != nullptr) {
        RECT need{};
        DrawTextW(Dc, Text.c_str(), static_cast<int>(Text.size()), &need,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        Log->push_back({Text, Area, {need.right - need.left, need.bottom - need.top}});
    }
    DrawTextW(Dc, Text.c_str(), static_cast<int>(Text.size()), &Area, Format | DT_NOPREFIX);
}

// The withdrawn-interest marker: a filled dot.
void Marker(HDC Dc, int X, int Y, int Radius) {
    Ellipse(Dc, X - Radius, Y - Radius, X + Radius + 1, Y + Radius + 1);
}

void DrawLegend(HDC Dc, const TChartLayout& Layout, bool Deposit, const TChartPalette& Palette,
                TTextLog* Log) {
    const int dpi = Layout.Dpi;
    const int box = ScaleToDpi(12, dpi);
    const int gap = ScaleToDpi(6, dpi);
    const int space = ScaleToDpi(18, dpi);
    struct TEntry {
        std::wstring Text;
        COLORREF Colour;
        bool IsLine;
        bool Hatched = false;
    };
    std::vector<TEntry> entries{{L"本金", Palette.Capital, false},
                                {L"利息", Palette.Interest, false, true}};
    if (!Deposit) {
        entries.push_back({L"已取出利息", Palette.Withdrawn, true});
    }
    int width = 0;
    for (const TEntry& entry : entries) {
        width += box + gap + TextSize(Dc, entry.Text).cx + space;
    }
    width -= space;
    const RECT& area{Layout.LegendRect.Left, Layout.LegendRect.Top, Layout.LegendRect.Right,
                     Layout.LegendRect.Bottom};
    int x = (area.left + area.right - width) / 2;
    const int middle = (area.top + area.bottom) / 2;
    for (const TEntry& entry : entries) {
        if (entry.IsLine) {
            const TkyGdiObject<HPEN> pen = ChartPen(Palette, entry.Colour, ScaleToDpi(2, dpi), 1);
            const TkyGdiObject<HBRUSH> brush(CreateSolidBrush(entry.Colour));
            const TkySelection penSelection(Dc, pen.get());
            const TkySelection brushSelection(Dc, brush.get());
            Line(Dc, x, middle, x + box, middle);
            Marker(Dc, x + box / 2, middle, ScaleToDpi(3, dpi));
        } else if (entry.Hatched) {
            FillInterest(Dc, {x, middle - box / 2, x + box, middle - box / 2 + box}, Palette);
        } else {
            FillArea(Dc, {x, middle - box / 2, x + box, middle - box / 2 + box}, entry.Colour);
        }
        x += box + gap;
        const int textWidth = TextSize(Dc, entry.Text).cx;
        DrawTextAt(Dc, entry.Text, {x, area.top, x + textWidth, area.bottom},
                   DT_LEFT | DT_VCENTER | DT_SINGLELINE, Log);
        x += textWidth + space;
    }
}

void DrawAxes(HDC Dc, const TChartLayout& Layout, const TChartPalette& Palette, TTextLog* Log) {
    const int dpi = Layout.Dpi;
    const TChartRect& plot = Layout.Plot;
    const int labelRight = plot.Left - ScaleToDpi(6, dpi);
    const int half = ScaleToDpi(10, dpi);
    {
        const TkyGdiObject<HPEN> grid(CreatePen(PS_SOLID, 1, Palette.Grid));
        const TkySelection selection(Dc, grid.get());
        for (const TChartTick& tick : Layout.Ticks) {
            if (tick.Y != plot.Bottom) {
                Line(Dc, plot.Left, tick.Y, plot.Right, tick.Y);
            }
        }
    }
    for (const TChartTick& tick : Layout.Ticks) {
        DrawTextAt(Dc, tick.Label, {0, tick.Y - half, labelRight, tick.Y + half},
                   DT_RIGHT | DT_VCENTER | DT_SINGLELINE, Log);
    }
    DrawTextAt(Dc, Layout.ValueCaption,
               {0, plot.Top - ScaleToDpi(34, dpi), labelRight, plot.Top - ScaleToDpi(12, dpi)},
               DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, Log);
    const int labelBottom = Layout.YearLabelTop + ScaleToDpi(18, dpi);
    for (const TChartYearLabel& label : Layout.YearLabels) {
        DrawTextAt(Dc, label.Label,
                   {label.X - ScaleToDpi(20, dpi), Layout.YearLabelTop,
                    label.X + ScaleToDpi(21, dpi), labelBottom},
                   DT_CENTER | DT_TOP | DT_SINGLELINE, Log);
    }
    DrawTextAt(Dc, L"年", {plot.Left, labelBottom, plot.Right, labelBottom + ScaleToDpi(18, dpi)},
               DT_RIGHT | DT_TOP | DT_SINGLELINE, Log);
}

void DrawBars(HDC Dc, const TChartLayout& Layout, const TChartPalette& Palette) {
    for (const TChartBar& bar : Layout.Bars) {
        const TChartRect& r = bar.Rect;
        if (bar.CapitalTop < r.Bottom) {
            FillArea(Dc, {r.Left, bar.CapitalTop, r.Right, r.Bottom}, Palette.Capital);
        }
        if (r.Top < bar.CapitalTop) {
            FillInterest(Dc, {r.Left, r.Top, r.Right, bar.CapitalTop}, Palette);
        }
    }
    const TChartRect& plot = Layout.Plot;
    const TkyGdiObject<HPEN> axis(CreatePen(PS_SOLID, 1, Palette.Text));
    const TkySelection selection(Dc, axis.get());
    Line(Dc, plot.Left, plot.Top, plot.Left, plot.Bottom);
    Line(Dc, plot.Left, plot.Bottom, plot.Right, plot.Bottom);
}

void DrawWithdrawnLine(HDC Dc, const TChartLayout& Layout, const TChartPalette& Palette) {
    if (Layout.WithdrawnLine.empty()) {
        return;
    }
    std::vector<POINT> points;
    for (const TChartPoint& point : Layout.WithdrawnLine) {
        points.push_back({point.X, point.Y});
    }
    const TkyGdiObject<HPEN> pen =
        ChartPen(Palette, Palette.Withdrawn, ScaleToDpi(2, Layout.Dpi), 1);
    const TkyGdiObject<HBRUSH> brush(CreateSolidBrush(Palette.Withdrawn));
    const TkySelection penSelection(Dc, pen.get());
    const TkySelection brushSelection(Dc, brush.get());
    Polyline(Dc, points.data(), static_cast<int>(points.size()));
    for (const POINT& point : points) {
        Marker(Dc, point.x, point.y, ScaleToDpi(3, Layout.Dpi));
    }
}

// The bars of Data as a Width x Height picture at Dpi, its texts in fonts of CharSet.
void DrawBarChart(HDC Dc, const TChartData& Data, int Width, int Height, int Dpi, BYTE CharSet,
                  TTextLog* Log) {
    const TChartLayout layout = LayoutChart(Data, Width, Height, Dpi);
    const TChartPalette palette = ChartPaletteFor(Dc);
    FillArea(Dc, {0, 0, Width, Height}, palette.Back);
    const TkyGdiObject<HFONT> font = MakeFont(Dpi, 9, false, CharSet);
    const TkySelection fontSelection(Dc, font.get());
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, palette.Text);
    if (layout.Empty) {
        DrawTextAt(Dc, CHART_EMPTY_TEXT, {0, 0, Width, Height},
                   DT_CENTER | DT_VCENTER | DT_SINGLELINE, Log);
        return;
    }
    {
        const TkyGdiObject<HFONT> titleFont = MakeFont(Dpi, 10, true, CharSet);
        const TkySelection titleSelection(Dc, titleFont.get());
        const TChartRect& r = layout.TitleRect;
        DrawTextAt(Dc, layout.Title, {r.Left, r.Top, r.Right, r.Bottom},
                   DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, Log);
    }
    DrawLegend(Dc, layout, Data.Inputs.Deposit, palette, Log);
    DrawAxes(Dc, layout, palette, Log);
    DrawBars(Dc, layout, palette);
    DrawWithdrawnLine(Dc, layout, palette);
}

// A picture of Width x Height pixels, 24 bits per pixel, rows top-down and 4-byte aligned.
struct TPicture {
    TkyGdiObject<HBITMAP> Bitmap;
    BYTE* Bits = nullptr;
    UINT Stride = 0;
};

TPicture MakePicture(int Width, int Height) {
    void* bits = nullptr;
    TPicture picture;
    picture.Bitmap = CreateTopDownDib(Width, Height, 24, &bits);
    picture.Bits = static_cast<BYTE*>(bits);
    picture.Stride = static_cast<UINT>((Width * 3 + 3) / 4 * 4);
    return picture;
}

void ShowError(HWND Owner, const std::wstring& Text) {
    ShowMessageBox(Owner, Text, MSGBOX_ERROR, L"错误!");
}

} // namespace

TChartWindow::TChartWindow(HWND Owner, const TCalculationDocument* Document)
    : TkyTopWindow(Owner, CHART_KIND), FDocument(Document) {}

void TChartWindow::SetData(TChartData Data) {
    FData = std::move(Data);
    if (Handle() != nullptr) {
        Relayout();
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void TChartWindow::DocumentChanged() {
    if (FDocument == nullptr) {
        return;
    }
    if (FDocument->Calculations() != FShownCalculation) {
        FShownCalculation = FDocument->Calculations();
        const std::optional<TDepositResult>& result = FDocument->Result();
        SetData(result ? MakeChartData(result->Source()) : TChartData{FDocument->Inputs(), {}});
    } else if (Handle() != nullptr && FComparisonShown) {
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

bool TChartWindow::HasPicture() const {
    if (!FComparisonShown) {
        return !FLayout.Empty;
    }
    // A line for every term with a plan, over at least one year.
    return FDocument != nullptr && FDocument->Comparison().Inputs.Year != 0 && ChildCount() > 0;
}

void TChartWindow::ShowComparison(bool Shown) {
    if (Shown != FComparisonShown) {
        FFocused.reset();
    }
    FComparisonShown = Shown;
    Show();
    Relayout();
    InvalidateRect(Handle(), nullptr, FALSE);
}

POINT TChartWindow::DefaultOrigin(const RECT& OwnerRect) const {
    return {OwnerRect.right + Scaled(8), OwnerRect.top};
}

void TChartWindow::Created() {
    FTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    SendMessageW(FTip, TTM_SETMAXTIPWIDTH, 0, Scaled(400));
    AnswerAccessible(Handle(), ChartAnswer([this] {
                         return TChartView{&FLayout, &FData,
                                           FComparisonShown && FDocument ? &FDocument->Comparison()
                                                                         : nullptr,
                                           FFocused};
                     }));
}

void TChartWindow::Resized() {
    Relayout();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TChartWindow::ScaleChanged() {
    SendMessageW(FTip, TTM_SETMAXTIPWIDTH, 0, Scaled(400));
}

void TChartWindow::Destroyed() {
    FTip = nullptr;
    FTipCount = 0;
}

SIZE TChartWindow::ClientSize() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return {client.right, client.bottom};
}

void TChartWindow::Relayout() {
    const SIZE size = ClientSize();
    FLayout = LayoutChart(FData, size.cx, size.cy, Dpi());
    if (FFocused && *FFocused >= ChildCount()) {
        FFocused.reset();
    }
    if (!FTip) {
        return;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = Handle();
    for (int i = 0; i < FTipCount; ++i) {
        tool.uId = static_cast<UINT_PTR>(i);
        SendMessageW(FTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    FTipCount = 0;
    if (FComparisonShown) {
        return;
    }
    for (const TChartBar& bar : FLayout.Bars) {
        std::wstring text = ChartBarTip(bar.Figures, FData.Inputs.Deposit);
        tool.uFlags = TTF_SUBCLASS;
        tool.uId = static_cast<UINT_PTR>(FTipCount);
        tool.rect = {bar.Rect.Left, bar.Rect.Top, bar.Rect.Right, bar.Rect.Bottom};
        tool.lpszText = text.data();
        SendMessageW(FTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        ++FTipCount;
    }
}

void TChartWindow::Render(HDC Dc, int Width, int Height, int Dpi) const {
    Draw(Dc, Width, Height, Dpi, nullptr);
}

std::vector<TChartWindow::TPlacedText> TChartWindow::PlacedTexts(int Width, int Height,
                                                                 int Dpi) const {
    std::vector<TPlacedText> texts;
    const TPicture picture = MakePicture(Width, Height);
    const TkyMemoryDc memory(CreateCompatibleDC(nullptr));
    if (picture.Bitmap && memory) {
        const TkySelection selection(memory.get(), picture.Bitmap.get());
        Draw(memory.get(), Width, Height, Dpi, &texts);
    }
    return texts;
}

void TChartWindow::Draw(HDC Dc, int Width, int Height, int Dpi, TTextLog* Log) const {
    if (!FComparisonShown) {
        DrawBarChart(Dc, FData, Width, Height, Dpi, DEFAULT_CHARSET, Log);
        return;
    }
    FillArea(Dc, {0, 0, Width, Height}, ChartPaletteFor(Dc).Back);
    const TkyGdiObject<HFONT> font = MakeFont(Dpi, 9, false);
    const TDepositPlan none{};
    DrawComparisonChart(Dc,
                        {ScaleToDpi(8, Dpi), ScaleToDpi(8, Dpi), Width - ScaleToDpi(8, Dpi),
                         Height - ScaleToDpi(8, Dpi)},
                        FDocument != nullptr ? FDocument->Comparison() : none, font.get(), Dpi);
}

void DrawGrowthChart(HDC Dc, const TChartData& Data, int Width, int Height, int Dpi, BYTE CharSet) {
    DrawBarChart(Dc, Data, Width, Height, Dpi, CharSet, nullptr);
}

void TChartWindow::Paint(HDC Dc, const RECT& Area) const {
    Render(Dc, Area.right - Area.left, Area.bottom - Area.top, Dpi());
    // The bar the keys are on, in a focus rectangle while the window has the focus.
    if (FFocused && !FComparisonShown && *FFocused < FLayout.Bars.size() &&
        GetFocus() == Handle()) {
        const TChartRect& bar = FLayout.Bars[*FFocused].Rect;
        const int room = Scaled(3);
        const RECT around{bar.Left - room, bar.Top - room, bar.Right + room, bar.Bottom + room};
        DrawFocusRect(Dc, &around);
    }
}

std::size_t TChartWindow::ChildCount() const {
    if (!FComparisonShown) {
        return FLayout.Bars.size();
    }
    if (FDocument == nullptr) {
        return 0;
    }
    const std::vector<TPlanRow>& rows = FDocument->Comparison().Rows;
    return static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [](const TPlanRow& Row) { return Row.Plan; }));
}

bool TChartWindow::MoveFocus(WPARAM Key) {
    const std::size_t count = ChildCount();
    std::size_t at = FFocused.value_or(0);
    switch (Key) {
    case VK_LEFT:
    case VK_UP:
        at = FFocused && at > 0 ? at - 1 : 0;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        at = FFocused ? at + 1 : 0;
        break;
    case VK_HOME:
        at = 0;
        break;
    case VK_END:
        at = count - 1;
        break;
    default:
        return false;
    }
    if (count == 0) {
        return true;
    }
    FFocused = std::min(at, count - 1);
    InvalidateRect(Handle(), nullptr, FALSE);
    // Screen readers follow the focus from child to child.
    NotifyWinEvent(EVENT_OBJECT_FOCUS, Handle(), OBJID_CLIENT, static_cast<LONG>(*FFocused + 1));
    return true;
}

bool TChartWindow::CopyToClipboard() const {
    if (Handle() == nullptr) {
        return false;
    }
    const SIZE size = ClientSize();
    TkyGdiObject<HBITMAP> bitmap;
    TkyMemoryDc memory;
    {
        const TkyWindowDc screen(nullptr);
        bitmap.reset(CreateCompatibleBitmap(screen.Handle(), size.cx, size.cy));
        memory.reset(CreateCompatibleDC(screen.Handle()));
    }
    const int dpi = Dpi();
    if (!bitmap || !memory) {
        return false;
    }
    {
        const TkySelection selection(memory.get(), bitmap.get());
        Render(memory.get(), size.cx, size.cy, dpi);
    }
    if (!OpenClipboard(Handle())) {
        return false;
    }
    EmptyClipboard();
    // The clipboard owns the bitmap once it has taken it.
    const bool taken = SetClipboardData(CF_BITMAP, bitmap.get()) != nullptr;
    if (taken) {
        bitmap.release();
    }
    CloseClipboard();
    return taken;
}

void TChartWindow::SaveAsPng(const std::wstring& FileName) const {
    const auto fail = [&FileName](const std::wstring& Reason) {
        throw EkyError(L"无法保存文件 " + FileName + L"：" + Reason);
    };
    const SIZE size = Handle() != nullptr ? ClientSize() : SIZE{};
    if (size.cx <= 0 || size.cy <= 0) {
        fail(L"图表窗口没有可保存的图片。");
    }
    const TPicture picture = MakePicture(size.cx, size.cy);
    const TkyMemoryDc memory(CreateCompatibleDC(nullptr));
    if (!picture.Bitmap || !memory) {
        fail(SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
    }
    {
        const TkySelection selection(memory.get(), picture.Bitmap.get());
        Render(memory.get(), size.cx, size.cy, Dpi());
        GdiFlush();
    }
    // The whole picture is made before the file is touched: the old file is replaced only by a
    // complete new one.
    std::string bytes;
    const HRESULT result = EncodePng(picture.Bits, picture.Stride, static_cast<UINT>(size.cx),
                                     static_cast<UINT>(size.cy), bytes);
    if (FAILED(result)) {
        fail(SystemErrorText(static_cast<DWORD>(result)));
    }
    SaveFileSafely(FileName, bytes);
}

void TChartWindow::ShowMenu(POINT Position) {
    if (Position.x == -1 && Position.y == -1) {
        const SIZE size = ClientSize();
        Position = {size.cx / 2, size.cy / 2};
        ClientToScreen(Handle(), &Position);
    }
    const TkyMenu menu(CreatePopupMenu());
    const UINT state = HasPicture() ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(menu.get(), MF_STRING | state, MENU_COPY, L"复制图片\tCtrl+C");
    AppendMenuW(menu.get(), MF_STRING | state, MENU_SAVE, L"另存为图片…");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING | (FComparisonShown ? MF_CHECKED : 0u), MENU_COMPARISON,
                L"存期比较");
    AppendPrintCommands(menu.get(), FDocument != nullptr && FDocument->Result() && HasPicture(),
                        MENU_PRINT, MENU_PAGE_SETUP);
    const auto command = static_cast<UINT_PTR>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, Position.x,
                       Position.y, 0, Handle(), nullptr));
    if (command == MENU_COPY) {
        CopyWithMessage();
    } else if (command == MENU_SAVE) {
        SaveWithDialog();
    } else if (command == MENU_COMPARISON) {
        ShowComparison(!FComparisonShown);
    } else if (command == MENU_PRINT) {
        Print();
    } else if (command == MENU_PAGE_SETUP) {
        SetUpDocumentPages(Handle());
    }
}

void TChartWindow::Print() const {
    if (FDocument == nullptr || !HasPicture()) {
        MessageBeep(MB_OK);
        return;
    }
    PrintDocument(Handle(), FComparisonShown ? TPrintKind::Comparison : TPrintKind::Chart,
                  *FDocument);
}

void TChartWindow::CopyWithMessage() const {
    if (!CopyToClipboard()) {
        ShowError(Handle(), L"剪贴板正被其他程序占用，复制图片失败！");
    }
}

void TChartWindow::SaveWithDialog() const {
    using namespace std::string_literals;
    DWORD error = 0;
    const std::optional<TkySaveDialogAnswer> answer = AskSaveFileName(
        Handle(), {L"收益图.png", L"PNG 图片 (*.png)\0*.png\0"s, L"png", L"", 0}, error);
    if (!answer) {
        if (error != 0) {
            ShowError(Handle(),
                      L"无法打开保存对话框，图片未保存（错误代码 " + IntText(error) + L"）。");
        }
        return;
    }
    try {
        SaveAsPng(answer->FileName);
    } catch (const EkyError& e) {
        ShowError(Handle(), e.Message());
    }
}

std::optional<LRESULT> TChartWindow::Message(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    switch (AMessage) {
    case WM_KEYDOWN:
        if (WParam == VK_ESCAPE) {
            Hide();
            return 0;
        }
        if (WParam == 'C' && GetKeyState(VK_CONTROL) < 0) {
            if (!HasPicture()) {
                MessageBeep(MB_OK);
            } else {
                CopyWithMessage();
            }
            return 0;
        }
        if (WParam == 'P' && GetKeyState(VK_CONTROL) < 0) {
            Print();
            return 0;
        }
        if (MoveFocus(WParam)) {
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The focus rectangle comes and goes with the focus.
        InvalidateRect(Handle(), nullptr, FALSE);
        break;
    case WM_CONTEXTMENU:
        ShowMenu({GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
        return 0;
    default:
        break;
    }
    return std::nullopt;
}
