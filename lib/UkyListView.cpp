#include "UkyListView.h"

#include "UkyHandles.h"
#include "UkyListSuper.h"

#include <algorithm>
#include <array>
#include <cwchar>

namespace {

constexpr std::uint32_t LIST_CAPACITY = 100;
constexpr wchar_t COLUMN_SEPARATOR[] = L"\t";
constexpr wchar_t ROW_SEPARATOR[] = L"\r\n";
constexpr std::int32_t NEW_COLUMN_WIDTH = 200;
constexpr DWORD LIST_VIEW_STYLE = LVS_LIST | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE | WS_HSCROLL;
constexpr UINT ITEM_MASK = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
constexpr UINT COLUMN_MASK = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;

// The buffer that every list view reads column captions and item texts into, one at a time.
constexpr std::size_t TEXT_BUFFER_SIZE = 2001;
constexpr int TEXT_CAPACITY = 2000;

// Sets the state bits Mask of item Index to State: the platform's ListView_SetItemState with a
// record that holds nothing else.
void SetItemState(HWND Window, std::int32_t Index, UINT State, UINT Mask) {
    LVITEMW item{};
    item.state = State;
    item.stateMask = Mask;
    SendMessageW(Window, LVM_SETITEMSTATE, static_cast<WPARAM>(Index),
                 reinterpret_cast<LPARAM>(&item));
}

wchar_t* TextBuffer() {
    static std::array<wchar_t, TEXT_BUFFER_SIZE> buffer{};
    return buffer.data();
}

// A string list that splits and joins at Separator.
class TPieceList : public TkyStrList {
public:
    explicit TPieceList(const wchar_t* ASeparator) : TkyStrList(LIST_CAPACITY) {
        SetSeparator(ASeparator);
    }
};

int ColumnFormat(std::uint8_t Alignment) {
    switch (Alignment) {
    case COLUMN_CENTER:
        return LVCFMT_CENTER;
    case COLUMN_RIGHT:
        return LVCFMT_RIGHT;
    default:
        return LVCFMT_LEFT;
    }
}

// The window style of a view style (VIEW_STYLE_*); report for any other value.
DWORD ViewStyleBits(std::uint8_t View) {
    switch (View) {
    case 0:
        return LVS_ICON;
    case 1:
        return LVS_SMALLICON;
    case 2:
        return LVS_LIST;
    default:
        return LVS_REPORT;
    }
}

} // namespace

// TListViewColumns

void TListViewColumns::Add(const std::wstring& Caption, std::int32_t Width,
                           std::uint8_t Alignment) {
    std::wstring caption = Caption;
    LVCOLUMNW column{};
    column.mask = COLUMN_MASK;
    column.fmt = ColumnFormat(Alignment);
    column.cx = Width;
    column.pszText = caption.data();
    FListView.Perform(LVM_INSERTCOLUMNW, static_cast<WPARAM>(FColumnCount),
                      reinterpret_cast<LPARAM>(&column));
    ++FColumnCount;
}

bool TListViewColumns::Delete(std::int32_t Index) {
    if (!IsValidIndex(Index)) {
        return false;
    }
    FListView.Perform(LVM_DELETECOLUMN, static_cast<WPARAM>(Index), 0);
    --FColumnCount;
    return true;
}

void TListViewColumns::Clear() {
    for (std::int32_t i = HighIndex(); i >= 0; --i) {
        Delete(i);
    }
}

void TListViewColumns::GetColumn(std::int32_t Index, TListViewColumn& Column) const {
    wchar_t* buffer = TextBuffer();
    buffer[0] = L'\0';
    LVCOLUMNW column{};
    column.mask = COLUMN_MASK;
    column.pszText = buffer;
    column.cchTextMax = TEXT_CAPACITY;
    FListView.Perform(LVM_GETCOLUMNW, static_cast<WPARAM>(Index),
                      reinterpret_cast<LPARAM>(&column));
    Column.Caption.assign(column.pszText, wcsnlen(column.pszText, TEXT_CAPACITY - 1));
    Column.Width = column.cx;
    // A format with any bit besides the alignment leaves the caller's alignment.
    switch (column.fmt) {
    case LVCFMT_LEFT:
        Column.Alignment = COLUMN_LEFT;
        break;
    case LVCFMT_RIGHT:
        Column.Alignment = COLUMN_RIGHT;
        break;
    case LVCFMT_CENTER:
        Column.Alignment = COLUMN_CENTER;
        break;
    default:
        break;
    }
}

