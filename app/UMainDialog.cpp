#include "UMainDialog.h"

#include "UResultFile.h"
#include "UResultTable.h"
#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"
#include "UkyMath.h"
#include "UkyStrUtils.h"
#include "UkyUtf8.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace {

// Items of dialog template 10.
constexpr int IdCalculate = 101;
constexpr int IdExport = 102;
constexpr int IdExit = 103;
constexpr int IdTax = 104;
constexpr int IdYear = 105;
constexpr int IdStep = 106;
constexpr int IdDeposit = 107;
constexpr int IdFund = 108;
constexpr int IdTerm = 109;
constexpr int IdRate = 110;
constexpr int IdYearUpDown = 111;
constexpr int IdStepUpDown = 112;
constexpr int IdResultView = 113;
// Not an item of the template: the command that opens the growth chart.
constexpr int IdShowChart = 120;

constexpr int TemplateNumber = 10;
constexpr int WindowIcon = 1;

const wchar_t* const ProgramSection = L"Program";

// Commands of the table's menu.
constexpr UINT CmdCopy = 1001;
constexpr UINT CmdSelectAll = 1002;
constexpr UINT CmdExport = 1003;
constexpr UINT CmdSaveAs = 1004;
constexpr UINT CmdShowChart = 1005;

struct TMenuDestroyer {
    void operator()(HMENU Menu) const noexcept { DestroyMenu(Menu); }
};
using TMenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDestroyer>;

// The deposit terms of the term list, in list order, in years.
constexpr std::uint8_t TermYears[] = {1, 2, 3, 5};
constexpr std::uint8_t LongestTerm = 10;

std::uint8_t TermOfIndex(std::int32_t Index) {
    return Index >= 0 && Index < 4 ? TermYears[Index] : LongestTerm;
}

std::int32_t IndexOfTerm(std::uint8_t Years) {
    for (std::int32_t i = 0; i < 4; ++i) {
        if (TermYears[i] == Years) {
            return i;
        }
    }
    return 4;
}

// The integer in Text, which must lie within Min..Max.
std::int64_t TextToIntInRange(const std::wstring& Text, std::int64_t Min, std::int64_t Max) {
    const std::int64_t value = TextToInt(Text);
    if (value < Min || value > Max) {
        throw EkyError(TextTrim(Text) + L" is out of range " + IntToText(0, Min) + L".." +
                       IntToText(0, Max) + L"!");
    }
    return value;
}

// A column width given for 96 dots per inch, at the screen's resolution.
int ScaledWidth(int Width) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return MulDiv(Width, dpi, 96);
}

// Keeps a window from repainting while it lives; it repaints its client area once when it goes
// (the list view brings its own frame and scroll bars up to date when redrawing resumes).
class TRedrawSuspension {
public:
    explicit TRedrawSuspension(TkyWinControl& Control) : FControl(Control) {
        FControl.SetRedraw(false);
    }
    TRedrawSuspension(const TRedrawSuspension&) = delete;
    TRedrawSuspension& operator=(const TRedrawSuspension&) = delete;
    ~TRedrawSuspension() {
        FControl.Perform(WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FControl.Handle(), nullptr, TRUE);
        UpdateWindow(FControl.Handle());
    }

private:
    TkyWinControl& FControl;
};

} // namespace

void TMainDialog::DefineTemplate() {
    SetTemplate(TemplateNumber, WindowIcon);
}

