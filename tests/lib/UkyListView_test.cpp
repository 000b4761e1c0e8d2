#include "UkyListView.h"

#include "ControlTestDialog.h"
#include "UkyEdit.h"
#include "UkyTopWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int LIST_ID = 204;

// The style the program gives its result table.
constexpr TkyListViewStyle TABLE_STYLE{.ViewStyle = VIEW_STYLE_REPORT,
                                       .FullRowSelect = true,
                                       .GridLines = true,
                                       .ShowColumnHeader = true};

// The result table as the program sets it up: style, icons 2, 1, 3 and four centred columns.
struct TTable {
    std::unique_ptr<TkyListView> List;

    void Wrap(TControlTestDialog& Dialog) {
        List = TkyControl::Create<TkyListView>(Dialog, Dialog.DlgItemHandle(LIST_ID));
        List->ApplyStyle(TABLE_STYLE);
        List->GetSmallImages().AddIcons({2, 1, 3});
        List->Columns().Add(L"年", 52, COLUMN_CENTER);
        List->Columns().Add(L"利息", 80, COLUMN_CENTER);
        List->Columns().Add(L"累计", 80, COLUMN_CENTER);
        List->Columns().Add(L"备注", 128, COLUMN_CENTER);
    }

    void Free() { List.reset(); }