std::wstring TListViewColumns::GetCaption(std::int32_t Index) const {
    TListViewColumn column;
    GetColumn(Index, column);
    return column.Caption;
}

std::int32_t TListViewColumns::GetWidth(std::int32_t Index) const {
    return static_cast<std::int32_t>(
        FListView.Perform(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index), 0));
}

void TListViewColumns::SetWidth(std::int32_t Index, std::int32_t Width) {
    if (GetWidth(Index) != Width) {
        FListView.Perform(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(Index), Width);
    }
}

void TListViewColumns::ToText(std::wstring& Text) const {
    TPieceList captions(COLUMN_SEPARATOR);
    for (std::int32_t i = LowIndex(); i <= HighIndex(); ++i) {
        captions.Add(GetCaption(i));
    }
    Text = captions.GetText();
}

void TListViewColumns::FromText(const std::wstring& Text) {
    Clear();
    TPieceList captions(COLUMN_SEPARATOR);
    captions.SetText(Text);
    for (std::int32_t i = captions.LowIndex(); i <= captions.HighIndex(); ++i) {
        Add(captions.Get(i), NEW_COLUMN_WIDTH, COLUMN_LEFT);
    }
}

// TListViewItems

std::int32_t TListViewItems::Count() const {
    return ListView_GetItemCount(FListView.Handle());
}

bool TListViewItems::Clear() {
    return FListView.Perform(LVM_DELETEALLITEMS, 0, 0) != 0;
}

std::int32_t TListViewItems::Add(const std::wstring& RowText, std::int32_t ImageIndex) {
    return Insert(Count(), RowText, ImageIndex);
}

std::int32_t TListViewItems::Insert(std::int32_t Index, const std::wstring& RowText,
                                    std::int32_t ImageIndex) {
    TListViewItem item;
    item.Text = RowText;
    item.ImageIndex = ImageIndex;
    return InsertItem(Index, item);
}

