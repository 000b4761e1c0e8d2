// The main dialog, the chart and the comparison of the terms at the screen's scale. This one
// executable runs once per scale, each time in a Wine prefix whose screen has that many dots per
// inch (tests/CMakeLists.txt): 96, 120, 144 and 192.

#include "UChartWindow.h"
#include "UCompareWindow.h"
#include "UMainDialog.h"

#include "ModalDriver.h"
#include "MsgBoxHook.h"
#include "USchedule.h"
#include "UkyIniFile.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::wstring WindowText(HWND Window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(Window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND Window) {
    wchar_t name[64] = {};
    GetClassNameW(Window, name, 64);
    CharUpperW(name);
    return name;
}

// The room Text takes on one line in the font Window draws with.
SIZE Extent(HWND Window, const std::wstring& Text) {
    const HDC dc = GetDC(Window);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Window, WM_GETFONT, 0, 0)));
    RECT area{};
    DrawTextW(dc, Text.c_str(), static_cast<int>(Text.size()), &area,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    return {area.right - area.left, area.bottom - area.top};
}

SIZE ClientSize(HWND Window) {
    RECT client{};
    GetClientRect(Window, &client);
    return {client.right, client.bottom};
}

// Every text of the window's items against the item's own rectangle: labels, buttons, the check
// box, the fields, the term list, and the table's captions and cells, which must also do without a
// horizontal scroll bar. Dpi is the scale the window is drawn at; the main table shows an image
// in its first column at that scale.
void ExpectWhole(HWND Dialog, int Dpi, bool RowImages = true) {
    for (HWND item = GetWindow(Dialog, GW_CHILD); item != nullptr;
         item = GetWindow(item, GW_HWNDNEXT)) {
        const std::wstring kind = ClassOf(item);
        const std::wstring text = WindowText(item);
        const SIZE room = ClientSize(item);
        const SIZE need = Extent(item, text);
        SCOPED_TRACE(testing::Message() << "item " << GetDlgCtrlID(item) << " \""
                                        << testing::PrintToString(text) << "\"");
        if (kind == L"STATIC") {
            EXPECT_LE(need.cx, room.cx);
            EXPECT_LE(need.cy, room.cy);
        } else if (kind == L"BUTTON") {
            const LONG type = GetWindowLongW(item, GWL_STYLE) & BS_TYPEMASK;
            // A push button's frame and focus rectangle take 3 pixels a side at 96 DPI; a check
            // box's square and the gap after it take the menu check mark's width and a fifth.
            const int frame = type == BS_AUTOCHECKBOX
                                  ? MulDiv(GetSystemMetrics(SM_CXMENUCHECK), Dpi, ScreenDpi()) +
                                        MulDiv(4, Dpi, 96)
                                  : MulDiv(6, Dpi, 96);
            EXPECT_LE(need.cx + frame, room.cx) << need.cx << "+" << frame;
            EXPECT_LE(need.cy, room.cy);
        } else if (kind == L"EDIT") {
            const auto margins = static_cast<DWORD>(SendMessageW(item, EM_GETMARGINS, 0, 0));
            EXPECT_LE(need.cx + LOWORD(margins) + HIWORD(margins), room.cx);
            EXPECT_LE(need.cy, room.cy);
        } else if (kind == L"COMBOBOX") {
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            ASSERT_TRUE(GetComboBoxInfo(item, &info));
            EXPECT_LE(need.cx, info.rcItem.right - info.rcItem.left);
            EXPECT_LE(need.cy, info.rcItem.bottom - info.rcItem.top);
        } else if (kind == L"SYSLISTVIEW32") {
            EXPECT_EQ(GetWindowLongW(item, GWL_STYLE) & WS_HSCROLL, 0) << "horizontal scroll bar";
            const auto header = reinterpret_cast<HWND>(SendMessageW(item, LVM_GETHEADER, 0, 0));
            const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
            const auto rows = static_cast<int>(SendMessageW(item, LVM_GETITEMCOUNT, 0, 0));
            const auto images =
                reinterpret_cast<HIMAGELIST>(SendMessageW(item, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
            int imageWidth = 0;
            int imageHeight = 0;
            ImageList_GetIconSize(images, &imageWidth, &imageHeight);
            // A cell's text is inset by the list view a few pixels on either side.
            const int inset = MulDiv(12, Dpi, 96);
            EXPECT_EQ(imageWidth, RowImages ? MulDiv(16, Dpi, 96) : 0);
            for (int column = 0; column < columns; ++column) {
                const auto width =
                    static_cast<int>(SendMessageW(item, LVM_GETCOLUMNWIDTH, column, 0));
                wchar_t caption[64] = {};
                HDITEMW headerItem{};
                headerItem.mask = HDI_TEXT;
                headerItem.pszText = caption;
                headerItem.cchTextMax = 64;
                SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&headerItem));
                EXPECT_LE(Extent(header, caption).cx + inset, width) << "caption " << column;
                for (int row = 0; row < rows; ++row) {
                    wchar_t cell[128] = {};
                    LVITEMW cellItem{};
                    cellItem.iSubItem = column;
                    cellItem.pszText = cell;
                    cellItem.cchTextMax = 128;
                    SendMessageW(item, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&cellItem));
                    const int used = Extent(item, cell).cx + inset + (column == 0 ? imageWidth : 0);
                    EXPECT_LE(used, width) << "row " << row << " column " << column;
                }
            }
        }
    }
}