void TMainDialog::InitDialog() {
    SetMainWindowHandle(Handle());

    TermCombo = TkyControl::Create<TkyComboBox>(*this, DlgItemHandle(IdTerm));
    TermCombo->Items().AddStrings({L"一年期", L"二年期", L"三年期", L"五年期", L"十年期"});

    constexpr DWORD upDownStyle = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS;
    YearEdit = TkyControl::Create<TkyEdit>(*this, DlgItemHandle(IdYear));
    YearUpDown = TkyControl::Create<TkyUpDown>(*this, DlgItemHandle(IdYearUpDown));
    YearUpDown->SetStyle(upDownStyle, true);
    YearUpDown->SetRange(1, 100);
    YearUpDown->SetBuddy(*YearEdit);
    StepEdit = TkyControl::Create<TkyEdit>(*this, DlgItemHandle(IdStep));
    StepUpDown = TkyControl::Create<TkyUpDown>(*this, DlgItemHandle(IdStepUpDown));
    StepUpDown->SetStyle(upDownStyle, true);
    StepUpDown->SetRange(1, 10);
    StepUpDown->SetBuddy(*StepEdit);

    ResultView = TkyControl::Create<TkyListView>(*this, DlgItemHandle(IdResultView));
    ResultView->ApplyStyle({3, true, true, true, false, true, false, false});
    ResultView->GetSmallImages().AddIcons({2, 1, 3});
    const int widths[] = {52, 80, 80, 128};
    for (std::size_t i = 0; i < RESULT_CAPTIONS.size(); ++i) {
        ResultView->Columns().Add(std::wstring(RESULT_CAPTIONS[i]), ScaledWidth(widths[i]),
                                  COLUMN_CENTER);
    }
    SetUpSizing();
    const bool maximized = RestoreSize();
    RestorePosition();
    if (maximized) {
        ShowWindow(Handle(), SW_MAXIMIZE);
    }

    Model = std::make_unique<TYieldora>();
    FChart = std::make_unique<TChartWindow>(Handle());
    ShowInputs();
    TrimWorkingSet();
}

void TMainDialog::ShowInputs() {
    SetDlgText(IdFund, RealToText(-1, false, Model->Fund));
    SetDlgText(IdRate, RealToText(-1, false, Model->Rate));
    SetDlgText(IdTax, RealToText(-1, false, Model->Tax));
    SetDlgText(IdYear, IntToText(0, Model->Year));
    SetDlgText(IdStep, IntToText(0, Model->Step));
    SetDlgCheck(IdDeposit, Model->Deposit);
    TermCombo->Items().SetItemIndex(IndexOfTerm(Model->Period));
}

void TMainDialog::ReadInputs() {
    ReadFields(false);
}

void TMainDialog::ReadFields(bool KeepBadFields) {
    const auto read = [KeepBadFields](auto&& Store) {
        if (!KeepBadFields) {
            Store();
            return;
        }
        try {
            Store();
        } catch (const EkyError&) {
        }
    };
    TYieldora& model = *Model;
    read([&] { model.Fund = StoreDouble(TextToReal(GetDlgText(IdFund), false)); });
    read([&] { model.Rate = StoreDouble(TextToReal(GetDlgText(IdRate), false)); });
    read([&] { model.Tax = StoreDouble(TextToReal(GetDlgText(IdTax), false)); });
    read([&] {
        model.Year = static_cast<std::uint8_t>(TextToIntInRange(GetDlgText(IdYear), 0, 255));
    });
    read([&] {
        using limits = std::numeric_limits<std::int32_t>;
        model.Step = static_cast<std::int32_t>(
            TextToIntInRange(GetDlgText(IdStep), limits::min(), limits::max()));
    });
    model.Deposit = GetDlgCheck(IdDeposit);
    model.Period = TermOfIndex(TermCombo->Items().GetItemIndex());
}

void TMainDialog::DoCalculate() {
    try {
        ReadInputs();
        Model->Calculate();
        FillTable();
        EnableDlgItem(IdExport, true);
    } catch (const EkyError& e) {
        ShowMessageBox(e.Message(), MSGBOX_INFORMATION, L"");
        // The dialog may have closed while the box was up.
        if (!Model) {
            return;
        }
    }
    ShowInputs();
}

void TMainDialog::FillTable() {
    const TRedrawSuspension suspension(*ResultView);
    TListViewItems& items = ResultView->Items();
    items.Clear();
    const TYieldora& model = *Model;
    // The chart takes the rows the table will hold, also when a row cannot be shown.
    FChart->SetData(
        MakeChartData({model.Fund, model.Period, model.Rate, model.Tax, model.Year, model.Step,
                       model.Deposit, model.Interest, model.Total, model.Withdrawn}));
    ProduceResultRows({model.Year, model.Step, model.Period, model.Deposit, model.Interest,
                       model.Total, model.Withdrawn},
                      [&items, next = 0](const TResultRow& Row) mutable {
                          const std::int32_t index = items.InsertRow(next, Row.Text, Row.Image);
                          if (index >= 0) {
                              next = index + 1;
                          }
                      });
}

