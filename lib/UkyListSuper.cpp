#include "UkyListSuper.h"

#include "UkyFunctions.h"
#include "UkyMath.h"
#include "UkyStrUtils.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Binary search over sorted entries Low .. High. Compare(i) tells how entry i orders against the
// probe: -1 before it, 1 after it, anything else equal. Without an exact match the non-exact
// answer is where the probe belongs: the last entry met when that one orders after the probe,
// else the slot behind it; an empty range answers -1.
template <class TCompare>
std::int32_t BinarySearch(std::int32_t Low, std::int32_t High, bool Exact, TCompare Compare) {
    if (High < Low) {
        return -1;
    }
    std::int32_t mid = Low;
    int order = 0;
    while (Low <= High) {
        mid = Low + (High - Low) / 2;
        order = Compare(mid);
        if (order == -1) {
            Low = mid + 1;
        } else if (order == 1) {
            High = mid - 1;
        } else {
            return mid;
        }
    }
    if (Exact) {
        return -1;
    }
    return order == 1 ? mid : mid + 1;
}

int CompareKeys(std::int32_t A, std::int32_t B) {
    return A < B ? -1 : (A > B ? 1 : 0);
}

bool Matches(const TListItem& Item, const TListItem& Probe, std::uint8_t Selector) {
    switch (Selector) {
    case FIND_KEY:
        return Item.Key == Probe.Key;
    case FIND_NAME:
        return TextSame(Item.Name, Probe.Name, false);
    case FIND_VALUE:
        return TextSame(Item.Value, Probe.Value, false);
    case FIND_DATA:
        return Item.Data == Probe.Data;
    case FIND_OBJ:
        return Item.Obj == Probe.Obj;
    default:
        return Item.Intf == Probe.Intf;
    }
}

bool SortsByKey(std::uint8_t Mode) {
    return Mode == SORT_BY_KEY || Mode == SORT_UNIQUE_KEY;
}
bool SortsByName(std::uint8_t Mode) {
    return Mode == SORT_BY_NAME || Mode == SORT_UNIQUE_NAME;
}

const std::wstring CRLF = L"\r\n";

} // namespace

TkyListSuper::TkyListSuper(std::uint32_t AMinCapacity)
    : FItems(AMinCapacity), FMinCapacity(AMinCapacity), FSeparator(CRLF) {}

void TkyListSuper::ResetFormat() {}

void TkyListSuper::Clear() {
    FItems.clear();
    FItems.resize(FMinCapacity);
    FItemCount = 0;
    FCursor = -1;
}

std::int32_t TkyListSuper::InsertItem(std::int32_t Index, std::unique_ptr<TListItem> Item) {
    if (!Item) {
        return -1;
    }
    if ((FSortMode == SORT_UNIQUE_KEY && HasKey(Item->Key)) ||
        (FSortMode == SORT_UNIQUE_NAME && HasName(Item->Name))) {
        return -1;
    }
    std::int32_t position = Index;
    if (SortsByKey(FSortMode) || SortsByName(FSortMode)) {
        position = SearchSortField(*Item, HighIndex());
    }
    position = LimitToRange(position, 0, FItemCount);
    FItems.insert(FItems.begin() + position, std::move(Item));
    ++FItemCount;
    if (FItems.size() > std::max<std::size_t>(FItemCount, FMinCapacity)) {
        FItems.pop_back();
    }
    return position;
}

void TkyListSuper::RemoveAt(std::int32_t Index) {
    FItems.erase(FItems.begin() + Index);
    --FItemCount;
    if (FItems.size() < FMinCapacity) {
        FItems.emplace_back();
    }
}

bool TkyListSuper::Delete(std::int32_t Index, std::int32_t ACount) {
    bool removed = false;
    for (std::int32_t i = 0; i < ACount && IsValidIndex(Index); ++i) {
        RemoveAt(Index);
        removed = true;
    }
    return removed;
}

std::int32_t TkyListSuper::Find(const TListItem& Probe, std::uint8_t Selector) const {
    // Only the plain selectors use the sort order; the linear search looks at the low seven bits.
    if (SortsByKey(FSortMode) && Selector == FIND_KEY) {
        return SearchKey(Probe.Key, LowIndex(), true, HighIndex());
    }
    if (SortsByName(FSortMode) && Selector == FIND_NAME) {
        return SearchName(Probe.Name, LowIndex(), true, HighIndex());
    }
    const std::uint8_t field = Selector & 0x7F;
    for (std::int32_t i = LowIndex(); i <= HighIndex(); ++i) {
        if (Matches(*FItems[i], Probe, field)) {
            return i;
        }
    }
    return -1;
}

std::int32_t TkyListSuper::IndexOfKey(std::int32_t Key) const {
    TListItem probe;
    probe.Key = Key;
    return Find(probe, FIND_KEY);
}

std::int32_t TkyListSuper::IndexOfName(const std::wstring& Name) const {
    TListItem probe;
    probe.Name = Name;
    return Find(probe, FIND_NAME);
}

bool TkyListSuper::HasKey(std::int32_t Key) const {
    return IsValidIndex(IndexOfKey(Key));
}

