#include "UMainDialog.h"

#include "ModalDriver.h"
#include "MsgBoxHook.h"
#include "UkyClipboard.h"
#include "UkyFunctions.h"
#include "UkyHandles.h"
#include "UkyImageList.h"
#include "UkyIniFile.h"
#include "UkyWinControl.h"
#include "WorkArea.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---- The dialog's items, seen from outside -----------------------------------------------------

std::wstring Text(HWND Dialog, int Id) {
    wchar_t buffer[512] = {};
    GetDlgItemTextW(Dialog, Id, buffer, 512);
    return buffer;
}

// What waits in the queue is handled, as after a user's keystroke: the table follows typing once
// no key waits. A timer's tick comes only once nothing else waits; the driver's own is left.
void HandleWaiting() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_TIMER) {
        DispatchMessageW(&message);
    }
}

void Type(HWND Dialog, int Id, const std::wstring& Text) {
    SetDlgItemTextW(Dialog, Id, Text.c_str());
    HandleWaiting();
}

// Wine also presses a disabled button, so the test checks that it can be pressed.
void Press(HWND Dialog, int Id) {
    const HWND button = GetDlgItem(Dialog, Id);
    ASSERT_TRUE(IsWindowEnabled(button)) << "button " << Id;
    SendMessageW(button, BM_CLICK, 0, 0);
}

bool Checked(HWND Dialog, int Id) {
    return IsDlgButtonChecked(Dialog, Id) == BST_CHECKED;
}

// A table row as the list view holds it: the four cell texts joined by TAB, and the image.
using TRow = std::pair<std::wstring, int>;

std::vector<TRow> Rows(HWND Dialog) {
    const HWND view = GetDlgItem(Dialog, IDC_RESULTS);
    std::vector<TRow> rows;
    const auto count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring cells;
        for (int column = 0; column < 4; ++column) {
            wchar_t buffer[256] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = buffer;
            item.cchTextMax = 256;
            SendMessageW(view, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            cells += (column > 0 ? L"\t" : L"") + std::wstring(buffer);
        }
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        SendMessageW(view, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        rows.emplace_back(cells, item.iImage);
    }
    return rows;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (OpenClipboardWhenFree(nullptr)) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

void SetClipboardText(const std::wstring& Text) {
    ASSERT_TRUE(OpenClipboardWhenFree(nullptr));
    EmptyClipboard();
    const HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (Text.size() + 1) * sizeof(wchar_t));
    std::copy_n(Text.c_str(), Text.size() + 1, static_cast<wchar_t*>(GlobalLock(data)));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
}

std::wstring FromUtf8(const std::string& Text) {
    std::wstring result(Text.size(), L'\0');
    result.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), result.data(),
                            static_cast<int>(result.size()))));
    return result;
}

std::string ReadFile(const fs::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The export of the default inputs, as the golden file beside the tests holds it.
std::wstring GoldenExport() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return FromUtf8(ReadFile(fs::path(module).parent_path() / YIELDORA_GOLDEN_EXPORT));
}

RECT WindowRect(HWND Window) {
    RECT rect{};
    GetWindowRect(Window, &rect);
    return rect;
}

// ---- Running the program's dialog --------------------------------------------------------------

using TStep = std::function<void(HWND Dialog)>;

class MainDialog : public testing::Test {
protected:
    void SetUp() override { fs::remove(Profile); }
    void TearDown() override { fs::remove(Profile); }

    // Runs the dialog; each step runs on its own tick of the dialog's modal loop, and the last one
    // must have closed the dialog. Message boxes are answered with OK and recorded in Boxes.
    // Prepare sees the dialog object before it runs.
    void Run(const std::vector<TStep>& Steps,
             const std::function<void(TMainDialog&)>& Prepare = nullptr) {
        const auto dialog = TkyDialogSuper::Create<TMainDialog>(nullptr, false);
        if (Prepare) {
            Prepare(*dialog);
        }
        TModalDriver driver;
        for (const TStep& step : Steps) {
            driver.Then([&dialog, &step] { step(dialog->Handle()); });
        }
        dialog->RunModal();
        EXPECT_TRUE(driver.Done());
    }

    std::string ProfileText() const { return ReadFile(Profile); }
    void WriteProfile(const std::string& Text) const { std::ofstream(Profile) << Text; }

    // The boxes' texts, for a quick comparison.
    std::vector<std::wstring> BoxTexts() const {
        std::vector<std::wstring> texts;
        for (const TMsgBoxRecord& box : Boxes.Boxes()) {
            texts.push_back(box.Text);
        }
        return texts;
    }

    const fs::path Profile{ProfilePath()};
    TMsgBoxHook Boxes;
};

// Where the dialog stands when the profile does not place it, found by a first run.
RECT TemplatePlace() {
    RECT rect{};
    const auto dialog = TkyDialogSuper::Create<TMainDialog>(nullptr, false);
    TModalDriver driver;
    driver.Then([&] {
        rect = WindowRect(dialog->Handle());
        SendMessageW(dialog->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    dialog->RunModal();
    return rect;
}

const std::string DEFAULT_MODEL =
    "[Yieldora]\r\nFund=10000\r\nPeriod=1\r\nRate=3.6\r\nTax=20\r\nYear=20\r\nStep=1\r\n"
    "Deposit=1\r\n";

std::string SizeKeys(const RECT& Place, bool Maximized = false) {
    return "WindowWidth=" + std::to_string(Place.right - Place.left) +
           "\r\nWindowHeight=" + std::to_string(Place.bottom - Place.top) +
           "\r\nWindowMaximized=" + (Maximized ? "1" : "0") + "\r\n";
}

std::string ProgramSection(const RECT& Place) {
    return "[Program]\r\nWindowLeft=" + std::to_string(Place.left) +
           "\r\nWindowTop=" + std::to_string(Place.top) + "\r\n" + SizeKeys(Place);
}

// ---- The dialog template, read from the resources ----------------------------------------------

struct TTemplateItem {
    int Id;
    std::wstring Class;
    std::wstring Caption;
    short X, Y, Width, Height;
    DWORD Style;
};

struct TTemplateReader {
    const WORD* At;

    WORD Word() { return *At++; }
    DWORD DoubleWord() {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    std::wstring String() {
        std::wstring text;
        while (*At != 0) {
            text += static_cast<wchar_t>(*At++);
        }
        ++At;
        return text;
    }
    // A name or an ordinal; the ordinals of the predefined classes become their names.
    std::wstring NameOrOrdinal() {
        if (*At != 0xFFFF) {
            return String();
        }
        ++At;
        const WORD ordinal = Word();
        const wchar_t* const names[] = {L"BUTTON",  L"EDIT",      L"STATIC",
                                        L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
        return ordinal >= 0x80 && ordinal <= 0x85 ? names[ordinal - 0x80]
                                                  : L"#" + std::to_wstring(ordinal);
    }
    void AlignToDoubleWord(const void* Start) {
        const auto offset = reinterpret_cast<const char*>(At) - static_cast<const char*>(Start);
        At += (offset % 4) / 2;
    }
};

} // namespace

// Programs that drive the dialog from outside address its template, items and icons by number.
static_assert(IDD_MAIN == 10 && IDI_MAIN == 1 && IDI_ORDINARY_YEAR == 2 && IDI_LAST_YEAR == 3);
static_assert(IDC_CALCULATE == 101 && IDC_EXPORT == 102 && IDC_EXIT == 103 && IDC_TAX == 104 &&
              IDC_YEAR == 105 && IDC_STEP == 106 && IDC_DEPOSIT == 107 && IDC_FUND == 108 &&
              IDC_TERM == 109 && IDC_RATE == 110 && IDC_YEAR_UPDOWN == 111 &&
              IDC_STEP_UPDOWN == 112 && IDC_RESULTS == 113 && IDM_SHOW_CHART == 120);

TEST(MainDialogResources, TemplateTenHoldsTheDialogAndItsItemsInTabOrder) {
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_MAIN), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    const void* start = LockResource(LoadResource(nullptr, found));
    TTemplateReader r{static_cast<const WORD*>(start)};

    EXPECT_EQ(r.DoubleWord(), static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                                 WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT));
    r.DoubleWord();
    const WORD count = r.Word();
    const short frame[] = {77, 43, 228, 259};
    for (short value : frame) {
        EXPECT_EQ(static_cast<short>(r.Word()), value);
    }
    EXPECT_EQ(r.NameOrOrdinal(), L"");
    EXPECT_EQ(r.NameOrOrdinal(), L"");
    EXPECT_EQ(r.String(), L"Yieldora 1.3");
    EXPECT_EQ(r.Word(), 9);
    EXPECT_EQ(r.String(), L"Arial");

    constexpr DWORD edit = WS_BORDER | WS_TABSTOP;
    constexpr DWORD label = SS_LEFT;
    const std::vector<TTemplateItem> expected = {
        {IDC_FUND, L"EDIT", L"", 46, 11, 50, 12, edit},
        {IDC_TERM, L"COMBOBOX", L"", 46, 29, 50, 50, CBS_DROPDOWNLIST | WS_TABSTOP},
        {IDC_RATE, L"EDIT", L"", 46, 48, 50, 12, edit},
        {IDC_TAX, L"EDIT", L"", 46, 67, 50, 12, edit},
        {IDC_YEAR, L"EDIT", L"", 164, 11, 34, 12, edit},
        {IDC_STEP, L"EDIT", L"", 164, 29, 34, 12, edit},
        {IDC_DEPOSIT, L"BUTTON", L"到期利息继续存入", 10, 87, 70, 12, BS_AUTOCHECKBOX | WS_TABSTOP},
        {IDC_CALCULATE, L"BUTTON", L"计   算", 128, 67, 41, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDC_EXPORT, L"BUTTON", L"导    出", 176, 67, 41, 14,
         BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED},
        {IDC_EXIT, L"BUTTON", L"退   出", 128, 86, 41, 14, BS_PUSHBUTTON | WS_TABSTOP},
        {-1, L"STATIC", L"投入资金：", 10, 11, 35, 9, label},
        {-1, L"STATIC", L"存期：", 10, 30, 25, 9, label},
        {-1, L"STATIC", L"年利率：", 10, 49, 31, 9, label},
        {-1, L"STATIC", L"利息税：", 10, 67, 28, 9, label},
        {-1, L"STATIC", L"计算时限：", 128, 11, 34, 9, label},
        {-1, L"STATIC", L"计算步长：", 128, 30, 34, 9, label},
        {-1, L"STATIC", L"元", 101, 11, 10, 9, label},
        {-1, L"STATIC", L"%", 101, 50, 10, 9, label},
        {-1, L"STATIC", L"%", 101, 68, 10, 9, label},
        {IDC_YEAR_UPDOWN, L"msctls_updown32", L"", 198, 11, 9, 12, 0},
        {IDC_STEP_UPDOWN, L"msctls_updown32", L"", 198, 29, 9, 12, 0},
        {IDC_RESULTS, L"SysListView32", L"", 10, 110, 207, 140, WS_BORDER},
        {-1, L"STATIC", L"年", 212, 11, 12, 8, label},
        {-1, L"STATIC", L"年", 212, 30, 12, 8, label},
    };
    ASSERT_EQ(count, expected.size());
    for (const TTemplateItem& item : expected) {
        SCOPED_TRACE(testing::Message() << "item " << item.Id << " at " << item.X << "," << item.Y);
        r.AlignToDoubleWord(start);
        EXPECT_EQ(r.DoubleWord(), WS_CHILD | WS_VISIBLE | item.Style);
        r.DoubleWord();
        const short place[] = {item.X, item.Y, item.Width, item.Height};
        for (short value : place) {
            EXPECT_EQ(static_cast<short>(r.Word()), value);
        }
        EXPECT_EQ(static_cast<short>(r.Word()), item.Id);
        EXPECT_EQ(CompareStringOrdinal(r.NameOrOrdinal().c_str(), -1, item.Class.c_str(), -1, TRUE),
                  CSTR_EQUAL);
        EXPECT_EQ(r.NameOrOrdinal(), item.Caption);
        r.At += (r.Word() + 1) / 2;
    }
}

TEST(MainDialogResources, IconsManifestAndCommonControls) {
    // Each icon in every size a scale up to 200 % asks for: 16 pixels as 8-bit pixel art,
    // the others drawn for their size with an alpha channel (stored as PNG).
    const std::vector<int> sizes = {16, 20, 24, 32, 40, 48, 64};
    for (const int number : {IDI_MAIN, IDI_ORDINARY_YEAR, IDI_LAST_YEAR}) {
        const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(number), RT_GROUP_ICON);
        ASSERT_NE(found, nullptr) << number;
        const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
        const WORD images = *reinterpret_cast<const WORD*>(group + 4);
        std::vector<int> widths;
        for (WORD i = 0; i < images; ++i) {
            const BYTE* entry = group + 6 + 14 * i;
            EXPECT_EQ(entry[0], entry[1]);
            EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), entry[0] == 16 ? 8 : 32)
                << "bits per pixel";
            widths.push_back(entry[0]);
        }
        EXPECT_EQ(widths, sizes) << number;
    }

    // The manifest makes the process aware of the system's resolution and picks the common
    // controls of version 6.
    EXPECT_TRUE(IsProcessDPIAware());
    // Wine's version 6 answers DllGetVersion with 5, so the test looks where the library came
    // from, once loaded as the program loads it (from the system's folders only): the
    // side-by-side assembly of version 6.
    InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
    std::wstring folder = fs::path(path).parent_path().filename().wstring();
    CharLowerW(folder.data());
    EXPECT_TRUE(folder.starts_with(L"x86_microsoft.windows.common-controls_6595b64144ccf1df_6.") ||
                folder.starts_with(L"amd64_microsoft.windows.common-controls_6595b64144ccf1df_6."))
        << path;
}

