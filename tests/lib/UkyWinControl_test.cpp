#include "UkyWinControl.h"

#include "ProbeControl.h"
#include "UkyClipboard.h"
#include "UkyError.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const wchar_t* WindowClass(const wchar_t* Name, WNDPROC Procedure) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(RGB(1, 2, 3));
    windowClass.lpszClassName = Name;
    RegisterClassW(&windowClass);
    return Name;
}

// A top-level window of the test's own, subclassed into the framework, as the outermost container.
class THost : public TkyWinContainer {
public:
    THost() {
        static const wchar_t* hostClass = WindowClass(L"YieldoraTestHost", DefWindowProcW);
        FHandle = CreateWindowExW(0, hostClass, L"Host", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        Initialize();
        Subclass(CentreWindowProc);
    }
    int Realigns = 0;
    int AppCalls = 0;
    std::vector<POINT> Moves;

protected:
    void Destroy() override {
        HWND window = FHandle;
        Finalize();
        DestroyWindow(window);
    }
    void Realigned(const TBounds&) override { ++Realigns; }
    void Moved(POINT Position) override { Moves.push_back(Position); }
    LRESULT WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) override {
        if (AMessage == WM_APP + 1 || AMessage == WM_KEYDOWN) {
            ++AppCalls;
            return 4242;
        }
        return TkyWinContainer::WindowProc(AMessage, WParam, LParam);
    }
};

// A control whose creation fails once its window exists.
class TFailing : public TProbe {
public:
    TFailing(int* Counter, HWND* Window) : FWindow(Window) {
        BeforeDestroys = Counter;
        FailAfterCreate = true;
    }

protected:
    HWND CreateHandle(HWND AParent) override { return *FWindow = TProbe::CreateHandle(AParent); }

private:
    HWND* FWindow;
};

class THook : public TkyInterfacedObject, public MessageHook {
public:
    int Calls = 0;
    LRESULT HookMessage(TkyWinControl&, UINT AMessage, WPARAM, LPARAM, bool& Handled) override {
        ++Calls;
        Handled = AMessage == WM_APP + 2;
        return 11;
    }
};

HWND FakeHandle(std::intptr_t Value) {
    return reinterpret_cast<HWND>(Value);
}

bool SameBounds(const TBounds& A, const TBounds& B) {
    return A.X == B.X && A.Y == B.Y && A.Width == B.Width && A.Height == B.Height;
}

struct WindowObjects : ::testing::Test {
    std::unique_ptr<THost> Host = std::make_unique<THost>();
    HWND HostWindow = Host->Handle();
};

TEST(MessageCentre, FirstRegistrationWinsAndUnregisteringTakesItOut) {
    const HWND window = FakeHandle(0x7FFF0010);
    MHCenter().Register(window, [](UINT, WPARAM, LPARAM) -> LRESULT { return 1; });
    MHCenter().Register(window, [](UINT, WPARAM, LPARAM) -> LRESULT { return 2; });
    EXPECT_EQ(MHCenter().Lookup(window)(0, 0, 0), 1);
    EXPECT_GE(MHCenter().Unregister(window), 0);
    EXPECT_EQ(MHCenter().Lookup(window)(0, 0, 0), 2);
    EXPECT_GE(MHCenter().Unregister(window), 0);
    EXPECT_FALSE(MHCenter().Lookup(window));
    EXPECT_EQ(MHCenter().Unregister(window), -1);
    // The handle value comes back for a new window: the new registration is the one found.
    MHCenter().Register(window, [](UINT, WPARAM, LPARAM) -> LRESULT { return 3; });
    EXPECT_EQ(MHCenter().Lookup(window)(0, 0, 0), 3);
    MHCenter().Unregister(window);
}

TEST(MessageCentre, WindowWithoutRegistrationGetsTheUnicodeDefaults) {
    static const wchar_t* centreClass = WindowClass(L"YieldoraTestCentre", CentreWindowProc);
    HWND window = CreateWindowExW(0, centreClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"提示 text"));
    wchar_t text[16] = {};
    GetWindowTextW(window, text, 16);
    EXPECT_STREQ(text, L"提示 text");
    EXPECT_EQ(DialogProc(window, WM_SETFONT, 0, 0), 0);
    DestroyWindow(window);
}

