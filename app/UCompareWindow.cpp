#include "UCompareWindow.h"

#include "UResultFile.h"
#include "UResultTable.h"
#include "UkyHandles.h"
#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyMath.h"
#include "UkyScaling.h"
#include "UkyUtf8.h"
#include "UkyWinControl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace {

const wchar_t* const CLASS_NAME = L"YieldoraCompare";
const wchar_t* const CAPTION = L"存期比较";

// The least size the window can be given, at 96 dots per inch.
constexpr int MIN_WIDTH = 480;
constexpr int MIN_HEIGHT = 360;
// A cell's text is inset by the list view a few pixels on either side.
constexpr int CELL_INSET = 14;

constexpr int TABLE_ID = 300;
constexpr int FIRST_EDIT_ID = 310;
constexpr UINT_PTR MENU_COPY = 1;
constexpr UINT_PTR MENU_SELECT_ALL = 2;
constexpr UINT_PTR MENU_SAVE = 3;
constexpr UINT_PTR MENU_CHART = 4;

constexpr COLORREF BEST_COLOUR = RGB(214, 245, 214);
constexpr COLORREF BEST_TEXT_COLOUR = RGB(0, 0, 0);
constexpr COLORREF ERROR_COLOUR = RGB(204, 0, 0);
constexpr COLORREF GRID_COLOUR = RGB(221, 221, 221);
// One colour per term, shortest first.
constexpr std::array<COLORREF, DEPOSIT_TERMS.size()> LINE_COLOURS{
    RGB(65, 105, 225), RGB(255, 140, 0), RGB(34, 139, 34), RGB(178, 34, 178), RGB(204, 34, 34)};

std::wstring WindowText(HWND Window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, text.data(), static_cast<int>(text.size()))));
    return text;
}

SIZE TextExtent(HDC Dc, const std::wstring& Text) {
    RECT need{};
    DrawTextW(Dc, Text.c_str(), static_cast<int>(Text.size()), &need,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {need.right - need.left, need.bottom - need.top};
}

// Draws Text into Area; with a log, also notes where it went and the room it took.
void DrawTextIn(HDC Dc, const std::wstring& Text, RECT Area, UINT Format,
                std::vector<TDrawnText>* Log) {
    if (Log != nullptr) {
        Log->push_back({Text, Area, TextExtent(Dc, Text)});
    }
    DrawTextW(Dc, Text.c_str(), static_cast<int>(Text.size()), &Area, Format | DT_NOPREFIX);
}

// The width a column of the table starts from, at 96 dots per inch: the term and the rate narrow,
// the remark wide.
int DefaultColumnWidth(std::size_t Column, std::size_t Columns) {
    return Column + 1 == Columns ? 200 : (Column < 2 ? 56 : 70);
}

// High contrast is on, or the user's scheme has a dark window, where a light ground would glare:
// the rows then keep the system's colours.
bool HighContrast() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0) {
        return true;
    }
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    return GetRValue(window) * 299 + GetGValue(window) * 587 + GetBValue(window) * 114 < 128000;
}

void ShowError(HWND Owner, const std::wstring& Text) {
    MessageBoxW(Owner, Text.c_str(), L"错误!", MB_OK | MB_ICONERROR);
}

} // namespace

