#include "UkyDialog.h"

#include "ModalDriver.h"
#include "ProbeControl.h"
#include "UkyClipboard.h"
#include "UkyError.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class TTestDialog : public TkyDialog {
public:
    explicit TTestDialog(int ATemplate = 100) : FTemplate(ATemplate) {}
    std::vector<WORD> Commands;
    int Closings = 0;
    bool KeepOpen = false;
    std::function<void()> OnInit;

protected:
    void DefineTemplate() override { SetTemplate(FTemplate, 0); }
    void InitDialog() override {
        TkyDialog::InitDialog();
        if (OnInit) {
            OnInit();
        }
    }
    void Closing() override { ++Closings; }
    void ItemCommand(WORD Id) override {
        Commands.push_back(Id);
        if (Id == 205) {
            throw EkyError(L"command failed");
        }
        if (!KeepOpen) {
            TkyDialog::ItemCommand(Id);
        }
    }

private:
    int FTemplate;
};

std::unique_ptr<TTestDialog> NewDialog(int ATemplate = 100, bool ACentreOnScreen = false) {
    return TkyDialogSuper::Create<TTestDialog>(nullptr, ACentreOnScreen, ATemplate);
}

std::vector<UINT> Notices;

// Window procedure of an owner window: records the modal notices it gets.
LRESULT CALLBACK RecordingProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
    if (AMessage == MSG_MODAL_BEGIN || AMessage == MSG_MODAL_END) {
        Notices.push_back(AMessage);
    }
    return DefWindowProcW(Window, AMessage, WParam, LParam);
}

