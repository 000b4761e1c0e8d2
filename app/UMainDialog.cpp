#include "UMainDialog.h"

#include "UAccessibleNames.h"

#include "UDepositResult.h"
#include "UPrintJob.h"
#include "UResultFile.h"
#include "UResultTable.h"
#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyHandles.h"
#include "UkyIniFile.h"
#include "UkyMath.h"
#include "UkyStrUtils.h"
#include "UkyUtf8.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// Maximises the dialog once its first showing is over.
constexpr UINT MSG_MAXIMIZE = WM_APP + 1;
// Fills the table after a calculation made while typing; the timer tries again while keys wait.
constexpr UINT MSG_FILL_TABLE = WM_APP + 2;
constexpr UINT_PTR TABLE_TIMER = 1;

// Paints what waits to be painted in a window of this thread.
BOOL CALLBACK PaintWaiting(HWND Window, LPARAM) {
    UpdateWindow(Window);
    return TRUE;
}

// The term of a position in the term list; without a selection, the longest.
std::uint8_t TermOfIndex(std::int32_t Index) {
    return Index >= 0 && static_cast<std::size_t>(Index) < DEPOSIT_TERMS.size()
               ? DEPOSIT_TERMS[static_cast<std::size_t>(Index)].Years
               : DEPOSIT_TERMS.back().Years;
}

// The table's icons at 96 dots per inch.
constexpr int ROW_IMAGE_SIZE = 16;

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
    SetTemplate(IDD_MAIN, IDI_MAIN);
}

void TMainDialog::InitDialog() {
    SetMainWindowHandle(Handle());

    TermCombo = TkyControl::Create<TkyComboBox>(*this, DlgItemHandle(IDC_TERM));
    for (const TDepositTerm& term : DEPOSIT_TERMS) {
        TermCombo->Items().Add(std::wstring(term.Label));
    }

    constexpr DWORD upDownStyle = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS;
    YearEdit = TkyControl::Create<TkyEdit>(*this, DlgItemHandle(IDC_YEAR));
    YearUpDown = TkyControl::Create<TkyUpDown>(*this, DlgItemHandle(IDC_YEAR_UPDOWN));
    YearUpDown->SetStyle(upDownStyle, true);
    YearUpDown->SetRange(1, 100);
    YearUpDown->SetBuddy(*YearEdit);
    StepEdit = TkyControl::Create<TkyEdit>(*this, DlgItemHandle(IDC_STEP));
    StepUpDown = TkyControl::Create<TkyUpDown>(*this, DlgItemHandle(IDC_STEP_UPDOWN));
    StepUpDown->SetStyle(upDownStyle, true);
    StepUpDown->SetRange(1, 10);
    StepUpDown->SetBuddy(*StepEdit);

    ResultView = TkyControl::Create<TkyListView>(*this, DlgItemHandle(IDC_RESULTS));
    ResultView->ApplyStyle({.ViewStyle = VIEW_STYLE_REPORT,
                            .MultiSelect = true,
                            .FullRowSelect = true,
                            .GridLines = true,
                            .ShowColumnHeader = true});
    const int dpi = WindowDpi(Handle());
    FRowImageDpi = dpi;
    for (std::size_t i = 0; i < RESULT_CAPTIONS.size(); ++i) {
        ResultView->Columns().Add(std::wstring(RESULT_CAPTIONS[i]),
                                  ScaleToDpi(RESULT_COLUMN_WIDTHS[i], dpi), COLUMN_CENTER);
    }
    CreateTotalsLine();
    CreateCompareButton();
    SetShortcuts({{FCONTROL | FVIRTKEY, L'P', IDM_PRINT}});
    NameMainDialogItems(Handle(), *ResultView);
    KeepTemplatePlaces();
    TakeOverDpiChanges(Handle());
    MakeRoomForTexts(Handle(), dpi);
    SetUpSizing();
    // The window as built, at its least size: the placement's default, and the one step that
    // sizes it and brings its new frame.
    RECT built{};
    GetWindowRect(Handle(), &built);
    built.right = built.left + FMinSize.cx;
    built.bottom = built.top + FMinSize.cy;
    if (FPlacement.Restore(Handle(), built, FMinSize)) {
        ShowWindow(Handle(), SW_MAXIMIZE);
        FMaximizeAtStart = true;
    }

    Model = std::make_unique<TYieldora>();
    FDocument = std::make_unique<TCalculationDocument>(false);
    FChart = std::make_unique<TChartWindow>(Handle(), FDocument.get());
    FCompare = std::make_unique<TCompareWindow>(Handle(), *FDocument);
    FCompare->OnShowChart = [this] { FChart->ShowComparison(true); };
    // Every view follows the document; Closing lets go of them before they go.
    FDocument->OnChange = {[this] { DocumentChanged(); }, [this] { FChart->DocumentChanged(); },
                           [this] { FCompare->DocumentChanged(); }};
    ShowInputs();
    TrimWorkingSet();
}