void DrawComparisonChart(HDC Dc, const RECT& Area, const TTermComparison& Comparison, HFONT Font,
                         int Dpi, std::vector<TDrawnText>* Texts) {
    const auto scaled = [Dpi](int Length) { return MulDiv(Length, Dpi, 96); };
    const TkyGdiObject<HBRUSH> back(CreateSolidBrush(RGB(255, 255, 255)));
    FillRect(Dc, &Area, back.get());
    const TkySelection font(Dc, Font);
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, RGB(0, 0, 0));
    const int legendHeight = scaled(22);
    const TChartRect plot{Area.left + scaled(72), Area.top + legendHeight + scaled(8),
                          Area.right - scaled(16), Area.bottom - scaled(22)};
    const TComparisonChart chart = LayoutComparisonChart(Comparison, plot);
    if (chart.Lines.empty() || plot.Right - plot.Left < 2 || plot.Bottom - plot.Top < 2) {
        DrawTextIn(Dc, L"没有可比较的结果。", Area, DT_CENTER | DT_VCENTER | DT_SINGLELINE, Texts);
        return;
    }
    // The legend: a short line in the term's colour and its name, as wide as it is in the font,
    // for every line drawn.
    int x = plot.Left;
    for (const TComparisonLine& line : chart.Lines) {
        const TkyGdiObject<HPEN> pen(CreatePen(PS_SOLID, scaled(2), LINE_COLOURS[line.Row]));
        const TkySelection selection(Dc, pen.get());
        const int middle = Area.top + legendHeight / 2 + scaled(4);
        MoveToEx(Dc, x, middle, nullptr);
        LineTo(Dc, x + scaled(18), middle);
        const std::wstring label(DEPOSIT_TERMS[line.Row].Label);
        const int labelWidth = std::max<int>(TextExtent(Dc, label).cx, scaled(58));
        DrawTextIn(Dc, label,
                   {x + scaled(22), Area.top + scaled(4), x + scaled(22) + labelWidth,
                    middle + legendHeight / 2},
                   DT_LEFT | DT_VCENTER | DT_SINGLELINE, Texts);
        x += scaled(26) + labelWidth;
    }
    {
        const TkyGdiObject<HPEN> grid(CreatePen(PS_SOLID, 1, GRID_COLOUR));
        const TkySelection selection(Dc, grid.get());
        for (const TChartTick& tick : chart.Ticks) {
            MoveToEx(Dc, plot.Left, tick.Y, nullptr);
            LineTo(Dc, plot.Right, tick.Y);
            DrawTextIn(Dc, tick.Label,
                       {Area.left, tick.Y - scaled(9), plot.Left - scaled(6), tick.Y + scaled(9)},
                       DT_RIGHT | DT_VCENTER | DT_SINGLELINE, Texts);
        }
    }
    DrawTextIn(
        Dc, L"0",
        {plot.Left - scaled(20), plot.Bottom + scaled(2), plot.Left + scaled(20), Area.bottom},
        DT_CENTER | DT_TOP | DT_SINGLELINE, Texts);
    DrawTextIn(Dc, IntText(Comparison.Inputs.Year) + L" 年",
               {plot.Right - scaled(80), plot.Bottom + scaled(2), plot.Right, Area.bottom},
               DT_RIGHT | DT_TOP | DT_SINGLELINE, Texts);
    for (const TComparisonLine& line : chart.Lines) {
        std::vector<POINT> points;
        for (const TChartPoint& point : line.Points) {
            points.push_back({point.X, point.Y});
        }
        const TkyGdiObject<HPEN> pen(CreatePen(PS_SOLID, scaled(2), LINE_COLOURS[line.Row]));
        const TkySelection selection(Dc, pen.get());
        Polyline(Dc, points.data(), static_cast<int>(points.size()));
    }
}

TCompareWindow::TCompareWindow(HWND Owner, TCalculationDocument& Document)
    : FOwner(Owner), FDocument(Document) {}

TCompareWindow::~TCompareWindow() {
    // The window's last messages must not reach the object that is going.
    if (FHandle) {
        SetWindowLongPtrW(FHandle.get(), GWLP_USERDATA, 0);
    }
}

bool TCompareWindow::Visible() const {
    return FHandle && IsWindowVisible(FHandle.get());
}

void TCompareWindow::Show() {
    if (!FHandle) {
        CreateHandle();
    }
    if (FStale) {
        Refresh();
    }
    // A hidden window keeps its state: it comes back maximised when it was hidden so.
    FPlacement.Show(FHandle.get());
    // Activated, it gave one of its controls the focus; already active, it keeps the one it has.
    if (GetActiveWindow() == FHandle.get() && GetParent(GetFocus()) != FHandle.get()) {
        RestoreFocus();
    }
}