using TStep = std::function<void(HWND Dialog)>;

class ScaledDialog : public testing::Test {
protected:
    void SetUp() override { fs::remove(Profile); }
    void TearDown() override { fs::remove(Profile); }

    void Run(const std::vector<TStep>& Steps) {
        const auto dialog = TkyDialogSuper::Create<TMainDialog>(nullptr, false);
        TModalDriver driver;
        for (const TStep& step : Steps) {
            driver.Then([&dialog, &step] { step(dialog->Handle()); });
        }
        dialog->RunModal();
        EXPECT_TRUE(driver.Done());
    }

    const fs::path Profile{ProfilePath()};
    TMsgBoxHook Boxes;
};

// Each run is at the scale its Wine prefix was given (YIELDORA_WINE_DPI, 96 without one): a
// prefix whose setting did not take fails here instead of passing at 96 unchecked.
TEST_F(ScaledDialog, EveryTextIsWholeWithTheDefaultInputsCalculated) {
    const char* requested = std::getenv("YIELDORA_WINE_DPI");
    ASSERT_EQ(ScreenDpi(), requested != nullptr ? std::atoi(requested) : 96)
        << "the screen's DPI is not the one this run asked for";
    Run({[](HWND Dialog) {
        SendMessageW(GetDlgItem(Dialog, IDC_CALCULATE), BM_CLICK, 0, 0);
        ExpectWhole(Dialog, ScreenDpi());
        // The columns' widths grow with the scale.
        const int widths[] = {52, 80, 80, 128};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(SendDlgItemMessageW(Dialog, IDC_RESULTS, LVM_GETCOLUMNWIDTH, i, 0),
                      MulDiv(widths[i], ScreenDpi(), 96));
        }
        SendMessageW(GetDlgItem(Dialog, IDC_EXIT), BM_CLICK, 0, 0);
    }});
    EXPECT_TRUE(Boxes.Boxes().empty());
}

LOGFONTW FontOf(HWND Window) {
    LOGFONTW description{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Window, WM_GETFONT, 0, 0)), sizeof description,
               &description);
    return description;
}

std::vector<RECT> ItemPlaces(HWND Dialog) {
    std::vector<RECT> places;
    for (HWND item = GetWindow(Dialog, GW_CHILD); item != nullptr;
         item = GetWindow(item, GW_HWNDNEXT)) {
        RECT place{};
        GetWindowRect(item, &place);
        places.push_back(place);
    }
    return places;
}

std::vector<LOGFONTW> ItemFonts(HWND Dialog) {
    std::vector<LOGFONTW> fonts;
    for (HWND item = GetWindow(Dialog, GW_CHILD); item != nullptr;
         item = GetWindow(item, GW_HWNDNEXT)) {
        fonts.push_back(FontOf(item));
    }
    return fonts;
}