// The texts and states go to the row where the window put it: an index past the end appends.
std::int32_t TListViewItems::InsertItem(std::int32_t Index, const TListViewItem& Item) {
    LVITEMW item{};
    item.mask = ITEM_MASK;
    item.iItem = Index;
    item.iImage = Item.ImageIndex;
    item.lParam = Item.Data;
    item.state = static_cast<UINT>(Item.OverlayIndex) << 8;
    item.stateMask = LVIS_OVERLAYMASK;
    const auto inserted = static_cast<std::int32_t>(
        FListView.Perform(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted >= 0) {
        SetItemText(inserted, Item.Text);
        SetChecked(inserted, Item.Checked);
        SetSelected(inserted, Item.Selected);
    }
    return inserted;
}

std::int32_t TListViewItems::InsertRow(std::int32_t Index, std::wstring_view RowText,
                                       std::int32_t ImageIndex) {
    // One copy of the row with every TAB turned into the end of its piece.
    std::wstring texts(RowText);
    std::size_t end = std::min(texts.find(COLUMN_SEPARATOR[0]), texts.size());
    if (end < texts.size()) {
        texts[end] = L'\0';
    }
    LVITEMW item{};
    item.mask = ITEM_MASK | LVIF_TEXT;
    item.iItem = Index;
    item.iImage = ImageIndex;
    item.pszText = texts.data();
    // The state InsertItem leaves: overlay 0 and the unticked check box image.
    item.state = INDEXTOSTATEIMAGEMASK(1);
    item.stateMask = LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;
    const auto inserted = static_cast<std::int32_t>(
        FListView.Perform(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0) {
        return inserted;
    }
    for (std::int32_t column = 1; end < texts.size(); ++column) {
        const std::size_t start = end + 1;
        end = std::min(texts.find(COLUMN_SEPARATOR[0], start), texts.size());
        if (end < texts.size()) {
            texts[end] = L'\0';
        }
        LVITEMW piece{};
        piece.iSubItem = column;
        piece.pszText = texts.data() + start;
        FListView.Perform(LVM_SETITEMTEXTW, static_cast<WPARAM>(inserted),
                          reinterpret_cast<LPARAM>(&piece));
    }
    return inserted;
}

// Checked is true only for a ticked check box, not for a row without one.
void TListViewItems::GetItem(std::int32_t Index, TListViewItem& Item) const {
    if (!IsValidIndex(Index)) {
        return;
    }
    LVITEMW item{};
    item.mask = ITEM_MASK;
    item.iItem = Index;
    item.stateMask = LVIS_OVERLAYMASK;
    FListView.Perform(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    GetItemText(Index, Item.Text);
    Item.Data = item.lParam;
    Item.ImageIndex = item.iImage;
    Item.OverlayIndex = static_cast<std::int32_t>((item.state & LVIS_OVERLAYMASK) >> 8);
    Item.Checked = GetChecked(Index) == 1;
    Item.Selected = IsSelected(Index);
}

void TListViewItems::SetItemText(std::int32_t Index, const std::wstring& RowText) {
    if (!IsValidIndex(Index)) {
        return;
    }
    TPieceList pieces(COLUMN_SEPARATOR);
    pieces.SetText(RowText);
    for (std::int32_t j = pieces.LowIndex(); j <= pieces.HighIndex(); ++j) {
        std::wstring piece = pieces.Get(j);
        LVITEMW item{};
        item.iSubItem = j;
        item.pszText = piece.data();
        FListView.Perform(LVM_SETITEMTEXTW, static_cast<WPARAM>(Index),
                          reinterpret_cast<LPARAM>(&item));
    }
}

void TListViewItems::GetItemText(std::int32_t Index, std::wstring& RowText) const {
    if (!IsValidIndex(Index)) {
        return;
    }
    wchar_t* buffer = TextBuffer();
    TPieceList texts(COLUMN_SEPARATOR);
    for (std::int32_t column = FColumns.LowIndex(); column <= FColumns.HighIndex(); ++column) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = TEXT_CAPACITY;
        auto length = static_cast<std::int32_t>(FListView.Perform(
            LVM_GETITEMTEXTW, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&item)));
        length = std::clamp(length, 0, TEXT_CAPACITY - 1);
        buffer[length] = L'\0';
        texts.Add(std::wstring(buffer, static_cast<std::size_t>(length)));
    }
    RowText = texts.GetText();
}

void TListViewItems::SetChecked(std::int32_t Index, bool Checked) {
    SetItemState(FListView.Handle(), Index, INDEXTOSTATEIMAGEMASK(Checked ? 2u : 1u),
                 LVIS_STATEIMAGEMASK);
}

std::int32_t TListViewItems::GetChecked(std::int32_t Index) const {
    return static_cast<std::int32_t>(ListView_GetCheckState(FListView.Handle(), Index));
}

bool TListViewItems::IsSelected(std::int32_t Index) const {
    return ListView_GetItemState(FListView.Handle(), Index, LVIS_SELECTED) == LVIS_SELECTED;
}

void TListViewItems::SetSelected(std::int32_t Index, bool Selected) {
    if (IsValidIndex(Index)) {
        SetItemState(FListView.Handle(), Index, Selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
}

std::int32_t TListViewItems::SelectedCount() const {
    return static_cast<std::int32_t>(ListView_GetSelectedCount(FListView.Handle()));
}

std::int32_t TListViewItems::FirstSelected() const {
    for (std::int32_t i = LowIndex(); i <= HighIndex(); ++i) {
        if (IsSelected(i)) {
            return i;
        }
    }
    return -1;
}

bool TListViewItems::Delete(std::int32_t Index) {
    if (!IsValidIndex(Index)) {
        return false;
    }
    return FListView.Perform(LVM_DELETEITEM, static_cast<WPARAM>(Index), 0) != 0;
}

void TListViewItems::ToText(std::wstring& Text) const {
    TPieceList rows(ROW_SEPARATOR);
    for (std::int32_t i = LowIndex(); i <= HighIndex(); ++i) {
        TListViewItem item;
        GetItem(i, item);
        rows.Add(item.Text);
    }
    Text = rows.GetText();
}

void TListViewItems::FromText(const std::wstring& Text) {
    Clear();
    TPieceList rows(ROW_SEPARATOR);
    rows.SetText(Text);
    for (std::int32_t i = rows.LowIndex(); i <= rows.HighIndex(); ++i) {
        Add(rows.Get(i), 0);
    }
}

// TkyListView

std::wstring TkyListView::GetText() {
    std::wstring header;
    std::wstring body;
    FColumns->ToText(header);
    FItems->ToText(body);
    return header + ROW_SEPARATOR + body;
}

void TkyListView::SetText(const std::wstring& Text) {
    const std::size_t end = Text.find(ROW_SEPARATOR);
    if (end == std::wstring::npos) {
        return;
    }
    FColumns->FromText(Text.substr(0, end));
    FItems->FromText(Text.substr(end + std::wcslen(ROW_SEPARATOR)));
}

void TkyListView::SetColor(std::int64_t AColor) {
    const auto color = static_cast<LPARAM>(AColor & 0xFFFFFFFF);
    Perform(LVM_SETBKCOLOR, 0, color);
    Perform(LVM_SETTEXTBKCOLOR, 0, color);
}

void TkyListView::SetDropHighlight(std::int32_t Index, bool On) {
    if (FItems->IsValidIndex(Index)) {
        SetItemState(FHandle, Index, On ? LVIS_DROPHILITED : 0, LVIS_DROPHILITED);
    }
}

std::int32_t TkyListView::ItemAtCursor() {
    LVHITTESTINFO info{};
    info.pt = CursorPos();
    return ListView_HitTest(FHandle, &info);
}

void TkyListView::GetSelectedItems(TkyIntList& List) {
    List.Clear();
    for (std::int32_t i = FItems->LowIndex(); i <= FItems->HighIndex(); ++i) {
        TListViewItem item;
        FItems->GetItem(i, item);
        if (item.Selected) {
            List.Add(item.Data);
        }
    }
}

void TkyListView::DeleteSelected() {
    for (std::int32_t i = FItems->HighIndex(); i >= 0; --i) {
        if (FItems->IsSelected(i)) {
            FItems->Delete(i);
        }
    }
}

// The window's style changes once for all of its bits: each change has the list view look at its
// whole style again.
void TkyListView::ApplyStyle(const TkyListViewStyle& AStyle) {
    auto style = static_cast<DWORD>(GetLong(GWL_STYLE));
    const auto setStyle = [&style](DWORD Bit, bool On) {
        style = On ? (style | Bit) : (style & ~Bit);
    };
    style = (style & ~static_cast<DWORD>(LVS_TYPEMASK)) | ViewStyleBits(AStyle.ViewStyle);
    setStyle(LVS_EDITLABELS, AStyle.EditLabels);
    setStyle(LVS_SINGLESEL, !AStyle.MultiSelect);
    setStyle(LVS_NOCOLUMNHEADER, !AStyle.ShowColumnHeader);
    SetLong(GWL_STYLE, static_cast<LONG_PTR>(static_cast<LONG>(style)));
    DWORD extended = ListView_GetExtendedListViewStyle(FHandle) | LVS_EX_INFOTIP;
    const auto setBit = [&extended](DWORD Bit, bool On) {
        extended = On ? (extended | Bit) : (extended & ~Bit);
    };
    setBit(LVS_EX_FULLROWSELECT, AStyle.FullRowSelect);
    setBit(LVS_EX_GRIDLINES, AStyle.GridLines);
    setBit(LVS_EX_HEADERDRAGDROP, AStyle.HeaderDragDrop);
    setBit(LVS_EX_CHECKBOXES, AStyle.CheckBoxes);
    ListView_SetExtendedListViewStyle(FHandle, extended);
    FStyle = AStyle;
}

void TkyListView::SetViewStyle(std::uint8_t View) {
    SetLong(GWL_STYLE,
            (GetLong(GWL_STYLE) & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | ViewStyleBits(View));
}

TkyImageList& TkyListView::GetSmallImages() {
    if (FSmallImages == nullptr) {
        const int size = GetSystemMetrics(SM_CXSMICON);
        FOwnedSmallImages = std::make_unique<TkyImageList>(size, size, 0);
        FSmallImages = FOwnedSmallImages.get();
        HandSmallImages();
    }
    return *FSmallImages;
}

// Handing back the list the view holds keeps it, and owned, instead of freeing it under the window.
void TkyListView::SetSmallImages(TkyImageList* List) {
    if (List != FSmallImages) {
        FOwnedSmallImages.reset();
        FSmallImages = List;
    }
    HandSmallImages();
}

void TkyListView::SetNormalImages(TkyImageList* List) {
    if (List != FNormalImages) {
        FOwnedNormalImages.reset();
        FNormalImages = List;
    }
}

// A window that dies while its object lives (its dialog ended first) would destroy the image
// list it was handed; the object takes it back and frees it itself.
LRESULT TkyListView::WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) {
    if (AMessage == WM_DESTROY) {
        TakeBackImages();
    }
    if (AMessage == WM_CONTEXTMENU && OnContextMenu) {
        OnContextMenu(ItemAtCursor());
        return 0;
    }
    if (AMessage == WM_KEYDOWN && WParam == VK_DELETE && OnDeleteKey &&
        FItems->SelectedCount() > 0) {
        OnDeleteKey(*this);
    }
    return TkyDragControl::WindowProc(AMessage, WParam, LParam);
}

void TkyListView::ApplyFont() {
    TkyDragControl::ApplyFont();
    Perform(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(Font().Color() & 0xFFFFFFFF));
}

LRESULT TkyListView::HandleNotify(int Code, NMHDR* Header) {
    switch (static_cast<UINT>(Code)) {
    case NM_CLICK:
        if (OnClick) {
            LVHITTESTINFO info{};
            info.pt = CursorPos();
            const auto item = static_cast<std::int32_t>(
                Perform(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)));
            OnClick(item, reinterpret_cast<const NMITEMACTIVATE*>(Header)->iSubItem);
        }
        break;
    case NM_DBLCLK:
        if (OnDblClick) {
            OnDblClick(reinterpret_cast<const NMITEMACTIVATE*>(Header)->iItem);
        }
        break;
    case NM_RETURN:
        if (OnReturn && FItems->FirstSelected() >= 0) {
            OnReturn(FItems->FirstSelected());
        }
        break;
    case NM_RCLICK:
        if (OnRightClick) {
            OnRightClick(reinterpret_cast<const NMITEMACTIVATE*>(Header)->iItem);
        }
        break;
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(Header);
        const bool was = (change->uOldState & LVIS_SELECTED) != 0;
        const bool is = (change->uNewState & LVIS_SELECTED) != 0;
        if (was != is && FItems->OnSelectChange) {
            FItems->OnSelectChange(change->iItem, is);
        }
        break;
    }
    case LVN_COLUMNCLICK:
        if (FColumns->OnColumnClick) {
            FColumns->OnColumnClick(reinterpret_cast<const NMLISTVIEW*>(Header)->iSubItem);
        }
        break;
    case LVN_BEGINDRAG:
        FItems->SetSelected(reinterpret_cast<const NMLISTVIEW*>(Header)->iItem, true);
        StartDrag();
        break;
    case LVN_GETINFOTIPW: {
        const int item = reinterpret_cast<const NMLVGETINFOTIPW*>(Header)->iItem;
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        Perform(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&bounds));
        if (OnInfoTip) {
            OnInfoTip(item, bounds);
        }
        break;
    }
    case LVN_BEGINLABELEDITW:
    case LVN_ENDLABELEDITW: {
        const auto* info = reinterpret_cast<const NMLVDISPINFOW*>(Header);
        const TListViewItems::TEditEvent& event = static_cast<UINT>(Code) == LVN_BEGINLABELEDITW
                                                      ? FItems->OnBeginEdit
                                                      : FItems->OnEndEdit;
        if (event) {
            const std::wstring text =
                info->item.pszText != nullptr ? info->item.pszText : std::wstring();
            return event(info->item.iItem, text);
        }
        break;
    }
    default:
        break;
    }
    return 0;
}