void TCompareWindow::DocumentChanged() {
    FStale = true;
    if (Visible()) {
        Refresh();
    }
}

void TCompareWindow::RestoreFocus() {
    const bool ours = FFocus != nullptr && IsWindow(FFocus) && GetParent(FFocus) == FHandle.get();
    const HWND focus = ours ? FFocus : FEdits[0];
    SetFocus(focus);
    if (focus != FTable) {
        SendMessageW(focus, EM_SETSEL, 0, -1);
    }
}

int TCompareWindow::Dpi() const {
    return FDpi > 0 ? FDpi : WindowDpi(FHandle ? FHandle.get() : FOwner);
}

int TCompareWindow::Scaled(int Length) const {
    return MulDiv(Length, Dpi(), 96);
}

void TCompareWindow::ApplyFont() {
    FFont = ScaleFont(FBaseFont.get(), FBaseDpi, Dpi());
    const auto font = reinterpret_cast<WPARAM>(FFont.get());
    for (std::size_t i = 0; i < FEdits.size(); ++i) {
        SendMessageW(FLabels[i], WM_SETFONT, font, FALSE);
        SendMessageW(FEdits[i], WM_SETFONT, font, FALSE);
    }
    // The list view hands it on to its header.
    SendMessageW(FTable, WM_SETFONT, font, FALSE);
}