void TMainDialog::ExportTable() {
    // The dialog owns the clipboard while it writes it, whichever window was the main one when
    // the process's clipboard object was made.
    if (TkyClipboard(Handle()).SetText(ResultView->GetText())) {
        ShowMessageBox(L"当前计算结果已导出到剪贴板！", MSGBOX_INFORMATION, L"");
    } else {
        ShowMessageBox(L"剪贴板正被其他程序占用，导出失败！", MSGBOX_ERROR, L"");
    }
}

void TMainDialog::ShowChart() {
    FChart->Show();
}

void TMainDialog::ItemCommand(WORD Id) {
    if (!Model) {
        return;
    }
    switch (Id) {
    case IdCalculate:
        DoCalculate();
        break;
    case IdExport:
        ExportTable();
        break;
    case IdExit:
        Close(false);
        break;
    case IdShowChart:
        ShowChart();
        break;
    default:
        break;
    }
}

void TMainDialog::Close(bool Result) {
    if (!Model) {
        return;
    }
    try {
        ReadInputs();
    } catch (const EkyError& e) {
        ShowMessageBox(e.Message(), MSGBOX_INFORMATION, L"");
        if (Model) {
            ShowInputs();
        }
        return;
    }
    TkyDialog::Close(Result);
}

void TMainDialog::Closing() {
    ReadInputs();
    SavePosition();
    SaveSize();
    if (FChart) {
        FChart->SavePlacement();
        FChart.reset();
    }
    YearEdit.reset();
    StepEdit.reset();
    YearUpDown.reset();
    StepUpDown.reset();
    ResultView.reset();
    TermCombo.reset();
    Model.reset();
}

LRESULT TMainDialog::WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    switch (AMessage) {
    case WM_QUERYENDSESSION:
        SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENDSESSION:
        // The process may be ended as soon as this returns: close now, without asking anything.
        if (WParam != FALSE && Model) {
            ReadFields(true);
            ShowInputs();
            TkyDialog::Close(false);
        }
        SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_GETMINMAXINFO:
        if (FMinSize.cx > 0) {
            auto* limits = reinterpret_cast<MINMAXINFO*>(LParam);
            limits->ptMinTrackSize = POINT{FMinSize.cx, FMinSize.cy};
        }
        return TRUE;
    case WM_CONTEXTMENU:
        if (ResultView && reinterpret_cast<HWND>(WParam) == ResultView->Handle()) {
            ShowTableMenu(LParam);
            return TRUE;
        }
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(LParam);
        if (ResultView && header != nullptr && header->hwndFrom == ResultView->Handle() &&
            header->code == LVN_KEYDOWN) {
            TableKey(reinterpret_cast<const NMLVKEYDOWN*>(LParam)->wVKey);
        }
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    }
    default:
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    }
}

// A saved position is moved as little as needed to bring the whole dialog into the work area of
// the monitor it overlaps most; one on no monitor at all leaves the dialog where the template puts
// it.
void TMainDialog::RestorePosition() {
    TkyIniFile ini(ProfilePath());
    ini.Section = ProgramSection;
    const TBounds bounds = GetBounds();
    // Far beyond any monitor, and small enough that the rectangle's sums cannot overflow.
    constexpr std::int32_t Reach = 1 << 24;
    const std::int32_t left = std::clamp(ini.ReadInteger(L"WindowLeft", bounds.X), -Reach, Reach);
    const std::int32_t top = std::clamp(ini.ReadInteger(L"WindowTop", bounds.Y), -Reach, Reach);
    const RECT target{left, top, left + bounds.Width, top + bounds.Height};
    const HMONITOR monitor = MonitorFromRect(&target, MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) {
        return;
    }
    const RECT& work = info.rcWork;
    const auto fit = [](std::int32_t Start, std::int32_t Size, LONG First, LONG Last) {
        return std::max<std::int32_t>(First, std::min<std::int32_t>(Start, Last - Size));
    };
    SetBounds(fit(left, bounds.Width, work.left, work.right),
              fit(top, bounds.Height, work.top, work.bottom), -1, -1);
}