bool TkyListSuper::HasName(const std::wstring& Name) const {
    return IsValidIndex(IndexOfName(Name));
}

bool TkyListSuper::Navigate(std::uint8_t Direction, TListItem*& Item) {
    constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();
    switch (Direction) {
    case NAV_FIRST:
        FCursor = LowIndex();
        break;
    case NAV_PRIOR:
        FCursor = FCursor == lowest ? lowest : FCursor - 1;
        break;
    case NAV_NEXT:
        FCursor = FCursor == highest ? highest : FCursor + 1;
        break;
    case NAV_LAST:
        FCursor = HighIndex();
        break;
    default:
        break;
    }
    if (!IsValidIndex(FCursor)) {
        return false;
    }
    Item = FItems[FCursor].get();
    return true;
}

void TkyListSuper::SetSortMode(std::uint8_t Mode) {
    FSortMode = Mode;
    if (SortsByKey(Mode) || SortsByName(Mode)) {
        SortEntries();
    }
    if (Mode == SORT_UNIQUE_KEY || Mode == SORT_UNIQUE_NAME) {
        RemoveDuplicates();
    }
}

TListItem* TkyListSuper::ItemAt(std::int32_t Index) const {
    return IsValidIndex(Index) ? FItems[Index].get() : nullptr;
}

std::int32_t TkyListSuper::SearchKey(std::int32_t Key, std::int32_t Low, bool Exact,
                                     std::int32_t High) const {
    return BinarySearch(Low, High, Exact,
                        [&](std::int32_t I) { return CompareKeys(FItems[I]->Key, Key); });
}

std::int32_t TkyListSuper::SearchName(const std::wstring& Name, std::int32_t Low, bool Exact,
                                      std::int32_t High) const {
    return BinarySearch(Low, High, Exact,
                        [&](std::int32_t I) { return TextCompare(FItems[I]->Name, Name); });
}

// Where Item belongs by the sort field of the current mode among the entries 0 .. High.
std::int32_t TkyListSuper::SearchSortField(const TListItem& Item, std::int32_t High) const {
    if (SortsByKey(FSortMode)) {
        return SearchKey(Item.Key, LowIndex(), false, High);
    }
    return SearchName(Item.Name, LowIndex(), false, High);
}

// Insertion sort: each entry moves down to where the search over the entries before it puts it.
void TkyListSuper::SortEntries() {
    for (std::int32_t i = LowIndex() + 1; i <= HighIndex(); ++i) {
        const std::int32_t position = SearchSortField(*FItems[i], i - 1);
        if (position < i) {
            std::rotate(FItems.begin() + position, FItems.begin() + i, FItems.begin() + i + 1);
        }
    }
}

// On sorted entries: of neighbours with the same key (or the very same name) the later one goes.
void TkyListSuper::RemoveDuplicates() {
    const bool byKey = SortsByKey(FSortMode);
    for (std::int32_t k = HighIndex() - 1; k >= LowIndex(); --k) {
        const TListItem& a = *FItems[k];
        const TListItem& b = *FItems[k + 1];
        if (byKey ? a.Key == b.Key : a.Name == b.Name) {
            RemoveAt(k + 1);
        }
    }
}

void TkyStreamList::Split(const std::wstring& Text,
                          const std::function<void(const std::wstring&)>& AddPiece) {
    Clear();
    if (Text.empty()) {
        return;
    }
    const std::wstring sep = Separator();
    std::size_t start = 0;
    if (!sep.empty()) {
        for (std::size_t p = Text.find(sep); p != std::wstring::npos; p = Text.find(sep, start)) {
            AddPiece(Text.substr(start, p - start));
            start = p + sep.size();
        }
    }
    AddPiece(Text.substr(start));
}

void TkyStrList::ResetFormat() {
    FNameSeparator.clear();
    FKeySeparator.clear();
}

std::wstring TkyStrList::GetText() const {
    std::size_t length = 0;
    for (std::int32_t i = LowIndex(); i <= HighIndex(); ++i) {
        const TListItem& item = *ItemAt(i);
        if (i > LowIndex()) {
            length += Separator().size();
        }
        if (!FNameSeparator.empty() && !item.Name.empty()) {
            length += item.Name.size() + FNameSeparator.size();
        }
        if (!FKeySeparator.empty()) {
            length += IntToText(0, item.Key).size() + FKeySeparator.size();
        }
        length += item.Value.size();
    }
    std::wstring result;
    result.reserve(length);
    for (std::int32_t i = LowIndex(); i <= HighIndex(); ++i) {
        const TListItem& item = *ItemAt(i);
        if (i > LowIndex()) {
            result += Separator();
        }
        if (!FNameSeparator.empty() && !item.Name.empty()) {
            result += item.Name;
            result += FNameSeparator;
        }
        if (!FKeySeparator.empty()) {
            result += IntToText(0, item.Key);
            result += FKeySeparator;
        }
        result += item.Value;
    }
    return result;
}

void TkyStrList::SetText(const std::wstring& Text) {
    Split(Text, [this](const std::wstring& Piece) { Add(Piece); });
}

