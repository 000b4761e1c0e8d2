#include "UCompareWindow.h"

#include "UAccessibleNames.h"
#include "UChartPalette.h"
#include "UPrintJob.h"
#include "UResultFile.h"
#include "UResultTable.h"
#include "UkyHandles.h"
#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyListView.h"
#include "UkyMath.h"
#include "UkyScaling.h"
#include "UkyUtf8.h"
#include "UkyWinControl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace {

// Its class, caption, icon, size and least size, the keys "CompareLeft" ... of its place, and the
// ground of a dialog.
const TkyTopWindowKind COMPARE_KIND{L"YieldoraCompare", L"存期比较", 1,   {660, 500},
                                    {480, 360},         L"Compare",  true};

// A cell's text is inset by the list view a few pixels on either side.
constexpr int CELL_INSET = 14;

constexpr UINT_PTR MENU_COPY = 1;
constexpr UINT_PTR MENU_SELECT_ALL = 2;
constexpr UINT_PTR MENU_SAVE = 3;
constexpr UINT_PTR MENU_CHART = 4;
constexpr UINT_PTR MENU_PRINT = 5;
constexpr UINT_PTR MENU_PAGE_SETUP = 6;

constexpr COLORREF BEST_COLOUR = RGB(214, 245, 214);
constexpr COLORREF BEST_TEXT_COLOUR = RGB(0, 0, 0);
constexpr COLORREF ERROR_COLOUR = RGB(204, 0, 0);

// The width a column of the table starts from, at 96 dots per inch: the term and the rate narrow,
// the remark wide.
int DefaultColumnWidth(std::size_t Column, std::size_t Columns) {
    return Column + 1 == Columns ? 200 : (Column < 2 ? 56 : 70);
}

void ShowError(HWND Owner, const std::wstring& Text) {
    ShowMessageBox(Owner, Text, MSGBOX_ERROR, L"错误!");
}

} // namespace

TCompareWindow::TCompareWindow(HWND Owner, TCalculationDocument& Document)
    : TkyTopWindow(Owner, COMPARE_KIND), FDocument(Document) {}

POINT TCompareWindow::DefaultOrigin(const RECT& OwnerRect) const {
    return {OwnerRect.left + Scaled(24), OwnerRect.top + Scaled(24)};
}

void TCompareWindow::Shown() {
    if (FStale) {
        Refresh();
    }
    // Activated, it gave one of its controls the focus; already active, it keeps the one it has.
    if (GetActiveWindow() == Handle() && GetParent(GetFocus()) != Handle()) {
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
    // Making a control focuses it: the window may be activated before it has all of them.
    if (!FTable) {
        return;
    }
    const bool ours = FFocus != nullptr && IsWindow(FFocus) && GetParent(FFocus) == Handle();
    FocusControl(ours ? FFocus : FEdits[0]->Handle());
}

void TCompareWindow::FocusControl(HWND Control) {
    SetFocus(Control);
    for (const std::unique_ptr<TkyEdit>& edit : FEdits) {
        if (edit->Handle() == Control) {
            edit->SetSelection(0, edit->GetTextLength());
        }
    }
}

void TCompareWindow::ApplyFont() {
    FFont = ScaleFont(FBaseFont.get(), FBaseDpi, Dpi());
    const auto font = reinterpret_cast<WPARAM>(FFont.get());
    for (std::size_t i = 0; i < FEdits.size(); ++i) {
        SendMessageW(FLabels[i], WM_SETFONT, font, FALSE);
        SendMessageW(FEdits[i]->Handle(), WM_SETFONT, font, FALSE);
    }
    // The list view hands it on to its header.
    SendMessageW(FTable->Handle(), WM_SETFONT, font, FALSE);
}

void TCompareWindow::Created() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HWND window = Handle();
    const HWND owner = Owner();
    // A copy of its own: the owner replaces its font when its scale changes. An owner without a
    // font of its own draws with the system's.
    FBaseDpi = WindowDpi(owner);
    auto ownerFont = reinterpret_cast<HFONT>(SendMessageW(owner, WM_GETFONT, 0, 0));
    if (ownerFont == nullptr) {
        ownerFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    FBaseFont = ScaleFont(ownerFont, FBaseDpi, FBaseDpi);

    const HWND focus = GetFocus();
    FWriting = true;
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        FLabels[i] = CreateWindowExW(
            0, L"STATIC", (std::wstring(DEPOSIT_TERMS[i].Label) + L"：").c_str(),
            WS_CHILD | WS_VISIBLE | SS_RIGHT, 0, 0, 0, 0, window, nullptr, instance, nullptr);
        FEdits[i] = TkyControl::Create<TkyEdit>(Controls());
        FEdits[i]->SetText(FDocument.TermRateText(i));
        FEdits[i]->OnChange = [this, i](TkyEditControl&) {
            if (!FWriting) {
                RateTyped(i);
            }
        };
    }
    FWriting = false;
    FTable = TkyControl::Create<TkyListView>(Controls());
    FTable->ApplyStyle({.ViewStyle = VIEW_STYLE_REPORT,
                        .MultiSelect = true,
                        .FullRowSelect = true,
                        .GridLines = true,
                        .ShowColumnHeader = true});
    for (const std::unique_ptr<TkyEdit>& edit : FEdits) {
        SetWindowSubclass(edit->Handle(), &TCompareWindow::FieldProc, 0,
                          reinterpret_cast<DWORD_PTR>(this));
    }
    SetWindowSubclass(FTable->Handle(), &TCompareWindow::FieldProc, 0,
                      reinterpret_cast<DWORD_PTR>(this));
    // Making a control focuses it, and the hidden window with it: the focus goes back to where
    // it was, and the window takes it when it is shown.
    NameCompareWindowItems(window, FTable->Handle(),
                           [this]() -> const TTermComparison& { return FDocument.Comparison(); });
    SetFocus(focus);
    FFocus = nullptr;
    ApplyFont();
    Refresh();
}

