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
    std::int32_t Mid = Low;
    int Order = 0;
    while (Low <= High) {
        Mid = Low + (High - Low) / 2;
        Order = Compare(Mid);
        if (Order == -1) {
            Low = Mid + 1;
        } else if (Order == 1) {
            High = Mid - 1;
        } else {
            return Mid;
        }
    }
    if (Exact) {
        return -1;
    }
    return Order == 1 ? Mid : Mid + 1;
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
    std::int32_t Position = Index;
    if (SortsByKey(FSortMode) || SortsByName(FSortMode)) {
        Position = SearchSortField(*Item, HighIndex());
    }
    Position = LimitToRange(Position, 0, FItemCount);
    FItems.insert(FItems.begin() + Position, std::move(Item));
    ++FItemCount;
    if (FItems.size() > std::max<std::size_t>(FItemCount, FMinCapacity)) {
        FItems.pop_back();
    }
    return Position;
}

void TkyListSuper::RemoveAt(std::int32_t Index) {
    FItems.erase(FItems.begin() + Index);
    --FItemCount;
    if (FItems.size() < FMinCapacity) {
        FItems.emplace_back();
    }
}

bool TkyListSuper::Delete(std::int32_t Index, std::int32_t ACount) {
    bool Removed = false;
    for (std::int32_t I = 0; I < ACount && IsValidIndex(Index); ++I) {
        RemoveAt(Index);
        Removed = true;
    }
    return Removed;
}

std::int32_t TkyListSuper::Find(const TListItem& Probe, std::uint8_t Selector) const {
    // Only the plain selectors use the sort order; the linear search looks at the low seven bits.
    if (SortsByKey(FSortMode) && Selector == FIND_KEY) {
        return SearchKey(Probe.Key, LowIndex(), true, HighIndex());
    }
    if (SortsByName(FSortMode) && Selector == FIND_NAME) {
        return SearchName(Probe.Name, LowIndex(), true, HighIndex());
    }
    const std::uint8_t Field = Selector & 0x7F;
    for (std::int32_t I = LowIndex(); I <= HighIndex(); ++I) {
        if (Matches(*FItems[I], Probe, Field)) {
            return I;
        }
    }
    return -1;
}

std::int32_t TkyListSuper::IndexOfKey(std::int32_t Key) const {
    TListItem Probe;
    Probe.Key = Key;
    return Find(Probe, FIND_KEY);
}

std::int32_t TkyListSuper::IndexOfName(const std::wstring& Name) const {
    TListItem Probe;
    Probe.Name = Name;
    return Find(Probe, FIND_NAME);
}

bool TkyListSuper::HasKey(std::int32_t Key) const {
    return IsValidIndex(IndexOfKey(Key));
}

bool TkyListSuper::HasName(const std::wstring& Name) const {
    return IsValidIndex(IndexOfName(Name));
}

