#include "UkyClipboard.h"

#include "MsgBoxHook.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

struct TKindCase {
    std::uint8_t Kind;
    const wchar_t* Icon;
    std::vector<int> Buttons;
    std::wstring Caption;
};

const std::vector<TKindCase> KindCases = {
    {0, IDI_WARNING, {IDOK}, L"警告!"},
    {1, IDI_WARNING, {IDOK}, L"警告!"},
    {2, IDI_INFORMATION, {IDOK}, L"提示!"},
    {3, IDI_QUESTION, {IDOK, IDCANCEL}, L"注意!"},
    {4, IDI_QUESTION, {IDYES, IDNO}, L"注意!"},
    {5, IDI_QUESTION, {IDYES, IDNO, IDCANCEL}, L"注意!"},
    {6, IDI_ERROR, {IDOK}, L"错误!"},
    {7, IDI_INFORMATION, {IDOK}, L"提示!"},
    {9, IDI_INFORMATION, {IDOK}, L"提示!"},
};

TEST(ShowMessageBox, EachKindShowsItsIconButtonsAndDefaultCaption) {
    for (const TKindCase& Case : KindCases) {
        SCOPED_TRACE(Case.Kind);
        TMsgBoxHook Hook;
        ShowMessageBox(L"计算完成", Case.Kind, L"");
        ASSERT_EQ(Hook.Boxes().size(), 1u);
        const TMsgBoxRecord& Box = Hook.Boxes().front();
        EXPECT_EQ(Box.Caption, Case.Caption);
        EXPECT_EQ(Box.Text, L"计算完成");
        EXPECT_EQ(Box.Icon, LoadIconW(nullptr, Case.Icon));
        EXPECT_EQ(Box.Buttons, Case.Buttons);
        EXPECT_EQ(Box.Owner, nullptr);
    }
}

TEST(ShowMessageBox, AGivenCaptionIsShownUnchanged) {
    for (const TKindCase& Case : KindCases) {
        TMsgBoxHook Hook;
        ShowMessageBox(L"text", Case.Kind, L" Export ");
        ASSERT_EQ(Hook.Boxes().size(), 1u);
        EXPECT_EQ(Hook.Boxes().front().Caption, L" Export ") << int(Case.Kind);
    }
}

TEST(ShowMessageBox, ThePressedButtonMapsToTheResult) {
    struct TAnswer {
        std::uint8_t Kind;
        int Button;
        std::uint8_t Result;
    };
    const TAnswer Answers[] = {{3, IDOK, 0},     {3, IDCANCEL, 1}, {5, IDYES, 2}, {5, IDNO, 3},
                               {5, IDCANCEL, 1}, {4, IDNO, 3},     {2, IDOK, 0}};
    for (const TAnswer& Answer : Answers) {
        TMsgBoxHook Hook;
        Hook.QueueAnswer(Answer.Button);
        EXPECT_EQ(ShowMessageBox(L"?", Answer.Kind, L""), Answer.Result)
            << int(Answer.Kind) << " " << Answer.Button;
        ASSERT_EQ(Hook.Boxes().size(), 1u);
        EXPECT_EQ(Hook.Boxes().front().Pressed, Answer.Button);
    }
}

// A top-level window that logs the modal notifications it receives.
class TOwnerWindow {
public:
    TOwnerWindow() {
        WNDCLASSW Class = {};
        Class.lpfnWndProc = Proc;
        Class.hInstance = GetModuleHandleW(nullptr);
        Class.lpszClassName = L"YieldoraTestOwner";
        RegisterClassW(&Class);
        FHandle =
            CreateWindowExW(0, L"YieldoraTestOwner", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                            10, 300, 200, nullptr, nullptr, Class.hInstance, nullptr);
        SetMainWindowHandle(FHandle);
    }
    TOwnerWindow(const TOwnerWindow&) = delete;
    TOwnerWindow& operator=(const TOwnerWindow&) = delete;
    ~TOwnerWindow() {
        SetMainWindowHandle(nullptr);
        DestroyWindow(FHandle);
    }

    HWND Handle() const { return FHandle; }

    static std::vector<std::wstring>& Log() {
        static std::vector<std::wstring> Entries;
        return Entries;
    }

private:
    static LRESULT CALLBACK Proc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
        if (Message == 0x812C && WParam == 0 && LParam == 0) {
            Log().push_back(L"begin");
        } else if (Message == 0x812D && WParam == 0 && LParam == 0) {
            Log().push_back(L"end");
        }
        return DefWindowProcW(Window, Message, WParam, LParam);
    }

    HWND FHandle;
};