TEST_F(WindowObjects, InitDialogGoesToThePendingAttachAndAnswersTrue) {
    static HWND attached = nullptr;
    PendingDialog() = {Host.get(), [](TkyWinContainer&, HWND Window) { attached = Window; }};
    EXPECT_EQ(DialogProc(HostWindow, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_EQ(attached, HostWindow);
    EXPECT_EQ(Host->AppCalls, 0);
    EXPECT_EQ(DialogProc(HostWindow, WM_APP + 1, 0, 0), 4242);

    // The dialog handed over as the init parameter comes before the slot's.
    static HWND given = nullptr;
    const TPendingDialog parameter{Host.get(),
                                   [](TkyWinContainer&, HWND Window) { given = Window; }};
    attached = nullptr;
    EXPECT_EQ(DialogProc(HostWindow, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&parameter)), TRUE);
    EXPECT_EQ(given, HostWindow);
    EXPECT_EQ(attached, nullptr);
    PendingDialog() = {};
}

TEST_F(WindowObjects, ReceiveMessageAsksHooksThenTheEventThenWindowProc) {
    THook hook;
    Host->Hooks().Add(static_cast<MessageHook*>(&hook));
    int events = 0;
    Host->OnMessage = [&](UINT AMessage, WPARAM, LPARAM, bool& Handled) -> LRESULT {
        ++events;
        Handled = AMessage == WM_APP + 3;
        return 22;
    };
    EXPECT_EQ(SendMessageW(HostWindow, WM_APP + 2, 0, 0), 11);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(SendMessageW(HostWindow, WM_APP + 3, 0, 0), 22);
    EXPECT_EQ(Host->AppCalls, 0);
    EXPECT_EQ(SendMessageW(HostWindow, WM_APP + 1, 0, 0), 4242);
    EXPECT_EQ(hook.Calls, 3);
    EXPECT_EQ(events, 2);
    EXPECT_EQ(Host->AppCalls, 1);
}

TEST_F(WindowObjects, EscapeKeyDownIsPostedToTheMainWindowAndStillHandled) {
    MSG message{};
    SendMessageW(HostWindow, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, MSG_ESCAPE_KEY, MSG_ESCAPE_KEY, PM_REMOVE));
    HWND main = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SetMainWindowHandle(main);
    SendMessageW(HostWindow, WM_KEYDOWN, VK_ESCAPE, 1);
    SendMessageW(HostWindow, WM_KEYDOWN, VK_ESCAPE, 0x40000001);
    SetMainWindowHandle(nullptr);
    EXPECT_TRUE(PeekMessageW(&message, main, MSG_ESCAPE_KEY, MSG_ESCAPE_KEY, PM_REMOVE));
    EXPECT_TRUE(PeekMessageW(&message, main, MSG_ESCAPE_KEY, MSG_ESCAPE_KEY, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&message, main, MSG_ESCAPE_KEY, MSG_ESCAPE_KEY, PM_REMOVE));
    EXPECT_EQ(Host->AppCalls, 3);
    DestroyWindow(main);
}

TEST_F(WindowObjects, NotificationsReachTheObjectOfTheSendingWindow) {
    auto child = TkyControl::Create<TProbe>(*Host);
    auto grandchild = TkyControl::Create<TProbe>(*child);
    const auto sender = [](TkyWinControl& Control) {
        return reinterpret_cast<LPARAM>(Control.Handle());
    };
    EXPECT_EQ(SendMessageW(HostWindow, WM_COMMAND, MAKEWPARAM(7, 0x300), sender(*grandchild)), 0);
    EXPECT_EQ(grandchild->Commands, std::vector<WORD>{0x300});
    EXPECT_TRUE(child->Commands.empty());

    NMHDR header{grandchild->Handle(), 9, static_cast<UINT>(-12)};
    EXPECT_EQ(SendMessageW(HostWindow, WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&header)), 77);
    EXPECT_EQ(grandchild->Notifies, std::vector<int>{-12});

    // Scroll and colour messages look at the direct children only.
    SendMessageW(HostWindow, WM_HSCROLL, SB_LINEDOWN, sender(*grandchild));
    SendMessageW(HostWindow, WM_HSCROLL, SB_LINEDOWN, sender(*child));
    EXPECT_EQ(child->Commands, std::vector<WORD>{SB_LINEDOWN});
    EXPECT_EQ(grandchild->Commands.size(), 1u);

    child->SetColor(0x0000FF);
    child->Font().SetColor(0x00FF00);
    HDC dc = CreateCompatibleDC(nullptr);
    const auto colour = [&](TkyWinControl& Control) {
        return SendMessageW(HostWindow, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                            sender(Control));
    };
    EXPECT_EQ(colour(*grandchild), 0);
    EXPECT_EQ(colour(*child), reinterpret_cast<LRESULT>(child->Brush()));
    EXPECT_EQ(GetTextColor(dc), 0x00FF00u);
    EXPECT_EQ(GetBkColor(dc), 0x0000FFu);
    DeleteDC(dc);
}

