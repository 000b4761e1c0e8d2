#include "UPrintJob.h"

#include "ModalDriver.h"
#include "MsgBoxHook.h"
#include "PrintedPdf.h"
#include "YearTermPlan.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <filesystem>
#include <functional>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::wstring DATE = L"2026年12月8日";
// The Print dialog's list of printers.
constexpr int PRINTER_COMBO = 1139;

class PrintJob : public testing::Test {
protected:
    void SetUp() override {
        const std::string skip = PrintSkipReason();
        if (!skip.empty()) {
            GTEST_SKIP() << skip;
        }
        const std::string unseen = PrinterUnseenReason();
        ASSERT_TRUE(unseen.empty()) << unseen;
    }
};

bool Contains(const std::string& Text, const std::string& Part) {
    return Squeezed(Text).find(Part) != std::string::npos;
}

// What DialogWith looks for: a dialog with an item of the id Item.
struct TDialogSearch {
    int Item;
    HWND Found;
};

BOOL CALLBACK FindDialogWith(HWND Window, LPARAM Search) {
    auto& search = *reinterpret_cast<TDialogSearch*>(Search);
    wchar_t name[16]{};
    GetClassNameW(Window, name, 16);
    if (std::wstring(name) == L"#32770" && GetDlgItem(Window, search.Item) != nullptr) {
        search.Found = Window;
        return FALSE;
    }
    return TRUE;
}

// The dialog of this thread, shown or about to be, that has an item of the id Item.
HWND DialogWith(int Item) {
    TDialogSearch search{Item, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialogWith, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND PrintDialog() {
    return DialogWith(PRINTER_COMBO);
}

// The page set-up dialog: its orientation's buttons.
HWND PageSetupDialog() {
    return DialogWith(rad2);
}

// A top-level window to own the dialog and the boxes.
struct TOwner {
    HWND Handle = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    ~TOwner() { DestroyWindow(Handle); }
};

} // namespace

// A paper the prints come out on, and its size as the PDF file gives it.
struct TPaper {
    TkyPageSetup Setup;
    std::string Size;
};

// Each paper is a test of its own and, in make test, a run of its own beside a print server of its
// own: the printer takes seconds for each job, and the papers then print side by side.
class PrintOnPaper : public PrintJob, public testing::WithParamInterface<TPaper> {};

constexpr RECT MARGINS{2000, 2000, 2000, 2000};

INSTANTIATE_TEST_SUITE_P(
    Papers, PrintOnPaper,
    testing::Values(TPaper{{DMPAPER_A4, DMORIENT_PORTRAIT, MARGINS}, "595 x 842"},
                    TPaper{{DMPAPER_A4, DMORIENT_LANDSCAPE, MARGINS}, "595 x 842"},
                    TPaper{{DMPAPER_LETTER, DMORIENT_PORTRAIT, MARGINS}, "612 x 792"},
                    TPaper{{DMPAPER_A5, DMORIENT_PORTRAIT, MARGINS}, "421 x 595"}));

// The schedule, the comparison and the chart on A4 portrait and landscape, on Letter and on A5,
// read back from the PDF printer's files.
TEST_P(PrintOnPaper, EveryPrintComesOutOfThePrinter) {
    const TDepositResult result = CalculateResult({.Year = 120});
    const TDepositPlan comparison =
        PlanYearTerms(result.Inputs, {L"1.5", L"2.1", L"2.75", L"2.75", L"3"});
    const TPaper& paper = GetParam();
    const std::optional<TkyPrintChoice> choice = PrinterChoice(L"PDF", paper.Setup);
    ASSERT_TRUE(choice);
    // The driver turns a landscape page on the portrait sheet.
    EXPECT_EQ(GetDeviceCaps(choice->Dc.get(), HORZRES) > GetDeviceCaps(choice->Dc.get(), VERTRES),
              paper.Setup.Orientation == DMORIENT_LANDSCAPE);

    EXPECT_EQ(PrintPages(*choice, paper.Setup, TPrintKind::Schedule, {result, comparison}, DATE),
              L"");
    const TPrintedPdf schedule = TakePrinted();
    EXPECT_EQ(schedule.Name.rfind("Yieldora_schedule-job_", 0), 0u) << schedule.Name;
    ASSERT_GE(schedule.Pages.size(), 2u);
    const std::size_t count = schedule.Pages.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string number =
            "第 " + std::to_string(i + 1) + " 页，共 " + std::to_string(count) + " 页";
        EXPECT_TRUE(Contains(schedule.Pages[i], number)) << schedule.Pages[i];
        EXPECT_TRUE(Contains(schedule.Pages[i], "打印日期：2026年12月8日"));
    }
    EXPECT_TRUE(Contains(schedule.Pages.front(), "1 288 10288 连本带息取出后转存"));
    EXPECT_TRUE(Contains(schedule.Pages.front(),
                         "本金 10,000 元，一年期，年利率 3.6%，利息税 20%，到期利息转存"));
    EXPECT_TRUE(Contains(schedule.Pages.back(), "120 8448 301797 取出全部本息"));
    EXPECT_TRUE(Contains(schedule.Pages.back(),
                         "120 年共得利息 291,797 元，期末本息 301,797 元，折合年化 2.88%"));

    EXPECT_EQ(PrintPages(*choice, paper.Setup, TPrintKind::Comparison, {result, comparison}, DATE),
              L"");
    const TPrintedPdf compared = TakePrinted();
    ASSERT_FALSE(compared.Pages.empty());
    EXPECT_TRUE(Contains(compared.Pages.front(), "存期比较"));
    EXPECT_TRUE(Contains(compared.Pages.front(), "十年期 3")) << compared.Pages.front();
    EXPECT_TRUE(Contains(compared.Pages.front(), "最佳"));

    EXPECT_EQ(PrintPages(*choice, paper.Setup, TPrintKind::Chart, {result, comparison}, DATE), L"");
    const TPrintedPdf chart = TakePrinted();
    ASSERT_EQ(chart.Pages.size(), 1u);
    EXPECT_TRUE(Contains(chart.Pages[0], "收益图"));
    EXPECT_NE(chart.Info.find(paper.Size), std::string::npos) << chart.Info;
    // The bars in the chart's colours: capital blue, interest orange.
    EXPECT_GT(PixelsNear(chart, 1, 30, RGB(65, 105, 225)), 200);
    EXPECT_GT(PixelsNear(chart, 1, 30, RGB(255, 165, 0)), 50);
}