void TMainDialog::ShowInputs() {
    FWritingFields = true;
    const TYieldoraInputs& inputs = Model->Inputs;
    SetDlgText(IDC_FUND, FloatText(inputs.Fund));
    SetDlgText(IDC_RATE, FloatText(inputs.Rate));
    SetDlgText(IDC_TAX, FloatText(inputs.Tax));
    SetDlgText(IDC_YEAR, IntText(inputs.Year));
    SetDlgText(IDC_STEP, IntText(inputs.Step));
    SetDlgCheck(IDC_DEPOSIT, inputs.Deposit);
    TermCombo->Items().SetItemIndex(static_cast<std::int32_t>(TermIndex(inputs.Period)));
    FWritingFields = false;
    FDocument->ShowInputs(inputs);
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
    TYieldoraInputs& inputs = Model->Inputs;
    read([&] { inputs.Fund = StoreDouble(TextToReal(GetDlgText(IDC_FUND), false)); });
    read([&] { inputs.Rate = StoreDouble(TextToReal(GetDlgText(IDC_RATE), false)); });
    read([&] { inputs.Tax = StoreDouble(TextToReal(GetDlgText(IDC_TAX), false)); });
    read([&] {
        inputs.Year = static_cast<std::uint8_t>(TextToIntInRange(GetDlgText(IDC_YEAR), 0, 255));
    });
    read([&] {
        using Limits = std::numeric_limits<std::int32_t>;
        inputs.Step = static_cast<std::int32_t>(
            TextToIntInRange(GetDlgText(IDC_STEP), Limits::min(), Limits::max()));
    });
    inputs.Deposit = GetDlgCheck(IDC_DEPOSIT);
    inputs.Period = TermOfIndex(TermCombo->Items().GetItemIndex());
}

void TMainDialog::DoCalculate() {
    std::optional<std::wstring> error;
    try {
        ReadInputs();
        Model->Calculate();
        // The document takes the result for the comparison and the chart; the table is filled
        // here, as a step of its own that may fail.
        FShownCalculation = FDocument->Calculations() + 1;
        FDocument->TakeResult(Model->Result);
        FillTable();
    } catch (const EkyError& e) {
        error = e.Message();
    }
    if (error) {
        ShowMessageBox(Handle(), *error, MSGBOX_INFORMATION, L"");
        // The dialog may have closed while the box was up.
        if (!Model) {
            return;
        }
    }
    ShowInputs();
    // The comparison shows the inputs as the fields show them again, not the text that failed.
    if (error && FCompare->Visible()) {
        CalculateQuietly();
        FillPendingTable(true);
    }
}

std::optional<std::wstring> TMainDialog::CalculateQuietly() {
    // The check box and the term list as they stand: a program may have set them without the
    // notifications a user's click sends.
    if (GetDlgCheck(IDC_DEPOSIT) != FDocument->Texts().Deposit) {
        FDocument->SetDeposit(GetDlgCheck(IDC_DEPOSIT));
    }
    const std::uint8_t term = TermOfIndex(TermCombo->Items().GetItemIndex());
    if (term != FDocument->Texts().Period) {
        FDocument->SelectTerm(term);
    }
    return FDocument->Calculate();
}

