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
#include "UkyStrUtils.h"
#include "UkyUtf8.h"
#include "UkyWinControl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace {

// Its class, caption, icon, size and least size, the keys "CompareLeft" ... of its place, and the
// ground of a dialog.
const TkyTopWindowKind COMPARE_KIND{L"YieldoraCompare", L"存期比较", 1,   {800, 560},
                                    {480, 360},         L"Compare",  true};

// The scenario's fields after the rates: the label before each, the word after it and the edit's
// width at 96 dots per inch.
struct TScenarioItem {
    const wchar_t* Label;
    const wchar_t* Suffix;
    int Width;
};
constexpr std::array<TScenarioItem, 4> SCENARIO_ITEMS{{
    {L"每年利率变动：", L"个百分点", 44},
    {L"活期利率：", L"%", 44},
    {L"提前支取：第", L"个月", 36},
    {L"支取金额：", L"元", 72},
}};
constexpr int RATE_WIDTH = 44;
constexpr std::size_t RATE_FIELDS = PLAN_TERMS.size();
// The first of PLAN_TERMS that is a term of years.
constexpr std::size_t FIRST_YEAR_TERM = 2;

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
    FocusControl(ours ? FFocus : FFields[0].Edit->Handle());
}

void TCompareWindow::FocusControl(HWND Control) {
    SetFocus(Control);
    for (const TField& field : FFields) {
        if (field.Edit->Handle() == Control) {
            field.Edit->SetSelection(0, field.Edit->GetTextLength());
        }
    }
}