HWND PlainWindow(int X, int Y, int AWidth, int AHeight) {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, X, Y, AWidth, AHeight, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(Dialog, CloseBoxCancelAndEscapeCloseWithFalseWithoutItemCommand) {
    const std::vector<std::function<void(HWND)>> closers = {
        [](HWND Dialog) { SendMessageW(Dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](HWND Dialog) { SendMessageW(Dialog, WM_COMMAND, IDCANCEL, 0); },
        [](HWND Dialog) { PostMessageW(GetDlgItem(Dialog, 201), WM_KEYDOWN, VK_ESCAPE, 1); },
    };
    for (const auto& close : closers) {
        auto dialog = NewDialog();
        HWND window = nullptr;
        TModalDriver driver;
        driver.Then([&] { close(window = dialog->Handle()); });
        EXPECT_FALSE(dialog->RunModal());
        EXPECT_TRUE(driver.Done());
        EXPECT_TRUE(dialog->Commands.empty());
        EXPECT_EQ(dialog->Closings, 1);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(MHCenter().Lookup(window));
    }
}

TEST(Dialog, NotificationsGoToTheItemAndOnlyClicksMenusAndAcceleratorsToItemCommand) {
    auto dialog = NewDialog();
    std::unique_ptr<TProbe> cancel;
    dialog->OnInit = [&] {
        cancel = TkyControl::Create<TProbe>(*dialog, dialog->DlgItemHandle(IDCANCEL));
    };
    TModalDriver driver;
    driver.Then([&] {
        const HWND window = dialog->Handle();
        const auto from = [](HWND Item) { return reinterpret_cast<LPARAM>(Item); };
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_DOUBLECLICKED),
                     from(cancel->Handle()));
        SetWindowTextW(dialog->DlgItemHandle(201), L"typed");
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(202, CBN_SELCHANGE),
                     from(dialog->DlgItemHandle(202)));
        EXPECT_EQ(cancel->Commands, std::vector<WORD>{BN_DOUBLECLICKED});
        EXPECT_TRUE(dialog->Commands.empty()) << dialog->Commands.front();

        SendMessageW(window, WM_COMMAND, MAKEWPARAM(301, 0), 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(302, 1), 0);
        SendMessageW(dialog->DlgItemHandle(IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(dialog->RunModal());
    EXPECT_EQ(cancel->Commands, std::vector<WORD>{BN_DOUBLECLICKED});
    EXPECT_EQ(dialog->Commands, (std::vector<WORD>{301, 302, IDOK}));
}

// Ctrl held down for the keys posted from now on, as the thread's key state tells it.
void HoldControl(bool Down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = Down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// A shortcut commands the dialog from any of its items, and from nowhere else; without Ctrl the
// key types its character; a second run of the dialog, in a new window, has no shortcuts.
TEST(Dialog, ShortcutsCommandTheDialogFromEveryItemAndGoWithTheWindow) {
    auto dialog = NewDialog();
    dialog->KeepOpen = true;
    dialog->OnInit = [&] { dialog->SetShortcuts({{FCONTROL | FVIRTKEY, L'P', 500}}); };
    const HWND other = PlainWindow(0, 0, 50, 50);
    const auto press = [](HWND Window) { PostMessageW(Window, WM_KEYDOWN, L'P', 1); };
    TModalDriver driver;
    driver
        .Then("Ctrl+P in the fields, the check box, a button, the dialog and another window",
              [&] {
                  HoldControl(true);
                  for (const int id : {201, 202, 203, IDOK}) {
                      press(dialog->DlgItemHandle(id));
                  }
                  press(dialog->Handle());
                  press(other);
              })
        .Then("P alone in a field",
              [&] {
                  HoldControl(false);
                  EXPECT_EQ(dialog->Commands, std::vector<WORD>(5, 500));
                  EXPECT_EQ(dialog->GetDlgText(201), L"");
                  press(dialog->DlgItemHandle(201));
              })
        .Then("close", [&] {
            EXPECT_EQ(dialog->Commands.size(), 5u);
            EXPECT_EQ(dialog->GetDlgText(201), L"p");
            dialog->Close(false);
        });
    EXPECT_FALSE(dialog->RunModal());
    EXPECT_TRUE(driver.Done());

    dialog->OnInit = nullptr;
    dialog->Commands.clear();
    TModalDriver second;
    second
        .Then([&] {
            HoldControl(true);
            press(dialog->DlgItemHandle(201));
        })
        .Then([&] {
            HoldControl(false);
            dialog->Close(false);
        });
    EXPECT_FALSE(dialog->RunModal());
    EXPECT_TRUE(dialog->Commands.empty());
    DestroyWindow(other);
}

TEST(Dialog, OkClosesWithTrueUnlessItemCommandIsReplaced) {
    HWND owner = PlainWindow(0, 0, 50, 50);
    const LONG_PTR previous =
        SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc));
    SetMainWindowHandle(owner);
    auto dialog = NewDialog();
    SetMainWindowHandle(nullptr);
    const auto clickOk = [&] { SendMessageW(dialog->DlgItemHandle(IDOK), BM_CLICK, 0, 0); };
    TModalDriver driver;
    driver.Then([&] { EXPECT_EQ(GetFocus(), dialog->DlgItemHandle(201)); }).Then(clickOk);
    EXPECT_TRUE(dialog->RunModal());
    EXPECT_EQ(Notices, (std::vector<UINT>{MSG_MODAL_BEGIN, MSG_MODAL_END}));

    dialog->KeepOpen = true;
    TModalDriver second;
    second.Then(clickOk).Then([&] {
        EXPECT_TRUE(IsWindowVisible(dialog->Handle()));
        dialog->Close(true);
    });
    EXPECT_TRUE(dialog->RunModal());
    EXPECT_EQ(dialog->Commands, (std::vector<WORD>{IDOK, IDOK}));
    SetWindowLongPtrW(owner, GWLP_WNDPROC, previous);
    DestroyWindow(owner);
}

TEST(Dialog, ItemsOfNestedContainersAnswerThroughTheDialog) {
    auto dialog = NewDialog();
    std::unique_ptr<TProbe> edit;
    int freed = 0;
    TProbe* inner = nullptr;
    dialog->OnInit = [&] {
        edit = TkyControl::Create<TProbe>(*dialog, dialog->DlgItemHandle(201));
        auto panel = TkyControl::Create<TProbe>(*dialog, dialog->DlgItemHandle(204));
        auto grandchild = TkyControl::Create<TProbe>(*panel, nullptr, L"BUTTON");
        inner = grandchild.get();
        panel->BeforeDestroys = grandchild->BeforeDestroys = &freed;
        dialog->OwnedObjects().Insert(0, grandchild.release());
        dialog->OwnedObjects().Insert(1, panel.release());
    };
    TModalDriver driver;
    driver.Then([&] {
        HWND window = dialog->Handle();
        const auto from = [](TkyWinControl& Control) {
            return reinterpret_cast<LPARAM>(Control.Handle());
        };
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), from(*inner));
        EXPECT_EQ(inner->Commands, std::vector<WORD>{BN_CLICKED});
        EXPECT_EQ(dialog->Commands, std::vector<WORD>{0});

        HDC dc = CreateCompatibleDC(nullptr);
        const auto answer = [&](UINT AMessage, LPARAM Sender) {
            return DialogProc(window, AMessage, reinterpret_cast<WPARAM>(dc), Sender);
        };
        edit->SetColor(0x0000FF);
        EXPECT_EQ(answer(WM_CTLCOLOREDIT, from(*inner)), 0);
        EXPECT_EQ(answer(WM_CTLCOLOREDIT, from(*edit)), reinterpret_cast<INT_PTR>(edit->Brush()));
        dialog->SetColor(0x00FF00);
        dialog->Font().SetColor(0x0000FF);
        EXPECT_EQ(answer(WM_CTLCOLORDLG, 0), reinterpret_cast<INT_PTR>(dialog->Brush()));
        EXPECT_EQ(GetTextColor(dc), 0x0000FFu);
        EXPECT_EQ(GetBkColor(dc), 0x00FF00u);
        DeleteDC(dc);

        NMHDR header{dialog->DlgItemHandle(202), 202, static_cast<UINT>(-2)};
        SetWindowLongPtrW(window, DWLP_MSGRESULT, 99);
        EXPECT_EQ(DialogProc(window, WM_NOTIFY, 202, reinterpret_cast<LPARAM>(&header)), 0);
        EXPECT_EQ(GetWindowLongPtrW(window, DWLP_MSGRESULT), 0);
        header.hwndFrom = edit->Handle();
        EXPECT_EQ(SendMessageW(window, WM_NOTIFY, 201, reinterpret_cast<LPARAM>(&header)), 77);
        EXPECT_EQ(GetWindowLongPtrW(window, DWLP_MSGRESULT), 77);
        dialog->Close(false);
    });
    EXPECT_FALSE(dialog->RunModal());
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(dialog->OwnedObjects().Count(), 0);
}