std::vector<std::int32_t> TkyListView::TextWidths(const std::vector<std::wstring>& Texts) const {
    const TkyWindowDc dc(FHandle);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0));
    const TkySelection selection(dc.Handle(),
                                 font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    std::vector<std::int32_t> widths;
    for (const std::wstring& text : Texts) {
        SIZE size{};
        GetTextExtentPoint32W(dc.Handle(), text.c_str(), static_cast<int>(text.size()), &size);
        widths.push_back(size.cx);
    }
    return widths;
}

std::int32_t TkyListView::HeightFor(std::int32_t Rows) const {
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (SendMessageW(FHandle, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) == 0) {
        return 0;
    }
    RECT header{};
    GetWindowRect(ListView_GetHeader(FHandle), &header);
    RECT frame{};
    RECT client{};
    GetWindowRect(FHandle, &frame);
    GetClientRect(FHandle, &client);
    // The frame, and a horizontal scroll bar when one is shown.
    const int edges = (frame.bottom - frame.top) - client.bottom;
    return edges + (header.bottom - header.top) + Rows * (row.bottom - row.top);
}

HWND TkyListView::CreateHandle(HWND AParent) {
    InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
    return CreateChildWindow(AParent, WC_LISTVIEWW, LIST_VIEW_STYLE, WS_EX_CLIENTEDGE);
}

