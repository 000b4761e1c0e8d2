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

const std::vector<TKindCase> KIND_CASES = {
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
    for (const TKindCase& kindCase : KIND_CASES) {
        SCOPED_TRACE(kindCase.Kind);
        TMsgBoxHook hook;
        ShowMessageBox(L"计算完成", kindCase.Kind, L"");
        ASSERT_EQ(hook.Boxes().size(), 1u);
        const TMsgBoxRecord& box = hook.Boxes().front();
        EXPECT_EQ(box.Caption, kindCase.Caption);
        EXPECT_EQ(box.Text, L"计算完成");
        EXPECT_EQ(box.Icon, LoadIconW(nullptr, kindCase.Icon));
        EXPECT_EQ(box.Buttons, kindCase.Buttons);
        EXPECT_EQ(box.Owner, nullptr);
    }
}

TEST(ShowMessageBox, AGivenCaptionIsShownUnchanged) {
    for (const TKindCase& kindCase : KIND_CASES) {
        TMsgBoxHook hook;
        ShowMessageBox(L"text", kindCase.Kind, L" Export ");
        ASSERT_EQ(hook.Boxes().size(), 1u);
        EXPECT_EQ(hook.Boxes().front().Caption, L" Export ") << int(kindCase.Kind);
    }
}

TEST(ShowMessageBox, ThePressedButtonMapsToTheResult) {
    struct TAnswer {
        std::uint8_t Kind;
        int Button;
        std::uint8_t Result;
    };
    const TAnswer answers[] = {{3, IDOK, 0},     {3, IDCANCEL, 1}, {5, IDYES, 2}, {5, IDNO, 3},
                               {5, IDCANCEL, 1}, {4, IDNO, 3},     {2, IDOK, 0}};
    for (const TAnswer& answer : answers) {
        TMsgBoxHook hook;
        hook.QueueAnswer(answer.Button);
        EXPECT_EQ(ShowMessageBox(L"?", answer.Kind, L""), answer.Result)
            << int(answer.Kind) << " " << answer.Button;
        ASSERT_EQ(hook.Boxes().size(), 1u);
        EXPECT_EQ(hook.Boxes().front().Pressed, answer.Button);
    }
}

// A top-level window that logs the modal notifications it receives.
class TOwnerWindow {
public:
    TOwnerWindow() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"YieldoraTestOwner";
        RegisterClassW(&windowClass);
        FHandle =
            CreateWindowExW(0, L"YieldoraTestOwner", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                            10, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
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
        static std::vector<std::wstring> entries;
        return entries;
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
    TOwnerWindow owner;
    ASSERT_NE(owner.Handle(), nullptr);
    TOwnerWindow::Log().clear();
    TMsgBoxHook hook;
    hook.OnShow = [](const TMsgBoxRecord&) { TOwnerWindow::Log().push_back(L"box"); };
    hook.QueueAnswer(IDNO);

    EXPECT_EQ(ShowMessageBox(L"保存?", MSGBOX_YES_NO, L""), MSGBOX_RESULT_NO);

    EXPECT_EQ(TOwnerWindow::Log(), (std::vector<std::wstring>{L"begin", L"box", L"end"}));
    ASSERT_EQ(hook.Boxes().size(), 1u);
    EXPECT_EQ(hook.Boxes().front().Owner, owner.Handle());
}

// A window of the given style owned by the main window, shown while it lives.
HWND OwnedWindow(const TOwnerWindow& Owner, DWORD Style) {
    return CreateWindowExW(0, L"STATIC", L"owned", Style | WS_VISIBLE, 20, 20, 100, 50,
                           Owner.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

// The box goes to the main window's enabled pop-up (the dialog it runs); a disabled or hidden
// pop-up, or an owned window of another style (a tool window beside it), leaves it to the main
// window. A box given its owner goes there whatever else is open.
TEST(ShowMessageBox, AnEnabledPopupOfTheMainWindowOwnsTheBoxUnlessAnOwnerIsGiven) {
    TOwnerWindow owner;
    const HWND beside = OwnedWindow(owner, WS_OVERLAPPEDWINDOW);
    const HWND disabled = OwnedWindow(owner, WS_POPUP | WS_DISABLED);
    const auto ownerOfTheBox = [](HWND Given) {
        TMsgBoxHook hook;
        ShowMessageBox(Given, L"x", MSGBOX_INFORMATION, L"");
        return hook.Boxes().size() == 1 ? hook.Boxes().front().Owner : HWND{};
    };
    EXPECT_EQ(ownerOfTheBox(nullptr), owner.Handle());
    const HWND popup = OwnedWindow(owner, WS_POPUP);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(ownerOfTheBox(nullptr), popup);
    EXPECT_EQ(ownerOfTheBox(owner.Handle()), owner.Handle());
    ShowWindow(popup, SW_HIDE);
    EXPECT_EQ(ownerOfTheBox(nullptr), owner.Handle());
    DestroyWindow(popup);
    DestroyWindow(disabled);
    DestroyWindow(beside);
}

std::wstring ClipboardText(SIZE_T* Bytes) {
    std::wstring text;
    if (!OpenClipboardWhenFree(nullptr)) {
        return L"<not open>";
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data != nullptr) {
        *Bytes = GlobalSize(data);
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

TEST(TkyClipboard, UnicodeTextRoundTrips) {
    const std::wstring table = L"年份\t利息\t合计\r\n1\t288\t10288\r\n";
    ASSERT_TRUE(Clipboard().SetText(table));
    SIZE_T bytes = 0;
    EXPECT_EQ(ClipboardText(&bytes), table);
    EXPECT_EQ(bytes, 2 * table.size() + 2);

    ASSERT_TRUE(Clipboard().SetText(L""));
    bytes = 0;
    EXPECT_EQ(ClipboardText(&bytes), L"");
    EXPECT_EQ(bytes, 2u);
}

TEST(TkyClipboard, TheProcessClipboardIsOpenedForTheMainWindowOfTheMoment) {
    SetMainWindowHandle(nullptr);
    ASSERT_TRUE(Clipboard().SetText(L"no owner"));
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    HWND main = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SetMainWindowHandle(main);
    ASSERT_TRUE(Clipboard().SetText(L"owned"));
    EXPECT_EQ(GetClipboardOwner(), main);
    SetMainWindowHandle(nullptr);
    DestroyWindow(main);
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
        HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        FHolds = OpenClipboardWhenFree(window);
        SetEvent(FOpened);
        WaitForSingleObject(FLetGo, INFINITE);
        if (FHolds) {
            CloseClipboard();
        }
        DestroyWindow(window);
    }

    HANDLE FOpened;
    HANDLE FLetGo;
    bool FHolds = false;
    std::thread FThread;
};

TEST(TkyClipboard, SetTextFailsAndChangesNothingWhileAnotherWindowHoldsTheClipboard) {
    ASSERT_TRUE(Clipboard().SetText(L"before"));
    {
        TClipboardHolder holder;
        ASSERT_TRUE(holder.Holds());
        EXPECT_FALSE(Clipboard().SetText(L"after"));
    }
    SIZE_T bytes = 0;
    EXPECT_EQ(ClipboardText(&bytes), L"before");
    EXPECT_TRUE(Clipboard().SetText(L"after"));
    EXPECT_EQ(ClipboardText(&bytes), L"after");
}

} // namespace