TEST(Dialog, CentresOnTheOwnerOnlyWhenTheOwnerIsWhollyOnTheScreen) {
    struct TCase {
        HWND Owner;
        int Template;
        bool CentreOnScreen;
        std::function<int(int)> ExpectedX;
    };
    const TCase cases[] = {
        {nullptr, 100, false, [](int W) { return (1024 - W) / 2; }},
        {PlainWindow(100, 100, 600, 400), 100, false, [](int W) { return 100 + (600 - W) / 2; }},
        {PlainWindow(-50, 100, 400, 300), 100, false, [](int W) { return (1024 - W) / 2; }},
        {PlainWindow(100, 100, 600, 400), 101, true, [](int) { return 0; }},
    };
    for (const TCase& test : cases) {
        SetMainWindowHandle(test.Owner);
        auto dialog = NewDialog(test.Template, test.CentreOnScreen);
        SetMainWindowHandle(nullptr);
        TBounds bounds;
        TModalDriver driver;
        driver.Then([&] {
            bounds = dialog->GetBounds();
            dialog->SetBounds(10, 20, -1, -1);
            const TBounds moved = dialog->GetBounds();
            EXPECT_EQ(moved.X, 10);
            EXPECT_EQ(moved.Y, 20);
            EXPECT_EQ(moved.Width, bounds.Width);
            dialog->Close(true);
        });
        EXPECT_TRUE(dialog->RunModal());
        EXPECT_EQ(bounds.X, test.ExpectedX(bounds.Width)) << "template " << test.Template;
        if (test.Template == 101) {
            EXPECT_GT(bounds.Width, 1024);
        }
        DestroyWindow(test.Owner);
    }
}

