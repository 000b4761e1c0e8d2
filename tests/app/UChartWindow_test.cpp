#include "UChartWindow.h"

#include "UComparisonChart.h"

#include "ErrorOf.h"
#include "UResultFile.h"
#include "USchedule.h"
#include "WorkArea.h"
#include "UkyClipboard.h"
#include "UkyIniFile.h"
#include "UkyWinControl.h"
#include "YearTermPlan.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// While a TFailingAllocations lives, every allocation of the standard library fails.
bool FailAllocations = false;

struct TFailingAllocations {
    TFailingAllocations() { FailAllocations = true; }
    TFailingAllocations(const TFailingAllocations&) = delete;
    TFailingAllocations& operator=(const TFailingAllocations&) = delete;
    ~TFailingAllocations() { FailAllocations = false; }
};

} // namespace

void* operator new(std::size_t Size) {
    void* memory = FailAllocations ? nullptr : HeapAlloc(GetProcessHeap(), 0, Size == 0 ? 1 : Size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void operator delete(void* Memory) noexcept {
    HeapFree(GetProcessHeap(), 0, Memory);
}

void operator delete(void* Memory, std::size_t) noexcept {
    HeapFree(GetProcessHeap(), 0, Memory);
}

namespace {

constexpr COLORREF CAPITAL = RGB(65, 105, 225);
constexpr COLORREF INTEREST = RGB(255, 165, 0);

// A picture drawn by Render into a 32-bit memory bitmap.
class TRendered {
public:
    TRendered(const TChartWindow& Chart, int Width, int Height, int Dpi)
        : FWidth(Width), FPixels(static_cast<std::size_t>(Width) * Height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        Chart.Render(dc, Width, Height, Dpi);
        GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        for (std::size_t i = 0; i < FPixels.size(); ++i) {
            const DWORD p = pixels[i];
            FPixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }

    COLORREF At(int X, int Y) const {
        return FPixels[static_cast<std::size_t>(Y) * FWidth + static_cast<std::size_t>(X)];
    }
    // Runs of Colour along row Y: their left ends and widths.
    std::vector<std::pair<int, int>> Runs(int Y, COLORREF Colour) const {
        std::vector<std::pair<int, int>> runs;
        for (int x = 0; x < FWidth; ++x) {
            if (At(x, Y) == Colour) {
                if (runs.empty() || runs.back().first + runs.back().second != x) {
                    runs.emplace_back(x, 0);
                }
                ++runs.back().second;
            }
        }
        return runs;
    }
    // Pixels of Colour in column X from Top down to Bottom.
    int Count(int X, int Top, int Bottom, COLORREF Colour) const {
        int count = 0;
        for (int y = Top; y < Bottom; ++y) {
            count += At(X, y) == Colour ? 1 : 0;
        }
        return count;
    }
    int Dark(int Top, int Bottom) const {
        int count = 0;
        for (int y = Top; y < Bottom; ++y) {
            for (int x = 0; x < FWidth; ++x) {
                count += GetGValue(At(x, y)) < 128 ? 1 : 0;
            }
        }
        return count;
    }

private:
    int FWidth;
    std::vector<COLORREF> FPixels;
};

TChartData DefaultData() {
    const TYieldoraInputs defaults;
    const TSchedule schedule = CalculateSchedule(defaults);
    return MakeChartData({defaults, schedule.Interest, schedule.Total, schedule.Withdrawn});
}

// The table's totals for the default inputs, in whole yuan.
const double TOTALS[] = {10288, 10584, 10889, 11203, 11525, 11857, 12199, 12550, 12912, 13283,
                         13666, 14060, 14464, 14881, 15310, 15751, 16204, 16671, 17151, 17645};

// The bars found in the picture: along the row just above the zero line at Bottom, each bar is a
// run of the capital colour; its height splits into capital and interest.
void ExpectBars(const TRendered& Picture, int Bottom, int PlotHeight, int BarWidth) {
    const auto runs = Picture.Runs(Bottom - 1, CAPITAL);
    ASSERT_EQ(runs.size(), 20u);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const int middle = runs[i].first + runs[i].second / 2;
        EXPECT_EQ(runs[i].second, BarWidth) << i;
        // The axis runs to 20000 yuan: capital is half of it in every bar.
        const int top = Bottom - PlotHeight;
        EXPECT_EQ(Picture.Count(middle, top, Bottom, CAPITAL), PlotHeight / 2) << i;
        const int height = Picture.Count(middle, top, Bottom, CAPITAL) +
                           Picture.Count(middle, top, Bottom, INTEREST);
        EXPECT_NEAR(height, TOTALS[i] * PlotHeight / 20000, 1.0) << i;
    }
}

TEST(ChartPicture, BarsAreProportionalToTheTotalsWithEqualCapital) {
    TChartWindow chart(nullptr);
    chart.SetData(DefaultData());
    ExpectBars(TRendered(chart, 640, 400, 96), 360, 288, 16);
}

TEST(ChartPicture, ScalesWithTheDpi) {
    TChartWindow chart(nullptr);
    chart.SetData(DefaultData());
    ExpectBars(TRendered(chart, 960, 600, 144), 540, 432, 24);
}

TEST(ChartPicture, AnEmptyTableIsSaidInWords) {
    TChartWindow chart(nullptr);
    const TRendered picture(chart, 640, 400, 96);
    EXPECT_TRUE(picture.Runs(359, CAPITAL).empty());
    // The one line of text sits in the middle band; nothing else is drawn.
    EXPECT_GT(picture.Dark(180, 220), 100);
    EXPECT_EQ(picture.Dark(0, 180) + picture.Dark(220, 400), 0);
}

// A dark scheme of the system's colours (white text on a black window) for its lifetime.
class TDarkScheme {
public:
    TDarkScheme() {
        const COLORREF dark[] = {RGB(0, 0, 0), RGB(255, 255, 255)};
        SetSysColors(2, ELEMENTS, dark);
    }
    TDarkScheme(const TDarkScheme&) = delete;
    TDarkScheme& operator=(const TDarkScheme&) = delete;
    ~TDarkScheme() { SetSysColors(2, ELEMENTS, FUsual); }

private:
    static constexpr int ELEMENTS[] = {COLOR_WINDOW, COLOR_WINDOWTEXT};
    const COLORREF FUsual[2] = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
};

// In a dark scheme the chart takes the system's colours on the screen, the bars' interest hatched
// in the text's colour over the window's, so that it differs from the capital by more than colour;
// the comparison's legend names the best term.
TEST(ChartPicture, ADarkSchemeGivesTheSystemsColoursAndMarksByMoreThanColour) {
    const TDarkScheme scheme;
    TChartWindow chart(nullptr);
    chart.SetData(DefaultData());
    const TRendered picture(chart, 640, 400, 96);
    EXPECT_EQ(picture.At(2, 2), RGB(0, 0, 0));
    const COLORREF capital = GetSysColor(COLOR_HIGHLIGHT);
    const auto runs = picture.Runs(359, capital);
    ASSERT_EQ(runs.size(), 20u);
    // The last bar's interest, above its capital: both the hatching and the ground show.
    const int middle = runs.back().first + runs.back().second / 2;
    const int white = picture.Count(middle, 72, 216, RGB(255, 255, 255));
    const int black = picture.Count(middle, 72, 216, RGB(0, 0, 0));
    EXPECT_GT(white, 5);
    EXPECT_GT(black, 5);
    EXPECT_EQ(picture.Runs(359, CAPITAL).size(), 0u);

    const TYieldoraInputs inputs;
    const TDepositPlan comparison = PlanYearTerms(inputs, {L"3.6", L"2.1", L"2.75", L"2.75", L"3"});
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, 640, 400);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<TDrawnText> texts;
    DrawComparisonChart(dc, {0, 0, 640, 400}, comparison,
                        static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), 96, &texts);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    std::vector<std::wstring> legend;
    for (const TDrawnText& text : texts) {
        if (text.Text.ends_with(L"期") || text.Text.ends_with(L"最佳")) {
            legend.push_back(text.Text);
        }
    }
    EXPECT_EQ(legend, (std::vector<std::wstring>{L"一年期 最佳", L"二年期", L"三年期", L"五年期",
                                                 L"十年期"}));
}

// ---- The window --------------------------------------------------------------------------------

class ChartWindow : public testing::Test {
protected:
    void SetUp() override {
        fs::remove(Profile);
        Owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(Owner);
        fs::remove(Profile);
    }

    static RECT WindowRect(HWND Window) {
        RECT rect{};
        GetWindowRect(Window, &rect);
        return rect;
    }

    const fs::path Profile{ProfilePath()};
    HWND Owner = nullptr;
};

TEST_F(ChartWindow, CtrlCCopiesEscapeAndTheCloseBoxHide) {
    TChartWindow chart(Owner);
    EXPECT_EQ(chart.Handle(), nullptr);
    chart.SetData(DefaultData());
    chart.Show();
    ASSERT_TRUE(OpenClipboardWhenFree(nullptr));
    EmptyClipboard();
    CloseClipboard();
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(chart.Handle(), WM_KEYDOWN, 'C', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));

    SendMessageW(chart.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindowVisible(chart.Handle()));
    chart.Show();
    EXPECT_TRUE(IsWindowVisible(chart.Handle()));
    SendMessageW(chart.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(chart.Handle()));
    EXPECT_FALSE(IsWindowVisible(chart.Handle()));
}