void TCompareWindow::Resized() {
    if (FTable != nullptr) {
        Relayout();
    }
}

void TCompareWindow::ScaleChanged() {
    ApplyFont();
    FillTable();
}

void TCompareWindow::Destroyed() {
    FTable.reset();
    for (std::unique_ptr<TkyEdit>& edit : FEdits) {
        edit.reset();
    }
    FLabels.fill(nullptr);
}

RECT TCompareWindow::PaintArea() const {
    return ChartArea();
}

void TCompareWindow::Paint(HDC Dc, const RECT& Area) const {
    DrawComparisonChart(Dc, Area, FDocument.Comparison(), FFont.get(), Dpi());
}

void TCompareWindow::Refresh() {
    if (Handle() == nullptr) {
        return;
    }
    FStale = false;
    FWriting = true;
    for (std::size_t i = 0; i < FEdits.size(); ++i) {
        if (FEdits[i]->GetText() != FDocument.TermRateText(i)) {
            FEdits[i]->SetText(FDocument.TermRateText(i));
        }
    }
    FWriting = false;
    FillTable();
    const RECT chart = ChartArea();
    InvalidateRect(Handle(), &chart, FALSE);
}

void TCompareWindow::RateTyped(std::size_t Term) {
    FDocument.SetTermRateText(Term, FEdits[Term]->GetText());
    if (FDocument.Pending()) {
        FDocument.Calculate();
    }
}

void TCompareWindow::FillTable() {
    // Cell by cell: the list view repaints only the cells whose text changes.
    const TTermComparison& comparison = FDocument.Comparison();
    const std::vector<std::wstring_view> captions = comparison.Captions();
    TListViewColumns& columns = FTable->Columns();
    if (FColumns != captions.size()) {
        columns.Clear();
        for (std::size_t i = 0; i < captions.size(); ++i) {
            columns.Add(std::wstring(captions[i]), Scaled(DefaultColumnWidth(i, captions.size())),
                        i == 0 || i + 1 == captions.size() ? COLUMN_LEFT : COLUMN_RIGHT);
        }
        FColumns = captions.size();
    }
    FNeeds.assign(FColumns, 0);
    for (std::size_t i = 0; i < FColumns; ++i) {
        FNeeds[i] = CellWidth(std::wstring(captions[i]));
    }
    const std::vector<std::wstring> rows = comparison.RowTexts();
    TListViewItems& items = FTable->Items();
    if (items.Count() != static_cast<std::int32_t>(rows.size())) {
        items.Clear();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            items.InsertRow(static_cast<std::int32_t>(i), L"", 0);
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::size_t start = 0;
        for (std::size_t column = 0; column < FColumns; ++column) {
            const std::size_t tab = std::min(rows[i].find(L'\t', start), rows[i].size());
            FNeeds[column] = std::max(
                FNeeds[column],
                CellWidth(start <= rows[i].size() ? rows[i].substr(start, tab - start) : L""));
            start = tab + 1;
        }
        items.SetItemText(static_cast<std::int32_t>(i), rows[i]);
    }
    FitColumns();
    // The marking may move to another row.
    InvalidateRect(FTable->Handle(), nullptr, FALSE);
}

int TCompareWindow::CellWidth(const std::wstring& Text) const {
    return FTable->TextWidth(Text) + Scaled(CELL_INSET);
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
    GetClientRect(FTable->Handle(), &client);
    if (total > client.right) {
        widths = FNeeds;
    }
    for (std::size_t i = 0; i < widths.size(); ++i) {
        FTable->Columns().SetWidth(static_cast<std::int32_t>(i), widths[i]);
    }
}

void TCompareWindow::Relayout() {
    const int dpi = Dpi();
    RECT client{};
    GetClientRect(Handle(), &client);
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
        MoveWindow(FEdits[i]->Handle(), x + label.cx + gap, margin, cell - label.cx - gap - margin,
                   height, TRUE);
    }
    const int tableTop = margin * 2 + height;
    MoveWindow(FTable->Handle(), margin, tableTop, std::max<int>(client.right - 2 * margin, 0),
               TableHeight(), TRUE);
    FitColumns();
    InvalidateRect(Handle(), nullptr, TRUE);
}

