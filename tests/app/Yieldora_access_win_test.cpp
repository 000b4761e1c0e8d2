// What a screen reader and a keyboard user get from the built program: its accessible objects read
// from this process as a screen reader reads them, and keys sent as a user presses them.

#include "AccessibleReader.h"
#include "FreshProgram.h"
#include "UkyClipboard.h"
#include "YieldoraRemote.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A copy of the program in a fresh folder of its own, so that it starts without a profile.
class Accessible : public testing::Test {
protected:
    const TFreshProgramCopy Copy{L"Yieldora_access_fresh", YIELDORA_PROGRAM};
    const fs::path& Folder = Copy.Folder;
    const fs::path& Program = Copy.Program;
};

std::wstring NameOf(HWND Window) {
    return ReadAccessible(Window, 0).Name;
}

// The focus events a screen reader is sent, as it hooks them: window and child.
std::vector<std::pair<HWND, LONG>> FocusEvents;

void CALLBACK HearFocus(HWINEVENTHOOK, DWORD, HWND Window, LONG Object, LONG Child, DWORD, DWORD) {
    if (Object == OBJID_CLIENT) {
        FocusEvents.emplace_back(Window, Child);
    }
}

// A pixel of the screen, as the user sees it.
COLORREF ScreenColour(int X, int Y) {
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, X, Y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// The picture on the clipboard as a device-independent bitmap of 32 bits, top row first.
std::vector<COLORREF> ClipboardPicture(LONG& Width) {
    std::vector<COLORREF> pixels;
    if (!OpenClipboardWhenFree(nullptr)) {
        return pixels;
    }
    const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP shape{};
    if (bitmap != nullptr && GetObjectW(bitmap, sizeof shape, &shape) != 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = shape.bmWidth;
        info.bmiHeader.biHeight = -shape.bmHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        std::vector<RGBQUAD> bits(static_cast<std::size_t>(shape.bmWidth * shape.bmHeight));
        const HDC screen = GetDC(nullptr);
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(shape.bmHeight), bits.data(), &info,
                  DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        for (const RGBQUAD& bit : bits) {
            pixels.push_back(RGB(bit.rgbRed, bit.rgbGreen, bit.rgbBlue));
        }
        Width = shape.bmWidth;
    }
    CloseClipboard();
    return pixels;
}

// The events sent to this thread so far are delivered.
void TakeEvents() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

} // namespace

// Every edit field is named after its label, the term list 存期 (not after its selection, as Wine
// names a combo box), the up-down controls after their fields, the table by its own name; the table
// is one of the dialog's tab stops.
TEST_F(Accessible, TheDialogsItemsAreNamedAndTheTableIsReachedByTab) {
    TYieldoraRemote remote(Program.wstring());
    EXPECT_EQ(NameOf(remote.Item(IDC_FUND)), L"投入资金：");
    EXPECT_EQ(NameOf(remote.Item(IDC_RATE)), L"年利率：");
    EXPECT_EQ(NameOf(remote.Item(IDC_TAX)), L"利息税：");
    EXPECT_EQ(NameOf(remote.Item(IDC_YEAR)), L"计算时限：");
    EXPECT_EQ(NameOf(remote.Item(IDC_STEP)), L"计算步长：");
    EXPECT_EQ(NameOf(remote.Item(IDC_YEAR_UPDOWN)), L"计算时限");
    EXPECT_EQ(NameOf(remote.Item(IDC_STEP_UPDOWN)), L"计算步长");
    EXPECT_EQ(NameOf(remote.Item(IDC_RESULTS)), L"计算结果");
    EXPECT_EQ(NameOf(remote.Item(IDC_TERM)), L"存期");
    bool reached = false;
    HWND item = remote.Item(IDC_FUND);
    for (int i = 0; i < 20 && !reached; ++i) {
        item = GetNextDlgTabItem(remote.Dialog(), item, FALSE);
        reached = item == remote.Item(IDC_RESULTS);
    }
    EXPECT_TRUE(reached);
    remote.Press(IDC_COMPARE);
    ASSERT_NE(remote.CompareWindow(), nullptr);
    EXPECT_EQ(NameOf(FindWindowExW(remote.CompareWindow(), nullptr, WC_LISTVIEWW, nullptr)),
              L"存期比较结果");
    // Every field of the comparison, the scenario's too, is named after the label before it.
    for (const wchar_t* label : {L"三个月：", L"十年期：", L"每年利率变动：", L"活期利率：",
                                 L"提前支取：第", L"支取金额："}) {
        const HWND before = FindWindowExW(remote.CompareWindow(), nullptr, L"STATIC", label);
        ASSERT_NE(before, nullptr) << label;
        EXPECT_EQ(NameOf(GetWindow(before, GW_HWNDNEXT)), label);
    }
    EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
}