void TCompareWindow::CreateHandle() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExW(instance, CLASS_NAME, &windowClass)) {
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &ObjectWindowProc<TCompareWindow>;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = CLASS_NAME;
        RegisterClassExW(&windowClass);
    }
    const int width = Scaled(660);
    const int height = Scaled(500);
    RECT owner{};
    GetWindowRect(FOwner, &owner);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(FOwner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int left =
        std::max<int>(work.left, std::min<int>(owner.left + Scaled(24), work.right - width));
    const int top =
        std::max<int>(work.top, std::min<int>(owner.top + Scaled(24), work.bottom - height));
    CreateWindowExW(0, CLASS_NAME, CAPTION, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, width,
                    height, FOwner, nullptr, instance, this);
    const HWND window = FHandle.get();
    // A copy of its own: the owner replaces its font when its scale changes. An owner without a
    // font of its own draws with the system's.
    FBaseDpi = WindowDpi(FOwner);
    auto ownerFont = reinterpret_cast<HFONT>(SendMessageW(FOwner, WM_GETFONT, 0, 0));
    if (ownerFont == nullptr) {
        ownerFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    FBaseFont = ScaleFont(ownerFont, FBaseDpi, FBaseDpi);

    FWriting = true;
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        FLabels[i] = CreateWindowExW(
            0, L"STATIC", (std::wstring(DEPOSIT_TERMS[i].Label) + L"：").c_str(),
            WS_CHILD | WS_VISIBLE | SS_RIGHT, 0, 0, 0, 0, window, nullptr, instance, nullptr);
        FEdits[i] = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", FDocument.TermRateText(i).c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(FIRST_EDIT_ID + static_cast<int>(i))),
            instance, nullptr);
    }
    FWriting = false;
    FTable = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 0, 0, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(TABLE_ID)), instance, nullptr);
    SendMessageW(FTable, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (const HWND edit : FEdits) {
        SetWindowSubclass(edit, &TCompareWindow::FieldProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    SetWindowSubclass(FTable, &TCompareWindow::FieldProc, 0, reinterpret_cast<DWORD_PTR>(this));
    ApplyFont();
    Refresh();
    FPlacement.Restore(window, RECT{left, top, left + width, top + height},
                       SIZE{Scaled(MIN_WIDTH), Scaled(MIN_HEIGHT)});
    Relayout();
}

void TCompareWindow::Refresh() {
    if (!FHandle) {
        return;
    }
    FStale = false;
    FWriting = true;
    for (std::size_t i = 0; i < FEdits.size(); ++i) {
        if (WindowText(FEdits[i]) != FDocument.TermRateText(i)) {
            SetWindowTextW(FEdits[i], FDocument.TermRateText(i).c_str());
        }
    }
    FWriting = false;
    FillTable();
    const RECT chart = ChartArea();
    InvalidateRect(FHandle.get(), &chart, FALSE);
}

void TCompareWindow::RateTyped(std::size_t Term) {
    FDocument.SetTermRateText(Term, WindowText(FEdits[Term]));
    if (FDocument.Pending()) {
        FDocument.Calculate();
    }
}

void TCompareWindow::FillTable() {
    // Cell by cell: the list view repaints only the cells whose text changes.
    const TTermComparison& comparison = FDocument.Comparison();
    const std::vector<std::wstring_view> captions = comparison.Captions();
    if (FColumns != captions.size()) {
        while (SendMessageW(FTable, LVM_DELETECOLUMN, 0, 0)) {
        }
        for (std::size_t i = 0; i < captions.size(); ++i) {
            std::wstring caption(captions[i]);
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.fmt =
                i == 0 ? LVCFMT_LEFT : (i + 1 == captions.size() ? LVCFMT_LEFT : LVCFMT_RIGHT);
            column.cx = Scaled(DefaultColumnWidth(i, captions.size()));
            column.pszText = caption.data();
            SendMessageW(FTable, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
        FColumns = captions.size();
    }
    FNeeds.assign(FColumns, 0);
    for (std::size_t i = 0; i < FColumns; ++i) {
        FNeeds[i] = CellWidth(std::wstring(captions[i]));
    }
    const std::vector<std::wstring> rows = comparison.RowTexts();
    if (SendMessageW(FTable, LVM_GETITEMCOUNT, 0, 0) != static_cast<LRESULT>(rows.size())) {
        SendMessageW(FTable, LVM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            LVITEMW item{};
            item.iItem = static_cast<int>(i);
            SendMessageW(FTable, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::size_t start = 0;
        for (std::size_t column = 0; column < FColumns; ++column) {
            const std::size_t tab = std::min(rows[i].find(L'\t', start), rows[i].size());
            std::wstring cell = start <= rows[i].size() ? rows[i].substr(start, tab - start) : L"";
            FNeeds[column] = std::max(FNeeds[column], CellWidth(cell));
            LVITEMW text{};
            text.iSubItem = static_cast<int>(column);
            text.pszText = cell.data();
            SendMessageW(FTable, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&text));
            start = tab + 1;
        }
    }
    FitColumns();
    // The marking may move to another row.
    InvalidateRect(FTable, nullptr, FALSE);
}

int TCompareWindow::CellWidth(const std::wstring& Text) const {
    return static_cast<int>(SendMessageW(FTable, LVM_GETSTRINGWIDTHW, 0,
                                         reinterpret_cast<LPARAM>(Text.c_str()))) +
           Scaled(CELL_INSET);
}

void TCompareWindow::FitColumns() {
    // Every column at least as wide as its texts need, and as wide as it would be at 100 % scaled
    // where the table has room for that.
    std::vector<int> widths(FNeeds.size());
    int total = 0;
    for (std::size_t i = 0; i < FNeeds.size(); ++i) {
        widths[i] = std::max(Scaled(DefaultColumnWidth(i, FNeeds.size())), FNeeds[i]);
        total += widths[i];
    }
    RECT client{};
    GetClientRect(FTable, &client);
    if (total > client.right) {
        widths = FNeeds;
    }
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (SendMessageW(FTable, LVM_GETCOLUMNWIDTH, i, 0) != widths[i]) {
            SendMessageW(FTable, LVM_SETCOLUMNWIDTH, i, widths[i]);
        }
    }
}

void TCompareWindow::Relayout() {
    const int dpi = Dpi();
    RECT client{};
    GetClientRect(FHandle.get(), &client);
    const int margin = Scaled(8);
    // The labels as wide as the longest one's text in the font, the fields as high as theirs
    // needs inside the frame.
    SIZE label{};
    for (const HWND each : FLabels) {
        const SIZE need = NeededSize(each, dpi);
        label = {std::max(label.cx, need.cx), std::max(label.cy, need.cy)};
    }
    const int height = std::max<int>(Scaled(22), label.cy + Scaled(8));
    const int gap = Scaled(2);
    const int cell = std::max<int>((client.right - margin) / static_cast<int>(FEdits.size()),
                                   label.cx + gap + margin + Scaled(32));
    for (std::size_t i = 0; i < FEdits.size(); ++i) {
        const int x = margin + static_cast<int>(i) * cell;
        MoveWindow(FLabels[i], x, margin + (height - label.cy) / 2, label.cx, label.cy, TRUE);
        MoveWindow(FEdits[i], x + label.cx + gap, margin, cell - label.cx - gap - margin, height,
                   TRUE);
    }
    const int tableTop = margin * 2 + height;
    MoveWindow(FTable, margin, tableTop, std::max<int>(client.right - 2 * margin, 0), TableHeight(),
               TRUE);
    FitColumns();
    InvalidateRect(FHandle.get(), nullptr, TRUE);
}

int TCompareWindow::TableHeight() const {
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (!SendMessageW(FTable, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) {
        return Scaled(150);
    }
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(FTable, LVM_GETHEADER, 0, 0)), &header);
    RECT frame{};
    RECT client{};
    GetWindowRect(FTable, &frame);
    GetClientRect(FTable, &client);
    // The frame, and a horizontal scroll bar when one is shown.
    const int edges = (frame.bottom - frame.top) - client.bottom;
    const auto rows = static_cast<int>(SendMessageW(FTable, LVM_GETITEMCOUNT, 0, 0));
    return std::max<int>(Scaled(150), edges + (header.bottom - header.top) +
                                          rows * (row.bottom - row.top) + Scaled(2));
}

RECT TCompareWindow::ChartArea() const {
    RECT client{};
    GetClientRect(FHandle.get(), &client);
    RECT table{};
    GetWindowRect(FTable, &table);
    MapWindowPoints(nullptr, FHandle.get(), reinterpret_cast<POINT*>(&table), 2);
    const int margin = Scaled(8);
    return {margin, table.bottom + margin, std::max<int>(client.right - margin, margin),
            std::max<int>(client.bottom - margin, table.bottom + margin)};
}

std::vector<TDrawnText> TCompareWindow::ChartTexts() const {
    std::vector<TDrawnText> texts;
    if (!FHandle) {
        return texts;
    }
    const RECT area = ChartArea();
    const TkyMemoryDc memory(CreateCompatibleDC(nullptr));
    const TkyGdiObject<HBITMAP> picture(
        CreateBitmap(std::max<int>(area.right, 1), std::max<int>(area.bottom, 1), 1, 32, nullptr));
    if (memory && picture) {
        const TkySelection selection(memory.get(), picture.get());
        DrawComparisonChart(memory.get(), area, FDocument.Comparison(), FFont.get(), Dpi(), &texts);
    }
    return texts;
}

void TCompareWindow::SavePlacement() const {
    if (FHandle) {
        FPlacement.Save(FHandle.get());
    }
}

std::vector<std::wstring> TCompareWindow::TableRows(bool SelectedOnly) const {
    const std::vector<std::wstring> rows = FDocument.Comparison().RowTexts();
    std::vector<std::wstring> chosen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!SelectedOnly ||
            (FTable != nullptr && SendMessageW(FTable, LVM_GETITEMSTATE, i, LVIS_SELECTED) != 0)) {
            chosen.push_back(rows[i]);
        }
    }
    return chosen;
}

void TCompareWindow::CopySelection() const {
    const std::vector<std::wstring> rows = TableRows(true);
    if (rows.empty()) {
        return;
    }
    if (!TkyClipboard(FHandle.get()).SetText(TableText(FDocument.Comparison().Captions(), rows))) {
        ShowError(FHandle.get(), L"剪贴板正被其他程序占用，复制失败！");
    }
}

void TCompareWindow::SelectAll() const {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageW(FTable, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
}

void TCompareWindow::SaveTable() const {
    std::wstring fileName;
    TResultFileKind kind = TResultFileKind::Csv;
    if (!AskResultFileName(FHandle.get(), fileName, kind)) {
        return;
    }
    const std::vector<std::wstring> rows = TableRows(false);
    const std::vector<std::wstring_view> captions = FDocument.Comparison().Captions();
    try {
        SaveFileSafely(fileName,
                       TextToUtf8(kind == TResultFileKind::Csv ? CsvText(captions, rows)
                                                               : TableText(captions, rows)));
    } catch (const EkyError& e) {
        ShowError(FHandle.get(), e.Message());
    }
}

void TCompareWindow::ShowMenu(LPARAM Position) {
    POINT at{GET_X_LPARAM(Position), GET_Y_LPARAM(Position)};
    if (at.x == -1 && at.y == -1) {
        at = {0, 0};
        ClientToScreen(FTable, &at);
    }
    const bool selected = SendMessageW(FTable, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    const TkyMenu menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING | (selected ? 0u : MF_GRAYED), MENU_COPY, L"复制\tCtrl+C");
    AppendMenuW(menu.get(), MF_STRING, MENU_SELECT_ALL, L"全选\tCtrl+A");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, MENU_SAVE, L"另存为…");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, MENU_CHART, L"在收益图中显示\tCtrl+G");
    const auto command = static_cast<UINT_PTR>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0,
                       FHandle.get(), nullptr));
    if (command == MENU_COPY) {
        CopySelection();
    } else if (command == MENU_SELECT_ALL) {
        SelectAll();
    } else if (command == MENU_SAVE) {
        SaveTable();
    } else if (command == MENU_CHART && OnShowChart) {
        OnShowChart();
    }
}