bool TkyListSuper::Navigate(std::uint8_t Direction, TListItem*& Item) {
    constexpr std::int32_t Lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t Highest = std::numeric_limits<std::int32_t>::max();
    switch (Direction) {
    case NAV_FIRST:
        FCursor = LowIndex();
        break;
    case NAV_PRIOR:
        FCursor = FCursor == Lowest ? Lowest : FCursor - 1;
        break;
    case NAV_NEXT:
        FCursor = FCursor == Highest ? Highest : FCursor + 1;
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
    for (std::int32_t I = LowIndex() + 1; I <= HighIndex(); ++I) {
        const std::int32_t Position = SearchSortField(*FItems[I], I - 1);
        if (Position < I) {
            std::rotate(FItems.begin() + Position, FItems.begin() + I, FItems.begin() + I + 1);
        }
    }
}

// On sorted entries: of neighbours with the same key (or the very same name) the later one goes.
void TkyListSuper::RemoveDuplicates() {
    const bool ByKey = SortsByKey(FSortMode);
    for (std::int32_t K = HighIndex() - 1; K >= LowIndex(); --K) {
        const TListItem& A = *FItems[K];
        const TListItem& B = *FItems[K + 1];
        if (ByKey ? A.Key == B.Key : A.Name == B.Name) {
            RemoveAt(K + 1);
        }
    }
}

void TkyStreamList::Split(const std::wstring& Text,
                          const std::function<void(const std::wstring&)>& AddPiece) {
    Clear();
    if (Text.empty()) {
        return;
    }
    const std::wstring Sep = Separator();
    std::size_t Start = 0;
    if (!Sep.empty()) {
        for (std::size_t P = Text.find(Sep); P != std::wstring::npos; P = Text.find(Sep, Start)) {
            AddPiece(Text.substr(Start, P - Start));
            Start = P + Sep.size();
        }
    }
    AddPiece(Text.substr(Start));
}

void TkyStrList::ResetFormat() {
    FNameSeparator.clear();
    FKeySeparator.clear();
}

std::wstring TkyStrList::GetText() const {
    std::size_t Length = 0;
    for (std::int32_t I = LowIndex(); I <= HighIndex(); ++I) {
        const TListItem& Item = *ItemAt(I);
        if (I > LowIndex()) {
            Length += Separator().size();
        }
        if (!FNameSeparator.empty() && !Item.Name.empty()) {
            Length += Item.Name.size() + FNameSeparator.size();
        }
        if (!FKeySeparator.empty()) {
            Length += IntToText(0, Item.Key).size() + FKeySeparator.size();
        }
        Length += Item.Value.size();
    }
    std::wstring Result;
    Result.reserve(Length);
    for (std::int32_t I = LowIndex(); I <= HighIndex(); ++I) {
        const TListItem& Item = *ItemAt(I);
        if (I > LowIndex()) {
            Result += Separator();
        }
        if (!FNameSeparator.empty() && !Item.Name.empty()) {
            Result += Item.Name;
            Result += FNameSeparator;
        }
        if (!FKeySeparator.empty()) {
            Result += IntToText(0, Item.Key);
            Result += FKeySeparator;
        }
        Result += Item.Value;
    }
    return Result;
}

void TkyStrList::SetText(const std::wstring& Text) {
    Split(Text, [this](const std::wstring& Piece) { Add(Piece); });
}

std::int32_t TkyStrList::Add(const std::wstring& Text) {
    return Insert(Count(), Text);
}

std::int32_t TkyStrList::Insert(std::int32_t Index, const std::wstring& Text) {
    auto Item = std::make_unique<TListItem>();
    if (FNameSeparator.empty() && FKeySeparator.empty()) {
        Item->Value = Text;
        return InsertItem(Index, std::move(Item));
    }
    const std::wstring Line = TextTrim(Text);
    if (Line.starts_with(L"//")) {
        return -1;
    }
    const std::wstring& FieldSeparator = FNameSeparator.empty() ? FKeySeparator : FNameSeparator;
    const std::size_t P = Line.find(FieldSeparator);
    if (P == std::wstring::npos) {
        Item->Value = Line;
    } else {
        const std::wstring Field = Line.substr(0, P);
        if (!FNameSeparator.empty()) {
            Item->Name = Field;
        } else {
            Item->Key = static_cast<std::int32_t>(TextToIntDef(Field, 0));
        }
        Item->Value = Line.substr(P + FieldSeparator.size());
    }
    return InsertItem(Index, std::move(Item));
}

std::wstring TkyStrList::Get(std::int32_t Index) const {
    const TListItem* Item = ItemAt(Index);
    return Item != nullptr ? Item->Value : std::wstring();
}

bool TkyStrList::Next(std::wstring& Text) {
    TListItem* Item = nullptr;
    if (!Navigate(NAV_NEXT, Item)) {
        return false;
    }
    Text = Item->Value;
    return true;
}

std::wstring TkyIntList::GetText() const {
    std::wstring Result;
    for (std::int32_t I = LowIndex(); I <= HighIndex(); ++I) {
        if (I > LowIndex()) {
            Result += Separator();
        }
        Result += IntToText(0, ItemAt(I)->Data);
    }
    return Result;
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
    auto Item = std::make_unique<TListItem>();
    Item->Data = Value;
    return InsertItem(Index, std::move(Item));
}

std::int32_t TkyIntList::AddWithKey(std::int32_t Key, std::intptr_t Value) {
    auto Item = std::make_unique<TListItem>();
    Item->Key = Key;
    Item->Data = Value;
    return InsertItem(Count(), std::move(Item));
}

std::int32_t TkyIntList::IndexOf(std::intptr_t Value) const {
    TListItem Probe;
    Probe.Data = Value;
    return Find(Probe, FIND_DATA);
}

std::intptr_t TkyIntList::Get(std::int32_t Index) const {
    const TListItem* Item = ItemAt(Index);
    return Item != nullptr ? Item->Data : 0;
}

std::int32_t TkyObjList::Insert(std::int32_t Index, TObject* Obj) {
    auto Item = std::make_unique<TListItem>();
    Item->Obj = Obj;
    return InsertItem(Index, std::move(Item));
}

std::int32_t TkyObjList::AddUnique(TObject* Obj) {
    const std::int32_t Index = IndexOf(Obj);
    return Index >= 0 ? Index : Insert(Count(), Obj);
}

std::int32_t TkyObjList::IndexOf(TObject* Obj) const {
    TListItem Probe;
    Probe.Obj = Obj;
    return Find(Probe, FIND_OBJ);
}

void TkyObjList::Remove(TObject* Obj) {
    for (std::int32_t I = HighIndex(); I >= LowIndex(); --I) {
        if (ItemAt(I)->Obj == Obj) {
            Delete(I, 1);
        }
    }
}

TObject* TkyObjList::Get(std::int32_t Index) const {
    const TListItem* Item = ItemAt(Index);
    return Item != nullptr ? Item->Obj : nullptr;
}

// The objects are taken out of their entries before the first is freed, so that a destructor
// that looks into this list finds none of them.
void TkyObjList::FreeAll() {
    std::vector<std::unique_ptr<TObject>> Owned;
    for (std::int32_t I = LowIndex(); I <= HighIndex(); ++I) {
        TListItem& Item = *ItemAt(I);
        if (Item.Obj != nullptr && std::none_of(Owned.begin(), Owned.end(), [&](const auto& O) {
                return O.get() == Item.Obj;
            })) {
            Owned.emplace_back(Item.Obj);
        }
        Item.Obj = nullptr;
    }
    for (auto& Obj : Owned) {
        Obj.reset();
    }
    Clear();
}

std::int32_t TkyInterfaceList::Add(IInterface* Intf) {
    auto Item = std::make_unique<TListItem>();
    Item->Intf = Intf;
    return InsertItem(Count(), std::move(Item));
}

void TkyInterfaceList::Get(std::int32_t Index, TkyIntfRef<IInterface>& Intf) const {
    const TListItem* Item = ItemAt(Index);
    Intf = Item != nullptr ? Item->Intf : nullptr;
}
