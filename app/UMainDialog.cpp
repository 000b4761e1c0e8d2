#include "UMainDialog.h"

#include "UResultTable.h"
#include "UkyClipboard.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"
#include "UkyMath.h"
#include "UkyStrUtils.h"

#include <commctrl.h>

#include <cstdint>
#include <limits>

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

constexpr int TemplateNumber = 10;
constexpr int WindowIcon = 1;

const wchar_t* const ProgramSection = L"Program";

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
    RestorePosition();

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
    ResultView->ApplyStyle({3, false, true, true, false, true, false, false});
    ResultView->GetSmallImages().AddIcons({2, 1, 3});
    const int widths[] = {52, 80, 80, 128};
    for (std::size_t i = 0; i < ResultCaptions.size(); ++i) {
        ResultView->Columns().Add(std::wstring(ResultCaptions[i]), ScaledWidth(widths[i]),
                                  COLUMN_CENTER);
    }

    Model = std::make_unique<TYieldora>();
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
    }
    ShowInputs();
}

void TMainDialog::FillTable() {
    const TRedrawSuspension suspension(*ResultView);
    TListViewItems& items = ResultView->Items();
    items.Clear();
    const TYieldora& model = *Model;
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
    if (Clipboard().SetText(ResultView->GetText())) {
        ShowMessageBox(L"当前计算结果已导出到剪贴板！", MSGBOX_INFORMATION, L"");
    } else {
        ShowMessageBox(L"剪贴板正被其他程序占用，导出失败！", MSGBOX_ERROR, L"");
    }
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
        ShowInputs();
        return;
    }
    TkyDialog::Close(Result);
}

void TMainDialog::Closing() {
    ReadInputs();
    SavePosition();
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
    default:
        return TkyDialog::WindowProc(AMessage, WParam, LParam);
    }
}

// A saved position that would put the dialog wholly off every monitor is not used. A negative
// coordinate leaves that coordinate as the template has it.
void TMainDialog::RestorePosition() {
    TkyIniFile ini(ProfilePath());
    ini.Section = ProgramSection;
    const TBounds bounds = GetBounds();
    const std::int32_t left = ini.ReadInteger(L"WindowLeft", bounds.X);
    const std::int32_t top = ini.ReadInteger(L"WindowTop", bounds.Y);
    RECT target{left >= 0 ? left : bounds.X, top >= 0 ? top : bounds.Y, 0, 0};
    target.right = target.left + bounds.Width;
    target.bottom = target.top + bounds.Height;
    if (MonitorFromRect(&target, MONITOR_DEFAULTTONULL) != nullptr) {
        SetBounds(left, top, -1, -1);
    }
}

void TMainDialog::SavePosition() {
    TkyIniFile ini(ProfilePath());
    ini.Section = ProgramSection;
    ini.WriteInteger(L"WindowLeft", GetBounds().X);
    ini.WriteInteger(L"WindowTop", GetBounds().Y);
}