// Every size of every icon loads as itself (the drawn ones are PNG files inside the resource),
// see-through at its corners and painted in its middle, on its own and in an image list.
TEST(MainDialogResources, EveryIconSizeLoadsWithItsTransparency) {
    constexpr COLORREF white = RGB(255, 255, 255);
    const TkyWindowDc screen(nullptr);
    const TkyMemoryDc dc(CreateCompatibleDC(screen.Handle()));
    const TkyGdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen.Handle(), 64, 64));
    const TkySelection selected(dc.get(), canvas.get());
    const RECT all{0, 0, 64, 64};
    // The corners are left out, the middle of the left half painted.
    const auto expectPicture = [&](int Size) {
        EXPECT_EQ(GetPixel(dc.get(), 0, 0), white);
        EXPECT_EQ(GetPixel(dc.get(), Size - 1, Size - 1), white);
        EXPECT_NE(GetPixel(dc.get(), Size / 4, Size * 5 / 8), white);
    };
    for (const int number : {IDI_MAIN, IDI_ORDINARY_YEAR, IDI_LAST_YEAR}) {
        for (const int size : {16, 20, 24, 32, 40, 48, 64}) {
            SCOPED_TRACE(testing::Message() << "icon " << number << " at " << size);
            const TIconHandle icon = LoadAppIcon(MAKEINTRESOURCEW(number), size, size);
            ASSERT_NE(icon, nullptr);
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon.get(), &info));
            const TkyGdiObject<HBITMAP> colourBits(info.hbmColor);
            const TkyGdiObject<HBITMAP> maskBits(info.hbmMask);
            BITMAP colour{};
            GetObjectW(colourBits.get(), sizeof colour, &colour);
            EXPECT_EQ(colour.bmWidth, size);
            EXPECT_EQ(colour.bmHeight, size);

            FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            DrawIconEx(dc.get(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL);
            expectPicture(size);

            TkyImageList list(size, size, 1);
            list.AddIcon(icon.get());
            FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            ImageList_Draw(list.Handle(), 0, dc.get(), 0, 0, ILD_NORMAL);
            expectPicture(size);
        }
    }
}

TEST_F(MainDialog, FirstRunShowsTheDefaultsAnEmptyTableAndTheControlsSetUp) {
    Run({[](HWND Dialog) {
        EXPECT_EQ(Text(Dialog, IDC_FUND), L"10000");
        EXPECT_EQ(Text(Dialog, IDC_TERM), L"一年期");
        EXPECT_EQ(SendDlgItemMessageW(Dialog, IDC_TERM, CB_GETCOUNT, 0, 0), 5);
        EXPECT_EQ(Text(Dialog, IDC_RATE), L"3.6");
        EXPECT_EQ(Text(Dialog, IDC_TAX), L"20");
        EXPECT_EQ(Text(Dialog, IDC_YEAR), L"20");
        EXPECT_EQ(Text(Dialog, IDC_STEP), L"1");
        EXPECT_TRUE(Checked(Dialog, IDC_DEPOSIT));
        EXPECT_TRUE(Rows(Dialog).empty());
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Dialog, IDC_EXPORT)));
        EXPECT_NE(SendMessageW(Dialog, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(Dialog, WM_GETICON, ICON_SMALL, 0), 0);

        // The spin buttons and their buddies.
        const int spins[][4] = {{IDC_YEAR_UPDOWN, IDC_YEAR, 1, 100},
                                {IDC_STEP_UPDOWN, IDC_STEP, 1, 10}};
        for (const auto& spin : spins) {
            const HWND upDown = GetDlgItem(Dialog, spin[0]);
            int min = 0;
            int max = 0;
            SendMessageW(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min),
                         reinterpret_cast<LPARAM>(&max));
            EXPECT_EQ(min, spin[2]);
            EXPECT_EQ(max, spin[3]);
            EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)),
                      GetDlgItem(Dialog, spin[1]));
            EXPECT_EQ(GetWindowLongW(upDown, GWL_STYLE) & 0x26, 0x26);
        }

        // The result table: a report with full-row selection of many rows, grid lines, a
        // header, four centred columns and three small images.
        const HWND view = GetDlgItem(Dialog, IDC_RESULTS);
        const LONG style = GetWindowLongW(view, GWL_STYLE);
        EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_EQ(style & (LVS_SINGLESEL | LVS_NOCOLUMNHEADER | LVS_EDITLABELS), 0);
        const auto extended = SendMessageW(view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_EQ(extended & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP |
                              LVS_EX_HEADERDRAGDROP | LVS_EX_CHECKBOXES),
                  LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP);
        const HDC screen = GetDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
        ReleaseDC(nullptr, screen);
        const std::pair<std::wstring, int> columns[] = {
            {L"年", 52}, {L"利息", 80}, {L"累计", 80}, {L"备注", 128}};
        for (int i = 0; i < 4; ++i) {
            wchar_t caption[32] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.pszText = caption;
            column.cchTextMax = 32;
            ASSERT_TRUE(SendMessageW(view, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
            EXPECT_EQ(caption, columns[i].first);
            EXPECT_EQ(column.cx, columns[i].second);
            EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
        }
        // The rows' icons come with the first rows.
        Press(Dialog, IDC_CALCULATE);
        const auto images =
            reinterpret_cast<HIMAGELIST>(SendMessageW(view, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        EXPECT_EQ(ImageList_GetImageCount(images), 3);
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(images, &width, &height);
        EXPECT_EQ(width, 16);
        EXPECT_EQ(height, 16);
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(MainDialog, CalculatesTheDefaultScheduleAndExportsIt) {
    SetClipboardText(L"before");
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_CALCULATE);
        const std::vector<TRow> rows = Rows(Dialog);
        ASSERT_EQ(rows.size(), 20u);
        EXPECT_EQ(rows[0], TRow(L"1\t288\t10288\t连本带息取出后转存", 1));
        EXPECT_EQ(rows[1], TRow(L"2\t296\t10584\t连本带息取出后转存", 1));
        EXPECT_EQ(rows[2], TRow(L"3\t305\t10889\t连本带息取出后转存", 1));
        EXPECT_EQ(rows[18].second, 1);
        EXPECT_EQ(rows[19], TRow(L"20\t494\t17645\t取出全部本息", 2));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Dialog, IDC_EXPORT)));

        Press(Dialog, IDC_EXPORT);
        EXPECT_EQ(ClipboardText(), GoldenExport());

        // Calculating again leaves only the new rows.
        Type(Dialog, IDC_YEAR, L"3");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_EQ(Rows(Dialog).size(), 3u);
        Press(Dialog, IDC_EXIT);
    }});
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(Boxes.Boxes()[0].Caption, L"提示!");
    EXPECT_EQ(Boxes.Boxes()[0].Text, L"当前计算结果已导出到剪贴板！");
    EXPECT_EQ(Boxes.Boxes()[0].Icon, LoadIconW(nullptr, IDI_INFORMATION));
    EXPECT_EQ(Boxes.Boxes()[0].Buttons, std::vector<int>{IDOK});
}