void TMainDialog::DocumentChanged() {
    if (!ResultView) {
        return;
    }
    if (GetDlgText(IDC_RATE) != FDocument->Texts().Rate) {
        FWritingFields = true;
        SetDlgText(IDC_RATE, FDocument->Texts().Rate);
        FWritingFields = false;
    }
    if (FDocument->Calculations() == FShownCalculation) {
        return;
    }
    FShownCalculation = FDocument->Calculations();
    Model->Inputs = FDocument->Inputs();
    if (const std::optional<TDepositResult>& result = FDocument->Result()) {
        Model->TakeResult(*result);
        // 导出 can be pressed at once: a command fills the table first.
        EnableDlgItem(IDC_EXPORT, true);
        if (!FTablePending) {
            FTablePending = true;
            PostMessageW(Handle(), MSG_FILL_TABLE, 0, 0);
        }
        return;
    }
    FTablePending = false;
    KillTimer(Handle(), TABLE_TIMER);
    const TRedrawSuspension suspension(*ResultView);
    ResultView->Items().Clear();
    SetWindowTextW(FTotals, L"");
    EnableDlgItem(IDC_EXPORT, false);
}

void TMainDialog::FillPendingTable(bool Now) {
    if (!FTablePending || !ResultView) {
        return;
    }
    if (!Now && HIWORD(GetQueueStatus(QS_KEY)) != 0) {
        SetTimer(Handle(), TABLE_TIMER, USER_TIMER_MINIMUM, nullptr);
        return;
    }
    if (!Now) {
        EnumThreadWindows(GetCurrentThreadId(), PaintWaiting, 0);
    }
    try {
        FillTable();
    } catch (const EkyError&) {
        // The row the table cannot show is the comparison's message.
    }
}

void TMainDialog::ShowComparison() {
    if (!FRatesLoaded) {
        FDocument->SetTermRates(ReadTermRates(ProfilePath(), Model->Inputs.Rate));
        FDocument->SetPlanner(ReadPlannerProfile(ProfilePath()));
        FRatesLoaded = true;
    }
    FCompare->Show();
    CalculateQuietly();
    FillPendingTable(true);
}

void TMainDialog::FillTable() {
    FTablePending = false;
    KillTimer(Handle(), TABLE_TIMER);
    const TRedrawSuspension suspension(*ResultView);
    TListViewItems& items = ResultView->Items();
    // 导出 is there only while the table holds a whole result.
    EnableDlgItem(IDC_EXPORT, false);
    items.Clear();
    SetWindowTextW(FTotals, L"");
    MakeRowImages();
    const TDepositResult& result = Model->Result;
    std::int32_t next = 0;
    for (const TResultRow& row : result.Rows) {
        const std::int32_t index = items.InsertRow(next, row.Text, row.Image);
        if (index >= 0) {
            next = index + 1;
        }
    }
    if (!result.RowsError.empty()) {
        throw EkyError(result.RowsError);
    }
    SetWindowTextW(FTotals, TotalsLine(result).c_str());
    EnableDlgItem(IDC_EXPORT, true);
}

void TMainDialog::ExportTable() {
    // A press of the greyed button (Wine delivers one) finds no result to export.
    if (!IsWindowEnabled(DlgItemHandle(IDC_EXPORT))) {
        return;
    }
    // The dialog owns the clipboard while it writes it, whichever window was the main one when
    // the process's clipboard object was made.
    if (TkyClipboard(Handle()).SetText(ResultView->GetText())) {
        ShowMessageBox(Handle(), L"当前计算结果已导出到剪贴板！", MSGBOX_INFORMATION, L"");
    } else {
        ShowMessageBox(Handle(), L"剪贴板正被其他程序占用，导出失败！", MSGBOX_ERROR, L"");
    }
}

void TMainDialog::ShowChart() {
    FChart->ShowComparison(false);
}