TEST_F(ChartWindow, RemembersItsPlaceUnderItsOwnKeys) {
    CheckedWorkArea();
    {
        TChartWindow never(Owner);
        never.SavePlacement();
    }
    EXPECT_FALSE(fs::exists(Profile));
    {
        TChartWindow chart(Owner);
        chart.Show();
        MoveWindow(chart.Handle(), 120, 90, 500, 350, TRUE);
        chart.SavePlacement();
    }
    TkyIniFile ini(ProfilePath());
    ini.Section = L"Program";
    EXPECT_EQ(ini.ReadInteger(L"ChartLeft", -1), 120);
    EXPECT_EQ(ini.ReadInteger(L"ChartTop", -1), 90);
    EXPECT_EQ(ini.ReadInteger(L"ChartWidth", -1), 500);
    EXPECT_EQ(ini.ReadInteger(L"ChartHeight", -1), 350);
    TChartWindow again(Owner);
    again.Show();
    const RECT place = WindowRect(again.Handle());
    EXPECT_EQ(place.left, 120);
    EXPECT_EQ(place.top, 90);
    EXPECT_EQ(place.right - place.left, 500);
    EXPECT_EQ(place.bottom - place.top, 350);

    // A place off every monitor is not used.
    ini.WriteInteger(L"ChartLeft", -5000);
    TChartWindow away(Owner);
    away.Show();
    EXPECT_GE(WindowRect(away.Handle()).left, 0);
}