TEST_F(MainDialog, TermDepositStepAndYearsShapeTheTable) {
    Run({[](HWND Dialog) {
        // Three-year term, interest withdrawn.
        SendDlgItemMessageW(Dialog, IDC_TERM, CB_SETCURSEL, 2, 0);
        CheckDlgButton(Dialog, IDC_DEPOSIT, BST_UNCHECKED);
        Press(Dialog, IDC_CALCULATE);
        std::vector<TRow> rows = Rows(Dialog);
        ASSERT_EQ(rows.size(), 20u);
        EXPECT_EQ(rows[1], TRow(L"2\t288\t10576\t", 0));
        EXPECT_EQ(rows[2], TRow(L"3\t288\t10864\t取出利息864元", 1));
        EXPECT_EQ(rows[3], TRow(L"4\t288\t10288\t", 0));

        // Every third year and the last one.
        Type(Dialog, IDC_STEP, L"3");
        Press(Dialog, IDC_CALCULATE);
        rows = Rows(Dialog);
        ASSERT_EQ(rows.size(), 7u);
        EXPECT_EQ(rows[0], TRow(L"3\t288\t10864\t取出利息864元", 1));
        EXPECT_EQ(rows[5], TRow(L"18\t288\t10864\t取出利息864元", 1));
        EXPECT_EQ(rows[6], TRow(L"20\t288\t10576\t取出全部本息", 2));

        // The exported lines: a trailing TAB for an empty remark, none after the last line.
        Type(Dialog, IDC_YEAR, L"2");
        Type(Dialog, IDC_STEP, L"1");
        Press(Dialog, IDC_CALCULATE);
        Press(Dialog, IDC_EXPORT);
        EXPECT_EQ(ClipboardText(), L"年\t利息\t累计\t备注\r\n1\t288\t10288\t\r\n"
                                   L"2\t288\t10576\t取出全部本息");

        // No years: an empty table, whose export is the header line.
        Type(Dialog, IDC_YEAR, L"0");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_TRUE(Rows(Dialog).empty());
        Press(Dialog, IDC_EXPORT);
        EXPECT_EQ(ClipboardText(), L"年\t利息\t累计\t备注\r\n");

        // Halves go to the even neighbour: interest 288.5, total 3173.5.
        Type(Dialog, IDC_FUND, L"2885");
        Type(Dialog, IDC_RATE, L"10");
        Type(Dialog, IDC_TAX, L"0");
        Type(Dialog, IDC_YEAR, L"1");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_EQ(Rows(Dialog), std::vector<TRow>{TRow(L"1\t288\t3174\t取出全部本息", 2)});
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_TRUE(
        ProfileText().ends_with("[Yieldora]\r\nFund=2885\r\nPeriod=3\r\nRate=10\r\nTax=0\r\n"
                                "Year=1\r\nStep=1\r\nDeposit=0\r\n"));
}

TEST_F(MainDialog, BadInputIsReportedAndTheFieldsComeBackFromTheModel) {
    Run({[](HWND Dialog) {
        // Each bad field: the message, and the field shows the model's value again.
        const struct {
            int Id;
            std::wstring Typed;
            std::wstring Shown;
        } cases[] = {
            {IDC_FUND, L"abc", L"10000"},   {IDC_FUND, L"1,000", L"10000"},
            {IDC_FUND, L"1e400", L"10000"}, {IDC_YEAR, L"", L"20"},
            {IDC_YEAR, L"12a", L"20"},      {IDC_YEAR, L"300", L"20"},
            {IDC_YEAR, L" -1 ", L"20"},     {IDC_STEP, L"4294967297", L"1"},
        };
        for (const auto& c : cases) {
            Type(Dialog, c.Id, c.Typed);
            Press(Dialog, IDC_CALCULATE);
            EXPECT_EQ(Text(Dialog, c.Id), c.Shown) << c.Typed;
        }
        EXPECT_TRUE(Rows(Dialog).empty());
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Dialog, IDC_EXPORT)));

        // A valid new rate stays when the tax after it is bad; fields come back canonical.
        Type(Dialog, IDC_FUND, L"10000.50");
        Type(Dialog, IDC_RATE, L"4.50");
        Type(Dialog, IDC_TAX, L"x");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_EQ(Text(Dialog, IDC_FUND), L"10000.5");
        EXPECT_EQ(Text(Dialog, IDC_RATE), L"4.5");
        EXPECT_EQ(Text(Dialog, IDC_TAX), L"20");

        // Step 0 fails after the table was cleared; with nothing to export, export is greyed.
        Press(Dialog, IDC_CALCULATE);
        ASSERT_EQ(Rows(Dialog).size(), 20u);
        Type(Dialog, IDC_STEP, L"0");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_TRUE(Rows(Dialog).empty());
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(Dialog, IDC_RESULTS))) << "redrawing is back on";
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Dialog, IDC_EXPORT)));
        EXPECT_EQ(Text(Dialog, IDC_STEP), L"0");

        // A whole-yuan figure beyond 64 bits.
        Type(Dialog, IDC_STEP, L"1");
        Type(Dialog, IDC_FUND, L"1e20");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_TRUE(Rows(Dialog).empty());
        Type(Dialog, IDC_FUND, L"10000");
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_EQ(
        BoxTexts(),
        (std::vector<std::wstring>{
            L"abc is not a valid float number!", L"1,000 is not a valid float number!",
            L"Floating point overflow", L"empty string cannot be converted to integer!",
            L"12a is not a valid integer!", L"300 is out of range 0..255!",
            L"-1 is out of range 0..255!", L"4294967297 is out of range -2147483648..2147483647!",
            L"x is not a valid float number!", L"Division by zero",
            L"Invalid floating point operation"}));
    for (const TMsgBoxRecord& box : Boxes.Boxes()) {
        EXPECT_EQ(box.Caption, L"提示!");
        EXPECT_EQ(box.Icon, LoadIconW(nullptr, IDI_INFORMATION));
    }
}