int TCompareWindow::TableHeight() const {
    const int need = FTable->HeightFor(FTable->Items().Count());
    return need == 0 ? Scaled(150) : std::max<int>(Scaled(150), need + Scaled(2));
}

RECT TCompareWindow::ChartArea() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    RECT table{};
    GetWindowRect(FTable->Handle(), &table);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&table), 2);
    const int margin = Scaled(8);
    return {margin, table.bottom + margin, std::max<int>(client.right - margin, margin),
            std::max<int>(client.bottom - margin, table.bottom + margin)};
}

std::vector<TDrawnText> TCompareWindow::ChartTexts() const {
    std::vector<TDrawnText> texts;
    if (Handle() == nullptr) {
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

std::vector<std::wstring> TCompareWindow::TableRows(bool SelectedOnly) const {
    const std::vector<std::wstring> rows = FDocument.Comparison().RowTexts();
    std::vector<std::wstring> chosen;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!SelectedOnly || (FTable && FTable->Items().IsSelected(static_cast<std::int32_t>(i)))) {
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
    if (!TkyClipboard(Handle()).SetText(TableText(FDocument.Comparison().Captions(), rows))) {
        ShowError(Handle(), L"剪贴板正被其他程序占用，复制失败！");
    }
}

void TCompareWindow::SelectAll() const {
    TListViewItems& items = FTable->Items();
    for (std::int32_t i = 0; i < items.Count(); ++i) {
        items.SetSelected(i, true);
    }
}

void TCompareWindow::SaveTable() const {
    std::wstring fileName;
    TResultFileKind kind = TResultFileKind::Csv;
    if (!AskResultFileName(Handle(), fileName, kind)) {
        return;
    }
    const std::vector<std::wstring> rows = TableRows(false);
    const std::vector<std::wstring_view> captions = FDocument.Comparison().Captions();
    try {
        SaveFileSafely(fileName,
                       TextToUtf8(kind == TResultFileKind::Csv ? CsvText(captions, rows)
                                                               : TableText(captions, rows)));
    } catch (const EkyError& e) {
        ShowError(Handle(), e.Message());
    }
}

void TCompareWindow::ShowMenu(LPARAM Position) {
    const POINT at = TableMenuPoint(FTable->Handle(), Position);
    const bool selected = FTable->Items().SelectedCount() > 0;
    const TkyMenu menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING | (selected ? 0u : MF_GRAYED), MENU_COPY, L"复制\tCtrl+C");
    AppendMenuW(menu.get(), MF_STRING, MENU_SELECT_ALL, L"全选\tCtrl+A");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, MENU_SAVE, L"另存为…");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, MENU_CHART, L"在收益图中显示\tCtrl+G");
    AppendPrintCommands(menu.get(), FDocument.Result().has_value(), MENU_PRINT, MENU_PAGE_SETUP);
    const auto command = static_cast<UINT_PTR>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0,
                       Handle(), nullptr));
    if (command == MENU_COPY) {
        CopySelection();
    } else if (command == MENU_SELECT_ALL) {
        SelectAll();
    } else if (command == MENU_SAVE) {
        SaveTable();
    } else if (command == MENU_CHART && OnShowChart) {
        OnShowChart();
    } else if (command == MENU_PRINT) {
        PrintDocument(Handle(), TPrintKind::Comparison, FDocument);
    } else if (command == MENU_PAGE_SETUP) {
        SetUpDocumentPages(Handle());
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
        if (SystemColoursWanted()) {
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
        Hide();
        return;
    }
    std::vector<HWND> order;
    for (const std::unique_ptr<TkyEdit>& edit : FEdits) {
        order.push_back(edit->Handle());
    }
    order.push_back(FTable->Handle());
    const auto at =
        static_cast<std::size_t>(std::find(order.begin(), order.end(), Field) - order.begin());
    const std::size_t next = GetKeyState(VK_SHIFT) < 0 ? (at + order.size() - 1) % order.size()
                                                       : (at + 1) % order.size();
    FocusControl(order[next]);
}

void TCompareWindow::TableKey(WORD Key) {
    if (TableCommandKey(Key) == L'P') {
        PrintDocument(Handle(), TPrintKind::Comparison, FDocument);
        return;
    }
    RunTableCommand(Key, {{L'C', [this] { CopySelection(); }},
                          {L'A', [this] { SelectAll(); }},
                          {L'G', [this] {
                               if (OnShowChart) {
                                   OnShowChart();
                               }
                           }}});
}

std::optional<LRESULT> TCompareWindow::Message(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    switch (AMessage) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(LParam);
        if (FTable && header->hwndFrom == FTable->Handle() && header->code == NM_CUSTOMDRAW) {
            return CustomDraw(LParam);
        }
        if (FTable && header->hwndFrom == FTable->Handle() && header->code == LVN_KEYDOWN) {
            TableKey(reinterpret_cast<const NMLVKEYDOWN*>(LParam)->wVKey);
            return 0;
        }
        break;
    }
    case WM_CONTEXTMENU:
        if (FTable && reinterpret_cast<HWND>(WParam) == FTable->Handle()) {
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
    default:
        break;
    }
    return std::nullopt;
}
