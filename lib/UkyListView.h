#pragma once

#include "UkyClasses.h"
#include "UkyDragControl.h"
#include "UkyImageList.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

class TkyListView;

// View kinds of a list view; any other value counts as report.
constexpr std::uint8_t VIEW_STYLE_ICON = 0;
constexpr std::uint8_t VIEW_STYLE_SMALL_ICON = 1;
constexpr std::uint8_t VIEW_STYLE_LIST = 2;
constexpr std::uint8_t VIEW_STYLE_REPORT = 3;

// Look and behaviour of a list view (ApplyStyle). Every switch is off unless named, e.g.
// {.ViewStyle = VIEW_STYLE_REPORT, .FullRowSelect = true}.
struct TkyListViewStyle {
    // VIEW_STYLE_*.
    std::uint8_t ViewStyle = VIEW_STYLE_ICON;
    bool MultiSelect = false;
    bool FullRowSelect = false;
    bool GridLines = false;
    bool EditLabels = false;
    bool ShowColumnHeader = false;
    bool HeaderDragDrop = false;
    bool CheckBoxes = false;
};

// Column alignments.
constexpr std::uint8_t COLUMN_LEFT = 1;
constexpr std::uint8_t COLUMN_CENTER = 2;
constexpr std::uint8_t COLUMN_RIGHT = 3;

struct TListViewColumn {
    std::wstring Caption;
    std::int32_t Width = 0;
    std::uint8_t Alignment = COLUMN_LEFT;
};

// One row. Text is the row text: the column texts joined by TAB.
struct TListViewItem {
    std::wstring Text;
    std::intptr_t Data = 0;
    std::int32_t ImageIndex = 0;
    // Overlay image number 0 to 15.
    std::int32_t OverlayIndex = 0;
    bool Checked = false;
    bool Selected = false;
};

// The columns of a list view. The count is the columns this collection inserted minus those it
// deleted; the window is never asked.
class TListViewColumns : public TkyCollection {
public:
    using TColumnEvent = std::function<void(std::int32_t Column)>;

    explicit TListViewColumns(TkyListView& AListView) : FListView(AListView) {}

    std::int32_t Count() const override { return FColumnCount; }

    // Appends a column (alignment COLUMN_*).
    void Add(const std::wstring& Caption, std::int32_t Width, std::uint8_t Alignment);
    // False, sending nothing, for an invalid index.
    bool Delete(std::int32_t Index);
    void Clear();
    void GetColumn(std::int32_t Index, TListViewColumn& Column) const;
    std::wstring GetCaption(std::int32_t Index) const;
    std::int32_t GetWidth(std::int32_t Index) const;
    // Sends nothing when the column already has that width.
    void SetWidth(std::int32_t Index, std::int32_t Width);
    // The captions joined by TAB.
    void ToText(std::wstring& Text) const;
    // One column per TAB piece of Text, each 200 pixels wide and left-aligned, in place of all.
    void FromText(const std::wstring& Text);

    TkyListView& ListView() const { return FListView; }

    TColumnEvent OnColumnClick;

private:
    friend class TkyListView;

    TkyListView& FListView;
    std::int32_t FColumnCount = 0;
};

// The rows of a list view; the window holds them.
class TListViewItems : public TkyCollection {
public:
    using TSelectEvent = std::function<void(std::int32_t Item, bool Selected)>;
    // Answers the notification.
    using TEditEvent = std::function<std::int32_t(std::int32_t Item, const std::wstring& Text)>;

    TListViewItems(TkyListView& AListView, TListViewColumns& AColumns)
        : FListView(AListView), FColumns(AColumns) {}

    std::int32_t Count() const override;

    bool Clear();
    // Appends a row; its index, -1 when the window refused it.
    std::int32_t Add(const std::wstring& RowText, std::int32_t ImageIndex);
    std::int32_t Insert(std::int32_t Index, const std::wstring& RowText, std::int32_t ImageIndex);
    std::int32_t InsertItem(std::int32_t Index, const TListViewItem& Item);
    // Inserts a plain row (no data, no overlay, unchecked, unselected) as InsertItem does, in as
    // few messages as the window allows: the first column's text goes with the item, every other
    // TAB piece in one message each. Its index, -1 when the window refused it. For filling a
    // list row after row without asking the window for its count each time.
    std::int32_t InsertRow(std::int32_t Index, std::wstring_view RowText, std::int32_t ImageIndex);
    // Leaves Item as it was for an invalid index.
    void GetItem(std::int32_t Index, TListViewItem& Item) const;
    // Sends one text per TAB piece, also beyond the last column; columns without a piece keep
    // their text.
    void SetItemText(std::int32_t Index, const std::wstring& RowText);
    // The texts of all columns joined by TAB; leaves RowText as it was for an invalid index.
    void GetItemText(std::int32_t Index, std::wstring& RowText) const;
    void SetChecked(std::int32_t Index, bool Checked);
    // 1 checked, 0 unchecked, -1 without a check box.
    std::int32_t GetChecked(std::int32_t Index) const;
    bool IsSelected(std::int32_t Index) const;
    void SetSelected(std::int32_t Index, bool Selected);
    std::int32_t SelectedCount() const;
    // The lowest selected index, -1 when none.
    std::int32_t FirstSelected() const;
    bool Delete(std::int32_t Index);
    // The row texts joined by CR LF.
    void ToText(std::wstring& Text) const;
    // One row per CR LF piece of Text, each with image 0, in place of all.
    void FromText(const std::wstring& Text);

