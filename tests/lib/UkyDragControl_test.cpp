#include "UkyDragControl.h"

#include "ControlTestDialog.h"
#include "ImageColour.h"
#include "UkyListView.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int SOURCE_ID = 204;
constexpr int TARGET_ID = 205;
constexpr int CLOSED_ID = 206;

struct TDrop {
    HWND Source;
    std::int32_t Index;
    bool Copy;
    std::vector<std::intptr_t> Selected;
};

// Three list views of three rows each: items of Source (Data 100, 101, 102) may be dragged and
// dropped onto Source and Target; Closed takes no drops.
struct TLists {
    std::unique_ptr<TkyListView> Source;
    std::unique_ptr<TkyListView> Target;
    std::unique_ptr<TkyListView> Closed;
    std::vector<TDrop> Drops;
    std::vector<HWND> KeyDowns;

    void Wrap(TControlTestDialog& Dialog) {
        Source = Make(Dialog, SOURCE_ID);
        Target = Make(Dialog, TARGET_ID);
        Closed = Make(Dialog, CLOSED_ID);
        Source->SetAllowDrag(true);
        Source->SetAllowDrop(true);
        Target->SetAllowDrop(true);
        for (TkyListView* list : {Source.get(), Target.get(), Closed.get()}) {
            list->OnDrop = [this](IDragSource& ASource, std::int32_t Index, bool Copy) {
                TkyIntList selected(100);
                ASource.GetSelectedItems(selected);
                TDrop drop{ASource.Handle(), Index, Copy, {}};
                for (std::int32_t i = 0; i < selected.Count(); ++i) {
                    drop.Selected.push_back(selected.Get(i));
                }
                Drops.push_back(drop);
            };
        }
        Dialog.OnMessage = [this](UINT AMessage, WPARAM, LPARAM LParam, bool&) -> LRESULT {
            const auto* header = reinterpret_cast<const NMHDR*>(LParam);
            if (AMessage == WM_NOTIFY && header->code == LVN_KEYDOWN) {
                KeyDowns.push_back(header->hwndFrom);
            }
            return 0;
        };
    }

    static std::unique_ptr<TkyListView> Make(TControlTestDialog& Dialog, int Id) {
        auto list = TkyControl::Create<TkyListView>(Dialog, Dialog.DlgItemHandle(Id));
        list->Columns().Add(L"Item", 80, COLUMN_LEFT);
        for (int i = 0; i < 3; ++i) {
            TListViewItem item;
            item.Text = L"Row " + std::to_wstring(i);
            item.Data = 100 + i;
            list->Items().InsertItem(i, item);
        }
        return list;
    }

    void Free() {
        Source.reset();
        Target.reset();
        Closed.reset();
    }
};