// The position of the restored dialog, also when it is minimised. The placement gives it in
// workspace coordinates, which differ from the screen's by the space that bars take at the top
// and left of the monitor's work area.
void TMainDialog::SavePosition() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    RECT normal = placement.rcNormalPosition;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if ((GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0 &&
        GetMonitorInfoW(MonitorFromRect(&normal, MONITOR_DEFAULTTOPRIMARY), &info)) {
        OffsetRect(&normal, info.rcWork.left - info.rcMonitor.left,
                   info.rcWork.top - info.rcMonitor.top);
    }
    TkyIniFile ini(ProfilePath());
    ini.Section = ProgramSection;
    ini.WriteInteger(L"WindowLeft", normal.left);
    ini.WriteInteger(L"WindowTop", normal.top);
}

void TMainDialog::SetUpSizing() {
    RECT client{};
    GetClientRect(Handle(), &client);
    RECT table{};
    GetWindowRect(ResultView->Handle(), &table);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&table), 2);
    FTableOrigin = POINT{table.left, table.top};
    FTableMargin = SIZE{client.right - table.right, client.bottom - table.bottom};

    const auto style =
        static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)) | WS_THICKFRAME | WS_MAXIMIZEBOX;
    SetWindowLongPtrW(Handle(), GWL_STYLE, static_cast<LONG_PTR>(style));
    RECT frame = client;
    AdjustWindowRectEx(&frame, style, FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    FMinSize = SIZE{frame.right - frame.left, frame.bottom - frame.top};
    SetWindowPos(Handle(), nullptr, 0, 0, FMinSize.cx, FMinSize.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// A saved size below the least counts as the least; one beyond the monitor's work area is cut to
// it.
bool TMainDialog::RestoreSize() {
    TkyIniFile ini(ProfilePath());
    ini.Section = ProgramSection;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
    const auto fit = [](std::int32_t Saved, LONG Least, LONG Most) {
        return std::max<LONG>(std::min<LONG>(Saved, Most), Least);
    };
    const LONG width = fit(ini.ReadInteger(L"WindowWidth", FMinSize.cx), FMinSize.cx,
                           monitor.rcWork.right - monitor.rcWork.left);
    const LONG height = fit(ini.ReadInteger(L"WindowHeight", FMinSize.cy), FMinSize.cy,
                            monitor.rcWork.bottom - monitor.rcWork.top);
    SetBounds(-1, -1, width, height);
    return ini.ReadInteger(L"WindowMaximized", 0) == 1;
}

void TMainDialog::SaveSize() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    const RECT& normal = placement.rcNormalPosition;
    const bool maximized = IsZoomed(Handle()) ||
                           (IsIconic(Handle()) && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    TkyIniFile ini(ProfilePath());
    ini.Section = ProgramSection;
    ini.WriteInteger(L"WindowWidth", normal.right - normal.left);
    ini.WriteInteger(L"WindowHeight", normal.bottom - normal.top);
    ini.WriteInteger(L"WindowMaximized", maximized ? 1 : 0);
}

void TMainDialog::Realigned(const TBounds& ClientBounds) {
    if (!ResultView || FMinSize.cx == 0) {
        return;
    }
    MoveWindow(ResultView->Handle(), FTableOrigin.x, FTableOrigin.y,
               std::max<LONG>(ClientBounds.Width - FTableOrigin.x - FTableMargin.cx, 0),
               std::max<LONG>(ClientBounds.Height - FTableOrigin.y - FTableMargin.cy, 0), TRUE);
}

void TMainDialog::ShowTableMenu(LPARAM Position) {
    const HWND view = ResultView->Handle();
    POINT at{static_cast<short>(LOWORD(Position)), static_cast<short>(HIWORD(Position))};
    if (static_cast<DWORD>(Position) == 0xFFFFFFFF) {
        const std::int32_t selected = ResultView->Items().FirstSelected();
        RECT row{};
        row.left = LVIR_BOUNDS;
        if (selected >= 0 && SendMessageW(view, LVM_ENSUREVISIBLE, selected, FALSE) &&
            SendMessageW(view, LVM_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&row))) {
            at = POINT{row.left, row.bottom};
        } else {
            at = POINT{0, 0};
        }
        ClientToScreen(view, &at);
    }

    const std::int32_t rows = ResultView->Items().Count();
    const auto state = [](bool Enabled) { return MF_STRING | (Enabled ? 0u : MF_GRAYED); };
    const bool result = IsWindowEnabled(DlgItemHandle(IdExport)) != FALSE;
    const TMenuHandle menu(CreatePopupMenu());
    AppendMenuW(menu.get(), state(ResultView->Items().SelectedCount() > 0), CmdCopy,
                L"复制\tCtrl+C");
    AppendMenuW(menu.get(), state(rows > 0), CmdSelectAll, L"全选\tCtrl+A");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), state(result), CmdExport, L"导出到剪贴板");
    AppendMenuW(menu.get(), state(result), CmdSaveAs, L"另存为…");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), state(rows > 0), CmdShowChart, L"显示图表\tCtrl+G");
    TableCommand(
        static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         at.x, at.y, 0, Handle(), nullptr)));
}