// The system does not move a window between monitors here, so the test hands the dialog the
// message a move to a monitor of each scale would bring, with the rectangle the system would
// suggest, and then the message of the way back.
TEST_F(ScaledDialog, FollowsAMoveToAMonitorOfAnotherScale) {
    Run({[](HWND Dialog) {
        SendMessageW(GetDlgItem(Dialog, IDC_CALCULATE), BM_CLICK, 0, 0);
        const int screen = ScreenDpi();
        RECT home{};
        GetWindowRect(Dialog, &home);
        const std::vector<RECT> places = ItemPlaces(Dialog);
        const std::vector<LOGFONTW> fonts = ItemFonts(Dialog);
        const LOGFONTW term = FontOf(GetDlgItem(Dialog, IDC_TERM));
        for (const int dpi : {96, 120, 144, 192}) {
            SCOPED_TRACE(testing::Message() << "to " << dpi << " DPI");
            RECT suggested{home.left, home.top,
                           home.left + MulDiv(home.right - home.left, dpi, screen),
                           home.top + MulDiv(home.bottom - home.top, dpi, screen)};
            SendMessageW(Dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            RECT now{};
            GetWindowRect(Dialog, &now);
            EXPECT_EQ(now.left, suggested.left);
            EXPECT_EQ(now.top, suggested.top);
            // At least as large, unless the system holds it to the screen's size; larger where
            // the texts need it.
            EXPECT_GE(now.right - now.left, std::min<LONG>(suggested.right - suggested.left,
                                                           GetSystemMetrics(SM_CXMAXTRACK)));
            EXPECT_GE(now.bottom - now.top, std::min<LONG>(suggested.bottom - suggested.top,
                                                           GetSystemMetrics(SM_CYMAXTRACK)));
            ExpectWhole(Dialog, dpi);
            const auto font =
                reinterpret_cast<HFONT>(SendDlgItemMessageW(Dialog, IDC_DEPOSIT, WM_GETFONT, 0, 0));
            LOGFONTW description{};
            ASSERT_NE(GetObjectW(font, sizeof description, &description), 0);
            EXPECT_EQ(description.lfHeight, -MulDiv(9, dpi, 72));
            // The term list, taken over by the library, keeps the GUI font's face.
            const LOGFONTW termNow = FontOf(GetDlgItem(Dialog, IDC_TERM));
            EXPECT_STREQ(termNow.lfFaceName, term.lfFaceName);
            EXPECT_EQ(termNow.lfHeight, MulDiv(term.lfHeight, dpi, screen));
            const auto view = GetDlgItem(Dialog, IDC_RESULTS);
            EXPECT_EQ(SendMessageW(view, LVM_GETCOLUMNWIDTH, 3, 0), MulDiv(128, dpi, 96));
            ICONINFO icon{};
            ASSERT_TRUE(GetIconInfo(
                reinterpret_cast<HICON>(SendMessageW(Dialog, WM_GETICON, ICON_SMALL, 0)), &icon));
            BITMAP mask{};
            GetObjectW(icon.hbmMask, sizeof mask, &mask);
            DeleteObject(icon.hbmMask);
            DeleteObject(icon.hbmColor);
            EXPECT_EQ(mask.bmWidth, MulDiv(16, dpi, 96));
        }
        // Back at the screen's own scale, everything is where it was, in the font it had.
        SendMessageW(Dialog, WM_DPICHANGED, MAKEWPARAM(screen, screen),
                     reinterpret_cast<LPARAM>(&home));
        const std::vector<RECT> back = ItemPlaces(Dialog);
        const std::vector<LOGFONTW> backFonts = ItemFonts(Dialog);
        ASSERT_EQ(back.size(), places.size());
        ASSERT_EQ(backFonts.size(), fonts.size());
        for (std::size_t i = 0; i < places.size(); ++i) {
            EXPECT_TRUE(EqualRect(&back[i], &places[i]))
                << "item " << i << ": " << back[i].left << "," << back[i].top << " "
                << back[i].right << "," << back[i].bottom << " was " << places[i].left << ","
                << places[i].top << " " << places[i].right << "," << places[i].bottom;
            EXPECT_TRUE(backFonts[i].lfHeight == fonts[i].lfHeight &&
                        std::wstring(backFonts[i].lfFaceName) == fonts[i].lfFaceName)
                << "item " << i << ": " << backFonts[i].lfFaceName << " " << backFonts[i].lfHeight
                << " was " << fonts[i].lfFaceName << " " << fonts[i].lfHeight;
        }
        SendMessageW(GetDlgItem(Dialog, IDC_EXIT), BM_CLICK, 0, 0);
    }});
}

// The table's icons are made with its first rows: after a move to another scale before them, the
// rows' icons come in the size of the scale the window is at then.
TEST_F(ScaledDialog, RowIconsMadeAfterAMoveTakeTheNewScale) {
    Run({[](HWND Dialog) {
        const int dpi = ScreenDpi() == 144 ? 192 : 144;
        RECT home{};
        GetWindowRect(Dialog, &home);
        RECT suggested{home.left, home.top,
                       home.left + MulDiv(home.right - home.left, dpi, ScreenDpi()),
                       home.top + MulDiv(home.bottom - home.top, dpi, ScreenDpi())};
        SendMessageW(Dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        SendMessageW(GetDlgItem(Dialog, IDC_CALCULATE), BM_CLICK, 0, 0);
        const auto images = reinterpret_cast<HIMAGELIST>(
            SendDlgItemMessageW(Dialog, IDC_RESULTS, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        EXPECT_EQ(ImageList_GetImageCount(images), 3);
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(images, &width, &height);
        EXPECT_EQ(width, MulDiv(16, dpi, 96));
        EXPECT_EQ(height, MulDiv(16, dpi, 96));
        SendMessageW(GetDlgItem(Dialog, IDC_EXIT), BM_CLICK, 0, 0);
    }});
}

// The manifest asks for the scale of each monitor (the second version of that awareness); a
// system that knows it makes the process aware of it.
TEST(ScaleAwareness, TheProcessFollowsEachMonitorsScale) {
    using TGetContext = HANDLE(WINAPI*)();
    using TAwareness = int(WINAPI*)(HANDLE);
    const HMODULE user = GetModuleHandleW(L"user32.dll");
    const auto getContext = reinterpret_cast<TGetContext>(
        reinterpret_cast<void (*)()>(GetProcAddress(user, "GetThreadDpiAwarenessContext")));
    const auto awareness = reinterpret_cast<TAwareness>(
        reinterpret_cast<void (*)()>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_NE(getContext, nullptr);
    ASSERT_NE(awareness, nullptr);
    // DPI_AWARENESS_PER_MONITOR_AWARE
    EXPECT_EQ(awareness(getContext()), 2);
}

// ---- The chart ---------------------------------------------------------------------------------

TChartData DefaultChartData() {
    const TYieldoraInputs defaults;
    const TSchedule schedule = CalculateSchedule(defaults);
    return MakeChartData({defaults, schedule.Interest, schedule.Total, schedule.Withdrawn});
}

// Every text of the chart, withdrawn interest shown, in its client area at Dpi.
void ExpectChartWhole(const TChartWindow& Chart, int Dpi) {
    RECT client{};
    GetClientRect(Chart.Handle(), &client);
    const auto texts = Chart.PlacedTexts(client.right, client.bottom, Dpi);
    EXPECT_GT(texts.size(), 20u);
    for (const TChartWindow::TPlacedText& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text.Text));
        EXPECT_LE(text.Extent.cx, text.Area.right - text.Area.left);
        EXPECT_LE(text.Extent.cy, text.Area.bottom - text.Area.top);
        EXPECT_GE(text.Area.left, 0);
        EXPECT_LE(text.Area.right, client.right);
    }
}

TEST_F(ScaledDialog, EveryTextOfTheChartIsWholeAlsoAfterAMoveToAnotherScale) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 300,
                                       200, nullptr, nullptr, nullptr, nullptr);
    {
        TChartWindow chart(owner);
        TChartData data = DefaultChartData();
        data.Inputs.Deposit = false;
        chart.SetData(data);
        chart.Show();
        ExpectChartWhole(chart, ScreenDpi());
        for (const int dpi : {96, 120, 144, 192}) {
            SCOPED_TRACE(testing::Message() << "to " << dpi << " DPI");
            RECT suggested{20, 30, 20 + MulDiv(640, dpi, 96), 30 + MulDiv(440, dpi, 96)};
            SendMessageW(chart.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            RECT now{};
            GetWindowRect(chart.Handle(), &now);
            EXPECT_EQ(now.left, 20);
            EXPECT_EQ(now.top, 30);
            EXPECT_EQ(now.right - now.left, std::min<LONG>(suggested.right - suggested.left,
                                                           GetSystemMetrics(SM_CXMAXTRACK)));
            ExpectChartWhole(chart, dpi);
        }
    }
    DestroyWindow(owner);
}

// ---- The comparison of the terms --------------------------------------------------------------

HWND CompareWindow() {
    return FindWindowW(L"YieldoraCompare", L"存期比较");
}

// The rate fields, their labels and the table, whole with every row in sight, at Dpi.
void ExpectCompareWhole(HWND Compare, int Dpi) {
    ExpectWhole(Compare, Dpi, false);
    const HWND view = FindWindowExW(Compare, nullptr, WC_LISTVIEWW, nullptr);
    EXPECT_EQ(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0), 5);
    EXPECT_EQ(GetWindowLongW(view, GWL_STYLE) & WS_VSCROLL, 0) << "vertical scroll bar";
    EXPECT_EQ(GetWindowLongW(view, GWL_STYLE) & WS_HSCROLL, 0) << "horizontal scroll bar";
    const auto font =
        reinterpret_cast<HFONT>(SendMessageW(GetWindow(Compare, GW_CHILD), WM_GETFONT, 0, 0));
    LOGFONTW description{};
    ASSERT_NE(GetObjectW(font, sizeof description, &description), 0);
    EXPECT_EQ(description.lfHeight, -MulDiv(9, Dpi, 72));
}

// The texts of the chart under the table, in the chart's part of the client area.
void ExpectCompareChartWhole(const TCompareWindow& Compare) {
    RECT client{};
    GetClientRect(Compare.Handle(), &client);
    const std::vector<TDrawnText> texts = Compare.ChartTexts();
    // The terms in the legend, the values' ticks and the years.
    EXPECT_GT(texts.size(), 9u);
    for (const TDrawnText& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text.Text));
        EXPECT_LE(text.Extent.cx, text.Area.right - text.Area.left);
        EXPECT_LE(text.Extent.cy, text.Area.bottom - text.Area.top);
        EXPECT_GE(text.Area.left, 0);
        EXPECT_LE(text.Area.right, client.right);
        EXPECT_LE(text.Area.bottom, client.bottom);
    }
}