void TMainDialog::ItemCommand(WORD Id) {
    if (!Model) {
        return;
    }
    // 计算 fills the table itself, and 退出 does not read it.
    if (Id != IDC_CALCULATE && Id != IDC_EXIT) {
        FillPendingTable(true);
    }
    switch (Id) {
    case IDC_CALCULATE:
        DoCalculate();
        break;
    case IDC_EXPORT:
        ExportTable();
        break;
    case IDC_EXIT:
        Close(false);
        break;
    case IDM_SHOW_CHART:
        ShowChart();
        break;
    case IDM_COPY:
        CopySelection();
        break;
    case IDM_SELECT_ALL:
        SelectAll();
        break;
    case IDM_SAVE_AS:
        SaveTable();
        break;
    case IDC_COMPARE:
        ShowComparison();
        break;
    case IDM_PRINT:
        // The menu's entry is greyed while export is: Ctrl+P then only beeps.
        if (!IsWindowEnabled(DlgItemHandle(IDC_EXPORT))) {
            MessageBeep(MB_OK);
            break;
        }
        PrintDocument(Handle(), TPrintKind::Schedule, *FDocument);
        break;
    case IDM_PAGE_SETUP:
        SetUpDocumentPages(Handle());
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
        ShowMessageBox(Handle(), e.Message(), MSGBOX_INFORMATION, L"");
        if (Model) {
            ShowInputs();
        }
        return;
    }
    TkyDialog::Close(Result);
}

void TMainDialog::Closing() {
    ReadInputs();
    FPlacement.Save(Handle());
    // The views go before anything they show: no window of the program but the dialog stays to
    // be used under the box below.
    FDocument->OnChange.clear();
    FChart->SavePlacement();
    FChart.reset();
    FCompare->SavePlacement();
    FCompare.reset();
    YearEdit.reset();
    StepEdit.reset();
    YearUpDown.reset();
    StepUpDown.reset();
    ResultView.reset();
    TermCombo.reset();
    // Last, so that a first run's profile holds the section "Program" before the inputs. A folder
    // that has turned read-only since the start keeps them out: the user hears of it, since the
    // next start will not show them.
    const bool saved = Model->SaveInputs();
    const DWORD error = GetLastError();
    if (FRatesLoaded) {
        FDocument->SaveTermRates(ProfilePath());
    }
    if (!saved && !FSessionEnding) {
        ShowMessageBox(Handle(),
                       L"无法保存设置文件 " + ProfilePath() + L"：" +
                           (error != ERROR_SUCCESS ? SystemErrorText(error)
                                                   : std::wstring(L"文件夹不可写。")) +
                           L"本次的输入下次启动时不会恢复。",
                       MSGBOX_ERROR, L"");
    }
    Model.reset();
    FDocument.reset();
}