TEST(ShowMessageBox, TheMainWindowOwnsTheBoxAndHearsOfItBeforeAndAfter) {
    TOwnerWindow Owner;
    ASSERT_NE(Owner.Handle(), nullptr);
    TOwnerWindow::Log().clear();
    TMsgBoxHook Hook;
    Hook.OnShow = [](const TMsgBoxRecord&) { TOwnerWindow::Log().push_back(L"box"); };
    Hook.QueueAnswer(IDNO);

    EXPECT_EQ(ShowMessageBox(L"保存?", MSGBOX_YES_NO, L""), MSGBOX_RESULT_NO);

    EXPECT_EQ(TOwnerWindow::Log(), (std::vector<std::wstring>{L"begin", L"box", L"end"}));
    ASSERT_EQ(Hook.Boxes().size(), 1u);
    EXPECT_EQ(Hook.Boxes().front().Owner, Owner.Handle());
}

TEST(ShowMessageBox, AnEnabledPopupOfTheMainWindowOwnsTheBox) {
    TOwnerWindow Owner;
    HWND Popup = CreateWindowExW(0, L"STATIC", L"popup", WS_POPUP | WS_VISIBLE, 20, 20, 100, 50,
                                 Owner.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(Popup, nullptr);
    if (GetWindow(Owner.Handle(), GW_ENABLEDPOPUP) != Popup) {
        DestroyWindow(Popup);
        GTEST_SKIP() << "GetWindow with GW_ENABLEDPOPUP finds no pop-up on this system";
    }
    TMsgBoxHook Hook;
    ShowMessageBox(L"x", MSGBOX_INFORMATION, L"");
    ASSERT_EQ(Hook.Boxes().size(), 1u);
    EXPECT_EQ(Hook.Boxes().front().Owner, Popup);
    DestroyWindow(Popup);
}

std::wstring ClipboardText(SIZE_T* Bytes) {
    std::wstring Text;
    if (!OpenClipboard(nullptr)) {
        return L"<not open>";
    }
    HANDLE Data = GetClipboardData(CF_UNICODETEXT);
    if (Data != nullptr) {
        *Bytes = GlobalSize(Data);
        Text = static_cast<const wchar_t*>(GlobalLock(Data));
        GlobalUnlock(Data);
    }
    CloseClipboard();
    return Text;
}

TEST(TkyClipboard, UnicodeTextRoundTrips) {
    const std::wstring Table = L"年份\t利息\t合计\r\n1\t288\t10288\r\n";
    ASSERT_TRUE(Clipboard().SetText(Table));
    SIZE_T Bytes = 0;
    EXPECT_EQ(ClipboardText(&Bytes), Table);
    EXPECT_EQ(Bytes, 2 * Table.size() + 2);

    ASSERT_TRUE(Clipboard().SetText(L""));
    Bytes = 0;
    EXPECT_EQ(ClipboardText(&Bytes), L"");
    EXPECT_EQ(Bytes, 2u);
}

TEST(TkyClipboard, TheProcessClipboardIsOpenedForTheMainWindowOfTheMoment) {
    SetMainWindowHandle(nullptr);
    ASSERT_TRUE(Clipboard().SetText(L"no owner"));
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    HWND Main = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SetMainWindowHandle(Main);
    ASSERT_TRUE(Clipboard().SetText(L"owned"));
    EXPECT_EQ(GetClipboardOwner(), Main);
    SetMainWindowHandle(nullptr);
    DestroyWindow(Main);
}

// Another thread's window holds the clipboard open until it is told to let go.
class TClipboardHolder {
public:
    TClipboardHolder()
        : FOpened(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          FLetGo(CreateEventW(nullptr, TRUE, FALSE, nullptr)), FThread([this] { Hold(); }) {
        WaitForSingleObject(FOpened, INFINITE);
    }
    TClipboardHolder(const TClipboardHolder&) = delete;
    TClipboardHolder& operator=(const TClipboardHolder&) = delete;
    ~TClipboardHolder() {
        SetEvent(FLetGo);
        FThread.join();
        CloseHandle(FOpened);
        CloseHandle(FLetGo);
    }

    bool Holds() const { return FHolds; }

private:
    void Hold() {
        HWND Window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        FHolds = OpenClipboard(Window) != FALSE;
        SetEvent(FOpened);
        WaitForSingleObject(FLetGo, INFINITE);
        if (FHolds) {
            CloseClipboard();
        }
        DestroyWindow(Window);
    }

    HANDLE FOpened;
    HANDLE FLetGo;
    bool FHolds = false;
    std::thread FThread;
};

TEST(TkyClipboard, SetTextFailsAndChangesNothingWhileAnotherWindowHoldsTheClipboard) {
    ASSERT_TRUE(Clipboard().SetText(L"before"));
    {
        TClipboardHolder Holder;
        ASSERT_TRUE(Holder.Holds());
        EXPECT_FALSE(Clipboard().SetText(L"after"));
    }
    SIZE_T Bytes = 0;
    EXPECT_EQ(ClipboardText(&Bytes), L"before");
    EXPECT_TRUE(Clipboard().SetText(L"after"));
    EXPECT_EQ(ClipboardText(&Bytes), L"after");
}

} // namespace