// Opened from the dialog after a calculation of the default inputs, the comparison is whole at the
// screen's scale and at every other one a move to another monitor brings, and back where it was
// when it comes back.
TEST_F(ScaledDialog, TheComparisonIsWholeAlsoAfterAMoveToAnotherScale) {
    Run({[](HWND Dialog) {
        SendMessageW(GetDlgItem(Dialog, IDC_CALCULATE), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(Dialog, IDC_COMPARE), BM_CLICK, 0, 0);
        const HWND compare = CompareWindow();
        ASSERT_NE(compare, nullptr);
        ASSERT_TRUE(IsWindowVisible(compare));
        const int screen = ScreenDpi();
        ExpectCompareWhole(compare, screen);
        RECT home{};
        GetWindowRect(compare, &home);
        const std::vector<RECT> places = ItemPlaces(compare);
        for (const int dpi : {96, 120, 144, 192}) {
            SCOPED_TRACE(testing::Message() << "to " << dpi << " DPI");
            RECT suggested{20, 30, 20 + MulDiv(660, dpi, 96), 30 + MulDiv(500, dpi, 96)};
            SendMessageW(compare, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            RECT now{};
            GetWindowRect(compare, &now);
            EXPECT_EQ(now.left, 20);
            EXPECT_EQ(now.top, 30);
            EXPECT_EQ(now.right - now.left, std::min<LONG>(suggested.right - suggested.left,
                                                           GetSystemMetrics(SM_CXMAXTRACK)));
            ExpectCompareWhole(compare, dpi);
        }
        SendMessageW(compare, WM_DPICHANGED, MAKEWPARAM(screen, screen),
                     reinterpret_cast<LPARAM>(&home));
        const std::vector<RECT> back = ItemPlaces(compare);
        ASSERT_EQ(back.size(), places.size());
        for (std::size_t i = 0; i < places.size(); ++i) {
            EXPECT_TRUE(EqualRect(&back[i], &places[i])) << "child " << i;
        }
        SendMessageW(GetDlgItem(Dialog, IDC_EXIT), BM_CLICK, 0, 0);
    }});
    EXPECT_TRUE(Boxes.Boxes().empty());
}

// The legend's terms and the axes' figures of the comparison's chart, and the table's nine
// columns of seven terms with interest taken out and money needed early, at each scale in the
// window's own size.
TEST_F(ScaledDialog, TheComparisonsChartIsWholeAtEveryScale) {
    Run({[](HWND Dialog) {
        TCalculationDocument document(false);
        document.SetMonthRateText(0, L"1.1");
        document.SetMonthRateText(1, L"1.3");
        document.SetDeposit(false);
        document.SetScenarioText(TScenarioField::NeedMonth, L"18");
        document.Calculate();
        TCompareWindow compare(Dialog, document);
        compare.Show();
        ASSERT_TRUE(document.Comparison().Best.has_value());
        ASSERT_EQ(document.Comparison().Captions().size(), 9u);
        const HWND view = FindWindowExW(compare.Handle(), nullptr, WC_LISTVIEWW, nullptr);
        ExpectCompareChartWhole(compare);
        for (const int dpi : {96, 120, 144, 192}) {
            SCOPED_TRACE(testing::Message() << "to " << dpi << " DPI");
            RECT suggested{20, 30, 20 + MulDiv(800, dpi, 96), 30 + MulDiv(560, dpi, 96)};
            SendMessageW(compare.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            ExpectCompareChartWhole(compare);
            EXPECT_EQ(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0), 7);
            // Where the screen has room for the window's own size, the table needs no scrolling.
            RECT now{};
            GetWindowRect(compare.Handle(), &now);
            if (now.right - now.left == suggested.right - suggested.left) {
                EXPECT_EQ(GetWindowLongW(view, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
            }
        }
        SendMessageW(GetDlgItem(Dialog, IDC_EXIT), BM_CLICK, 0, 0);
    }});
}

} // namespace