TEST_F(WindowObjects, BoundsOfControlsAreInTheirContainersClientArea) {
    EXPECT_TRUE(SameBounds(Host->GetBounds(), {100, 100, 300, 200}));
    auto child = TkyControl::Create<TProbe>(*Host);
    auto grandchild = TkyControl::Create<TProbe>(*child);
    child->SetBounds(10, 20, 50, 30);
    child->SetBounds(-1, -1, 100, -1);
    EXPECT_TRUE(SameBounds(child->GetBounds(), {10, 20, 100, 30}));
    child->SetBounds(15, 25, -1, -1);
    grandchild->SetBounds(3, 4, 10, 10);
    EXPECT_TRUE(SameBounds(child->GetBounds(), {15, 25, 100, 30}));
    EXPECT_TRUE(SameBounds(grandchild->GetBounds(), {3, 4, 10, 10}));
    RECT screen{};
    GetWindowRect(grandchild->Handle(), &screen);
    EXPECT_EQ(screen.left, 118);
    EXPECT_EQ(screen.top, 129);
}

TEST_F(WindowObjects, VisibilityCascadesToEveryChild) {
    auto shown = TkyControl::Create<TProbe>(*Host);
    auto hidden = TkyControl::Create<TProbe>(*Host);
    auto grandchild = TkyControl::Create<TProbe>(*shown);
    hidden->SetVisible(false);
    Host->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(HostWindow));
    EXPECT_FALSE(shown->Visible() || hidden->Visible() || grandchild->Visible());
    Host->SetVisible(true);
    EXPECT_TRUE(shown->Visible() && hidden->Visible() && grandchild->Visible());
    EXPECT_TRUE(IsWindowVisible(hidden->Handle()) && IsWindowVisible(grandchild->Handle()));
}