// The best row on a green ground, a row without result in red; in high contrast, the best row in
// the system's colours of a selection and the others in the list's own, which the user chose to
// read.
LRESULT TCompareWindow::CustomDraw(LPARAM LParam) const {
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(LParam);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        return CDRF_NOTIFYITEMDRAW;
    }
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const TTermComparison& comparison = FDocument.Comparison();
        const std::size_t row = draw->nmcd.dwItemSpec;
        const bool best = comparison.Best == row;
        if (HighContrast()) {
            if (best) {
                draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
                draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
            }
        } else if (best) {
            // The ground's own text colour: a theme's may be light.
            draw->clrTextBk = BEST_COLOUR;
            draw->clrText = BEST_TEXT_COLOUR;
        } else if (row < comparison.Rows.size() && !comparison.Rows[row].Result) {
            draw->clrText = ERROR_COLOUR;
        }
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

LRESULT CALLBACK TCompareWindow::FieldProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam,
                                           UINT_PTR Id, DWORD_PTR Data) {
    if (AMessage == WM_KEYDOWN && (WParam == VK_TAB || WParam == VK_ESCAPE)) {
        reinterpret_cast<TCompareWindow*>(Data)->FieldKey(Window, WParam);
        return 0;
    }
    // The characters of those keys would only beep.
    if (AMessage == WM_CHAR && (WParam == L'\t' || WParam == 0x1B)) {
        return 0;
    }
    if (AMessage == WM_NCDESTROY) {
        RemoveWindowSubclass(Window, &TCompareWindow::FieldProc, Id);
    }
    return DefSubclassProc(Window, AMessage, WParam, LParam);
}

