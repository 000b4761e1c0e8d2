#include "UkyEdit.h"

#include "ControlTestDialog.h"
#include "MessageRecorder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int EDIT_ID = 201;

struct TTabStops {
    HWND Window;
    std::vector<int> Stops;
};

// Collects the tab stops of every EM_SETTABSTOPS while it lives.
class TTabStopRecorder {
public:
    TTabStopRecorder() {
        FRecorder.OnSent = [this](const TSentMessage& Sent) {
            if (Sent.Message == EM_SETTABSTOPS) {
                const auto* stops = reinterpret_cast<const int*>(Sent.LParam);
                FSent.push_back({Sent.Window, std::vector<int>(stops, stops + Sent.WParam)});
            }
        };
    }

    const std::vector<TTabStops>& Sent() const { return FSent; }

private:
    TMessageRecorder FRecorder;
    std::vector<TTabStops> FSent;
};

} // namespace

TEST(TkyEdit, SelectionAndSelectedText) {
    std::unique_ptr<TkyEdit> edit;
    RunInDialog(
        [&](TControlTestDialog& Dialog) {
            edit = TkyControl::Create<TkyEdit>(Dialog, Dialog.DlgItemHandle(EDIT_ID));
        },
        [&](TControlTestDialog&) {
            edit->SetText(L"abcdef");
            std::int32_t start = -1;
            std::int32_t length = -1;
            edit->SetSelection(3, 0);
            edit->GetSelection(start, length);
            EXPECT_EQ(start, 3);
            EXPECT_EQ(length, 0);
            EXPECT_EQ(edit->GetSelText(), L"");

            edit->SetSelection(2, 2);
            edit->GetSelection(start, length);
            EXPECT_EQ(start, 2);
            EXPECT_EQ(length, 2);
            EXPECT_EQ(edit->GetSelText(), L"cd");

            edit->SetText(L"三年期 abc");
            EXPECT_EQ(edit->GetTextLength(), 7);
            edit->SetSelection(0, 3);
            EXPECT_EQ(edit->GetSelText(), L"三年期");
        },
        [&](TControlTestDialog&) { edit.reset(); });
}

TEST(TkyEdit, ChangeEventsAndUndo) {
    std::unique_ptr<TkyEdit> edit;
    RunInDialog(
        [&](TControlTestDialog& Dialog) {
            edit = TkyControl::Create<TkyEdit>(Dialog, Dialog.DlgItemHandle(EDIT_ID));
        },
        [&](TControlTestDialog&) {
            EXPECT_EQ(edit->TabWidth(), 8);
            int changes = 0;
            edit->OnChange = [&](TkyEditControl& Sender) {
                EXPECT_EQ(&Sender, edit.get());
                ++changes;
            };
            edit->SetText(L"12");
            EXPECT_EQ(changes, 1);

            edit->SetReadOnly(true);
            EXPECT_EQ(changes, 2);
            EXPECT_TRUE(edit->ReadOnly());
            EXPECT_NE(edit->GetLong(GWL_STYLE) & ES_READONLY, 0);
            edit->SetReadOnly(false);
            EXPECT_EQ(edit->GetLong(GWL_STYLE) & ES_READONLY, 0);

            edit->SetModified(false);
            edit->SetSelection(2, 0);
            edit->Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"3"));
            EXPECT_EQ(edit->GetText(), L"123");
            EXPECT_TRUE(edit->GetModified());
            EXPECT_TRUE(edit->CanUndo());
            EXPECT_NE(edit->Undo(), 0);
            EXPECT_EQ(edit->GetText(), L"12");
        },
        [&](TControlTestDialog&) { edit.reset(); });
}

TEST(TkyEdit, TabWidthIsSentInDialogTemplateUnits) {
    std::unique_ptr<TkyEdit> edit;
    RunInDialog(
        [&](TControlTestDialog& Dialog) {
            edit = TkyControl::Create<TkyEdit>(Dialog, Dialog.DlgItemHandle(EDIT_ID));
        },
        [&](TControlTestDialog&) {
            const TTabStopRecorder recorder;
            edit->SetTabWidth(8);
            ASSERT_EQ(recorder.Sent().size(), 1u);
            EXPECT_EQ(recorder.Sent()[0].Window, edit->Handle());
            EXPECT_EQ(recorder.Sent()[0].Stops, std::vector<int>{40});
            EXPECT_EQ(edit->TabWidth(), 8);
        },
        [&](TControlTestDialog&) { edit.reset(); });
}

TEST(TkyEdit, RecreationKeepsReadOnlyModifiedAndTabWidth) {
    std::unique_ptr<TkyEdit> own;
    std::unique_ptr<TkyEdit> wrapped;
    RunInDialog(
        [&](TControlTestDialog& Dialog) {
            own = TkyControl::Create<TkyEdit>(Dialog);
            wrapped = TkyControl::Create<TkyEdit>(Dialog, Dialog.DlgItemHandle(EDIT_ID));
        },
        [&](TControlTestDialog&) {
            ASSERT_TRUE(own->OwnsHandle());
            EXPECT_NE(own->GetLong(GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
            EXPECT_NE(own->GetLong(GWL_STYLE) & ES_AUTOHSCROLL, 0);
            own->SetBounds(10, 40, 100, 20);
            own->SetText(L"a\tb");
            own->SetReadOnly(true);
            own->SetTabWidth(4);
            own->SetModified(true);
            int changes = 0;
            own->OnChange = [&](TkyEditControl&) { ++changes; };

            const HWND old = own->Handle();
            const TTabStopRecorder recorder;
            own->RecreateHandle();
            ASSERT_NE(own->Handle(), old);
            EXPECT_FALSE(IsWindow(old));
            EXPECT_NE(own->GetLong(GWL_STYLE) & ES_READONLY, 0);
            EXPECT_TRUE(own->ReadOnly());
            EXPECT_TRUE(own->GetModified());
            EXPECT_EQ(own->TabWidth(), 4);
            EXPECT_EQ(own->GetText(), L"a\tb");
            EXPECT_EQ(own->GetBounds().Width, 100);
            EXPECT_GE(changes, 1);
            ASSERT_FALSE(recorder.Sent().empty());
            EXPECT_EQ(recorder.Sent().back().Window, own->Handle());
            EXPECT_EQ(recorder.Sent().back().Stops, std::vector<int>{20});

            const HWND item = wrapped->Handle();
            wrapped->SetTabWidth(4);
            wrapped->RecreateHandle();
            EXPECT_EQ(wrapped->Handle(), item);
            EXPECT_EQ(wrapped->TabWidth(), 4);
        },
        [&](TControlTestDialog&) {
            own.reset();
            wrapped.reset();
        });
}