LRESULT TMainDialog::WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    switch (AMessage) {
    case WM_QUERYENDSESSION:
        SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENDSESSION:
        // The process may be ended as soon as this returns: close now, without asking anything.
        if (WParam != FALSE && Model) {
            FSessionEnding = true;
            ReadFields(true);
            ShowInputs();
            TkyDialog::Close(false);
        }
        SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_DPICHANGED:
        if (ResultView) {
            ChangeScale(LOWORD(WParam), *reinterpret_cast<const RECT*>(LParam));
        }
        SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_WINDOWPOSCHANGED:
        FPlacement.Track(Handle());
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    case WM_SYSCOMMAND:
        FMaximizeAtStart = false;
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    case WM_SIZE:
        // The dialog manager shows a new dialog normally the first time its queue runs empty
        // (Wine does, after InitDialog has maximised it): a restore that no command asked for
        // before then is undone.
        if (WParam == SIZE_RESTORED && FMaximizeAtStart) {
            FMaximizeAtStart = false;
            PostMessageW(Handle(), MSG_MAXIMIZE, 0, 0);
        }
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    case MSG_MAXIMIZE:
        ShowWindow(Handle(), SW_MAXIMIZE);
        return TRUE;
    case MSG_FILL_TABLE:
        FillPendingTable(false);
        return TRUE;
    case WM_TIMER:
        if (WParam == TABLE_TIMER) {
            FillPendingTable(false);
            return TRUE;
        }
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    case WM_GETMINMAXINFO:
        if (FMinSize.cx > 0) {
            auto* limits = reinterpret_cast<MINMAXINFO*>(LParam);
            limits->ptMinTrackSize = POINT{FMinSize.cx, FMinSize.cy};
        }
        return TRUE;
    case WM_COMMAND:
        if (ResultView && FCompare && !FWritingFields) {
            SendEdit(LOWORD(WParam), HIWORD(WParam));
        }
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    case WM_SETCURSOR:
        // The mouse has come to the totals line. The tooltip watches the line's messages from now
        // on, this move's included: the system asks for the cursor before it hands the move on.
        if (reinterpret_cast<HWND>(WParam) == FTotals && FTotalsTip == nullptr) {
            CreateTotalsTip();
        }
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    case WM_CONTEXTMENU:
        if (ResultView && reinterpret_cast<HWND>(WParam) == ResultView->Handle()) {
            FillPendingTable(true);
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

void TMainDialog::SendEdit(WORD Id, WORD Code) {
    constexpr std::pair<WORD, TInputField> fields[] = {{IDC_FUND, TInputField::Fund},
                                                       {IDC_RATE, TInputField::Rate},
                                                       {IDC_TAX, TInputField::Tax},
                                                       {IDC_YEAR, TInputField::Year},
                                                       {IDC_STEP, TInputField::Step}};
    const auto field = std::find_if(std::begin(fields), std::end(fields),
                                    [Id](const auto& Field) { return Field.first == Id; });
    if (Code == EN_CHANGE && field != std::end(fields)) {
        FDocument->SetText(field->second, GetDlgText(Id));
    } else if (Code == CBN_SELCHANGE && Id == IDC_TERM) {
        FDocument->SelectTerm(TermOfIndex(TermCombo->Items().GetItemIndex()));
    } else if (Code == BN_CLICKED && Id == IDC_DEPOSIT) {
        FDocument->SetDeposit(GetDlgCheck(IDC_DEPOSIT));
    } else {
        return;
    }
    if (FCompare->Visible()) {
        CalculateQuietly();
    }
}

void TMainDialog::SetUpSizing() {
    const auto style =
        static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)) | WS_THICKFRAME | WS_MAXIMIZEBOX;
    TakeSizing();
    SetWindowLongPtrW(Handle(), GWL_STYLE, static_cast<LONG_PTR>(style));
    RECT frame{0, 0, FMinSize.cx, FMinSize.cy};
    AdjustWindowRectEx(&frame, style, FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    FMinSize = SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

// FMinSize becomes the client area's size; the caller makes it the window's.
void TMainDialog::TakeSizing() {
    RECT client{};
    GetClientRect(Handle(), &client);
    RECT table{};
    GetWindowRect(ResultView->Handle(), &table);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&table), 2);
    FTableOrigin = POINT{table.left, table.top};
    FTableMargin = SIZE{client.right - table.right, client.bottom - table.bottom};
    FMinSize = SIZE{client.right, client.bottom};
}

void TMainDialog::KeepTemplatePlaces() {
    FTemplateDpi = WindowDpi(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    FTemplateClient = SIZE{client.right, client.bottom};
    FTemplatePlaces.clear();
    for (HWND item = GetWindow(Handle(), GW_CHILD); item != nullptr;
         item = GetWindow(item, GW_HWNDNEXT)) {
        RECT place{};
        GetWindowRect(item, &place);
        // A combo box is placed with the height of its open list.
        wchar_t kind[16] = {};
        GetClassNameW(item, kind, 16);
        RECT dropped{};
        if (CompareStringOrdinal(kind, -1, WC_COMBOBOXW, -1, TRUE) == CSTR_EQUAL &&
            SendMessageW(item, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))) {
            place.bottom = place.top + (dropped.bottom - dropped.top);
        }
        MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&place), 2);
        FTemplatePlaces.push_back(
            {item, place, reinterpret_cast<HFONT>(SendMessageW(item, WM_GETFONT, 0, 0))});
    }
}

void TMainDialog::MakeRowImages() {
    if (FRowImagesMade) {
        return;
    }
    ScaleRowImages(FRowImageDpi);
    ResultView->GetSmallImages().AddIcons({IDI_ORDINARY_YEAR, IDI_MATURITY_YEAR, IDI_LAST_YEAR});
    FRowImagesMade = true;
}

void TMainDialog::ScaleRowImages(int Dpi) {
    const int size = ScaleToDpi(ROW_IMAGE_SIZE, Dpi);
    TkyImageList& images = ResultView->GetSmallImages();
    images.SetImageSize(size, size);
    // Handed again, so that the table takes the new size.
    ResultView->SetSmallImages(&images);
}