void TCompareWindow::FieldKey(HWND Field, WPARAM Key) {
    if (Key == VK_ESCAPE) {
        ShowWindow(FHandle.get(), SW_HIDE);
        return;
    }
    std::vector<HWND> order(FEdits.begin(), FEdits.end());
    order.push_back(FTable);
    const auto at =
        static_cast<std::size_t>(std::find(order.begin(), order.end(), Field) - order.begin());
    const std::size_t next = GetKeyState(VK_SHIFT) < 0 ? (at + order.size() - 1) % order.size()
                                                       : (at + 1) % order.size();
    SetFocus(order[next]);
    if (order[next] != FTable) {
        SendMessageW(order[next], EM_SETSEL, 0, -1);
    }
}

void TCompareWindow::TableKey(WORD Key) {
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0) {
        return;
    }
    if (Key == 'C') {
        CopySelection();
    } else if (Key == 'A') {
        SelectAll();
    } else if (Key == 'G' && OnShowChart) {
        OnShowChart();
    }
}

void TCompareWindow::TakeHandle(HWND Window) {
    FHandle.reset(Window);
}

void TCompareWindow::ReleaseHandle() {
    static_cast<void>(FHandle.release());
    FTable = nullptr;
    FEdits.fill(nullptr);
    FLabels.fill(nullptr);
}

