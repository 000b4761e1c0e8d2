#include "UkyPlacement.h"

#include "UkyIniFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class WindowPlacement : public testing::Test {
protected:
    void SetUp() override {
        fs::remove(Profile);
        Window = CreateWindowExW(0, L"STATIC", L"placed", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150,
                                 nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        DestroyWindow(Window);
        fs::remove(Profile);
    }

    static RECT Rect(HWND Window) {
        RECT rect{};
        GetWindowRect(Window, &rect);
        return rect;
    }

    const fs::path Profile{ProfilePath()};
    HWND Window = nullptr;
};

// Each window writes its own five keys under its prefix and leaves the others' alone; what it
// reads back is its own.
TEST_F(WindowPlacement, KeysUnderAPrefixLeaveTheOthersAlone) {
    std::ofstream(Profile, std::ios::binary)
        << "[Program]\r\nWindowLeft=7\r\nWindowTop=8\r\n[Yieldora]\r\nFund=1\r\n";
    TkyWindowPlacement placement(L"Program", L"Tool");
    EXPECT_FALSE(placement.Restore(Window, RECT{100, 80, 400, 300}, SIZE{50, 50}));
    EXPECT_EQ(Rect(Window).left, 100);
    EXPECT_EQ(Rect(Window).bottom, 300);
    MoveWindow(Window, 110, 90, 250, 180, FALSE);
    placement.Track(Window);
    placement.Save(Window);
    EXPECT_EQ(ReadFile(Profile),
              "[Program]\r\nWindowLeft=7\r\nWindowTop=8\r\nToolLeft=110\r\nToolTop=90\r\n"
              "ToolWidth=250\r\nToolHeight=180\r\nToolMaximized=0\r\n[Yieldora]\r\nFund=1\r\n");
}

// Minimised, the window saves the rectangle it had before, which it takes again at the next
// restore.
TEST_F(WindowPlacement, AMinimisedWindowSavesItsRestoredRectangle) {
    TkyWindowPlacement placement(L"Program", L"Tool");
    placement.Restore(Window, RECT{100, 80, 400, 300}, SIZE{50, 50});
    ShowWindow(Window, SW_SHOW);
    MoveWindow(Window, 130, 95, 260, 170, FALSE);
    placement.Track(Window);
    ShowWindow(Window, SW_MINIMIZE);
    placement.Track(Window);
    placement.Save(Window);
    const HWND other = CreateWindowExW(0, L"STATIC", L"again", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10,
                                       nullptr, nullptr, nullptr, nullptr);
    TkyWindowPlacement again(L"Program", L"Tool");
    EXPECT_FALSE(again.Restore(other, RECT{0, 0, 300, 200}, SIZE{50, 50}));
    const RECT rect = Rect(other);
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<LONG>{130, 95, 390, 265}));
    DestroyWindow(other);
}

} // namespace