void TMainDialog::TableCommand(UINT Command) {
    // The dialog may have closed while its menu was up.
    if (!Model) {
        return;
    }
    switch (Command) {
    case CmdCopy:
        CopySelection();
        break;
    case CmdSelectAll:
        SelectAll();
        break;
    case CmdExport:
        ExportTable();
        break;
    case CmdSaveAs:
        SaveTable();
        break;
    case CmdShowChart:
        ShowChart();
        break;
    default:
        break;
    }
}

void TMainDialog::TableKey(WORD Key) {
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0) {
        return;
    }
    if (Key == 'C') {
        CopySelection();
    } else if (Key == 'A') {
        SelectAll();
    } else if (Key == 'G' && ResultView->Items().Count() > 0) {
        ShowChart();
    }
}

std::vector<std::wstring> TMainDialog::TableRows(bool SelectedOnly) const {
    const TListViewItems& items = ResultView->Items();
    std::vector<std::wstring> rows;
    for (std::int32_t i = 0; i < items.Count(); ++i) {
        if (!SelectedOnly || items.IsSelected(i)) {
            rows.emplace_back();
            items.GetItemText(i, rows.back());
        }
    }
    return rows;
}

void TMainDialog::CopySelection() {
    const std::vector<std::wstring> rows = TableRows(true);
    if (rows.empty()) {
        return;
    }
    if (!Clipboard().SetText(TableText(RESULT_CAPTIONS, rows))) {
        ShowMessageBox(L"剪贴板正被其他程序占用，复制失败！", MSGBOX_ERROR, L"");
    }
}

void TMainDialog::SelectAll() {
    TListViewItems& items = ResultView->Items();
    for (std::int32_t i = 0; i < items.Count(); ++i) {
        items.SetSelected(i, true);
    }
}

void TMainDialog::SaveTable() {
    std::wstring fileName;
    TResultFileKind kind = TResultFileKind::Csv;
    if (!AskResultFileName(Handle(), fileName, kind) || !ResultView) {
        return;
    }
    const std::vector<std::wstring> rows = TableRows(false);
    try {
        SaveFileSafely(fileName,
                       TextToUtf8(kind == TResultFileKind::Csv ? CsvText(RESULT_CAPTIONS, rows)
                                                               : TableText(RESULT_CAPTIONS, rows)));
    } catch (const EkyError& e) {
        ShowMessageBox(e.Message(), MSGBOX_ERROR, L"");
    }
}