LRESULT TCompareWindow::HandleMessage(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    const HWND window = FHandle.get();
    switch (AMessage) {
    case WM_SIZE:
        if (FTable != nullptr) {
            Relayout();
        }
        return 0;
    case WM_WINDOWPOSCHANGED:
        FPlacement.Track(window);
        break;
    case WM_DPICHANGED: {
        // Another monitor's scale: its suggested place, the font, the columns and the layout
        // anew.
        FDpi = LOWORD(WParam);
        const auto* suggested = reinterpret_cast<const RECT*>(LParam);
        ApplyFont();
        FillTable();
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Relayout();
        return 0;
    }
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(LParam);
        info->ptMinTrackSize = {Scaled(MIN_WIDTH), Scaled(MIN_HEIGHT)};
        return 0;
    }
    case WM_PAINT: {
        const TkyPaint paint(window);
        const HDC dc = paint.Handle();
        const RECT area = ChartArea();
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        // Drawn into a DIB section: under Wine its drawing stays in the process, where a
        // compatible bitmap would send every line to the X server.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = std::max(width, 1);
        info.bmiHeader.biHeight = -std::max(height, 1);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const TkyMemoryDc memory(CreateCompatibleDC(dc));
        const TkyGdiObject<HBITMAP> buffer(
            CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (memory && buffer && width > 0 && height > 0) {
            const TkySelection selection(memory.get(), buffer.get());
            SetViewportOrgEx(memory.get(), -area.left, -area.top, nullptr);
            DrawComparisonChart(memory.get(), area, FDocument.Comparison(), FFont.get(), Dpi());
            SetViewportOrgEx(memory.get(), 0, 0, nullptr);
            BitBlt(dc, area.left, area.top, width, height, memory.get(), 0, 0, SRCCOPY);
        }
        return 0;
    }
    case WM_COMMAND: {
        const int id = LOWORD(WParam);
        if (HIWORD(WParam) == EN_CHANGE && !FWriting && id >= FIRST_EDIT_ID &&
            id < FIRST_EDIT_ID + static_cast<int>(FEdits.size())) {
            RateTyped(static_cast<std::size_t>(id - FIRST_EDIT_ID));
            return 0;
        }
        break;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(LParam);
        if (header->hwndFrom == FTable && header->code == NM_CUSTOMDRAW) {
            return CustomDraw(LParam);
        }
        if (header->hwndFrom == FTable && header->code == LVN_KEYDOWN) {
            TableKey(reinterpret_cast<const NMLVKEYDOWN*>(LParam)->wVKey);
            return 0;
        }
        break;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(WParam) == FTable) {
            ShowMenu(LParam);
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(WParam) == WA_INACTIVE) {
            FFocus = GetFocus();
        } else if (HIWORD(WParam) == 0) {
            RestoreFocus();
        }
        return 0;
    case WM_CLOSE:
        // Closing only hides it: it keeps its rates and follows the owner's calculations.
        ShowWindow(window, SW_HIDE);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, AMessage, WParam, LParam);
}
