#include "UkyUpDown.h"

#include "ControlTestDialog.h"
#include "MessageRecorder.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int EDIT_ID = 201;
constexpr int UPDOWN_ID = 202;

// The up-down and its buddy as the program sets them up.
struct TSpin {
    std::unique_ptr<TkyEdit> Edit;
    std::unique_ptr<TkyUpDown> UpDown;
    std::vector<std::int32_t> Changes;

    void Wrap(TControlTestDialog& Dialog) {
        Edit = TkyControl::Create<TkyEdit>(Dialog, Dialog.DlgItemHandle(EDIT_ID));
        UpDown = TkyControl::Create<TkyUpDown>(Dialog, Dialog.DlgItemHandle(UPDOWN_ID));
        UpDown->SetStyle(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, true);
        UpDown->SetRange(1, 100);
        UpDown->SetBuddy(*Edit);
        UpDown->OnChange = [this](std::int32_t Position) { Changes.push_back(Position); };
    }

    void Free() {
        Edit.reset();
        UpDown.reset();
    }

    // A mouse click on the upper or the lower arrow.
    void Click(bool Up) const {
        RECT area{};
        GetClientRect(UpDown->Handle(), &area);
        const int y = Up ? area.bottom / 4 : area.bottom * 3 / 4;
        const LPARAM point = MAKELPARAM(area.right / 2, y);
        SendMessageW(UpDown->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        SendMessageW(UpDown->Handle(), WM_LBUTTONUP, 0, point);
    }

    // The position the window itself holds.
    int WindowPosition() const {
        return static_cast<short>(LOWORD(SendMessageW(UpDown->Handle(), UDM_GETPOS, 0, 0)));
    }
};

using UpDownWithBuddy = TControlDialogTest<TSpin>;

} // namespace

TEST_F(UpDownWithBuddy, ArrowClicksMoveThePositionKeptByTheObject) {
    InDialog([&] {
        EXPECT_EQ(UpDown->Min(), 1);
        EXPECT_EQ(UpDown->Max(), 100);
        EXPECT_EQ(UpDown->Position(), 1);
        EXPECT_EQ(UpDown->Step(), 1);
        EXPECT_EQ(Edit->GetText(), L"");

        Edit->SetText(L"20");
        Click(true);
        EXPECT_EQ(UpDown->Position(), 21);
        EXPECT_EQ(Changes, std::vector<std::int32_t>{21});
        EXPECT_EQ(Edit->GetText(), L"21");
        EXPECT_EQ(WindowPosition(), 21);

        Changes.clear();
        UpDown->SetPosition(5);
        Edit->SetText(L"abc");
        Click(false);
        EXPECT_EQ(UpDown->Position(), 4);
        EXPECT_EQ(Edit->GetText(), L"4");
        EXPECT_EQ(Changes, std::vector<std::int32_t>{4});

        Changes.clear();
        UpDown->SetPosition(7);
        Edit->SetText(L"500");
        Click(true);
        EXPECT_EQ(UpDown->Position(), 8);
        EXPECT_EQ(Edit->GetText(), L"8");
        EXPECT_EQ(WindowPosition(), 8);
        EXPECT_EQ(Changes, std::vector<std::int32_t>{8});

        Changes.clear();
        UpDown->SetStep(5);
        UpDown->SetPosition(12);
        Click(false);
        EXPECT_EQ(UpDown->Position(), 7);
        EXPECT_EQ(Edit->GetText(), L"7");
        EXPECT_EQ(Changes, std::vector<std::int32_t>{7});
    });
}

TEST_F(UpDownWithBuddy, RangeEndRefusesTheClickAndTheNotificationAnswersOne) {
    InDialog([&](TControlTestDialog& Dialog) {
        UpDown->SetRange(1, 10);
        UpDown->SetPosition(10);
        Edit->SetText(L"10");
        {
            const TMessageRecorder recorder;
            Click(true);
            // The buddy's text is taken over again; the refused step sends nothing.
            for (const TSentMessage& sent : recorder.Sent(UpDown->Handle(), UDM_SETPOS)) {
                EXPECT_EQ(sent.LParam, 10);
            }
        }
        EXPECT_EQ(UpDown->Position(), 10);
        EXPECT_TRUE(Changes.empty());
        EXPECT_EQ(WindowPosition(), 10);

        NMUPDOWN change{};
        change.hdr.hwndFrom = UpDown->Handle();
        change.hdr.idFrom = UPDOWN_ID;
        change.hdr.code = UDN_DELTAPOS;
        change.iPos = 10;
        change.iDelta = 1;
        EXPECT_EQ(
            SendMessageW(Dialog.Handle(), WM_NOTIFY, UPDOWN_ID, reinterpret_cast<LPARAM>(&change)),
            1);
        change.iDelta = -1;
        EXPECT_EQ(
            SendMessageW(Dialog.Handle(), WM_NOTIFY, UPDOWN_ID, reinterpret_cast<LPARAM>(&change)),
            1);
        EXPECT_EQ(UpDown->Position(), 9);
        EXPECT_EQ(Changes, std::vector<std::int32_t>{9});
    });
}

TEST_F(UpDownWithBuddy, PositionsOutsideTheRangeAreRefused) {
    InDialog([&] {
        UpDown->SetPosition(50);
        UpDown->SetRange(1, 10);
        EXPECT_EQ(UpDown->Position(), 50);
        EXPECT_EQ(Edit->GetText(), L"50");

        const TMessageRecorder recorder;
        UpDown->SetPosition(11);
        UpDown->SetPosition(0);
        EXPECT_TRUE(recorder.Sent(UpDown->Handle(), UDM_SETPOS).empty());
        EXPECT_EQ(UpDown->Position(), 50);
        EXPECT_EQ(Edit->GetText(), L"50");

        // A typed number beyond 32 bits must not wrap into the range.
        UpDown->SetPosition(3);
        Edit->SetText(L"4294967300");
        Click(true);
        EXPECT_EQ(UpDown->Position(), 4);

        UpDown->SetRange(-5, 5);
        UpDown->SetPosition(-3);
        EXPECT_EQ(Edit->GetText(), L"-3");
    });
}

TEST(TkyUpDown, OwnWindowStartsWithItsDefaults) {
    std::unique_ptr<TkyUpDown> own;
    RunInDialog([&](TControlTestDialog& Dialog) { own = TkyControl::Create<TkyUpDown>(Dialog); },
                [&](TControlTestDialog&) {
                    ASSERT_TRUE(own->OwnsHandle());
                    wchar_t name[32] = {};
                    GetClassNameW(own->Handle(), name, 32);
                    EXPECT_STREQ(name, L"msctls_updown32");
                    EXPECT_EQ(own->GetLong(GWL_STYLE) & 0x26, 0x26);
                    EXPECT_EQ(own->Min(), 0);
                    EXPECT_EQ(own->Max(), 10);
                    EXPECT_EQ(own->Position(), 1);
                    EXPECT_EQ(own->Buddy(), nullptr);
                    EXPECT_EQ(LOWORD(own->Perform(UDM_GETPOS, 0, 0)), 1);
                    EXPECT_EQ(own->Perform(UDM_GETRANGE, 0, 0), MAKELONG(10, 0));
                },
                [&](TControlTestDialog&) { own.reset(); });
}