// The Print dialog owned by the window: OK prints the schedule; Escape prints nothing and shows no
// box; a job the printer refuses is cancelled, and a box owned by the window names the printer.
TEST_F(PrintJob, TheDialogPrintsOnOkAndEscapeOrARefusingPrinterPrintNothing) {
    const TDepositResult result = CalculateResult({});
    const TDepositPlan comparison = PlanYearTerms(result.Inputs, {});
    const TOwner owner;
    TMsgBoxHook boxes;
    const auto print = [&](UINT Message, WPARAM Key) {
        TModalDriver driver;
        driver.Then("answer the Print dialog", [Message, Key] {
            const HWND dialog = PrintDialog();
            ASSERT_NE(dialog, nullptr);
            PostMessageW(Message == WM_KEYDOWN ? GetDlgItem(dialog, IDOK) : dialog, Message, Key,
                         0);
        });
        PrintWithDialog(owner.Handle, TPrintKind::Schedule, {result, comparison}, L"");
        EXPECT_TRUE(driver.Done());
    };

    print(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(PrintedFiles().empty());
    EXPECT_TRUE(boxes.Boxes().empty());

    print(WM_COMMAND, IDOK);
    const TPrintedPdf printed = TakePrinted();
    ASSERT_EQ(printed.Pages.size(), 1u);
    EXPECT_TRUE(Contains(printed.Pages[0], "1 288 10288 连本带息取出后转存"));
    EXPECT_TRUE(Contains(printed.Pages[0], "第 1 页，共 1 页"));
    EXPECT_TRUE(boxes.Boxes().empty());

    ASSERT_TRUE(RunUnix("cupsreject PDF"));
    print(WM_COMMAND, IDOK);
    ASSERT_TRUE(RunUnix("cupsaccept PDF"));
    EXPECT_TRUE(PrintedFiles().empty());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].Owner, owner.Handle);
    // The reason is the system's: Wine's spooler answers EndDoc with ERROR_INVALID_HANDLE.
    EXPECT_EQ(boxes.Boxes()[0].Text,
              L"在打印机“PDF”上打印失败：Invalid handle.\r\n本次打印已取消。");
}