// Whatever the profile holds, the chart opens wholly inside the work area, never below its least
// size (320 x 240 at 96 DPI) and never wider or higher than the work area.
TEST_F(ChartWindow, ASavedPlaceIsBroughtWhollyIntoTheWorkArea) {
    const RECT work = CheckedWorkArea();
    const LONG workWidth = work.right - work.left;
    const LONG workHeight = work.bottom - work.top;
    const struct {
        const char* Saved;
        LONG Left, Top, Width, Height;
    } cases[] = {
        {"ChartLeft=900\r\nChartTop=700\r\nChartWidth=500\r\nChartHeight=350", work.right - 500,
         work.bottom - 350, 500, 350},
        {"ChartLeft=-40\r\nChartTop=-30\r\nChartWidth=500\r\nChartHeight=350", work.left, work.top,
         500, 350},
        {"ChartLeft=10\r\nChartTop=20\r\nChartWidth=50000\r\nChartHeight=50000", work.left,
         work.top, workWidth, workHeight},
        {"ChartLeft=100\r\nChartTop=100\r\nChartWidth=10\r\nChartHeight=-10", 100, 100, 320, 240},
        // Sums that overflow 32 bits.
        {"ChartLeft=2147483000\r\nChartTop=2147483000\r\nChartWidth=2147483000\r\n"
         "ChartHeight=2147483000",
         work.left, work.top, workWidth, workHeight},
    };
    for (const auto& c : cases) {
        std::ofstream(Profile, std::ios::binary) << "[Program]\r\n" << c.Saved << "\r\n";
        TChartWindow chart(Owner);
        chart.Show();
        const RECT place = WindowRect(chart.Handle());
        EXPECT_EQ((std::vector<LONG>{place.left, place.top, place.right - place.left,
                                     place.bottom - place.top}),
                  (std::vector<LONG>{c.Left, c.Top, c.Width, c.Height}))
            << c.Saved;
    }
}