void TMainDialog::ChangeScale(int Dpi, const RECT& Suggested) {
    if (Dpi <= 0 || FTemplatePlaces.empty()) {
        return;
    }
    const auto scale = [this, Dpi](LONG Length) { return MulDiv(Length, Dpi, FTemplateDpi); };
    // The table stays put while the items move; TakeSizing lets it follow the window again.
    FMinSize = SIZE{};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
    RECT frame{0, 0, scale(FTemplateClient.cx), scale(FTemplateClient.cy)};
    AdjustWindowRectEx(&frame, style, FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Each item keeps its own face: the controls taken over show the GUI font, the others the
    // template's. The fonts of the last scale go only once no item shows them.
    std::vector<std::pair<HFONT, TkyGdiObject<HFONT>>> fonts;
    const auto scaled = [&](HFONT Font) {
        if (Dpi == FTemplateDpi) {
            return Font;
        }
        const auto made = std::find_if(fonts.begin(), fonts.end(),
                                       [Font](const auto& Entry) { return Entry.first == Font; });
        const HFONT font =
            made != fonts.end()
                ? made->second.get()
                : fonts.emplace_back(Font, ScaleFont(Font, FTemplateDpi, Dpi)).second.get();
        return font != nullptr ? font : Font;
    };
    for (const TItemPlace& item : FTemplatePlaces) {
        if (item.Font != nullptr) {
            SendMessageW(item.Item, WM_SETFONT, reinterpret_cast<WPARAM>(scaled(item.Font)), FALSE);
        }
        SetWindowPos(item.Item, nullptr, scale(item.Place.left), scale(item.Place.top),
                     scale(item.Place.right) - scale(item.Place.left),
                     scale(item.Place.bottom) - scale(item.Place.top),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FScaledFonts = std::move(fonts);
    FTotalsGap = SIZE{scale(FTemplateTotalsGap.cx), scale(FTemplateTotalsGap.cy)};
    for (std::size_t i = 0; i < RESULT_COLUMN_WIDTHS.size(); ++i) {
        ResultView->Columns().SetWidth(static_cast<std::int32_t>(i),
                                       ScaleToDpi(RESULT_COLUMN_WIDTHS[i], Dpi));
    }
    FRowImageDpi = Dpi;
    if (FRowImagesMade) {
        ScaleRowImages(Dpi);
    }
    SetIcon(IconId(), Dpi);

    MakeRoomForTexts(Handle(), Dpi);
    TakeSizing();
    RECT least{0, 0, FMinSize.cx, FMinSize.cy};
    AdjustWindowRectEx(&least, style, FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    FMinSize = SIZE{least.right - least.left, least.bottom - least.top};
    SetWindowPos(Handle(), nullptr, Suggested.left, Suggested.top,
                 std::max<LONG>(Suggested.right - Suggested.left, FMinSize.cx),
                 std::max<LONG>(Suggested.bottom - Suggested.top, FMinSize.cy),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TMainDialog::Realigned(const TBounds& ClientBounds) {
    if (!ResultView || FMinSize.cx == 0) {
        return;
    }
    const LONG width = std::max<LONG>(ClientBounds.Width - FTableOrigin.x - FTableMargin.cx, 0);
    const LONG height = std::max<LONG>(ClientBounds.Height - FTableOrigin.y - FTableMargin.cy, 0);
    MoveWindow(ResultView->Handle(), FTableOrigin.x, FTableOrigin.y, width, height, TRUE);
    MoveWindow(FTotals, FTableOrigin.x, FTableOrigin.y + height + FTotalsGap.cx, width,
               FTotalsGap.cy, TRUE);
}

// The template leaves the place right of the exit button free, as wide as the export button above
// it; the new button comes after the exit button in the tab order.
void TMainDialog::CreateCompareButton() {
    RECT place{176, 86, 176 + 41, 86 + 14};
    MapDialogRect(Handle(), &place);
    const HWND button = CreateWindowExW(
        0, L"BUTTON", L"存期比较", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, place.left,
        place.top, place.right - place.left, place.bottom - place.top, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_COMPARE)), GetModuleHandleW(nullptr),
        nullptr);
    SendMessageW(button, WM_SETFONT, SendMessageW(Handle(), WM_GETFONT, 0, 0), FALSE);
    SetWindowPos(button, DlgItemHandle(IDC_EXIT), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The line takes the bottom of the table's space, so that the window keeps the template's size:
// 2 dialog units of gap and 9 of text, as the template's labels have.
void TMainDialog::CreateTotalsLine() {
    RECT strip{0, 0, 2, 9};
    MapDialogRect(Handle(), &strip);
    FTemplateTotalsGap = SIZE{strip.right, strip.bottom};
    FTotalsGap = FTemplateTotalsGap;
    RECT table{};
    GetWindowRect(ResultView->Handle(), &table);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&table), 2);
    const int tableHeight = std::max<int>(table.bottom - table.top - strip.right - strip.bottom, 0);
    MoveWindow(ResultView->Handle(), table.left, table.top, table.right - table.left, tableHeight,
               TRUE);
    // SS_NOTIFY: a static control is otherwise transparent to the mouse, and the tooltip would
    // never see it. Not a tab stop, and after the template's items in the tab order.
    FTotals = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOTIFY | SS_ENDELLIPSIS, table.left,
        table.top + tableHeight + strip.right, table.right - table.left, strip.bottom, Handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TOTALS)), GetModuleHandleW(nullptr),
        nullptr);
    SendMessageW(FTotals, WM_SETFONT, SendMessageW(Handle(), WM_GETFONT, 0, 0), FALSE);
}

// Made when the mouse first comes to the line rather than at the start, which it would slow by a
// window of its own.
void TMainDialog::CreateTotalsTip() {
    FTotalsTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(FTotals);
    tool.lpszText = const_cast<wchar_t*>(YIELD_MEANING.c_str());
    SendMessageW(FTotalsTip, TTM_SETMAXTIPWIDTH, 0, MulDiv(FTotalsGap.cy, 40, 1));
    SendMessageW(FTotalsTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TMainDialog::ShowTableMenu(LPARAM Position) {
    const POINT at = TableMenuPoint(ResultView->Handle(), Position);

    const std::int32_t rows = ResultView->Items().Count();
    const auto state = [](bool Enabled) { return MF_STRING | (Enabled ? 0u : MF_GRAYED); };
    const bool result = IsWindowEnabled(DlgItemHandle(IDC_EXPORT)) != FALSE;
    const TkyMenu menu(CreatePopupMenu());
    AppendMenuW(menu.get(), state(ResultView->Items().SelectedCount() > 0), IDM_COPY,
                L"复制\tCtrl+C");
    AppendMenuW(menu.get(), state(rows > 0), IDM_SELECT_ALL, L"全选\tCtrl+A");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), state(result), IDC_EXPORT, L"导出到剪贴板");
    AppendMenuW(menu.get(), state(result), IDM_SAVE_AS, L"另存为…");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), state(rows > 0), IDM_SHOW_CHART, L"显示图表\tCtrl+G");
    AppendMenuW(menu.get(), MF_STRING, IDC_COMPARE, L"存期比较\tCtrl+T");
    AppendPrintCommands(menu.get(), result, IDM_PRINT, IDM_PAGE_SETUP);
    // The dialog may close while the menu is up: ItemCommand then does nothing.
    ItemCommand(
        static_cast<WORD>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         at.x, at.y, 0, Handle(), nullptr)));
}

void TMainDialog::TableKey(WORD Key) {
    RunTableCommand(Key, {{L'C', [this] { CopySelection(); }},
                          {L'A', [this] { SelectAll(); }},
                          {L'G',
                           [this] {
                               if (ResultView->Items().Count() > 0) {
                                   ShowChart();
                               }
                           }},
                          {L'T', [this] { ShowComparison(); }}});
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
        ShowMessageBox(Handle(), L"剪贴板正被其他程序占用，复制失败！", MSGBOX_ERROR, L"");
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
        ShowMessageBox(Handle(), e.Message(), MSGBOX_ERROR, L"");
    }
}