// Client point of the middle of a row; a row past the last one lies below it.
POINT RowPoint(TkyListView& List, int Item) {
    RECT row{};
    row.left = LVIR_BOUNDS;
    List.Perform(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    const int height = row.bottom - row.top;
    return {row.left + 10, row.top + height / 2 + Item * height};
}

// Puts the mouse cursor over a row.
POINT PointAt(TkyListView& List, int Item) {
    const POINT point = RowPoint(List, Item);
    POINT screen = point;
    ClientToScreen(List.Handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    return point;
}

LPARAM AsLParam(POINT Point) {
    return MAKELPARAM(Point.x, Point.y);
}

void MoveTo(TkyListView& List, int Item) {
    SendMessageW(List.Handle(), WM_MOUSEMOVE, 0, AsLParam(PointAt(List, Item)));
}

void ReleaseOver(TkyListView& List, int Item) {
    SendMessageW(List.Handle(), WM_LBUTTONUP, 0, AsLParam(PointAt(List, Item)));
}

// The list view reports the beginning of an item drag with the cursor over Item.
void BeginDrag(TControlTestDialog& Dialog, TkyListView& List, int Item) {
    PointAt(List, Item);
    NMLISTVIEW begin{};
    begin.hdr.hwndFrom = List.Handle();
    begin.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(List.Handle()));
    begin.hdr.code = LVN_BEGINDRAG;
    begin.iItem = Item;
    SendMessageW(Dialog.Handle(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
}

void SetControlKey(bool Down) {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    keys[VK_CONTROL] = Down ? 0x80 : 0;
    SetKeyboardState(keys.data());
}

bool Highlighted(TkyListView& List, int Item) {
    return ListView_GetItemState(List.Handle(), Item, LVIS_DROPHILITED) != 0;
}

// Colour of the middle of the image that is being dragged.
COLORREF DragImageColour() {
    POINT at{};
    POINT hotSpot{};
    HIMAGELIST image = ImageList_GetDragImage(&at, &hotSpot);
    if (image == nullptr) {
        return CLR_NONE;
    }
    return ImageColour(image, 0, 2);
}

constexpr COLORREF MOVE_COLOUR = RGB(0x19, 0x76, 0xD2);
constexpr COLORREF COPY_COLOUR = RGB(0x38, 0x8E, 0x3C);

using DragBetweenLists = TControlDialogTest<TLists>;

} // namespace

TEST_F(DragBetweenLists, DragsAnItemOntoAnotherListView) {
    InDialog([&](TControlTestDialog& Dialog) {
        TDragHandler& handler = DragHandler();
        EXPECT_EQ(handler.Images().Count(), 2);
        BeginDrag(Dialog, *Source, 1);
        ASSERT_TRUE(handler.Dragging());
        EXPECT_EQ(handler.Source()->Handle(), Source->Handle());
        EXPECT_EQ(handler.Target(), nullptr);
        EXPECT_EQ(handler.SourceIndex(), 1);
        EXPECT_TRUE(Source->Items().IsSelected(1));
        EXPECT_FALSE(handler.CopyMode());
        EXPECT_EQ(DragImageColour(), MOVE_COLOUR);

        MoveTo(*Target, 0);
        ASSERT_NE(handler.Target(), nullptr);
        EXPECT_EQ(handler.Target()->Handle(), Target->Handle());
        EXPECT_EQ(handler.TargetIndex(), 0);
        EXPECT_TRUE(Highlighted(*Target, 0));
        MoveTo(*Target, 2);
        EXPECT_EQ(handler.TargetIndex(), 2);
        EXPECT_FALSE(Highlighted(*Target, 0));
        EXPECT_TRUE(Highlighted(*Target, 2));
        MoveTo(*Target, 2);
        EXPECT_TRUE(Highlighted(*Target, 2));

        SetControlKey(true);
        Target->Perform(WM_KEYDOWN, VK_CONTROL, 0);
        EXPECT_TRUE(handler.CopyMode());
        EXPECT_EQ(DragImageColour(), COPY_COLOUR);
        Target->Perform(WM_KEYDOWN, VK_CONTROL, 0x40000000);
        EXPECT_TRUE(handler.CopyMode());
        SetControlKey(false);
        Target->Perform(WM_KEYUP, VK_CONTROL, 0);
        EXPECT_FALSE(handler.CopyMode());
        EXPECT_EQ(DragImageColour(), MOVE_COLOUR);
        SetControlKey(true);
        Target->Perform(WM_KEYDOWN, VK_CONTROL, 0);

        ReleaseOver(*Target, 2);
        SetControlKey(false);
        EXPECT_FALSE(handler.Dragging());
        EXPECT_FALSE(Highlighted(*Target, 2));
        ASSERT_EQ(Drops.size(), 1u);
        EXPECT_EQ(Drops[0].Source, Source->Handle());
        EXPECT_EQ(Drops[0].Index, 2);
        EXPECT_TRUE(Drops[0].Copy);
        EXPECT_EQ(Drops[0].Selected, std::vector<std::intptr_t>{101});

        BeginDrag(Dialog, *Source, 0);
        MoveTo(*Target, 1);
        ReleaseOver(*Target, 7);
        ASSERT_EQ(Drops.size(), 2u);
        EXPECT_EQ(Drops[1].Index, -1);
        EXPECT_FALSE(Drops[1].Copy);
        EXPECT_FALSE(Highlighted(*Target, 1));
    });
}

TEST_F(DragBetweenLists, EscapeAndTheRightButtonCancel) {
    InDialog([&](TControlTestDialog& Dialog) {
        TDragHandler& handler = DragHandler();
        Target->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(KeyDowns, std::vector<HWND>{Target->Handle()});

        KeyDowns.clear();
        BeginDrag(Dialog, *Source, 2);
        MoveTo(*Target, 1);
        ASSERT_TRUE(Highlighted(*Target, 1));
        EXPECT_EQ(Target->Perform(WM_KEYDOWN, VK_ESCAPE, 0), 0);
        EXPECT_FALSE(handler.Dragging());
        EXPECT_FALSE(Highlighted(*Target, 1));
        EXPECT_TRUE(KeyDowns.empty());
        EXPECT_EQ(ImageList_GetDragImage(nullptr, nullptr), nullptr);

        BeginDrag(Dialog, *Source, 2);
        MoveTo(*Target, 0);
        const POINT at = PointAt(*Target, 0);
        // The list view waits for the button to come up before it answers the press.
        PostMessageW(Target->Handle(), WM_RBUTTONUP, 0, AsLParam(at));
        Target->Perform(WM_RBUTTONDOWN, MK_RBUTTON, AsLParam(at));
        EXPECT_FALSE(handler.Dragging());
        EXPECT_FALSE(Highlighted(*Target, 0));

        ReleaseOver(*Target, 0);
        Target->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(KeyDowns, std::vector<HWND>{Target->Handle()});
        EXPECT_TRUE(Drops.empty());
    });
}

TEST_F(DragBetweenLists, DropsThatDeliverNothing) {
    InDialog([&](TControlTestDialog& Dialog) {
        TDragHandler& handler = DragHandler();
        BeginDrag(Dialog, *Source, 1);
        MoveTo(*Source, 0);
        MoveTo(*Source, 1);
        ReleaseOver(*Source, 1);
        EXPECT_FALSE(handler.Dragging());
        EXPECT_TRUE(Drops.empty());

        BeginDrag(Dialog, *Source, 1);
        MoveTo(*Target, 0);
        MoveTo(*Closed, 0);
        EXPECT_EQ(handler.Target()->Handle(), Target->Handle());
        ReleaseOver(*Closed, 0);
        EXPECT_FALSE(handler.Dragging());
        EXPECT_FALSE(Highlighted(*Target, 0));
        EXPECT_FALSE(Highlighted(*Closed, 0));
        EXPECT_TRUE(Drops.empty());

        BeginDrag(Dialog, *Closed, 2);
        EXPECT_TRUE(Closed->Items().IsSelected(2));
        EXPECT_FALSE(handler.Dragging());

        BeginDrag(Dialog, *Source, 5);
        EXPECT_FALSE(handler.Dragging());
        ReleaseOver(*Target, 0);
        EXPECT_TRUE(Drops.empty());
    });
}

TEST_F(DragBetweenLists, DestroyingAControlEndsItsDrag) {
    InDialog([&](TControlTestDialog& Dialog) {
        TDragHandler& handler = DragHandler();
        BeginDrag(Dialog, *Source, 0);
        MoveTo(*Target, 1);
        Closed.reset();
        EXPECT_TRUE(handler.Dragging());

        Target.reset();
        EXPECT_FALSE(handler.Dragging());
        EXPECT_EQ(handler.Target(), nullptr);
        EXPECT_NE(handler.Source(), nullptr);

        BeginDrag(Dialog, *Source, 0);
        MoveTo(*Source, 2);
        ASSERT_TRUE(handler.Dragging());
        Source.reset();
        EXPECT_FALSE(handler.Dragging());
        EXPECT_EQ(handler.Source(), nullptr);
        EXPECT_EQ(handler.Target(), nullptr);
        EXPECT_TRUE(Drops.empty());
    });
}