// Maximised when it was saved so: shown maximised, also after it was hidden, and restored to the
// saved place. Its restored place is saved whatever its state.
TEST_F(ChartWindow, AMaximisedChartComesBackMaximisedOverItsRestoredPlace) {
    CheckedWorkArea();
    {
        TChartWindow chart(Owner);
        chart.Show();
        MoveWindow(chart.Handle(), 120, 90, 500, 350, TRUE);
        ShowWindow(chart.Handle(), SW_MAXIMIZE);
        chart.SavePlacement();
    }
    TkyIniFile ini(ProfilePath());
    ini.Section = L"Program";
    EXPECT_EQ(ini.ReadInteger(L"ChartLeft", -1), 120);
    EXPECT_EQ(ini.ReadInteger(L"ChartWidth", -1), 500);
    EXPECT_EQ(ini.ReadInteger(L"ChartMaximized", -1), 1);

    TChartWindow again(Owner);
    again.Show();
    EXPECT_TRUE(IsZoomed(again.Handle()));
    SendMessageW(again.Handle(), WM_CLOSE, 0, 0);
    again.Show();
    EXPECT_TRUE(IsZoomed(again.Handle()));
    ShowWindow(again.Handle(), SW_RESTORE);
    const RECT place = WindowRect(again.Handle());
    EXPECT_EQ((std::vector<LONG>{place.left, place.top, place.right, place.bottom}),
              (std::vector<LONG>{120, 90, 620, 440}));
    ShowWindow(again.Handle(), SW_MINIMIZE);
    again.SavePlacement();
    EXPECT_EQ(ini.ReadInteger(L"ChartLeft", -1), 120);
    EXPECT_EQ(ini.ReadInteger(L"ChartTop", -1), 90);
    EXPECT_EQ(ini.ReadInteger(L"ChartMaximized", -1), 0);
}

TEST_F(ChartWindow, CopiesABitmapAndSavesAPng) {
    TChartWindow chart(Owner);
    chart.SetData(DefaultData());
    chart.Show();
    RECT client{};
    GetClientRect(chart.Handle(), &client);

    ASSERT_TRUE(chart.CopyToClipboard());
    ASSERT_TRUE(OpenClipboardWhenFree(nullptr));
    const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP info{};
    EXPECT_NE(GetObjectW(bitmap, sizeof(info), &info), 0);
    CloseClipboard();
    EXPECT_EQ(info.bmWidth, client.right);
    EXPECT_EQ(info.bmHeight, client.bottom);

    const fs::path folder = fs::absolute(L"UChartWindow_test.图片");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path file = folder / L"收益图.png";
    chart.SaveAsPng(file.wstring());
    const auto read = [](const fs::path& Path) {
        std::ifstream png(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(png), {});
    };
    const std::string bytes = read(file);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    const auto bigEndian = [&bytes](std::size_t At) {
        return (static_cast<unsigned char>(bytes[At]) << 24) |
               (static_cast<unsigned char>(bytes[At + 1]) << 16) |
               (static_cast<unsigned char>(bytes[At + 2]) << 8) |
               static_cast<unsigned char>(bytes[At + 3]);
    };
    EXPECT_EQ(bigEndian(16), client.right);
    EXPECT_EQ(bigEndian(20), client.bottom);

    // A failed save leaves the old picture whole and says why: a file held open by another
    // program, one marked read-only, a folder that does not exist.
    const std::wstring prefix = L"无法保存文件 " + file.wstring() + L"：";
    const HANDLE held =
        CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const std::wstring busy = ErrorOf([&] { chart.SaveAsPng(file.wstring()); });
    CloseHandle(held);
    EXPECT_TRUE(busy.starts_with(prefix) && busy.size() > prefix.size()) << busy;
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ErrorOf([&] { chart.SaveAsPng(file.wstring()); }),
              prefix + SystemErrorText(ERROR_ACCESS_DENIED));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(read(file), bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    const fs::path nowhere = folder / L"missing" / L"x.png";
    EXPECT_EQ(ErrorOf([&] { chart.SaveAsPng(nowhere.wstring()); }),
              L"无法保存文件 " + nowhere.wstring() + L"：" + SystemErrorText(ERROR_PATH_NOT_FOUND));
    fs::remove_all(folder);
}

// An error in the chart's handling of a message (here: the memory runs out) does not unwind
// through the system: it is kept and raised again by whoever runs the modal loop, as for the
// library's windows.
TEST_F(ChartWindow, AnErrorInAMessageIsKeptNotThrownThroughTheSystem) {
    TChartWindow chart(Owner);
    chart.SetData(DefaultData());
    chart.Show();
    LRESULT result = 1;
    bool thrown = false;
    try {
        const TFailingAllocations failing;
        result = SendMessageW(chart.Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
    } catch (...) {
        thrown = true;
    }
    EXPECT_FALSE(thrown);
    EXPECT_EQ(result, 0);
    EXPECT_THROW(RaiseHandlerError(), std::bad_alloc);
    EXPECT_NO_THROW(RaiseHandlerError());
}

} // namespace