TEST(Dialog, ItemOperations) {
    auto dialog = NewDialog();
    TModalDriver driver;
    driver.Then([&] {
        EXPECT_EQ(dialog->Perform(WM_GETICON, ICON_BIG, 0), 0);
        dialog->SetDlgText(201, std::wstring(6000, L'x'));
        EXPECT_EQ(dialog->GetDlgText(201), std::wstring(4999, L'x'));
        EXPECT_EQ(dialog->GetDlgText(999), L"");
        SendMessageW(dialog->DlgItemHandle(203), BM_SETCHECK, BST_INDETERMINATE, 0);
        EXPECT_FALSE(dialog->GetDlgCheck(203));
        dialog->SetDlgCheck(203, true);
        EXPECT_TRUE(dialog->GetDlgCheck(203));
        dialog->EnableDlgItem(205, false);
        EXPECT_FALSE(IsWindowEnabled(dialog->DlgItemHandle(205)));
        dialog->Close(false);
    });
    EXPECT_FALSE(dialog->RunModal());
}

TEST(Dialog, FailuresReachTheCallerOfRunModalAndTheOwnerHearsTheEnd) {
    EXPECT_FALSE(NewDialog(4711)->RunModal());
    HWND owner = PlainWindow(0, 0, 50, 50);
    const LONG_PTR previous =
        SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc));
    SetMainWindowHandle(owner);
    auto dialog = NewDialog();
    SetMainWindowHandle(nullptr);
    Notices.clear();
    TModalDriver driver;
    driver.Then("click the failing button",
                [&] { SendMessageW(dialog->DlgItemHandle(205), BM_CLICK, 0, 0); });
    EXPECT_THROW(dialog->RunModal(), EkyError);
    EXPECT_EQ(dialog->Closings, 0);
    EXPECT_EQ(Notices, (std::vector<UINT>{MSG_MODAL_BEGIN, MSG_MODAL_END}));
    SetWindowLongPtrW(owner, GWLP_WNDPROC, previous);
    DestroyWindow(owner);
}

// A window of the test's own whose messages go to an object that fails on WM_APP + 9.
class TFailingWindow : public TkyWinContainer {
public:
    TFailingWindow() {
        FHandle = PlainWindow(0, 0, 10, 10);
        Initialize();
        Subclass(CentreWindowProc);
        OnMessage = [](UINT AMessage, WPARAM, LPARAM, bool&) -> LRESULT {
            if (AMessage == WM_APP + 9) {
                throw EkyError(L"outside failed");
            }
            return 0;
        };
    }

protected:
    void Destroy() override {
        HWND window = FHandle;
        Finalize();
        DestroyWindow(window);
    }
};

TEST(Dialog, AnErrorOutsideTheLoopIsNotRaisedByTheNextDialog) {
    const auto window = std::make_unique<TFailingWindow>();
    SendMessageW(window->Handle(), WM_APP + 9, 0, 0);
    auto dialog = NewDialog();
    TModalDriver driver;
    driver.Then("close", [&] { dialog->Close(true); });
    EXPECT_TRUE(dialog->RunModal());
    EXPECT_THROW(RaiseHandlerError(), EkyError);
}

TEST(Dialog, TheMainWindowIsForgottenWhenTheDialogEnds) {
    auto dialog = NewDialog();
    dialog->OnInit = [&] { SetMainWindowHandle(dialog->Handle()); };
    HWND window = nullptr;
    TModalDriver driver;
    driver.Then("close", [&] {
        window = MainWindowHandle();
        dialog->Close(true);
    });
    EXPECT_TRUE(dialog->RunModal());
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(MainWindowHandle(), nullptr);
}

TEST(Dialog, DestroyedDialogReleasesItsBrushAndWhatItStillOwns) {
    static int freed = 0;
    struct TOwned : TObject {
        ~TOwned() override { ++freed; }
    };
    auto dialog = NewDialog();
    dialog->SetColor(0x123456);
    const HBRUSH brush = dialog->Brush();
    ASSERT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    dialog->OwnedObjects().Insert(0, std::make_unique<TOwned>().release());
    dialog.reset();
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(freed, 1);
}

} // namespace