TEST_F(WindowObjects, SizeMessageLaysOutTheAlignedChildrenUnlessMinimised) {
    std::vector<std::unique_ptr<TProbe>> children;
    const auto add = [&](std::uint8_t Align, int AWidth, int AHeight) {
        children.push_back(TkyControl::Create<TProbe>(*Host));
        children.back()->SetParent(Host.get(), Align);
        children.back()->SetBounds(0, 0, AWidth, AHeight);
        return children.back().get();
    };
    TProbe* top = add(ALIGN_TOP, 0, 30);
    TProbe* hidden = add(ALIGN_LEFT, 25, 0);
    hidden->SetVisible(false);
    TProbe* left = add(ALIGN_LEFT, 40, 0);
    TProbe* right = add(ALIGN_RIGHT, 50, 0);
    TProbe* bottom = add(ALIGN_BOTTOM, 0, 20);
    TProbe* client = add(ALIGN_CLIENT, 0, 0);
    TProbe* loose = add(ALIGN_NONE, 5, 5);
    const int realigns = Host->Realigns;
    SendMessageW(HostWindow, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(Host->Realigns, realigns);
    EXPECT_TRUE(SameBounds(client->GetBounds(), {0, 0, 0, 0}));
    SendMessageW(HostWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    EXPECT_EQ(Host->Realigns, realigns + 1);
    EXPECT_TRUE(SameBounds(top->GetBounds(), {0, 0, 300, 30}));
    EXPECT_TRUE(SameBounds(hidden->GetBounds(), {0, 0, 25, 0}));
    EXPECT_TRUE(SameBounds(left->GetBounds(), {0, 30, 40, 170}));
    EXPECT_TRUE(SameBounds(right->GetBounds(), {250, 30, 50, 170}));
    EXPECT_TRUE(SameBounds(bottom->GetBounds(), {40, 180, 210, 20}));
    EXPECT_TRUE(SameBounds(client->GetBounds(), {40, 30, 210, 150}));
    EXPECT_TRUE(SameBounds(loose->GetBounds(), {0, 0, 5, 5}));
}

TEST_F(WindowObjects, MoveMessageGivesSignedCoordinates) {
    SendMessageW(HostWindow, WM_MOVE, 0, MAKELPARAM(-1200, -8));
    SendMessageW(HostWindow, WM_MOVE, 0, MAKELPARAM(1700, 32767));
    ASSERT_EQ(Host->Moves.size(), 2u);
    EXPECT_EQ(Host->Moves[0].x, -1200);
    EXPECT_EQ(Host->Moves[0].y, -8);
    EXPECT_EQ(Host->Moves[1].x, 1700);
    EXPECT_EQ(Host->Moves[1].y, 32767);
}

TEST_F(WindowObjects, RecreatedWindowKeepsBoundsTextFontColourAndChildren) {
    auto edit = TkyControl::Create<TProbe>(*Host, nullptr, L"EDIT");
    auto inner = TkyControl::Create<TProbe>(*edit);
    edit->SetBounds(5, 6, 70, 20);
    edit->SetText(L"abc");
    edit->Font().SetBold(true);
    edit->SetColor(0x112233);
    HWND old = edit->Handle();
    edit->RecreateHandle();
    ASSERT_NE(edit->Handle(), old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_FALSE(MHCenter().Lookup(old));
    EXPECT_TRUE(SameBounds(edit->GetBounds(), {5, 6, 70, 20}));
    EXPECT_EQ(edit->GetText(), L"abc");
    EXPECT_EQ(reinterpret_cast<HFONT>(edit->Perform(WM_GETFONT, 0, 0)), edit->Font().GetHandle());
    EXPECT_TRUE(edit->Font().Bold());
    EXPECT_EQ(edit->Color(), 0x112233);
    EXPECT_EQ(::GetParent(inner->Handle()), edit->Handle());
    EXPECT_EQ(edit->AfterCreates, 2);
    edit->Commands.clear();
    SendMessageW(HostWindow, WM_COMMAND, MAKEWPARAM(0, 5),
                 reinterpret_cast<LPARAM>(edit->Handle()));
    EXPECT_EQ(edit->Commands, std::vector<WORD>{5});

    HWND item = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 9, 9, HostWindow, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    auto wrapped = TkyControl::Create<TProbe>(*Host, item);
    wrapped->RecreateHandle();
    EXPECT_EQ(wrapped->Handle(), item);
    EXPECT_EQ(wrapped->AfterCreates, 1);
}

TEST_F(WindowObjects, ColoursMakeAndReleaseTheirOwnBrushes) {
    auto child = TkyControl::Create<TProbe>(*Host);
    HBRUSH classBrush = Host->Brush();
    EXPECT_EQ(GetObjectType(classBrush), static_cast<DWORD>(OBJ_BRUSH));
    child->SetColor(0);
    HBRUSH black = child->Brush();
    LOGBRUSH brush{};
    ASSERT_EQ(GetObjectW(black, sizeof(brush), &brush), static_cast<int>(sizeof(brush)));
    EXPECT_EQ(brush.lbColor, 0u);
    child->SetColor(-1);
    EXPECT_EQ(child->Brush(), nullptr);
    EXPECT_EQ(GetObjectType(black), 0u);
    EXPECT_EQ(child->GetColor(), 0xFFFFFF);
    Host->SetColor(0x445566);
    HBRUSH own = Host->Brush();
    child.reset();
    Host.reset();
    EXPECT_EQ(GetObjectType(own), 0u);
    EXPECT_EQ(GetObjectType(classBrush), static_cast<DWORD>(OBJ_BRUSH));
}

TEST_F(WindowObjects, ParentFontAndColourFollowTheContainer) {
    auto follower = TkyControl::Create<TProbe>(*Host);
    auto other = TkyControl::Create<TProbe>(*Host);
    follower->SetParentFont(true);
    follower->SetParentColor(true);
    Host->Font().SetItalic(true);
    Host->SetColor(0x00AA00);
    EXPECT_TRUE(follower->Font().Italic());
    EXPECT_EQ(reinterpret_cast<HFONT>(follower->Perform(WM_GETFONT, 0, 0)),
              follower->Font().GetHandle());
    EXPECT_EQ(follower->Color(), 0x00AA00);
    EXPECT_FALSE(other->Font().Italic());
    EXPECT_EQ(other->Color(), -1);
}

TEST_F(WindowObjects, DestroyedControlReleasesEverythingItMade) {
    int beforeDestroys = 0;
    auto control = TkyControl::Create<TProbe>(*Host);
    control->BeforeDestroys = &beforeDestroys;
    control->SetColor(0x0000FF);
    control->Font().SetUnderline(true);
    const HWND window = control->Handle();
    const HBRUSH brush = control->Brush();
    const HFONT font = control->Font().GetHandle();
    // Freed through a list of plain objects: the control's own hook still runs.
    TkyObjList owned(100);
    owned.Insert(0, control.release());
    owned.FreeAll();
    EXPECT_EQ(beforeDestroys, 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(Host->ChildCount(), 0);
    EXPECT_FALSE(MHCenter().Lookup(window));
}

TEST_F(WindowObjects, WrappedWindowKeepsItsProcedureFocusAndLife) {
    HWND item = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, HostWindow,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    const LONG_PTR procedure = GetWindowLongPtrW(item, GWLP_WNDPROC);
    SetFocus(HostWindow);
    auto wrapped = TkyControl::Create<TProbe>(*Host, item);
    EXPECT_EQ(GetFocus(), item);
    EXPECT_EQ(GetWindowLongPtrW(item, GWLP_WNDPROC), procedure);
    wrapped->Subclass(CentreWindowProc);
    int texts = 0;
    wrapped->OnMessage = [&](UINT AMessage, WPARAM, LPARAM, bool&) -> LRESULT {
        texts += AMessage == WM_SETTEXT ? 1 : 0;
        return 0;
    };
    SetWindowTextW(item, L"one");
    EXPECT_EQ(texts, 1);
    wrapped.reset();
    ASSERT_TRUE(IsWindow(item));
    EXPECT_EQ(GetWindowLongPtrW(item, GWLP_WNDPROC), procedure);
    SetWindowTextW(item, L"two");
    wchar_t text[8] = {};
    GetWindowTextW(item, text, 8);
    EXPECT_STREQ(text, L"two");
}

TEST_F(WindowObjects, FailedCreationReleasesTheWindowAndLeavesTheContainer) {
    int beforeDestroys = 0;
    HWND created = nullptr;
    EXPECT_THROW(TkyControl::Create<TFailing>(*Host, nullptr, &beforeDestroys, &created), EkyError);
    EXPECT_EQ(beforeDestroys, 1);
    EXPECT_FALSE(IsWindow(created));
    EXPECT_EQ(Host->ChildCount(), 0);
    EXPECT_FALSE(MHCenter().Lookup(created));
}

TEST_F(WindowObjects, TwoObjectsOnOneWindowEachTakeOutOnlyTheirOwnRegistration) {
    HWND item = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, HostWindow,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    auto first = TkyControl::Create<TProbe>(*Host, item);
    auto second = TkyControl::Create<TProbe>(*Host, item);
    int firstCalls = 0;
    first->OnMessage = [&](UINT AMessage, WPARAM, LPARAM, bool& Handled) -> LRESULT {
        firstCalls += AMessage == WM_APP + 5 ? 1 : 0;
        Handled = true;
        return 55;
    };
    second.reset();
    const TMessagehandler handler = MHCenter().Lookup(item);
    ASSERT_TRUE(handler);
    EXPECT_EQ(handler(WM_APP + 5, 0, 0), 55);
    EXPECT_EQ(firstCalls, 1);
    first.reset();
    EXPECT_FALSE(MHCenter().Lookup(item));
    DestroyWindow(item);
}

TEST(MessageCentre, TheMainWindowIsForgottenWhenItsWindowIsDestroyed) {
    static const wchar_t* centreClass = WindowClass(L"YieldoraTestCentre", CentreWindowProc);
    const auto window = [] {
        return CreateWindowExW(0, centreClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    };
    HWND main = window();
    HWND other = window();
    SetMainWindowHandle(main);
    DestroyWindow(other);
    EXPECT_EQ(MainWindowHandle(), main);
    DestroyWindow(main);
    EXPECT_EQ(MainWindowHandle(), nullptr);
}

TEST_F(WindowObjects, HandlerErrorIsKeptAndRaisedAgainOnce) {
    Host->OnMessage = [](UINT AMessage, WPARAM, LPARAM, bool&) -> LRESULT {
        if (AMessage == WM_APP + 9) {
            throw EkyError(L"handler failed");
        }
        return 0;
    };
    EXPECT_EQ(SendMessageW(HostWindow, WM_APP + 9, 0, 0), 0);
    EXPECT_THROW(RaiseHandlerError(), EkyError);
    EXPECT_NO_THROW(RaiseHandlerError());
}

} // namespace