// After 计算 each row of the table reads as its cells after their captions; the focus shows from
// the start, the table entered by the keyboard has its first row focused, and the row the arrow
// keys move to is the focused one; the totals line is described by what its yield means. The growth
// chart is named by its title, sums up its years, end total and interest, and has one child per
// bar; switched to the comparison, one per term's line, the best term said in words.
TEST_F(Accessible, TheRowsTheTotalsAndTheChartsSpeak) {
    TYieldoraRemote remote(Program.wstring());
    remote.Press(IDC_CALCULATE);
    const HWND table = remote.Item(IDC_RESULTS);
    const auto focused = [](const TAccessibleNode& Row) {
        return (Row.State & STATE_SYSTEM_FOCUSED) != 0;
    };
    EXPECT_EQ(SendMessageW(remote.Dialog(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
    PostMessageW(remote.Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(table), TRUE);
    remote.Settle();
    EXPECT_TRUE(focused(ReadAccessible(table, 1).Children.at(0)));
    PostMessageW(table, WM_KEYDOWN, VK_DOWN, 0);
    remote.Settle();
    const TAccessibleNode rows = ReadAccessible(table, 1);
    ASSERT_EQ(rows.Children.size(), 20u);
    EXPECT_EQ(rows.Children[2].Name, L"年：3，利息：305，累计：10889，备注：连本带息取出后转存");
    EXPECT_EQ(rows.Children[19].Name, L"年：20，利息：494，累计：17645，备注：取出全部本息");
    EXPECT_EQ(rows.Children[2].Role, ROLE_SYSTEM_LISTITEM);
    EXPECT_FALSE(focused(rows.Children[0]));
    EXPECT_TRUE(focused(rows.Children[1]));
    const TAccessibleNode totals = ReadAccessible(remote.Item(IDC_TOTALS), 0);
    EXPECT_EQ(totals.Name, L"20 年共得利息 7,645 元，期末本息 17,645 元，折合年化 2.88%");
    EXPECT_EQ(totals.Description.rfind(L"折合年化：按税后现金流计算的内部收益率（IRR）", 0), 0u);

    remote.ChooseFromMenu(table, 5, {}, [](const TRemoteOutcome&) {
        return FindWindowW(L"YieldoraChart", L"收益图") != nullptr;
    });
    const HWND chart = FindWindowW(L"YieldoraChart", L"收益图");
    ASSERT_NE(chart, nullptr);
    const TAccessibleNode bars = ReadAccessible(chart, 1);
    EXPECT_EQ(bars.Name, L"本金 10,000 元，一年期，年利率 3.6%，利息税 20%，到期利息转存");
    EXPECT_EQ(bars.Description, L"20 年，期末本息 17,645 元，共得利息 7,645 元");
    ASSERT_EQ(bars.Children.size(), 20u);
    EXPECT_EQ(bars.Children[2].Name, L"第 3 年");
    EXPECT_EQ(bars.Children[2].Value, L"累计 10,889 元，本金 10,000 元，利息 889 元");
    // The arrow keys, Home and End move the focus from bar to bar, and the reader hears which.
    const auto focusedBar = [chart, &focused] {
        const TAccessibleNode now = ReadAccessible(chart, 1);
        for (std::size_t i = 0; i < now.Children.size(); ++i) {
            if (focused(now.Children[i])) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    EXPECT_EQ(focusedBar(), -1);
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, HearFocus,
                        GetProcessId(remote.Process()), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    for (const WPARAM key : {VK_RIGHT, VK_RIGHT, VK_RIGHT}) {
        PostMessageW(chart, WM_KEYDOWN, key, 0);
    }
    remote.Settle();
    TakeEvents();
    UnhookWinEvent(hook);
    EXPECT_EQ(focusedBar(), 2);
    const std::vector<std::pair<HWND, LONG>> heard{{chart, 1}, {chart, 2}, {chart, 3}};
    EXPECT_EQ(FocusEvents, heard);
    PostMessageW(chart, WM_KEYDOWN, VK_END, 0);
    remote.Settle();
    EXPECT_EQ(focusedBar(), 19);
    PostMessageW(chart, WM_KEYDOWN, VK_LEFT, 0);
    remote.Settle();
    EXPECT_EQ(focusedBar(), 18);

    remote.ChooseFromMenu(chart, 3, {},
                          [chart](const TRemoteOutcome&) { return NameOf(chart) == L"存期比较"; });
    const TAccessibleNode lines = ReadAccessible(chart, 1);
    const std::wstring comparison =
        L"一年期 期末本息 17,645 元，共得利息 7,645 元，折合年化 2.88%，最佳；"
        L"二年期 期末本息 17,507 元，共得利息 7,507 元，折合年化 2.84%；"
        L"三年期 期末本息 17,388 元，共得利息 7,388 元，折合年化 2.80%；"
        L"五年期 期末本息 17,128 元，共得利息 7,128 元，折合年化 2.73%；"
        L"十年期 期末本息 16,589 元，共得利息 6,589 元，折合年化 2.56%。最佳：一年期";
    EXPECT_EQ(lines.Description, comparison);
    ASSERT_EQ(lines.Children.size(), 5u);
    EXPECT_EQ(lines.Children[4].Name, L"十年期");
    EXPECT_EQ(lines.Children[4].Value, L"期末本息 16,589 元，共得利息 6,589 元，折合年化 2.56%");

    // 存期比较 itself: its table's rows, the best one said to be best, and its chart's summary.
    remote.Click(IDC_COMPARE);
    const HWND compare = remote.ProgramWindow(L"YieldoraCompare", L"存期比较");
    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(ReadAccessible(compare, 0).Description, comparison);
    const HWND terms = FindWindowExW(compare, nullptr, WC_LISTVIEWW, nullptr);
    const TAccessibleNode termRows = ReadAccessible(terms, 1);
    EXPECT_EQ(termRows.Name, L"存期比较结果");
    ASSERT_EQ(termRows.Children.size(), 5u);
    EXPECT_EQ(termRows.Children[0].Name,
              L"存期：一年期，年利率：3.6，共得利息：7645，期末本息：17645，"
              L"折合年化：2.88%，比最佳少：0，备注：最佳");
    EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
}

// In Windows' High Contrast Black, set in the prefix's registry as a user sets it, the program
// draws in the scheme's colours: the best row of 存期比较 on the selection's ground and the others
// on the window's, the growth chart on the window's ground with its texts in the window's text
// colour.
TEST_F(Accessible, AHighContrastSchemeKeepsEveryTextReadable) {
    if (GetSysColor(COLOR_WINDOW) != RGB(0, 0, 0)) {
        GTEST_SKIP() << "runs where the prefix has a high-contrast scheme (YIELDORA_WINE_CONTRAST)";
    }
    TYieldoraRemote remote(Program.wstring());
    remote.Press(IDC_CALCULATE);
    remote.Press(IDC_COMPARE);
    ASSERT_NE(remote.CompareWindow(), nullptr);
    const HWND view = FindWindowExW(remote.CompareWindow(), nullptr, WC_LISTVIEWW, nullptr);
    remote.Settle();
    const auto ground = [&](int Row) {
        const RECT cell = remote.ListCellRect(view, Row, 0);
        return ScreenColour(cell.right - 2, (cell.top + cell.bottom) / 2);
    };
    // The screen shows what the program drew once Wine has passed it on to the display.
    EXPECT_TRUE(WaitUntil([&] { return ground(0) == GetSysColor(COLOR_HIGHLIGHT); }))
        << std::hex << ground(0);
    EXPECT_EQ(ground(1), GetSysColor(COLOR_WINDOW));

    remote.ChooseFromMenu(remote.Item(IDC_RESULTS), 5, {}, [](const TRemoteOutcome&) {
        return FindWindowW(L"YieldoraChart", L"收益图") != nullptr;
    });
    const HWND chart = FindWindowW(L"YieldoraChart", L"收益图");
    ASSERT_NE(chart, nullptr);
    // The display's clipboard may still hold a picture another test copied.
    ASSERT_TRUE(OpenClipboardWhenFree(nullptr));
    EmptyClipboard();
    CloseClipboard();
    remote.ChooseFromMenu(chart, 1, {}, [](const TRemoteOutcome&) {
        return IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
    });
    LONG width = 0;
    const std::vector<COLORREF> picture = ClipboardPicture(width);
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(picture.front(), RGB(0, 0, 0));
    EXPECT_NE(std::count(picture.begin(), picture.end(), RGB(255, 255, 255)), 0);
    EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
}