std::int32_t TkyStrList::Add(const std::wstring& Text) {
    return Insert(Count(), Text);
}

std::int32_t TkyStrList::Insert(std::int32_t Index, const std::wstring& Text) {
    auto item = std::make_unique<TListItem>();
    if (FNameSeparator.empty() && FKeySeparator.empty()) {
        item->Value = Text;
        return InsertItem(Index, std::move(item));
    }
    const std::wstring line = TextTrim(Text);
    if (line.starts_with(L"//")) {
        return -1;
    }
    const std::wstring& fieldSeparator = FNameSeparator.empty() ? FKeySeparator : FNameSeparator;
    const std::size_t p = line.find(fieldSeparator);
    if (p == std::wstring::npos) {
        item->Value = line;
    } else {
        const std::wstring field = line.substr(0, p);
        if (!FNameSeparator.empty()) {
            item->Name = field;
        } else {
            item->Key = static_cast<std::int32_t>(TextToIntDef(field, 0));
        }
        item->Value = line.substr(p + fieldSeparator.size());
    }
    return InsertItem(Index, std::move(item));
}

std::wstring TkyStrList::Get(std::int32_t Index) const {
    const TListItem* item = ItemAt(Index);
    return item != nullptr ? item->Value : std::wstring();
}

bool TkyStrList::Next(std::wstring& Text) {
    TListItem* item = nullptr;
    if (!Navigate(NAV_NEXT, item)) {
        return false;
    }
    Text = item->Value;
    return true;
}

std::wstring TkyIntList::GetText() const {
    std::wstring result;
    for (std::int32_t i = LowIndex(); i <= HighIndex(); ++i) {
        if (i > LowIndex()) {
            result += Separator();
        }
        result += IntToText(0, ItemAt(i)->Data);
    }
    return result;
}

void TkyIntList::SetText(const std::wstring& Text) {
    Split(Text, [this](const std::wstring& Piece) {
        Add(static_cast<std::int32_t>(TextToIntDef(Piece, 0)));
    });
}

std::int32_t TkyIntList::Add(std::intptr_t Value) {
    return Insert(Count(), Value);
}

std::int32_t TkyIntList::Insert(std::int32_t Index, std::intptr_t Value) {
    auto item = std::make_unique<TListItem>();
    item->Data = Value;
    return InsertItem(Index, std::move(item));
}

std::int32_t TkyIntList::AddWithKey(std::int32_t Key, std::intptr_t Value) {
    auto item = std::make_unique<TListItem>();
    item->Key = Key;
    item->Data = Value;
    return InsertItem(Count(), std::move(item));
}

std::int32_t TkyIntList::IndexOf(std::intptr_t Value) const {
    TListItem probe;
    probe.Data = Value;
    return Find(probe, FIND_DATA);
}

std::intptr_t TkyIntList::Get(std::int32_t Index) const {
    const TListItem* item = ItemAt(Index);
    return item != nullptr ? item->Data : 0;
}

std::int32_t TkyObjList::Insert(std::int32_t Index, TObject* Obj) {
    auto item = std::make_unique<TListItem>();
    item->Obj = Obj;
    return InsertItem(Index, std::move(item));
}

std::int32_t TkyObjList::AddUnique(TObject* Obj) {
    const std::int32_t index = IndexOf(Obj);
    return index >= 0 ? index : Insert(Count(), Obj);
}

std::int32_t TkyObjList::IndexOf(TObject* Obj) const {
    TListItem probe;
    probe.Obj = Obj;
    return Find(probe, FIND_OBJ);
}

void TkyObjList::Remove(TObject* Obj) {
    for (std::int32_t i = HighIndex(); i >= LowIndex(); --i) {
        if (ItemAt(i)->Obj == Obj) {
            Delete(i, 1);
        }
    }
}

TObject* TkyObjList::Get(std::int32_t Index) const {
    const TListItem* item = ItemAt(Index);
    return item != nullptr ? item->Obj : nullptr;
}

// The objects are taken out of their entries before the first is freed, so that a destructor
// that looks into this list finds none of them.
void TkyObjList::FreeAll() {
    std::vector<std::unique_ptr<TObject>> owned;
    for (std::int32_t i = LowIndex(); i <= HighIndex(); ++i) {
        TListItem& item = *ItemAt(i);
        if (item.Obj != nullptr && std::none_of(owned.begin(), owned.end(), [item](const auto& O) {
                return O.get() == item.Obj;
            })) {
            owned.emplace_back(item.Obj);
        }
        item.Obj = nullptr;
    }
    for (auto& obj : owned) {
        obj.reset();
    }
    Clear();
}

std::int32_t TkyInterfaceList::Add(IInterface* Intf) {
    auto item = std::make_unique<TListItem>();
    item->Intf = Intf;
    return InsertItem(Count(), std::move(item));
}

void TkyInterfaceList::Get(std::int32_t Index, TkyIntfRef<IInterface>& Intf) const {
    const TListItem* item = ItemAt(Index);
    Intf = item != nullptr ? item->Intf : nullptr;
}