TEST_F(MainDialog, EnterCalculatesEscapeAndTheCloseBoxClose) {
    const auto pressKey = [](HWND Dialog, WPARAM Key) {
        const HWND edit = GetDlgItem(Dialog, IDC_FUND);
        SetFocus(edit);
        PostMessageW(edit, WM_KEYDOWN, Key, 1);
        PostMessageW(edit, WM_KEYUP, Key, 0xC0000001);
    };
    Run({[&](HWND Dialog) { pressKey(Dialog, VK_RETURN); },
         [&](HWND Dialog) {
             EXPECT_EQ(Rows(Dialog).size(), 20u);
             Type(Dialog, IDC_FUND, L"5000");
             pressKey(Dialog, VK_ESCAPE);
         }});
    EXPECT_NE(ProfileText().find("Fund=5000\r\n"), std::string::npos);

    fs::remove(Profile);
    Run({[](HWND Dialog) {
        Type(Dialog, IDC_RATE, L"2");
        SendMessageW(Dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    }});
    EXPECT_NE(ProfileText().find("Rate=2\r\n"), std::string::npos);
    EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(MainDialog, TheProfileKeepsPositionAndInputsForTheNextRun) {
    CheckedWorkArea();
    RECT place{};
    Run({[&](HWND Dialog) {
        place = WindowRect(Dialog);
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_EQ(ProfileText(), ProgramSection(place) + DEFAULT_MODEL);

    // A profile without the size keys (of an older version) opens at the template's size.
    WriteProfile("[Program]\r\nWindowLeft=200\r\nWindowTop=150\r\n[Yieldora]\r\nFund=2885.5\r\n"
                 "Period=5\r\nRate=10\r\nTax=0\r\nYear=7\r\nStep=2\r\nDeposit=0\r\n");
    Run({[](HWND Dialog) {
        EXPECT_EQ(WindowRect(Dialog).left, 200);
        EXPECT_EQ(WindowRect(Dialog).top, 150);
        EXPECT_EQ(Text(Dialog, IDC_FUND), L"2885.5");
        EXPECT_EQ(Text(Dialog, IDC_TERM), L"五年期");
        EXPECT_EQ(Text(Dialog, IDC_RATE), L"10");
        EXPECT_EQ(Text(Dialog, IDC_TAX), L"0");
        EXPECT_EQ(Text(Dialog, IDC_YEAR), L"7");
        EXPECT_EQ(Text(Dialog, IDC_STEP), L"2");
        EXPECT_FALSE(Checked(Dialog, IDC_DEPOSIT));
        MoveWindow(Dialog, 210, 160, WindowRect(Dialog).right - WindowRect(Dialog).left,
                   WindowRect(Dialog).bottom - WindowRect(Dialog).top, TRUE);
        SendDlgItemMessageW(Dialog, IDC_TERM, CB_SETCURSEL, 4, 0);
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_EQ(ProfileText(), "[Program]\r\nWindowLeft=210\r\nWindowTop=160\r\n" + SizeKeys(place) +
                                 "[Yieldora]\r\nFund=2885.5\r\nPeriod=10\r\nRate=10\r\nTax=0\r\n"
                                 "Year=7\r\nStep=2\r\nDeposit=0\r\n");
}

TEST_F(MainDialog, ASavedPositionIsBroughtWhollyIntoItsMonitorsWorkArea) {
    const RECT place = TemplatePlace();
    const LONG width = place.right - place.left;
    const LONG height = place.bottom - place.top;
    const RECT work = CheckedWorkArea();
    const struct {
        std::string Saved;
        LONG Left;
        LONG Top;
    } cases[] = {
        {"WindowLeft=200\r\nWindowTop=150", 200, 150},
        // Only a sliver would show: the whole dialog comes onto the screen.
        {"WindowLeft=900\r\nWindowTop=700", work.right - width, work.bottom - height},
        {"WindowLeft=-5\r\nWindowTop=100", work.left, 100},
        {"WindowLeft=100\r\nWindowTop=-40", 100, work.top},
        // On no monitor at all: where the template puts it.
        {"WindowLeft=5000\r\nWindowTop=100", place.left, place.top},
        {"WindowLeft=100\r\nWindowTop=3000", place.left, place.top},
        {"WindowLeft=-5000\r\nWindowTop=100", place.left, place.top},
        {"WindowLeft=2147483647\r\nWindowTop=-2147483648", place.left, place.top},
    };
    for (const auto& c : cases) {
        WriteProfile("[Program]\r\n" + c.Saved + "\r\n");
        Run({[&](HWND Dialog) {
            EXPECT_EQ(WindowRect(Dialog).left, c.Left) << c.Saved;
            EXPECT_EQ(WindowRect(Dialog).top, c.Top) << c.Saved;
            Press(Dialog, IDC_EXIT);
        }});
    }
}

TEST_F(MainDialog, AMinimisedDialogSavesWhereItStandsWhenRestored) {
    CheckedWorkArea();
    const auto closeMinimised = [&](UINT Close) {
        Run({[](HWND Dialog) {
                 MoveWindow(Dialog, 123, 145, WindowRect(Dialog).right - WindowRect(Dialog).left,
                            WindowRect(Dialog).bottom - WindowRect(Dialog).top, TRUE);
             },
             // Once the dialog loop has shown the dialog.
             [](HWND Dialog) { SendMessageW(Dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0); },
             [Close](HWND Dialog) {
                 EXPECT_TRUE(IsIconic(Dialog));
                 if (Close == WM_ENDSESSION) {
                     SendMessageW(Dialog, WM_ENDSESSION, TRUE, 0);
                 } else {
                     SendMessageW(Dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                 }
             }});
        EXPECT_TRUE(ProfileText().starts_with("[Program]\r\nWindowLeft=123\r\nWindowTop=145\r\n"))
            << ProfileText();
    };
    closeMinimised(WM_SYSCOMMAND);
    fs::remove(Profile);
    closeMinimised(WM_ENDSESSION);
    Run({[](HWND Dialog) {
        EXPECT_FALSE(IsIconic(Dialog));
        EXPECT_EQ(WindowRect(Dialog).left, 123);
        EXPECT_EQ(WindowRect(Dialog).top, 145);
        Press(Dialog, IDC_EXIT);
    }});
}

// The dialog is the main window while it exists: it owns the boxes, which disable it, and the
// clipboard it writes. A close or a session end that still reaches it while a box is up closes
// it there and then; what runs after the box leaves the freed inputs alone. The buttons are
// clicked with posted messages so that a fault in the command is not swallowed by the timer
// that runs the step.
TEST_F(MainDialog, ClosingUnderAnOpenBoxSavesAndLeavesNothingBehind) {
    HWND shown = nullptr;
    const auto closeUnderTheBox = [&](std::function<void(HWND)> Close) {
        const std::size_t first = Boxes.Boxes().size() + 1;
        Boxes.OnShow = [&, Close, first](const TMsgBoxRecord& Box) {
            EXPECT_EQ(Box.Owner, shown);
            EXPECT_FALSE(IsWindowEnabled(shown));
            if (Boxes.Boxes().size() == first) {
                Close(shown);
            }
        };
    };
    const auto clickAfter = [&](int Id, const std::wstring& Step) {
        return [&, Id, Step](HWND Dialog) {
            shown = Dialog;
            EXPECT_EQ(MainWindowHandle(), Dialog);
            Type(Dialog, IDC_STEP, Step);
            PostMessageW(GetDlgItem(Dialog, Id), BM_CLICK, 0, 0);
        };
    };
    const auto closeBox = [](HWND Dialog) { PostMessageW(Dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };

    // Step 0, calculate, the close box under the error, OK.
    closeUnderTheBox(closeBox);
    Run({clickAfter(IDC_CALCULATE, L"0")});
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"Division by zero"});
    EXPECT_EQ(MainWindowHandle(), nullptr);
    EXPECT_NE(ProfileText().find("Step=0\r\n"), std::string::npos) << ProfileText();

    // A bad field reported on closing, corrected under the box, and closed from there.
    fs::remove(Profile);
    closeUnderTheBox([closeBox](HWND Dialog) {
        Type(Dialog, IDC_STEP, L"3");
        closeBox(Dialog);
    });
    Run({clickAfter(IDC_EXIT, L"x")});
    EXPECT_NE(ProfileText().find("Step=3\r\n"), std::string::npos) << ProfileText();

    // The session ends under the box of a bad field: the model's value is saved.
    fs::remove(Profile);
    closeUnderTheBox([](HWND Dialog) { PostMessageW(Dialog, WM_ENDSESSION, TRUE, 0); });
    Run({clickAfter(IDC_CALCULATE, L"x")});
    EXPECT_TRUE(ProfileText().starts_with("[Program]\r\nWindowLeft=")) << ProfileText();
    EXPECT_NE(ProfileText().find("Step=1\r\n"), std::string::npos) << ProfileText();
    EXPECT_EQ(Boxes.Boxes().size(), 3u);
}

TEST_F(MainDialog, TheDialogOwnsTheClipboardItExportsTo) {
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_CALCULATE);
        Press(Dialog, IDC_EXPORT);
        EXPECT_EQ(GetClipboardOwner(), Dialog);
        Press(Dialog, IDC_EXIT);
    }});
    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(Boxes.Boxes()[0].Text, L"当前计算结果已导出到剪贴板！");
}

TEST_F(MainDialog, ClosingWithABadFieldReportsItAndStaysOpenUntilTheNextClose) {
    Run({[](HWND Dialog) { Type(Dialog, IDC_FUND, L"abc"); },
         [&](HWND Dialog) {
             Press(Dialog, IDC_EXIT);
             EXPECT_TRUE(IsWindowVisible(Dialog));
             EXPECT_EQ(Text(Dialog, IDC_FUND), L"10000");
             EXPECT_FALSE(fs::exists(Profile));
             Type(Dialog, IDC_YEAR, L"256");
             SendMessageW(Dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
         },
         [](HWND Dialog) {
             EXPECT_TRUE(IsWindowVisible(Dialog));
             Press(Dialog, IDC_EXIT);
         }});
    EXPECT_EQ(BoxTexts(), (std::vector<std::wstring>{L"abc is not a valid float number!",
                                                     L"256 is out of range 0..255!"}));
    EXPECT_NE(ProfileText().find(DEFAULT_MODEL), std::string::npos);
}

TEST_F(MainDialog, EndingTheSessionSavesWithoutAsking) {
    Run({[](HWND Dialog) {
        EXPECT_EQ(SendMessageW(Dialog, WM_QUERYENDSESSION, 0, 0), TRUE);
        EXPECT_TRUE(IsWindowVisible(Dialog));
        // Shutdown cancelled: nothing happens.
        SendMessageW(Dialog, WM_ENDSESSION, FALSE, 0);
        EXPECT_FALSE(fs::exists(ProfilePath()));
        Type(Dialog, IDC_FUND, L"abc");
        Type(Dialog, IDC_RATE, L"7");
        Type(Dialog, IDC_YEAR, L"999");
        SendMessageW(Dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    }});
    EXPECT_TRUE(Boxes.Boxes().empty());
    const std::string profile = ProfileText();
    EXPECT_TRUE(profile.starts_with("[Program]\r\nWindowLeft="));
    EXPECT_NE(profile.find("Fund=10000\r\nPeriod=1\r\nRate=7\r\nTax=20\r\nYear=20\r\n"),
              std::string::npos);
}

TEST_F(MainDialog, ABusyClipboardFailsTheExportVisibly) {
    SetClipboardText(L"kept");
    // Another thread holds the clipboard open while the dialog exports.
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        const HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                           nullptr, nullptr, nullptr);
        OpenClipboardWhenFree(owner);
        SetEvent(opened);
        WaitForSingleObject(release, INFINITE);
        CloseClipboard();
        DestroyWindow(owner);
    });
    WaitForSingleObject(opened, INFINITE);
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_CALCULATE);
        Press(Dialog, IDC_EXPORT);
        Press(Dialog, IDC_EXIT);
    }});
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);

    ASSERT_EQ(Boxes.Boxes().size(), 1u);
    EXPECT_EQ(Boxes.Boxes()[0].Text, L"剪贴板正被其他程序占用，导出失败！");
    EXPECT_EQ(Boxes.Boxes()[0].Caption, L"错误!");
    EXPECT_EQ(Boxes.Boxes()[0].Icon, LoadIconW(nullptr, IDI_ERROR));
    EXPECT_EQ(ClipboardText(), L"kept");
}

// ---- Sizing, the table's keys and menu, saving to a file ---------------------------------------