    TkyListView& ListView() const { return FListView; }
    TListViewColumns& Columns() const { return FColumns; }

    TSelectEvent OnSelectChange;
    TEditEvent OnBeginEdit;
    TEditEvent OnEndEdit;

private:
    TkyListView& FListView;
    TListViewColumns& FColumns;
};

// A list view whose rows are exchanged as row texts (column texts joined by TAB) and whose whole
// table converts to one text (the caption line, then the rows, joined by CR LF).
class TkyListView : public TkyDragControl {
public:
    using TItemEvent = std::function<void(std::int32_t Item)>;
    using TClickEvent = std::function<void(std::int32_t Item, std::int32_t Column)>;
    using TDeleteKeyEvent = std::function<void(TkyListView& Sender)>;
    using TInfoTipEvent = std::function<void(std::int32_t Item, const RECT& Bounds)>;

    std::wstring GetText() override;
    // Rebuilds columns and rows from a table text; a text without CR LF changes nothing.
    void SetText(const std::wstring& Text) override;
    // Background colour of the list and of the texts.
    void SetColor(std::int64_t AColor) override;

    void SetDropHighlight(std::int32_t Index, bool On) override;
    std::int32_t ItemAtCursor() override;
    // The Data of every selected item.
    void GetSelectedItems(TkyIntList& List) override;
    void DeleteSelected() override;
    // The new window gets the small image list again; the old one goes without it.
    void RecreateHandle() override;

    void ApplyStyle(const TkyListViewStyle& AStyle);
    void SetViewStyle(std::uint8_t View);
    // The small image list, made (and owned) on the first call.
    TkyImageList& GetSmallImages();
    // List stays its caller's; null takes the image list away from the window.
    void SetSmallImages(TkyImageList* List);
    void SetNormalImages(TkyImageList* List);
    // The widths Texts take in the list's font, without the cell's inset, measured on one device
    // context.
    std::vector<std::int32_t> TextWidths(const std::vector<std::wstring>& Texts) const;
    // The height the list's frame needs to show its column header and Rows rows, with the
    // horizontal scroll bar when one shows; 0 while the list has no row to measure.
    std::int32_t HeightFor(std::int32_t Rows) const;

    const TkyListViewStyle& Style() const { return FStyle; }
    TkyImageList* SmallImages() const { return FSmallImages; }
    TkyImageList* NormalImages() const { return FNormalImages; }
    bool OwnsSmallImages() const { return FOwnedSmallImages != nullptr; }
    bool OwnsNormalImages() const { return FOwnedNormalImages != nullptr; }
    TListViewColumns& Columns() const { return *FColumns; }
    TListViewItems& Items() const { return *FItems; }

    // The item under the mouse cursor, or -1.
    TItemEvent OnContextMenu;
    TItemEvent OnDblClick;
    TItemEvent OnRightClick;
    // The item under the mouse cursor (or -1) and the column clicked.
    TClickEvent OnClick;
    // The first selected item.
    TItemEvent OnReturn;
    TDeleteKeyEvent OnDeleteKey;
    TInfoTipEvent OnInfoTip;

protected:
    friend class TkyControl;

    TkyListView() = default;

    LRESULT WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) override;
    // Then the font's colour becomes the text colour.
    void ApplyFont() override;
    LRESULT HandleNotify(int Code, NMHDR* Header) override;
    HWND CreateHandle(HWND AParent) override;
    // Makes Columns and Items and routes the window's messages to WindowProc. A recreated window
    // keeps both collections, starts without columns and gets the small image list again.
    void AfterCreate() override;
    void BeforeDestroy() override;

private:
    void HandSmallImages();
    // The window lets go of the image list it was handed, so that it cannot destroy it.
    void TakeBackImages();

    TkyListViewStyle FStyle;
    TkyImageList* FNormalImages = nullptr;
    TkyImageList* FSmallImages = nullptr;
    std::unique_ptr<TkyImageList> FOwnedNormalImages;
    std::unique_ptr<TkyImageList> FOwnedSmallImages;
    std::unique_ptr<TListViewColumns> FColumns;
    std::unique_ptr<TListViewItems> FItems;
};

// The letter of a table's command that Key makes with the keyboard as it stands: Ctrl and a
// letter, without Alt or Shift ('C' copy, 'A' select all, ...); 0 for any other key.
wchar_t TableCommandKey(WORD Key);

// Where a table's context menu opens: at Position on the screen, or, for the keyboard's position
// (both coordinates -1), under the first selected row, else at the table's corner.
POINT TableMenuPoint(HWND Table, LPARAM Position);

// One of a table's commands: the letter that gives it with Ctrl, and what it does.
struct TkyTableCommand {
    wchar_t Key;
    std::function<void()> Run;
};
// Runs the command that Key gives with the keyboard as it stands (TableCommandKey); false when
// it gives none of Commands.
bool RunTableCommand(WORD Key, std::initializer_list<TkyTableCommand> Commands);