void TkyListView::AfterCreate() {
    TkyDragControl::AfterCreate();
    if (FColumns) {
        FColumns->FColumnCount = 0;
        HandSmallImages();
    } else {
        FColumns = std::make_unique<TListViewColumns>(*this);
        FItems = std::make_unique<TListViewItems>(*this, *FColumns);
    }
    Subclass(CentreWindowProc);
}

void TkyListView::BeforeDestroy() {
    SetNormalImages(nullptr);
    SetSmallImages(nullptr);
    FColumns.reset();
    FItems.reset();
    TkyDragControl::BeforeDestroy();
}

// The old window goes without the image list, which stays the object's.
void TkyListView::RecreateHandle() {
    if (OwnsHandle()) {
        TakeBackImages();
    }
    TkyDragControl::RecreateHandle();
}

void TkyListView::TakeBackImages() {
    if (FSmallImages != nullptr) {
        Perform(LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    }
}

void TkyListView::HandSmallImages() {
    Perform(LVM_SETIMAGELIST, LVSIL_SMALL,
            reinterpret_cast<LPARAM>(FSmallImages != nullptr ? FSmallImages->Handle() : nullptr));
}

wchar_t TableCommandKey(WORD Key) {
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0 ||
        Key < 'A' || Key > 'Z') {
        return 0;
    }
    return static_cast<wchar_t>(Key);
}

POINT TableMenuPoint(HWND Table, LPARAM Position) {
    if (static_cast<DWORD>(Position) != 0xFFFFFFFF) {
        return {static_cast<short>(LOWORD(Position)), static_cast<short>(HIWORD(Position))};
    }
    const auto selected = static_cast<int>(
        SendMessageW(Table, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    RECT row{};
    row.left = LVIR_BOUNDS;
    POINT at{0, 0};
    if (selected >= 0 && SendMessageW(Table, LVM_ENSUREVISIBLE, selected, FALSE) &&
        SendMessageW(Table, LVM_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&row))) {
        at = POINT{row.left, row.bottom};
    }
    ClientToScreen(Table, &at);
    return at;
}

bool RunTableCommand(WORD Key, std::initializer_list<TkyTableCommand> Commands) {
    const wchar_t letter = TableCommandKey(Key);
    for (const TkyTableCommand& command : Commands) {
        if (letter != 0 && command.Key == letter) {
            command.Run();
            return true;
        }
    }
    return false;
}