namespace {

// An item's rectangle in the dialog's client area.
RECT ChildRect(HWND Dialog, int Id) {
    RECT rect = WindowRect(GetDlgItem(Dialog, Id));
    MapWindowPoints(nullptr, Dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<LONG> Size(const RECT& Rect) {
    return {Rect.right - Rect.left, Rect.bottom - Rect.top};
}

// The key with Ctrl held down, as the table gets it.
void CtrlKey(HWND Dialog, WPARAM Key) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendDlgItemMessageW(Dialog, IDC_RESULTS, WM_KEYDOWN, Key, 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

// Opens the table's menu as the keyboard does; the next step runs inside the menu.
void OpenTableMenu(HWND Dialog) {
    const HWND view = GetDlgItem(Dialog, IDC_RESULTS);
    PostMessageW(view, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view), -1);
}

// The open menu's items; a greyed one marked by a leading "-".
std::vector<std::wstring> OpenMenuItems() {
    const auto menu =
        reinterpret_cast<HMENU>(SendMessageW(FindWindowW(L"#32768", nullptr), MN_GETHMENU, 0, 0));
    std::vector<std::wstring> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        const bool grey = (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) != 0;
        items.push_back((grey ? L"-" : L"") + std::wstring(text));
    }
    return items;
}

// Picks the item of the open menu that Downs presses of the down arrow reach from none, then
// presses Enter. Home first selects the first item: the pointer, wherever earlier tests left it,
// may lie over the menu where it opens and select the item under it, so that arrows counted from
// none reach another item.
void ChooseMenuItem(int Downs) {
    const HWND window = FindWindowW(L"#32768", nullptr);
    PostMessageW(window, WM_KEYDOWN, VK_HOME, 1);
    for (int i = 1; i < Downs; ++i) {
        PostMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
    }
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
}

// In the open Save dialog: the file name, then OK.
void SaveAs(const fs::path& File) {
    SetDlgItemTextW(TopDialog(), cmb13, File.c_str());
    PostMessageW(TopDialog(), WM_COMMAND, IDOK, 0);
}

std::string GoldenFile(const wchar_t* Extension) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return ReadFile(
        (fs::path(module).parent_path() / YIELDORA_GOLDEN_EXPORT).replace_extension(Extension));
}

} // namespace

TEST_F(MainDialog, TheWindowSizesDownToTheTemplateTheTableFollowsAndTheSizeIsKept) {
    RECT normal{};
    Run({[&](HWND Dialog) {
        // It opens with the template's client area, 228 x 259 dialog units.
        RECT client{};
        GetClientRect(Dialog, &client);
        RECT units{0, 0, 228, 259};
        MapDialogRect(Dialog, &units);
        EXPECT_EQ(Size(client), Size(units));
        const RECT least = WindowRect(Dialog);
        const RECT table = ChildRect(Dialog, IDC_RESULTS);
        const RECT button = ChildRect(Dialog, IDC_CALCULATE);

        MoveWindow(Dialog, least.left, least.top, 100, 100, TRUE);
        EXPECT_EQ(Size(WindowRect(Dialog)), Size(least));
        // Larger: the table's right and bottom edges follow; the other items stay.
        MoveWindow(Dialog, least.left, least.top, least.right - least.left + 120,
                   least.bottom - least.top + 90, TRUE);
        const RECT grown = ChildRect(Dialog, IDC_RESULTS);
        EXPECT_EQ((std::vector<LONG>{grown.left, grown.top, grown.right, grown.bottom}),
                  (std::vector<LONG>{table.left, table.top, table.right + 120, table.bottom + 90}));
        EXPECT_EQ(ChildRect(Dialog, IDC_CALCULATE).right, button.right);
        normal = WindowRect(Dialog);
        SendMessageW(Dialog, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        GetClientRect(Dialog, &client);
        EXPECT_EQ(ChildRect(Dialog, IDC_RESULTS).right, client.right - (units.right - table.right));
        Press(Dialog, IDC_EXIT);
    }});
    // Maximised on closing: the normal size is kept, and the state.
    EXPECT_NE(ProfileText().find(SizeKeys(normal, true)), std::string::npos) << ProfileText();
    // It opens maximised, and stays so once the dialog loop has shown it; a restore asked for
    // then brings back the normal size and is not undone.
    Run({[&](HWND Dialog) { EXPECT_TRUE(IsZoomed(Dialog)); },
         [&](HWND Dialog) {
             EXPECT_TRUE(IsZoomed(Dialog));
             SendMessageW(Dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
         },
         [&](HWND Dialog) {
             EXPECT_FALSE(IsZoomed(Dialog));
             EXPECT_EQ(Size(WindowRect(Dialog)), Size(normal));
             Press(Dialog, IDC_EXIT);
         }});
    EXPECT_NE(ProfileText().find(SizeKeys(normal, false)), std::string::npos) << ProfileText();

    // A saved size below the template's or beyond the screen's.
    const RECT work = CheckedWorkArea();
    fs::remove(Profile);
    const RECT least = TemplatePlace();
    for (const auto& [saved, size] : {std::pair{"10\r\nWindowHeight=-10", Size(least)},
                                      std::pair{"50000\r\nWindowHeight=50000", Size(work)}}) {
        WriteProfile("[Program]\r\nWindowWidth=" + std::string(saved) + "\r\n");
        Run({[&](HWND Dialog) {
            EXPECT_EQ(Size(WindowRect(Dialog)), size) << saved;
            Press(Dialog, IDC_EXIT);
        }});
    }
}

TEST_F(MainDialog, TheTablesKeysAndMenuCopySelectExportAndShowTheChart) {
    SetClipboardText(L"kept");
    Run({[](HWND Dialog) { OpenTableMenu(Dialog); },
         [](HWND) {
             // Nothing can act on an empty table before a calculation.
             EXPECT_EQ(OpenMenuItems(),
                       (std::vector<std::wstring>{L"-复制\tCtrl+C", L"-全选\tCtrl+A", L"-",
                                                  L"-导出到剪贴板", L"-另存为…", L"-",
                                                  L"-显示图表\tCtrl+G", L"存期比较\tCtrl+T", L"-",
                                                  L"-打印…\tCtrl+P", L"页面设置…"}));
             EndMenu();
         },
         [](HWND Dialog) {
             Press(Dialog, IDC_CALCULATE);
             LVITEMW selected{};
             selected.stateMask = selected.state = LVIS_SELECTED;
             SendDlgItemMessageW(Dialog, IDC_RESULTS, LVM_SETITEMSTATE, 2,
                                 reinterpret_cast<LPARAM>(&selected));
             SendDlgItemMessageW(Dialog, IDC_RESULTS, WM_KEYDOWN, 'C', 1);
             EXPECT_EQ(ClipboardText(), L"kept") << "C without Ctrl";
             CtrlKey(Dialog, 'C');
             EXPECT_EQ(ClipboardText(),
                       L"年\t利息\t累计\t备注\r\n3\t305\t10889\t连本带息取出后转存");
             CtrlKey(Dialog, 'A');
             EXPECT_EQ(SendDlgItemMessageW(Dialog, IDC_RESULTS, LVM_GETSELECTEDCOUNT, 0, 0), 20);
             CtrlKey(Dialog, 'C');
             EXPECT_EQ(ClipboardText(), GoldenExport());
             OpenTableMenu(Dialog);
         },
         [](HWND) {
             EXPECT_EQ(OpenMenuItems(),
                       (std::vector<std::wstring>{L"复制\tCtrl+C", L"全选\tCtrl+A", L"-",
                                                  L"导出到剪贴板", L"另存为…", L"-",
                                                  L"显示图表\tCtrl+G", L"存期比较\tCtrl+T", L"-",
                                                  L"打印…\tCtrl+P", L"页面设置…"}));
             ChooseMenuItem(5);
         },
         [](HWND Dialog) {
             const HWND chart = FindWindowW(L"YieldoraChart", L"收益图");
             ASSERT_NE(chart, nullptr);
             EXPECT_TRUE(IsWindowVisible(chart));
             ShowWindow(chart, SW_HIDE);
             CtrlKey(Dialog, 'G');
             EXPECT_TRUE(IsWindowVisible(chart));
             SetClipboardText(L"kept");
             OpenTableMenu(Dialog);
         },
         [](HWND) { ChooseMenuItem(3); },
         [](HWND Dialog) {
             EXPECT_EQ(ClipboardText(), GoldenExport());
             Press(Dialog, IDC_EXIT);
         }});
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"当前计算结果已导出到剪贴板！"});
}

TEST_F(MainDialog, SaveAsWritesTheCsvOrTheExportedTextAndAFailureKeepsTheOldFile) {
    const fs::path folder = fs::absolute(L"UMainDialog_test.保存");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path csv = folder / L"结果.csv";
    const fs::path txt = folder / L"结果.txt";
    HANDLE held = INVALID_HANDLE_VALUE;
    const TStep openSave = [](HWND Dialog) {
        Press(Dialog, IDC_CALCULATE);
        OpenTableMenu(Dialog);
    };
    const TStep chooseSave = [](HWND) { ChooseMenuItem(4); };
    Run({openSave, chooseSave,
         [&](HWND) {
             // The Documents folder, the name and the two file types.
             const HWND save = TopDialog();
             wchar_t text[MAX_PATH] = {};
             GetDlgItemTextW(save, cmb13, text, MAX_PATH);
             EXPECT_STREQ(text, L"存款计算结果.csv");
             SendMessageW(save, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(text));
             EXPECT_TRUE(std::wstring(text).ends_with(L"\\Documents"));
             SendDlgItemMessageW(save, cmb1, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
             EXPECT_STREQ(text, L"文本 (制表符分隔)");
             SaveAs(csv);
         },
         openSave, chooseSave, [&](HWND) { SaveAs(txt); },
         [&](HWND Dialog) {
             EXPECT_EQ(ReadFile(csv), GoldenFile(L".csv"));
             EXPECT_EQ(ReadFile(txt), GoldenFile(L".tsv"));
             // Another program holds the old file open.
             held = CreateFileW(csv.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
             Type(Dialog, IDC_YEAR, L"1");
             openSave(Dialog);
         },
         chooseSave, [&](HWND) { SaveAs(csv); },
         [&](HWND Dialog) {
             CloseHandle(held);
             EXPECT_EQ(ReadFile(csv), GoldenFile(L".csv"));
             Press(Dialog, IDC_EXIT);
         }});
    // The Save dialog asked before replacing; then the error box.
    ASSERT_EQ(Boxes.Boxes().size(), 2u);
    const std::wstring prefix = L"无法保存文件 " + csv.wstring() + L"：";
    EXPECT_TRUE(Boxes.Boxes()[1].Text.starts_with(prefix));
    EXPECT_GT(Boxes.Boxes()[1].Text.size(), prefix.size());
    EXPECT_EQ(Boxes.Boxes()[1].Caption, L"错误!");
    fs::remove_all(folder);
}

// The tooltip window of the growth chart: one tool per bar.
HWND ChartTip(HWND Chart) {
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr) {
        if (GetWindow(tip, GW_OWNER) == Chart) {
            return tip;
        }
    }
    return nullptr;
}

TEST_F(MainDialog, TheGrowthChartFollowsTheTableAndKeepsItsPlace) {
    CheckedWorkArea();
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_CALCULATE);
        SendMessageW(Dialog, WM_COMMAND, IDM_SHOW_CHART, 0);
        const HWND chart = FindWindowW(L"YieldoraChart", L"收益图");
        ASSERT_NE(chart, nullptr);
        EXPECT_TRUE(IsWindowVisible(chart));
        EXPECT_EQ(GetWindow(chart, GW_OWNER), Dialog);
        EXPECT_EQ(SendMessageW(ChartTip(chart), TTM_GETTOOLCOUNT, 0, 0), 20);
        Type(Dialog, IDC_YEAR, L"7");
        Type(Dialog, IDC_STEP, L"3");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_EQ(SendMessageW(ChartTip(chart), TTM_GETTOOLCOUNT, 0, 0), 3);
        MoveWindow(chart, 300, 200, 520, 380, TRUE);
        Press(Dialog, IDC_EXIT);
    }});
    const std::string profile = ProfileText();
    EXPECT_NE(
        profile.find("ChartLeft=300\r\nChartTop=200\r\nChartWidth=520\r\nChartHeight=380\r\n"),
        std::string::npos)
        << profile;
}