    // The text the window holds in one cell.
    std::wstring Cell(int Item, int Column) const {
        wchar_t text[64] = {};
        LVITEMW item{};
        item.iSubItem = Column;
        item.pszText = text;
        item.cchTextMax = 64;
        List->Perform(LVM_GETITEMTEXTW, static_cast<WPARAM>(Item), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    int Image(int Item) const {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = Item;
        List->Perform(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }

    // The middle of a row (or, for Item = Count, of the space below the last row) on the screen.
    POINT RowPoint(int Item) const {
        RECT row{};
        row.left = LVIR_BOUNDS;
        const int known = Item < List->Items().Count() ? Item : 0;
        List->Perform(LVM_GETITEMRECT, static_cast<WPARAM>(known), reinterpret_cast<LPARAM>(&row));
        const int height = row.bottom - row.top;
        POINT point{row.left + 20, row.top + height / 2 + (Item - known) * height};
        ClientToScreen(List->Handle(), &point);
        return point;
    }
};

using ListViewTable = TControlDialogTest<TTable>;

} // namespace

TEST_F(ListViewTable, ProgramStyleIsReadBackFromTheWindow) {
    InDialog([&] {
        const auto style = static_cast<DWORD>(List->GetLong(GWL_STYLE));
        EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
        EXPECT_NE(style & LVS_SINGLESEL, 0u);
        EXPECT_EQ(style & LVS_EDITLABELS, 0u);
        EXPECT_EQ(style & LVS_NOCOLUMNHEADER, 0u);
        const DWORD extended = ListView_GetExtendedListViewStyle(List->Handle());
        const DWORD relevant = LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES |
                               LVS_EX_HEADERDRAGDROP | LVS_EX_CHECKBOXES;
        EXPECT_EQ(extended & relevant,
                  static_cast<DWORD>(LVS_EX_INFOTIP | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));
        EXPECT_EQ(List->Style().ViewStyle, 3);

        List->ApplyStyle({.ViewStyle = VIEW_STYLE_SMALL_ICON,
                          .MultiSelect = true,
                          .EditLabels = true,
                          .HeaderDragDrop = true,
                          .CheckBoxes = true});
        const auto other = static_cast<DWORD>(List->GetLong(GWL_STYLE));
        EXPECT_EQ(other & LVS_TYPEMASK, static_cast<DWORD>(LVS_SMALLICON));
        EXPECT_EQ(other & LVS_SINGLESEL, 0u);
        EXPECT_NE(other & LVS_EDITLABELS, 0u);
        EXPECT_NE(other & LVS_NOCOLUMNHEADER, 0u);
        EXPECT_EQ(ListView_GetExtendedListViewStyle(List->Handle()) & relevant,
                  static_cast<DWORD>(LVS_EX_INFOTIP | LVS_EX_HEADERDRAGDROP | LVS_EX_CHECKBOXES));
        List->SetViewStyle(9);
        EXPECT_EQ(List->GetLong(GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
        List->SetViewStyle(2);
        EXPECT_EQ(List->GetLong(GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
    });
}

TEST_F(ListViewTable, RowTextsFillTheColumns) {
    InDialog([&] {
        TListViewItems& items = List->Items();
        EXPECT_EQ(items.Add(L"2008\t100.00\t1100.00\t", 1), 0);
        EXPECT_EQ(items.Add(L"2009\t1\t2", 2), 1);
        EXPECT_EQ(items.Add(L"a\tb\tc\td\te\tf", 0), 2);
        EXPECT_EQ(items.Add(L"", 0), 3);
        ASSERT_EQ(items.Count(), 4);

        EXPECT_EQ(Cell(0, 2), L"1100.00");
        EXPECT_EQ(Cell(0, 3), L"");
        EXPECT_EQ(Cell(1, 2), L"2");
        EXPECT_EQ(Cell(1, 3), L"");
        EXPECT_EQ(Image(0), 1);
        EXPECT_EQ(Image(1), 2);

        std::wstring row = L"unchanged";
        items.GetItemText(0, row);
        EXPECT_EQ(row, L"2008\t100.00\t1100.00\t");
        items.GetItemText(2, row);
        EXPECT_EQ(row, L"a\tb\tc\td");
        items.GetItemText(3, row);
        EXPECT_EQ(row, L"\t\t\t");
        items.GetItemText(4, row);
        EXPECT_EQ(row, L"\t\t\t");

        // Fewer pieces leave the other columns as they were.
        items.SetItemText(2, L"x\ty");
        items.GetItemText(2, row);
        EXPECT_EQ(row, L"x\ty\tc\td");

        // A row inserted past the end still gets its texts.
        EXPECT_EQ(items.Insert(99, L"late\trow", 2), 4);
        items.GetItemText(4, row);
        EXPECT_EQ(row, L"late\trow\t\t");

        TListViewItem item;
        item.Data = 77;
        items.GetItem(9, item);
        EXPECT_EQ(item.Data, 77);
        items.GetItem(1, item);
        EXPECT_EQ(item.Text, L"2009\t1\t2\t");
        EXPECT_EQ(item.Data, 0);
        EXPECT_EQ(item.ImageIndex, 2);
        EXPECT_FALSE(item.Checked);
        EXPECT_FALSE(item.Selected);

        EXPECT_FALSE(items.Delete(5));
        EXPECT_TRUE(items.Delete(4));
        EXPECT_EQ(items.Count(), 4);
    });
}

TEST_F(ListViewTable, InsertRowGivesWhatAddGives) {
    InDialog([&] {
        TListViewItems& items = List->Items();
        const std::vector<std::wstring> rows = {L"2008\t100.00\t1100.00\t", L"2009\t1\t2",
                                                L"a\tb\tc\td\te\tf", L"", L"\t\tonly third"};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const auto image = static_cast<int>(i % 3);
            EXPECT_EQ(items.Add(rows[i], image), static_cast<int>(2 * i));
            EXPECT_EQ(items.InsertRow(static_cast<int>(2 * i + 1), rows[i], image),
                      static_cast<int>(2 * i + 1));
        }
        ASSERT_EQ(items.Count(), 10);
        for (int i = 0; i < 10; i += 2) {
            TListViewItem added;
            TListViewItem inserted;
            items.GetItem(i, added);
            items.GetItem(i + 1, inserted);
            EXPECT_EQ(inserted.Text, added.Text) << i;
            EXPECT_EQ(inserted.ImageIndex, added.ImageIndex) << i;
            EXPECT_EQ(items.GetChecked(i + 1), items.GetChecked(i)) << i;
            EXPECT_FALSE(inserted.Selected);
            EXPECT_EQ(inserted.OverlayIndex, 0);
        }
        EXPECT_EQ(Cell(5, 3), L"d");
        EXPECT_EQ(Cell(9, 2), L"only third");
        // Past the end it appends, as InsertItem does.
        EXPECT_EQ(items.InsertRow(99, L"late\trow", 1), 10);
        EXPECT_EQ(Cell(10, 1), L"row");
        EXPECT_EQ(Image(10), 1);
    });
}

TEST_F(ListViewTable, ItemRecordsStatesAndSelection) {
    InDialog([&] {
        TListViewItems& items = List->Items();
        EXPECT_EQ(items.FirstSelected(), -1);
        EXPECT_EQ(items.SelectedCount(), 0);

        TListViewItem record;
        record.Text = L"1\t2\t3\t4";
        record.Data = 4242;
        record.ImageIndex = 2;
        record.OverlayIndex = 3;
        record.Checked = true;
        record.Selected = true;
        EXPECT_EQ(items.InsertItem(0, record), 0);
        items.Add(L"plain", 0);

        TListViewItem back;
        items.GetItem(0, back);
        EXPECT_EQ(back.Text, L"1\t2\t3\t4");
        EXPECT_EQ(back.Data, 4242);
        EXPECT_EQ(back.ImageIndex, 2);
        EXPECT_EQ(back.OverlayIndex, 3);
        EXPECT_TRUE(back.Checked);
        EXPECT_TRUE(back.Selected);
        EXPECT_EQ(items.GetChecked(0), 1);
        EXPECT_EQ(items.GetChecked(1), 0);
        EXPECT_EQ(items.FirstSelected(), 0);
        EXPECT_EQ(items.SelectedCount(), 1);

        // A row without a check box (state image 0) is not checked.
        LVITEMW bare{};
        bare.iItem = 2;
        List->Perform(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&bare));
        EXPECT_EQ(items.GetChecked(2), -1);
        items.GetItem(2, back);
        EXPECT_FALSE(back.Checked);

        items.SetSelected(0, false);
        items.SetSelected(1, true);
        EXPECT_EQ(items.FirstSelected(), 1);
        TkyIntList data(100);
        data.Add(5);
        List->GetSelectedItems(data);
        ASSERT_EQ(data.Count(), 1);
        EXPECT_EQ(data.Get(0), 0);

        List->DeleteSelected();
        EXPECT_EQ(items.Count(), 2);
        std::wstring row;
        items.GetItemText(1, row);
        EXPECT_EQ(row, L"\t\t\t");

        EXPECT_TRUE(items.Clear());
        EXPECT_EQ(items.Count(), 0);
    });
}

TEST_F(ListViewTable, TableTextWithAndWithoutRows) {
    InDialog([&] {
        EXPECT_EQ(List->GetText(), L"年\t利息\t累计\t备注\r\n");
        List->Items().Add(L"2008\t100\t1100\t到期", 0);
        List->Items().Add(L"2009\t105\t1205\t", 1);
        List->Items().SetSelected(0, true);
        EXPECT_EQ(List->GetText(),
                  L"年\t利息\t累计\t备注\r\n2008\t100\t1100\t到期\r\n2009\t105\t1205\t");

        TListViewColumn column;
        List->Columns().GetColumn(1, column);
        EXPECT_EQ(column.Caption, L"利息");
        EXPECT_EQ(column.Width, 80);
        EXPECT_EQ(column.Alignment, COLUMN_CENTER);
        EXPECT_EQ(List->Columns().GetCaption(3), L"备注");
        LVCOLUMNW format{};
        format.mask = LVCF_FMT;
        format.fmt = LVCFMT_RIGHT | LVCFMT_BITMAP_ON_RIGHT;
        List->Perform(LVM_SETCOLUMNW, 2, reinterpret_cast<LPARAM>(&format));
        format.fmt = 0;
        List->Perform(LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&format));
        ASSERT_EQ(format.fmt, LVCFMT_RIGHT | LVCFMT_BITMAP_ON_RIGHT);
        List->Columns().GetColumn(2, column);
        EXPECT_EQ(column.Caption, L"累计");
        EXPECT_EQ(column.Alignment, COLUMN_CENTER);

        EXPECT_FALSE(List->Columns().Delete(List->Columns().Count()));
        EXPECT_EQ(List->Columns().Count(), 4);
        EXPECT_TRUE(List->Columns().Delete(3));
        EXPECT_EQ(List->GetText(), L"年\t利息\t累计\r\n2008\t100\t1100\r\n2009\t105\t1205");
        List->Columns().Clear();
        List->Items().Clear();
        EXPECT_EQ(List->GetText(), L"\r\n");
    });
}

TEST_F(ListViewTable, SetTextRebuildsColumnsAndRows) {
    InDialog([&] {
        List->Items().Add(L"old", 2);
        List->SetText(L"no line break");
        EXPECT_EQ(List->Columns().Count(), 4);
        EXPECT_EQ(List->Items().Count(), 1);

        List->SetText(L"A\tB\r\n1\t2\r\n3\t4\r\n");
        ASSERT_EQ(List->Columns().Count(), 2);
        TListViewColumn column;
        List->Columns().GetColumn(1, column);
        EXPECT_EQ(column.Caption, L"B");
        EXPECT_EQ(column.Width, 200);
        EXPECT_EQ(column.Alignment, COLUMN_LEFT);
        ASSERT_EQ(List->Items().Count(), 3);
        EXPECT_EQ(Cell(1, 1), L"4");
        EXPECT_EQ(Image(0), 0);
        EXPECT_EQ(Image(1), 0);
        EXPECT_EQ(List->GetText(), L"A\tB\r\n1\t2\r\n3\t4\r\n\t");

        List->SetText(L"Only\r\n");
        EXPECT_EQ(List->Columns().Count(), 1);
        EXPECT_EQ(List->Items().Count(), 0);

        List->SetText(L"\r\nrow");
        EXPECT_EQ(List->Columns().Count(), 0);
        EXPECT_EQ(List->Items().Count(), 1);
        EXPECT_EQ(List->GetText(), L"\r\n");
    });
}

TEST_F(ListViewTable, LongTextsAreReadBackCut) {
    InDialog([&] {
        const std::wstring text(2500, L'x');
        List->Columns().Add(text, 50, COLUMN_RIGHT);
        EXPECT_EQ(List->Columns().GetCaption(4), std::wstring(1999, L'x'));
        TListViewColumn column;
        List->Columns().GetColumn(4, column);
        EXPECT_EQ(column.Alignment, COLUMN_RIGHT);

        List->Items().Add(L"\t\t\t\t" + text, 0);
        std::wstring row;
        List->Items().GetItemText(0, row);
        EXPECT_EQ(row, L"\t\t\t\t" + std::wstring(1999, L'x'));
    });
}

TEST_F(ListViewTable, SmallImagesAreOwnedUntilReplaced) {
    TkyImageList mine(16, 16, 0);
    InDialog([&] {
        TkyImageList& made = List->GetSmallImages();
        EXPECT_EQ(&made, &List->GetSmallImages());
        EXPECT_TRUE(List->OwnsSmallImages());
        EXPECT_EQ(made.Count(), 3);
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(made.Handle(), &width, &height);
        EXPECT_EQ(width, GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(height, GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(List->Perform(LVM_GETIMAGELIST, LVSIL_SMALL, 0),
                  reinterpret_cast<LRESULT>(made.Handle()));
        List->SetSmallImages(&made);
        EXPECT_TRUE(List->OwnsSmallImages());
        EXPECT_EQ(made.Count(), 3);
        EXPECT_EQ(List->Perform(LVM_GETIMAGELIST, LVSIL_SMALL, 0),
                  reinterpret_cast<LRESULT>(made.Handle()));

        List->SetSmallImages(&mine);
        EXPECT_FALSE(List->OwnsSmallImages());
        EXPECT_EQ(&List->GetSmallImages(), &mine);
        EXPECT_EQ(List->Perform(LVM_GETIMAGELIST, LVSIL_SMALL, 0),
                  reinterpret_cast<LRESULT>(mine.Handle()));
    });
    EXPECT_EQ(mine.Count(), 0);
    EXPECT_EQ(mine.AddIconFromResource(1), 0);
}

TEST(TkyListView, SmallImagesOutliveAWindowThatDiesBeforeTheObject) {
    TTable table;
    HIMAGELIST handed = nullptr;
    RunInDialog([&](TControlTestDialog& Dialog) { table.Wrap(Dialog); },
                [&](TControlTestDialog&) {
                    handed = reinterpret_cast<HIMAGELIST>(
                        table.List->Perform(LVM_GETIMAGELIST, LVSIL_SMALL, 0));
                },
                [](TControlTestDialog&) {});
    ASSERT_NE(handed, nullptr);
    EXPECT_FALSE(IsWindow(table.List->Handle()));
    // The dialog object is gone too: the list no longer points at it, and its end below does not
    // reach into the freed dialog (which crashed the 32-bit test now and then).
    EXPECT_EQ(table.List->Parent(), nullptr);
    EXPECT_EQ(handed, table.List->GetSmallImages().Handle());
    EXPECT_EQ(ImageList_GetImageCount(handed), 3);
    EXPECT_EQ(table.List->GetSmallImages().AddIconFromResource(1), 3);
    table.List.reset();
}

TEST_F(ListViewTable, NotificationsReachTheCallbacks) {
    InDialog([&](TControlTestDialog& Dialog) {
        TkyListView& list = *List;
        list.Items().Add(L"2008\t1\t2\t", 0);
        list.Items().Add(L"2009\t3\t4\t", 0);

        std::vector<std::pair<std::int32_t, bool>> selections;
        list.Items().OnSelectChange = [&](std::int32_t Item, bool Selected) {
            selections.emplace_back(Item, Selected);
        };
        ListView_SetItemState(list.Handle(), 1, LVIS_FOCUSED, LVIS_FOCUSED);
        EXPECT_TRUE(selections.empty());
        list.Items().SetSelected(1, true);
        list.Items().SetSelected(1, false);
        const std::vector<std::pair<std::int32_t, bool>> expected{{1, true}, {1, false}};
        EXPECT_EQ(selections, expected);

        std::vector<std::pair<std::int32_t, std::int32_t>> clicks;
        list.OnClick = [&](std::int32_t Item, std::int32_t Column) {
            clicks.emplace_back(Item, Column);
        };
        for (const int item : {1, 5}) {
            POINT point = RowPoint(item);
            SetCursorPos(point.x, point.y);
            ScreenToClient(list.Handle(), &point);
            const LPARAM at = MAKELPARAM(point.x, point.y);
            SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageW(list.Handle(), WM_LBUTTONUP, 0, at);
        }
        ASSERT_EQ(clicks.size(), 2u);
        EXPECT_EQ(clicks[0], std::make_pair(1, 0));
        EXPECT_EQ(clicks[1].first, -1);

        std::vector<std::int32_t> columns;
        list.Columns().OnColumnClick = [&](std::int32_t Column) { columns.push_back(Column); };
        NMLISTVIEW header{};
        header.hdr.hwndFrom = list.Handle();
        header.hdr.idFrom = LIST_ID;
        header.hdr.code = LVN_COLUMNCLICK;
        header.iItem = -1;
        header.iSubItem = 2;
        SendMessageW(Dialog.Handle(), WM_NOTIFY, LIST_ID, reinterpret_cast<LPARAM>(&header));
        EXPECT_EQ(columns, std::vector<std::int32_t>{2});

        std::vector<std::wstring> edits;
        list.Items().OnEndEdit = [&](std::int32_t Item, const std::wstring& Text) {
            edits.push_back(std::to_wstring(Item) + L":" + Text);
            return 1;
        };
        NMLVDISPINFOW edit{};
        edit.hdr = {list.Handle(), LIST_ID, LVN_ENDLABELEDITW};
        edit.item.iItem = 1;
        EXPECT_EQ(
            SendMessageW(Dialog.Handle(), WM_NOTIFY, LIST_ID, reinterpret_cast<LPARAM>(&edit)), 1);
        wchar_t typed[] = L"新";
        edit.item.pszText = typed;
        SendMessageW(Dialog.Handle(), WM_NOTIFY, LIST_ID, reinterpret_cast<LPARAM>(&edit));
        const std::vector<std::wstring> edited{L"1:", L"1:新"};
        EXPECT_EQ(edits, edited);

        std::vector<std::int32_t> returns;
        list.OnReturn = [&](std::int32_t Item) { returns.push_back(Item); };
        NMHDR key{list.Handle(), LIST_ID, static_cast<UINT>(NM_RETURN)};
        SendMessageW(Dialog.Handle(), WM_NOTIFY, LIST_ID, reinterpret_cast<LPARAM>(&key));
        list.Items().SetSelected(1, true);
        SendMessageW(Dialog.Handle(), WM_NOTIFY, LIST_ID, reinterpret_cast<LPARAM>(&key));
        EXPECT_EQ(returns, std::vector<std::int32_t>{1});

        int deletes = 0;
        list.OnDeleteKey = [&](TkyListView& Sender) {
            EXPECT_EQ(&Sender, &list);
            ++deletes;
        };
        list.Perform(WM_KEYDOWN, VK_DELETE, 0);
        list.Items().SetSelected(1, false);
        list.Perform(WM_KEYDOWN, VK_DELETE, 0);
        EXPECT_EQ(deletes, 1);

        std::vector<std::int32_t> menus;
        list.OnContextMenu = [&](std::int32_t Item) { menus.push_back(Item); };
        const POINT over = RowPoint(0);
        SetCursorPos(over.x, over.y);
        EXPECT_EQ(list.Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.Handle()),
                               MAKELPARAM(over.x, over.y)),
                  0);
        EXPECT_EQ(menus, std::vector<std::int32_t>{0});
    });
}

TEST_F(ListViewTable, SuspendedRedrawLeavesTheWindowUntouched) {
    InDialog([&] {
        TkyListView& list = *List;
        UpdateWindow(list.Handle());
        list.SetRedraw(false);
        for (int i = 0; i < 20; ++i) {
            list.Items().Add(std::to_wstring(2000 + i) + L"\t1\t2\t", i % 3);
        }
        EXPECT_FALSE(GetUpdateRect(list.Handle(), nullptr, FALSE));
        list.SetRedraw(true);
        EXPECT_EQ(list.Items().Count(), 20);
        EXPECT_FALSE(GetUpdateRect(list.Handle(), nullptr, FALSE));
    });
}

TEST(TkyListView, OwnWindowIsAListThatCanBeRecreated) {
    std::unique_ptr<TkyListView> own;
    RunInDialog([&](TControlTestDialog& Dialog) { own = TkyControl::Create<TkyListView>(Dialog); },
                [&](TControlTestDialog&) {
                    ASSERT_TRUE(own->OwnsHandle());
                    EXPECT_EQ(own->GetLong(GWL_STYLE) & 0x0010010F, 0x0010010B);
                    EXPECT_NE(own->GetLong(GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
                    own->SetBounds(0, 0, 200, 100);
                    own->ApplyStyle(TABLE_STYLE);
                    own->GetSmallImages().AddIcons({1});
                    own->Columns().Add(L"A", 40, COLUMN_LEFT);
                    own->Columns().Add(L"B", 40, COLUMN_LEFT);
                    own->Items().Add(L"1\t2", 0);
                    TListViewItems* items = &own->Items();

                    const HWND old = own->Handle();
                    own->RecreateHandle();
                    EXPECT_NE(own->Handle(), old);
                    EXPECT_EQ(&own->Items(), items);
                    EXPECT_EQ(own->Columns().Count(), 2);
                    EXPECT_EQ(own->GetText(), L"A\tB\r\n1\t2");
                    EXPECT_EQ(own->Perform(LVM_GETIMAGELIST, LVSIL_SMALL, 0),
                              reinterpret_cast<LRESULT>(own->GetSmallImages().Handle()));
                    int deletes = 0;
                    own->OnDeleteKey = [&](TkyListView&) { ++deletes; };
                    own->Items().SetSelected(0, true);
                    own->Perform(WM_KEYDOWN, VK_DELETE, 0);
                    EXPECT_EQ(deletes, 1);
                },
                [&](TControlTestDialog&) { own.reset(); });
}

namespace {

// A top-level window of the program's kind that holds library controls of its own.
class TControlsWindow : public TkyTopWindow {
public:
    explicit TControlsWindow(HWND Owner)
        : TkyTopWindow(Owner,
                       {L"UkyListViewTestTop", L"Top", 0, {400, 300}, {200, 150}, L"Test", true}) {}

    std::unique_ptr<TkyListView> List;
    std::unique_ptr<TkyEdit> Edit;

protected:
    POINT DefaultOrigin(const RECT& OwnerRect) const override {
        return {OwnerRect.left, OwnerRect.top};
    }
    void Created() override {
        List = TkyControl::Create<TkyListView>(Controls());
        Edit = TkyControl::Create<TkyEdit>(Controls());
    }
    void Paint(HDC, const RECT&) const override {}
    std::optional<LRESULT> Message(UINT, WPARAM, LPARAM) override { return std::nullopt; }
    void Destroyed() override {
        List.reset();
        Edit.reset();
    }
};

} // namespace

// Made on a top-level window rather than a dialog, a list view and an edit still hear of their own
// notifications and commands, and the list's columns and height follow what it holds.
TEST(TkyListView, OnATopLevelWindowItHearsItsNotificationsAndMeasuresItself) {
    RunInDialog(
        [](TControlTestDialog&) {},
        [](TControlTestDialog& Dialog) {
            TControlsWindow window(Dialog.Handle());
            window.Show();
            ASSERT_NE(window.List, nullptr);
            TkyListView& list = *window.List;
            list.ApplyStyle(TABLE_STYLE);
            list.SetBounds(0, 0, 300, 200);
            list.Columns().Add(L"存期", 60, COLUMN_LEFT);
            EXPECT_EQ(list.HeightFor(1), 0);
            list.Items().Add(L"一年期", 0);
            list.Items().Add(L"二年期", 0);
            std::vector<std::pair<std::int32_t, bool>> selections;
            list.Items().OnSelectChange = [&](std::int32_t Item, bool Selected) {
                selections.emplace_back(Item, Selected);
            };
            list.Items().SetSelected(1, true);
            EXPECT_EQ(selections, (std::vector<std::pair<std::int32_t, bool>>{{1, true}}));

            list.Columns().SetWidth(0, 90);
            EXPECT_EQ(list.Columns().GetWidth(0), 90);
            // Measured as the list view itself measures them, the longer one wider.
            const std::vector<std::int32_t> widths = list.TextWidths({L"一年期", L"一年期一年期"});
            ASSERT_EQ(widths.size(), 2u);
            EXPECT_EQ(widths[0], ListView_GetStringWidth(list.Handle(), L"一年期"));
            EXPECT_GT(widths[1], widths[0]);
            RECT row{};
            row.left = LVIR_BOUNDS;
            ListView_GetItemRect(list.Handle(), 0, &row, LVIR_BOUNDS);
            EXPECT_EQ(list.HeightFor(4) - list.HeightFor(2), 2 * (row.bottom - row.top));

            int changes = 0;
            window.Edit->OnChange = [&](TkyEditControl&) { ++changes; };
            window.Edit->SetText(L"0.95");
            EXPECT_EQ(changes, 1);
        },
        [](TControlTestDialog&) {});
}