// The page set-up dialog: A5, landscape and a left margin of 25 mm chosen as a user does, kept
// in the profile under its keys; the next print comes out on that paper. Cancelling keeps the
// profile as it was.
TEST_F(PrintJob, ThePageSetUpChosenInItsDialogIsKeptAndPrintedWith) {
    const fs::path profile = fs::temp_directory_path() / L"Yieldora_pagesetup.ini";
    fs::remove(profile);
    const TOwner owner;
    const auto setUp = [&](const std::function<void(HWND Dialog)>& Choose) {
        TModalDriver driver;
        driver.Then("choose", [&] {
            const HWND dialog = PageSetupDialog();
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner.Handle);
            Choose(dialog);
        });
        SetUpPages(owner.Handle, profile.wstring());
        EXPECT_TRUE(driver.Done());
    };
    setUp([](HWND Dialog) {
        const HWND paper = GetDlgItem(Dialog, cmb2);
        const LRESULT a5 = SendMessageW(paper, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(L"A5"));
        ASSERT_NE(a5, CB_ERR);
        SendMessageW(paper, CB_SETCURSEL, static_cast<WPARAM>(a5), 0);
        SendMessageW(Dialog, WM_COMMAND, MAKEWPARAM(cmb2, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(paper));
        SendDlgItemMessageW(Dialog, rad2, BM_CLICK, 0, 0);
        // The margin typed, then the focus moved on, as Tab does.
        SetFocus(GetDlgItem(Dialog, edt4));
        SetDlgItemTextW(Dialog, edt4, L"25");
        SetFocus(GetDlgItem(Dialog, edt5));
        PostMessageW(GetDlgItem(Dialog, IDOK), BM_CLICK, 0, 0);
    });
    const auto key = [&](const wchar_t* Name) {
        return GetPrivateProfileIntW(L"PageSetup", Name, -1, profile.c_str());
    };
    EXPECT_EQ(key(L"PaperSize"), 11);
    EXPECT_EQ(key(L"Orientation"), 2);
    EXPECT_EQ(key(L"MarginLeft"), 2500);
    EXPECT_EQ(key(L"MarginTop"), 2000);
    EXPECT_EQ(key(L"MarginRight"), 2000);
    EXPECT_EQ(key(L"MarginBottom"), 2000);

    // The dialog starts from the profile's set-up.
    setUp([](HWND Dialog) {
        wchar_t text[32]{};
        GetDlgItemTextW(Dialog, cmb2, text, 32);
        EXPECT_EQ(std::wstring(text), L"A5");
        GetDlgItemTextW(Dialog, edt4, text, 32);
        EXPECT_EQ(std::wstring(text), L"25");
        EXPECT_EQ(IsDlgButtonChecked(Dialog, rad2), BST_CHECKED);
        SendDlgItemMessageW(Dialog, rad1, BM_CLICK, 0, 0);
        PostMessageW(Dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(key(L"Orientation"), 2);

    const TDepositResult result = CalculateResult({.Year = 120});
    const TDepositPlan comparison = PlanYearTerms(result.Inputs, {});
    TModalDriver driver;
    driver.Then("print", [] {
        const HWND dialog = PrintDialog();
        ASSERT_NE(dialog, nullptr);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    PrintWithDialog(owner.Handle, TPrintKind::Schedule, {result, comparison}, profile.wstring());
    EXPECT_TRUE(driver.Done());
    const TPrintedPdf printed = TakePrinted();
    // A5 turned: sixteen rows a page.
    EXPECT_NE(printed.Info.find("Page size:       421 x 595 pts (A5)"), std::string::npos)
        << printed.Info;
    EXPECT_NE(printed.Info.find("Page rot:        90"), std::string::npos);
    ASSERT_EQ(printed.Pages.size(), 8u);
    EXPECT_TRUE(Contains(printed.Pages[0], "16 441 15751 连本带息取出后转存"));
    EXPECT_FALSE(Contains(printed.Pages[0], "17 454 16204"));
    EXPECT_TRUE(Contains(printed.Pages[1], "备注 17 454 16204"));
    EXPECT_TRUE(Contains(printed.Pages[7], "第 8 页，共 8 页"));
    fs::remove(profile);
}

namespace {

// Called by the printer's device context once, inside StartDoc under Wine: the print server
// stops taking jobs while this one is being printed.
BOOL CALLBACK RejectJobs(HDC, int) {
    RunUnix("cupsreject PDF");
    return TRUE;
}

} // namespace

// A queue that stops taking jobs while the job is under way: the job is cancelled (AbortDoc: the
// same device context prints the next job), nothing comes out, the message names the printer.
// Pages asked for beyond the last one: no blank sheet, and a message that says so.
TEST_F(PrintJob, AJobTheQueueRefusesMidwayOrWithoutPagesPrintsNothingAndSaysSo) {
    const TDepositResult result = CalculateResult({});
    const TDepositPlan comparison = PlanYearTerms(result.Inputs, {});
    const auto print = [&](TkyPrintChoice& Choice) {
        return PrintPages(Choice, {}, TPrintKind::Schedule, {result, comparison}, DATE);
    };
    std::optional<TkyPrintChoice> choice = PrinterChoice(L"PDF", {});
    ASSERT_TRUE(choice);
    SetAbortProc(choice->Dc.get(), RejectJobs);
    const std::wstring refused = print(*choice);
    ASSERT_TRUE(RunUnix("cupsaccept PDF"));
    EXPECT_EQ(refused, L"在打印机“PDF”上打印失败：Invalid handle.\r\n本次打印已取消。");
    EXPECT_TRUE(PrintedFiles().empty());

    SetAbortProc(choice->Dc.get(), nullptr);
    choice->Ranges = {{2, 3}};
    EXPECT_EQ(print(*choice),
              L"本次打印共 1 页，所选的页码范围内没有页：打印机“PDF”未打印任何内容。");
    EXPECT_TRUE(PrintedFiles().empty());

    choice->Ranges = {{1, 3}};
    EXPECT_EQ(print(*choice), L"");
    const TPrintedPdf printed = TakePrinted();
    ASSERT_EQ(printed.Pages.size(), 1u);
    EXPECT_TRUE(Contains(printed.Pages[0], "20 494 17645 取出全部本息"));
}