namespace {

struct TToolSearch {
    HWND Dialog;
    HWND Child;
    std::wstring Text;
};

BOOL CALLBACK FindToolText(HWND Window, LPARAM Context) {
    auto& found = *reinterpret_cast<TToolSearch*>(Context);
    wchar_t name[64] = {};
    GetClassNameW(Window, name, 64);
    if (std::wstring(name) != TOOLTIPS_CLASSW || GetWindow(Window, GW_OWNER) != found.Dialog) {
        return TRUE;
    }
    wchar_t buffer[1024] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = found.Dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(found.Child);
    tool.lpszText = buffer;
    SendMessageW(Window, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    found.Text = buffer;
    return found.Text.empty();
}

// The tooltip text the dialog gives a child window, from a tooltip window the dialog owns.
std::wstring ToolTipOf(HWND Dialog, HWND Child) {
    TToolSearch search{Dialog, Child, {}};
    EnumThreadWindows(GetCurrentThreadId(), FindToolText, reinterpret_cast<LPARAM>(&search));
    return search.Text;
}

} // namespace

TEST_F(MainDialog, TheTotalsLineSumsUpTheTableFollowsItAndExplainsTheYield) {
    Run({[](HWND Dialog) {
        const HWND line = GetDlgItem(Dialog, IDC_TOTALS);
        ASSERT_NE(line, nullptr);
        EXPECT_TRUE(IsWindowVisible(line));
        EXPECT_EQ(Text(Dialog, IDC_TOTALS), L"") << "before the first calculation";
        // The mouse comes to the line: the system asks the line for its cursor, and the line asks
        // the dialog first.
        SendMessageW(line, WM_SETCURSOR, reinterpret_cast<WPARAM>(line),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_NE(ToolTipOf(Dialog, line).find(L"内部收益率"), std::wstring::npos);

        // Under the table, as wide as it, inside the window's template size.
        const auto under = [&] {
            const RECT table = ChildRect(Dialog, IDC_RESULTS);
            const RECT totals = ChildRect(Dialog, IDC_TOTALS);
            RECT client{};
            GetClientRect(Dialog, &client);
            EXPECT_EQ(totals.left, table.left);
            EXPECT_EQ(totals.right, table.right);
            EXPECT_GT(totals.top, table.bottom);
            EXPECT_LT(totals.top - table.bottom, 8);
            EXPECT_GT(totals.bottom - totals.top, 10);
            EXPECT_LE(totals.bottom, client.bottom);
        };
        under();

        Press(Dialog, IDC_CALCULATE);
        EXPECT_EQ(Text(Dialog, IDC_TOTALS),
                  L"20 年共得利息 7,645 元，期末本息 17,645 元，折合年化 2.88%");
        SendDlgItemMessageW(Dialog, IDC_DEPOSIT, BM_SETCHECK, BST_UNCHECKED, 0);
        Type(Dialog, IDC_YEAR, L"7");
        SendDlgItemMessageW(Dialog, IDC_TERM, CB_SETCURSEL, 2, 0);
        Press(Dialog, IDC_CALCULATE);
        // The yield: LibreOffice Calc's IRR of -10000, 0, 0, 864, 0, 0, 864, 10288 is
        // 0.0281096957712384.
        EXPECT_EQ(
            Text(Dialog, IDC_TOTALS),
            L"7 年共得利息 2,016 元，其中已取出 1,728 元，期末本息 10,288 元，折合年化 2.81%");

        // A bad field leaves table and line as they were; a fill that fails clears both.
        Type(Dialog, IDC_FUND, L"abc");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_EQ(Rows(Dialog).size(), 7u);
        EXPECT_NE(Text(Dialog, IDC_TOTALS), L"");
        Type(Dialog, IDC_STEP, L"0");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_TRUE(Rows(Dialog).empty());
        EXPECT_EQ(Text(Dialog, IDC_TOTALS), L"");

        // It follows the window's size.
        const RECT window = WindowRect(Dialog);
        MoveWindow(Dialog, window.left, window.top, window.right - window.left + 120,
                   window.bottom - window.top + 90, TRUE);
        under();
        SendMessageW(Dialog, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        under();
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_EQ(BoxTexts(), (std::vector<std::wstring>{L"abc is not a valid float number!",
                                                     L"Division by zero"}));
}

namespace {

HWND CompareWindow() {
    return FindWindowW(L"YieldoraCompare", L"存期比较");
}

HWND CompareChild(const wchar_t* ClassName, int Index = 0) {
    HWND child = nullptr;
    for (int i = 0; i <= Index; ++i) {
        child = FindWindowExW(CompareWindow(), child, ClassName, nullptr);
    }
    return child;
}

// The comparison's rows, each row's cells joined by TAB.
std::vector<std::wstring> CompareRows() {
    const HWND view = CompareChild(WC_LISTVIEWW);
    const auto header = reinterpret_cast<HWND>(SendMessageW(view, LVM_GETHEADER, 0, 0));
    const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<std::wstring> rows;
    const auto count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring cells;
        for (int column = 0; column < columns; ++column) {
            wchar_t buffer[256] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = buffer;
            item.cchTextMax = 256;
            SendMessageW(view, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            cells += (column > 0 ? L"\t" : L"") + std::wstring(buffer);
        }
        rows.push_back(cells);
    }
    return rows;
}

// The comparison's field after the label Label.
HWND CompareField(const std::wstring& Label) {
    return GetWindow(FindWindowExW(CompareWindow(), nullptr, L"STATIC", Label.c_str()),
                     GW_HWNDNEXT);
}

// Types into the comparison's rate field of a term of years (0 for one year ... 4 for ten years).
void TypeRate(int Term, const std::wstring& Text) {
    SetWindowTextW(
        CompareField(std::wstring(DEPOSIT_TERMS[static_cast<std::size_t>(Term)].Label) + L"："),
        Text.c_str());
    HandleWaiting();
}

} // namespace

// The figures: the defaults' totals (by hand, as the totals line's test); at 4 % the three-year
// term gives 10000 * 1.096^6 * 1.064 = 18442 in 20 years, more than the one-year term's 17645;
// at 2 % the one-year term gives 10000 * 1.016^20 = 13736, the last year's interest being
// 10000 * 1.016^19 * 0.016 = 216.
TEST_F(MainDialog, TheComparisonRunsEveryTermAtItsOwnRateAndFollowsTheDialog) {
    SetClipboardText(L"kept");
    Run({[](HWND Dialog) {
        // The button stands right of the exit button, as high and as wide as the export button.
        const RECT exit = ChildRect(Dialog, IDC_EXIT);
        const RECT button = ChildRect(Dialog, IDC_COMPARE);
        EXPECT_EQ(Text(Dialog, IDC_COMPARE), L"存期比较");
        EXPECT_EQ(button.top, exit.top);
        EXPECT_EQ(button.left, ChildRect(Dialog, IDC_EXPORT).left);
        EXPECT_EQ(GetWindow(GetDlgItem(Dialog, IDC_EXIT), GW_HWNDNEXT),
                  GetDlgItem(Dialog, IDC_COMPARE));
        Press(Dialog, IDC_COMPARE);

        ASSERT_NE(CompareWindow(), nullptr);
        EXPECT_TRUE(IsWindowVisible(CompareWindow()));
        // Opening it calculated: the table, the totals line and the selected term's row agree.
        EXPECT_EQ(Rows(Dialog).size(), 20u);
        EXPECT_EQ(Text(Dialog, IDC_TOTALS),
                  L"20 年共得利息 7,645 元，期末本息 17,645 元，折合年化 2.88%");
        std::vector<std::wstring> rows = CompareRows();
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[0], L"一年期\t3.6\t7645\t17645\t2.88%\t0\t最佳");

        // A bad rate marks its own row, without a box; the others stand.
        TypeRate(2, L"abc");
        rows = CompareRows();
        EXPECT_EQ(rows[2], L"三年期\tabc\t\t\t\t\tabc is not a valid float number!");
        EXPECT_EQ(rows[0], L"一年期\t3.6\t7645\t17645\t2.88%\t0\t最佳");
        TypeRate(2, L"4");
        rows = CompareRows();
        EXPECT_TRUE(rows[2].starts_with(L"三年期\t4\t8442\t18442\t")) << rows[2];
        // Its seventh certificate runs on to year 21.
        EXPECT_TRUE(rows[2].ends_with(L"\t0\t最佳；未到期，第 21 年到期")) << rows[2];
        EXPECT_TRUE(rows[0].ends_with(L"\t797\t")) << rows[0];

        // The selected term's rate is the dialog's rate field, both ways, with one calculation.
        TypeRate(0, L"2");
        EXPECT_EQ(Text(Dialog, IDC_RATE), L"2");
        EXPECT_EQ(Rows(Dialog).back().first, L"20\t216\t13736\t取出全部本息");
        EXPECT_TRUE(CompareRows()[0].starts_with(L"一年期\t2\t3736\t13736\t")) << CompareRows()[0];
        Type(Dialog, IDC_RATE, L"3.6");
        EXPECT_EQ(CompareRows()[0], L"一年期\t3.6\t7645\t17645\t2.88%\t797\t");
        Type(Dialog, IDC_RATE, L"x");
        EXPECT_EQ(CompareRows()[0], L"一年期\tx\t\t\t\t\tx is not a valid float number!");
        // The table follows typing once nothing waits; a command does not wait for it.
        SetDlgItemTextW(Dialog, IDC_RATE, L"2");
        Press(Dialog, IDC_EXPORT);
        EXPECT_TRUE(ClipboardText().ends_with(L"\r\n20\t216\t13736\t取出全部本息"))
            << ClipboardText();
        Type(Dialog, IDC_RATE, L"3.6");

        // A scenario field that cannot be read is drawn in red, and every row has its message.
        const HWND change = CompareField(L"每年利率变动：");
        SetWindowTextW(change, L"x");
        EXPECT_EQ(CompareRows()[4], L"十年期\t3.6\t\t\t\t\tx is not a valid float number!");
        const HDC dc = GetDC(change);
        SendMessageW(CompareWindow(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(change));
        EXPECT_EQ(GetTextColor(dc), RGB(204, 0, 0));
        SetWindowTextW(change, L"0");
        SendMessageW(CompareWindow(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(change));
        EXPECT_NE(GetTextColor(dc), RGB(204, 0, 0));
        ReleaseDC(change, dc);

        // Interest taken out: the column of what was taken out. The three-year term at 4 % takes
        // out 960 six times and ends with 10640: 16400 in all, 640 more than the one-year term.
        SendDlgItemMessageW(Dialog, IDC_DEPOSIT, BM_CLICK, 0, 0);
        EXPECT_EQ(CompareRows()[0], L"一年期\t3.6\t5760\t5472\t10288\t2.88%\t640\t");
        SendDlgItemMessageW(Dialog, IDC_DEPOSIT, BM_CLICK, 0, 0);

        // Ctrl+A and Ctrl+C copy the comparison under its captions.
        const HWND view = CompareChild(WC_LISTVIEWW);
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(view, WM_KEYDOWN, 'A', 1);
        SendMessageW(view, WM_KEYDOWN, 'C', 1);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        const std::wstring copied = ClipboardText();
        EXPECT_TRUE(
            copied.starts_with(L"存期\t年利率\t共得利息\t期末本息\t折合年化\t比最佳少\t备注\r\n"
                               L"一年期\t3.6\t7645\t17645\t2.88%\t797\t\r\n"))
            << copied.size();
        EXPECT_EQ(std::count(copied.begin(), copied.end(), L'\n'), 5);

        // Tab and Shift+Tab move between the fields and the table.
        SetFocus(CompareField(L"支取金额："));
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        EXPECT_EQ(GetFocus(), view);
        SendMessageW(view, WM_KEYDOWN, VK_TAB, 1);
        EXPECT_EQ(GetFocus(), CompareChild(L"EDIT", 0));
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        EXPECT_EQ(GetFocus(), view);

        // Escape hides it; the table's Ctrl+T brings it back.
        SendMessageW(view, WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_FALSE(IsWindowVisible(CompareWindow()));
        CtrlKey(Dialog, 'T');
        EXPECT_TRUE(IsWindowVisible(CompareWindow()));
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"当前计算结果已导出到剪贴板！"});
    EXPECT_NE(ProfileText().find("[TermRates]\r\nRate1=3.6\r\nRate2=3.6\r\nRate3=4\r\nRate5=3.6\r\n"
                                 "Rate10=3.6\r\n"),
              std::string::npos)
        << ProfileText();
    // The rates come back in the next run.
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_COMPARE);
        EXPECT_EQ(CompareRows()[2].substr(0, 6), L"三年期\t4\t");
        Press(Dialog, IDC_EXIT);
    }});
}

// The comparison's place, size and maximised state come back in the next run; a run that never
// opened it keeps what was saved.
TEST_F(MainDialog, TheComparisonKeepsItsPlaceAndState) {
    CheckedWorkArea();
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_COMPARE);
        MoveWindow(CompareWindow(), 300, 200, 600, 420, TRUE);
        Press(Dialog, IDC_EXIT);
    }});
    const std::string moved = "CompareLeft=300\r\nCompareTop=200\r\nCompareWidth=600\r\n"
                              "CompareHeight=420\r\nCompareMaximized=0\r\n";
    EXPECT_NE(ProfileText().find(moved), std::string::npos) << ProfileText();
    Run({[](HWND Dialog) { Press(Dialog, IDC_EXIT); }});
    EXPECT_NE(ProfileText().find(moved), std::string::npos) << ProfileText();
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_COMPARE);
        const RECT place = WindowRect(CompareWindow());
        EXPECT_EQ(place.left, 300);
        EXPECT_EQ(place.top, 200);
        EXPECT_EQ(place.right, 900);
        EXPECT_EQ(place.bottom, 620);
        ShowWindow(CompareWindow(), SW_MAXIMIZE);
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_NE(ProfileText().find("CompareLeft=300\r\nCompareTop=200\r\nCompareWidth=600\r\n"
                                 "CompareHeight=420\r\nCompareMaximized=1\r\n"),
              std::string::npos)
        << ProfileText();
    // Maximised again, and restored to where it stood.
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_COMPARE);
        EXPECT_TRUE(IsZoomed(CompareWindow()));
        ShowWindow(CompareWindow(), SW_RESTORE);
        const RECT place = WindowRect(CompareWindow());
        EXPECT_EQ(place.left, 300);
        EXPECT_EQ(place.top, 200);
        EXPECT_EQ(place.right, 900);
        EXPECT_EQ(place.bottom, 620);
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(MainDialog, TheComparisonSavesAsTheMainTableDoes) {
    const fs::path folder = fs::absolute(L"UMainDialog_test.比较");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path csv = folder / L"比较.csv";
    Run({[](HWND Dialog) {
             Press(Dialog, IDC_COMPARE);
             TypeRate(1, L"2.1");
             TypeRate(2, L"2.75");
             TypeRate(3, L"2.75");
             TypeRate(4, L"3");
             Type(Dialog, IDC_RATE, L"1.5");
             const HWND view = CompareChild(WC_LISTVIEWW);
             PostMessageW(view, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view), -1);
         },
         [](HWND) { ChooseMenuItem(3); }, [&](HWND) { SaveAs(csv); },
         [](HWND Dialog) { Press(Dialog, IDC_EXIT); }});
    // The same figures as the command line's comparison with these rates.
    EXPECT_EQ(ReadFile(csv), "\xEF\xBB\xBF"
                             "存期,年利率,共得利息,期末本息,折合年化,比最佳少,备注\r\n"
                             "一年期,1.5,2694,12694,1.20%,2682,\r\n"
                             "二年期,2.1,3916,13916,1.67%,1460,\r\n"
                             "三年期,2.75,5319,15319,2.16%,57,未到期，第 21 年到期\r\n"
                             "五年期,2.75,5181,15181,2.11%,195,\r\n"
                             "十年期,3,5376,15376,2.17%,0,最佳\r\n");
    EXPECT_TRUE(BoxTexts().empty());
    fs::remove_all(folder);
}