void TCompareWindow::ApplyFont() {
    FFont = ScaleFont(FBaseFont.get(), FBaseDpi, Dpi());
    const auto font = reinterpret_cast<WPARAM>(FFont.get());
    for (const TField& field : FFields) {
        for (const HWND control : {field.Label, field.Edit->Handle(), field.Suffix}) {
            if (control != nullptr) {
                SendMessageW(control, WM_SETFONT, font, FALSE);
            }
        }
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
    // Each label is made just before its field, which screen readers name after it.
    const auto label = [&](const std::wstring& Text, DWORD Align) {
        return CreateWindowExW(0, L"STATIC", Text.c_str(), WS_CHILD | WS_VISIBLE | Align, 0, 0, 0,
                               0, window, nullptr, instance, nullptr);
    };
    FFields.resize(RATE_FIELDS + SCENARIO_ITEMS.size());
    for (std::size_t i = 0; i < FFields.size(); ++i) {
        TField& field = FFields[i];
        const bool rate = i < RATE_FIELDS;
        field.Label = label(rate ? std::wstring(PLAN_TERMS[i].Label) + L"："
                                 : std::wstring(SCENARIO_ITEMS[i - RATE_FIELDS].Label),
                            SS_RIGHT);
        field.Edit = TkyControl::Create<TkyEdit>(Controls());
        field.Edit->SetText(FieldText(i));
        field.Edit->OnChange = [this, i](TkyEditControl&) {
            if (!FWriting) {
                FieldTyped(i);
            }
        };
        if (!rate) {
            field.Suffix = label(SCENARIO_ITEMS[i - RATE_FIELDS].Suffix, SS_LEFT);
        }
    }
    FWriting = false;
    FTable = TkyControl::Create<TkyListView>(Controls());
    FTable->ApplyStyle({.ViewStyle = VIEW_STYLE_REPORT,
                        .MultiSelect = true,
                        .FullRowSelect = true,
                        .GridLines = true,
                        .ShowColumnHeader = true});
    // The keys through the controls' own message events: a subclass would cost Wine a request to
    // its server at every message of every field.
    for (const TField& field : FFields) {
        ListenToKeys(*field.Edit);
    }
    ListenToKeys(*FTable);
    // Making a control focuses it, and the hidden window with it: the focus goes back to where
    // it was, and the window takes it when it is shown.
    NameCompareWindowItems(window, *FTable,
                           [this]() -> const TDepositPlan& { return FDocument.Comparison(); });
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
    FFields.clear();
    FShownRows.clear();
    FShownBest.reset();
    FRedField = nullptr;
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
    for (std::size_t i = 0; i < FFields.size(); ++i) {
        if (FFields[i].Edit->GetText() != FieldText(i)) {
            FFields[i].Edit->SetText(FieldText(i));
        }
    }
    FWriting = false;
    // A field's colour follows the scenario's fault: the field that turns red or back is drawn
    // again, and no other.
    const std::optional<TScenarioFault> fault = FDocument.ScenarioFault();
    const HWND red =
        fault ? FFields[RATE_FIELDS + static_cast<std::size_t>(fault->Field)].Edit->Handle()
              : nullptr;
    if (red != FRedField) {
        for (const HWND field : {FRedField, red}) {
            if (field != nullptr) {
                InvalidateRect(field, nullptr, FALSE);
            }
        }
        FRedField = red;
    }
    FillTable();
    const RECT chart = ChartArea();
    InvalidateRect(Handle(), &chart, FALSE);
}

const std::wstring& TCompareWindow::FieldText(std::size_t Field) const {
    if (Field < FIRST_YEAR_TERM) {
        return FDocument.MonthRateText(Field);
    }
    if (Field < RATE_FIELDS) {
        return FDocument.TermRateText(Field - FIRST_YEAR_TERM);
    }
    return FDocument.ScenarioText(static_cast<TScenarioField>(Field - RATE_FIELDS));
}

void TCompareWindow::FieldTyped(std::size_t Field) {
    const std::wstring text = FFields[Field].Edit->GetText();
    if (Field < FIRST_YEAR_TERM) {
        FDocument.SetMonthRateText(Field, text);
    } else if (Field < RATE_FIELDS) {
        FDocument.SetTermRateText(Field - FIRST_YEAR_TERM, text);
        if (FDocument.Pending()) {
            FDocument.Calculate();
        }
    } else {
        FDocument.SetScenarioText(static_cast<TScenarioField>(Field - RATE_FIELDS), text);
    }
}

void TCompareWindow::FillTable() {
    // Row by row: only the rows whose texts change are written, and the list view repaints
    // only the cells whose text changes.
    const TDepositPlan& comparison = FDocument.Comparison();
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
    // Every text measured at once: the captions, then the rows' cells.
    const std::vector<std::wstring> rows = comparison.RowTexts();
    std::vector<std::wstring> texts(captions.begin(), captions.end());
    for (const std::wstring& row : rows) {
        std::vector<std::wstring> cells = TextSplit(row, L'\t');
        cells.resize(FColumns);
        texts.insert(texts.end(), cells.begin(), cells.end());
    }
    const std::vector<std::int32_t> widths = FTable->TextWidths(texts);
    FNeeds.assign(FColumns, 0);
    for (std::size_t i = 0; i < widths.size(); ++i) {
        FNeeds[i % FColumns] = std::max(FNeeds[i % FColumns], widths[i] + Scaled(CELL_INSET));
    }
    TListViewItems& items = FTable->Items();
    if (items.Count() != static_cast<std::int32_t>(rows.size())) {
        items.Clear();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            items.InsertRow(static_cast<std::int32_t>(i), L"", 0);
        }
        FShownRows.clear();
    }
    FShownRows.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (FShownRows[i] != rows[i]) {
            items.SetItemText(static_cast<std::int32_t>(i), rows[i]);
            FShownRows[i] = rows[i];
        }
    }
    FitColumns();
    // The marking moves to another row only with the best term.
    if (comparison.Best != FShownBest) {
        InvalidateRect(FTable->Handle(), nullptr, FALSE);
        FShownBest = comparison.Best;
    }
}

void TCompareWindow::FitColumns() {
    // Every column at least as wide as its texts need, and as wide as it would be at 100 % scaled
    // where the table has room for that. Where it has not, the remark takes what is left, so that
    // the table never scrolls sideways; a cut remark is whole in a copy, a saved file and what a
    // screen reader reads.
    std::vector<int> widths(FNeeds.size());
    int total = 0;
    for (std::size_t i = 0; i < FNeeds.size(); ++i) {
        widths[i] = std::max(Scaled(DefaultColumnWidth(i, FNeeds.size())), FNeeds[i]);
        total += widths[i];
    }
    RECT client{};
    GetClientRect(FTable->Handle(), &client);
    if (total > client.right && !widths.empty()) {
        widths = FNeeds;
        int figures = 0;
        for (std::size_t i = 0; i + 1 < widths.size(); ++i) {
            figures += widths[i];
        }
        widths.back() = std::max<int>(client.right - figures, Scaled(48));
    }
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const auto column = static_cast<std::int32_t>(i);
        if (FTable->Columns().GetWidth(column) != widths[i]) {
            FTable->Columns().SetWidth(column, widths[i]);
        }
    }
}