namespace {

// Whether the open menu's item at Position is checked.
bool OpenMenuItemChecked(int Position) {
    const auto menu =
        reinterpret_cast<HMENU>(SendMessageW(FindWindowW(L"#32768", nullptr), MN_GETHMENU, 0, 0));
    return (GetMenuState(menu, Position, MF_BYPOSITION) & MF_CHECKED) != 0;
}

// Opens the chart's menu as the keyboard does, at the middle of the chart, with the pointer over
// its first item: a choice that depends on where the pointer lies fails every time, not by chance.
void OpenChartMenu() {
    const HWND chart = FindWindowW(L"YieldoraChart", L"收益图");
    RECT client{};
    GetClientRect(chart, &client);
    POINT over{client.right / 2 + 8, client.bottom / 2 + 8};
    ClientToScreen(chart, &over);
    SetCursorPos(over.x, over.y);
    PostMessageW(chart, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(chart), -1);
}

void CompareKey(WPARAM Key) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(CompareChild(WC_LISTVIEWW), WM_KEYDOWN, Key, 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

} // namespace

// The comparison's Ctrl+G shows it in the growth chart; the table's Ctrl+G the table's bars again.
TEST_F(MainDialog, TheGrowthChartShowsTheComparison) {
    Run({[](HWND Dialog) {
             Press(Dialog, IDC_COMPARE);
             CompareKey('G');
             const HWND chart = FindWindowW(L"YieldoraChart", L"收益图");
             ASSERT_NE(chart, nullptr);
             EXPECT_TRUE(IsWindowVisible(chart));
             OpenChartMenu();
         },
         [](HWND) {
             EXPECT_EQ(OpenMenuItems(), (std::vector<std::wstring>{
                                            L"复制图片\tCtrl+C", L"另存为图片…", L"-", L"存期比较",
                                            L"-", L"打印…\tCtrl+P", L"页面设置…"}));
             EXPECT_TRUE(OpenMenuItemChecked(3));
             EndMenu();
         },
         [](HWND Dialog) {
             CtrlKey(Dialog, 'G');
             OpenChartMenu();
         },
         [](HWND) {
             EXPECT_FALSE(OpenMenuItemChecked(3));
             EndMenu();
         },
         [](HWND Dialog) { Press(Dialog, IDC_EXIT); }});
}

// The dialog owns its boxes whatever other windows are open: the chart beside it, and a pop-up
// window of its own. The box disables the dialog until it is answered.
TEST_F(MainDialog, TheDialogOwnsItsBoxesWithTheChartAndAPopupOpen) {
    HWND shown = nullptr;
    Boxes.OnShow = [&](const TMsgBoxRecord& Box) {
        EXPECT_EQ(Box.Owner, shown) << Box.Text;
        EXPECT_FALSE(IsWindowEnabled(shown)) << Box.Text;
    };
    Run({[&](HWND Dialog) {
        shown = Dialog;
        Press(Dialog, IDC_CALCULATE);
        SendMessageW(Dialog, WM_COMMAND, IDM_SHOW_CHART, 0);
        ASSERT_TRUE(IsWindowVisible(FindWindowW(L"YieldoraChart", L"收益图")));
        const HWND popup = CreateWindowExW(0, L"STATIC", L"popup", WS_POPUP | WS_VISIBLE, 20, 20,
                                           100, 50, Dialog, nullptr, nullptr, nullptr);
        Press(Dialog, IDC_EXPORT);
        Type(Dialog, IDC_STEP, L"0");
        Press(Dialog, IDC_CALCULATE);
        DestroyWindow(popup);
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::wstring>{L"当前计算结果已导出到剪贴板！", L"Division by zero"}));
}

namespace {

// Picks a term in the dialog's term list, as the user does.
void PickTerm(HWND Dialog, int Index) {
    const HWND list = GetDlgItem(Dialog, IDC_TERM);
    SendMessageW(list, CB_SETCURSEL, Index, 0);
    SendMessageW(Dialog, WM_COMMAND, MAKEWPARAM(IDC_TERM, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

// How the comparison's table colours a row: what its custom draw makes of the list's own colours.
std::pair<COLORREF, COLORREF> RowColours(std::size_t Row) {
    const HWND view = CompareChild(WC_LISTVIEWW);
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {view, static_cast<UINT_PTR>(GetDlgCtrlID(view)),
                     static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = Row;
    draw.clrText = CLR_DEFAULT;
    draw.clrTextBk = CLR_DEFAULT;
    SendMessageW(CompareWindow(), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    return {draw.clrText, draw.clrTextBk};
}

// A scheme of high contrast: white text on a black window.
void SetHighContrast(bool On) {
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    static const COLORREF usual[] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
    const COLORREF contrast[] = {RGB(0, 0, 0), RGB(255, 255, 255)};
    SetSysColors(2, elements, On ? contrast : usual);
}

} // namespace

// While it is open, the comparison shows what the dialog shows: a field that cannot be read
// leaves no stale table to export, a failed 计算 brings back the rows of the inputs the fields
// show again, and picking a term overwrites no rate typed for it. It opens with a rate field
// focused, so that Escape works at once.
TEST_F(MainDialog, TheComparisonShowsWhatTheDialogShows) {
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_COMPARE);
        EXPECT_EQ(GetFocus(), CompareChild(L"EDIT", 0));
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_FALSE(IsWindowVisible(CompareWindow()));
        Press(Dialog, IDC_COMPARE);
        EXPECT_EQ(GetFocus(), CompareChild(L"EDIT", 0));

        Type(Dialog, IDC_TAX, L"abc");
        EXPECT_TRUE(Rows(Dialog).empty());
        EXPECT_EQ(Text(Dialog, IDC_TOTALS), L"");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Dialog, IDC_EXPORT)));
        EXPECT_EQ(CompareRows()[3], L"五年期\t3.6\t\t\t\t\tabc is not a valid float number!");
        Press(Dialog, IDC_CALCULATE);
        EXPECT_EQ(Text(Dialog, IDC_TAX), L"20");
        EXPECT_EQ(CompareRows()[0], L"一年期\t3.6\t7645\t17645\t2.88%\t0\t最佳");
        EXPECT_EQ(Rows(Dialog).size(), 20u);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Dialog, IDC_EXPORT)));

        TypeRate(3, L"2.75");
        PickTerm(Dialog, 3);
        EXPECT_EQ(Text(Dialog, IDC_RATE), L"3.6");
        EXPECT_TRUE(CompareRows()[3].starts_with(L"五年期\t3.6\t")) << CompareRows()[3];
        EXPECT_EQ(Rows(Dialog).back().first.substr(0, 3), L"20\t");
        PickTerm(Dialog, 0);
        EXPECT_TRUE(CompareRows()[3].starts_with(L"五年期\t2.75\t")) << CompareRows()[3];
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"abc is not a valid float number!"});
    EXPECT_NE(ProfileText().find("Rate5=2.75\r\n"), std::string::npos) << ProfileText();
}

// The best row is readable in any colours: its green ground has a text colour of its own, and in
// high contrast it takes the system's colours of a selection, and a failed row the list's own.
// The chart's copy and save follow the chart it shows: the comparison's lines are there to copy
// when the table has no rows for bars (a step of 0).
TEST_F(MainDialog, TheComparisonsColoursAndTheChartsCommandsFollowWhatIsShown) {
    Run({[](HWND Dialog) {
             Press(Dialog, IDC_COMPARE);
             TypeRate(2, L"x");
             EXPECT_EQ(RowColours(0), std::make_pair(RGB(0, 0, 0), RGB(214, 245, 214)));
             EXPECT_EQ(RowColours(2), std::make_pair(RGB(204, 0, 0), CLR_DEFAULT));
             SetHighContrast(true);
             const std::pair<COLORREF, COLORREF> best = RowColours(0);
             const std::pair<COLORREF, COLORREF> failed = RowColours(2);
             SetHighContrast(false);
             EXPECT_EQ(best, std::make_pair(GetSysColor(COLOR_HIGHLIGHTTEXT),
                                            GetSysColor(COLOR_HIGHLIGHT)));
             EXPECT_EQ(failed, std::make_pair(CLR_DEFAULT, CLR_DEFAULT));

             Type(Dialog, IDC_STEP, L"0");
             CompareKey('G');
             OpenChartMenu();
         },
         [](HWND) {
             EXPECT_EQ(OpenMenuItems(), (std::vector<std::wstring>{
                                            L"复制图片\tCtrl+C", L"另存为图片…", L"-", L"存期比较",
                                            L"-", L"打印…\tCtrl+P", L"页面设置…"}));
             ChooseMenuItem(3);
         },
         [](HWND) { OpenChartMenu(); },
         [](HWND) {
             EXPECT_EQ(OpenMenuItems(), (std::vector<std::wstring>{
                                            L"-复制图片\tCtrl+C", L"-另存为图片…", L"-",
                                            L"存期比较", L"-", L"-打印…\tCtrl+P", L"页面设置…"}));
             EndMenu();
         },
         [](HWND Dialog) { Press(Dialog, IDC_EXIT); }});
}

// The box that says the profile could not be written comes when the comparison and the chart are
// gone: under it, nothing of the program but the disabled dialog is left to be used. The terms'
// rates were saved before it, with the inputs.
TEST_F(MainDialog, UnderTheCloseTimeBoxNoOtherWindowIsLeft) {
    fs::create_directory(Profile);
    std::vector<HWND> left;
    Boxes.OnShow = [&left](const TMsgBoxRecord&) {
        for (const wchar_t* name : {L"YieldoraCompare", L"YieldoraChart"}) {
            if (const HWND window = FindWindowW(name, nullptr)) {
                left.push_back(window);
                // What the user could do there: type the selected term's rate, press Ctrl+G.
                SetWindowTextW(FindWindowExW(window, nullptr, L"EDIT", nullptr), L"2");
                CompareKey('G');
            }
        }
    };
    Run({[](HWND Dialog) {
        Press(Dialog, IDC_COMPARE);
        CompareKey('G');
        Press(Dialog, IDC_EXIT);
    }});
    EXPECT_TRUE(left.empty());
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_TRUE(BoxTexts()[0].starts_with(L"无法保存设置文件 ")) << BoxTexts()[0];
    fs::remove(Profile);
}

// 导出 is greyed whenever the table holds no result, however the table came to be emptied: by a
// rate the comparison could not read (the fields come back at the close attempt, the table does
// not), and by a step of 0, whose rows the table cannot show. A press that comes through anyway
// (Wine presses disabled buttons) exports nothing and reports nothing.
TEST_F(MainDialog, ExportIsGreyedWhileTheTableHoldsNoResult) {
    const auto exportFollowsTable = [](HWND Dialog) {
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(Dialog, IDC_EXPORT)) != FALSE, !Rows(Dialog).empty());
    };
    SetClipboardText(L"kept");
    Run({[](HWND Dialog) {
             Press(Dialog, IDC_CALCULATE);
             Press(Dialog, IDC_COMPARE);
             TypeRate(0, L"abc");
             SendMessageW(Dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
         },
         [&](HWND Dialog) {
             EXPECT_EQ(Text(Dialog, IDC_RATE), L"3.6");
             exportFollowsTable(Dialog);
             SendMessageW(GetDlgItem(Dialog, IDC_EXPORT), BM_CLICK, 0, 0);
             Press(Dialog, IDC_CALCULATE);
             EXPECT_EQ(Rows(Dialog).size(), 20u);
             Type(Dialog, IDC_STEP, L"0");
             SendMessageW(GetDlgItem(Dialog, IDC_CALCULATE), BM_CLICK, 0, 0);
         },
         [&](HWND Dialog) {
             exportFollowsTable(Dialog);
             SendMessageW(GetDlgItem(Dialog, IDC_EXPORT), BM_CLICK, 0, 0);
             Press(Dialog, IDC_EXIT);
         }});
    EXPECT_EQ(ClipboardText(), L"kept");
    ASSERT_EQ(BoxTexts().size(), 2u);
    EXPECT_EQ(BoxTexts()[0], L"abc is not a valid float number!");
}