void TCompareWindow::Relayout() {
    const int dpi = Dpi();
    RECT client{};
    GetClientRect(Handle(), &client);
    const int margin = Scaled(8);
    const int gap = Scaled(2);
    // The fields flow from left to right, the rates in a row and the scenario in the next, each
    // wrapped where the window is too narrow: a label as wide as its text, the edit as high as
    // its text needs inside its frame.
    int height = Scaled(22);
    for (const TField& field : FFields) {
        height = std::max<int>(height, NeededSize(field.Label, dpi).cy + Scaled(8));
    }
    int x = margin;
    int y = margin;
    for (std::size_t i = 0; i < FFields.size(); ++i) {
        const TField& field = FFields[i];
        const SIZE label = NeededSize(field.Label, dpi);
        const SIZE suffix = field.Suffix != nullptr ? NeededSize(field.Suffix, dpi) : SIZE{};
        const int edit =
            Scaled(i < RATE_FIELDS ? RATE_WIDTH : SCENARIO_ITEMS[i - RATE_FIELDS].Width);
        const int width = label.cx + gap + edit + (field.Suffix != nullptr ? gap + suffix.cx : 0);
        if (x > margin && (i == RATE_FIELDS || x + width > client.right - margin)) {
            x = margin;
            y += height + gap * 2;
        }
        MoveWindow(field.Label, x, y + (height - label.cy) / 2, label.cx, label.cy, TRUE);
        MoveWindow(field.Edit->Handle(), x + label.cx + gap, y, edit, height, TRUE);
        if (field.Suffix != nullptr) {
            MoveWindow(field.Suffix, x + label.cx + gap + edit + gap, y + (height - suffix.cy) / 2,
                       suffix.cx, suffix.cy, TRUE);
        }
        x += width + Scaled(12);
    }
    const int tableTop = y + height + margin;
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
        const TDepositPlan& comparison = FDocument.Comparison();
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
        } else if (row < comparison.Rows.size() && !comparison.Rows[row].Plan) {
            draw->clrText = ERROR_COLOUR;
        }
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

std::optional<LRESULT> TCompareWindow::FieldColour(HDC Dc, HWND Field) const {
    if (Field == nullptr || Field != FRedField) {
        return std::nullopt;
    }
    SetTextColor(Dc, SystemColoursWanted() ? GetSysColor(COLOR_HIGHLIGHT) : ERROR_COLOUR);
    SetBkColor(Dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void TCompareWindow::ListenToKeys(TkyWinControl& Control) {
    const HWND control = Control.Handle();
    Control.OnMessage = [this, control](UINT AMessage, WPARAM WParam, LPARAM,
                                        bool& Handled) -> LRESULT {
        if (AMessage == WM_KEYDOWN && (WParam == VK_TAB || WParam == VK_ESCAPE)) {
            Handled = true;
            FieldKey(control, WParam);
        } else if (AMessage == WM_KEYDOWN && control != FTable->Handle() &&
                   TableCommandKey(static_cast<WORD>(WParam)) == L'P') {
            // Ctrl+P prints from a field too; the table has its own keys.
            Handled = true;
            TableKey(static_cast<WORD>(WParam));
        } else if (AMessage == WM_CHAR && (WParam == L'\t' || WParam == 0x1B)) {
            // The characters of those keys would only beep.
            Handled = true;
        }
        return 0;
    };
}

void TCompareWindow::FieldKey(HWND Field, WPARAM Key) {
    if (Key == VK_ESCAPE) {
        Hide();
        return;
    }
    std::vector<HWND> order;
    for (const TField& field : FFields) {
        order.push_back(field.Edit->Handle());
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
    case WM_CTLCOLOREDIT:
        return FieldColour(reinterpret_cast<HDC>(WParam), reinterpret_cast<HWND>(LParam));
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
