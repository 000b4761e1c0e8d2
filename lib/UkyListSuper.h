#pragma once

#include "UkyClasses.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One entry of a list. Each kind of list uses one field for its values; Key and Name are the sort
// fields. The list owns the record and its strings, not the object in Obj nor the interface in
// Intf.
struct TListItem {
    std::int32_t Key = 0;
    std::wstring Name;
    std::wstring Value;
    std::intptr_t Data = 0;
    TObject* Obj = nullptr;
    IInterface* Intf = nullptr;
};

// Order kept by a list (SetSortMode).
constexpr std::uint8_t SORT_NONE = 0;
constexpr std::uint8_t SORT_BY_KEY = 1;
constexpr std::uint8_t SORT_BY_NAME = 2;
constexpr std::uint8_t SORT_UNIQUE_KEY = 3;
constexpr std::uint8_t SORT_UNIQUE_NAME = 4;

// Field compared by Find.
constexpr std::uint8_t FIND_KEY = 0;
constexpr std::uint8_t FIND_NAME = 1;
constexpr std::uint8_t FIND_VALUE = 2;
constexpr std::uint8_t FIND_DATA = 3;
constexpr std::uint8_t FIND_OBJ = 4;
constexpr std::uint8_t FIND_INTF = 5;

// Moves of the cursor (Navigate).
constexpr std::uint8_t NAV_FIRST = 0;
constexpr std::uint8_t NAV_PRIOR = 1;
constexpr std::uint8_t NAV_CURRENT = 2;
constexpr std::uint8_t NAV_NEXT = 3;
constexpr std::uint8_t NAV_LAST = 4;

// A growable array of separately allocated entries. The array never has fewer slots than the
// minimum capacity given at creation, and beyond it no more than the entries need.
class TkyListSuper : public TkyCollection {
public:
    explicit TkyListSuper(std::uint32_t AMinCapacity);

    std::int32_t Count() const override { return FItemCount; }
    virtual void ResetFormat();

    void Clear();
    // Inserts the entry at Index (clamped into 0 .. Count), or where its sort field belongs in a
    // sorted list, and answers where it landed. A unique sorted list rejects an entry whose sort
    // field is already present and answers -1.
    std::int32_t InsertItem(std::int32_t Index, std::unique_ptr<TListItem> Item);
    // Removes up to ACount entries at Index; true when at least one went.
    bool Delete(std::int32_t Index, std::int32_t ACount);
    // Index of the first entry whose field (FIND_*) matches the probe's, or -1.
    std::int32_t Find(const TListItem& Probe, std::uint8_t Selector) const;
    std::int32_t IndexOfKey(std::int32_t Key) const;
    std::int32_t IndexOfName(const std::wstring& Name) const;
    bool HasKey(std::int32_t Key) const;
    bool HasName(const std::wstring& Name) const;
    // Moves the cursor (NAV_*); true, with the entry there, when it stands on an entry.
    bool Navigate(std::uint8_t Direction, TListItem*& Item);
    void SetSortMode(std::uint8_t Mode);
    std::uint8_t SortMode() const { return FSortMode; }

    // Text between the entries of the text conversions; CR LF unless changed.
    const std::wstring& Separator() const { return FSeparator; }
    void SetSeparator(const std::wstring& Value) { FSeparator = Value; }

    // Slots of the array (at least the minimum capacity).
    std::size_t Capacity() const { return FItems.size(); }

protected:
    // The entry at Index; null for an invalid index.
    TListItem* ItemAt(std::int32_t Index) const;

private:
    std::int32_t SearchKey(std::int32_t Key, std::int32_t Low, bool Exact, std::int32_t High) const;
    std::int32_t SearchName(const std::wstring& Name, std::int32_t Low, bool Exact,
                            std::int32_t High) const;
    std::int32_t SearchSortField(const TListItem& Item, std::int32_t High) const;
    void RemoveAt(std::int32_t Index);
    void SortEntries();
    void RemoveDuplicates();

    std::vector<std::unique_ptr<TListItem>> FItems;
    std::int32_t FItemCount = 0;
    std::uint32_t FMinCapacity;
    std::int32_t FCursor = -1;
    std::wstring FSeparator;
    std::uint8_t FSortMode = SORT_NONE;
};

// A list that converts to and from one text, the entries separated by Separator.
class TkyStreamList : public TkyListSuper {
public:
    using TkyListSuper::TkyListSuper;

    virtual std::wstring GetText() const = 0;
    virtual void SetText(const std::wstring& Text) = 0;

protected:
    // Clears the list and hands every piece of Text between separators to AddPiece, the last
    // piece also when it is empty. An empty text has no pieces; an empty separator never matches.
    void Split(const std::wstring& Text, const std::function<void(const std::wstring&)>& AddPiece);
};

// Texts. With NameSeparator or KeySeparator set, each line is read as name (or integer key),
// separator, value; lines starting with "//" are skipped.
class TkyStrList : public TkyStreamList {
public:
    using TkyStreamList::TkyStreamList;

    void ResetFormat() override;
    std::wstring GetText() const override;
    void SetText(const std::wstring& Text) override;

    std::int32_t Add(const std::wstring& Text);
    // Answers where the entry landed, or -1 when nothing was added (a comment line, a rejected
    // duplicate).
    std::int32_t Insert(std::int32_t Index, const std::wstring& Text);
    // The value at Index; empty for an invalid index.
    std::wstring Get(std::int32_t Index) const;
    // Steps the cursor to the next entry and gives its value; false, leaving Text, past the end.
    bool Next(std::wstring& Text);

    const std::wstring& NameSeparator() const { return FNameSeparator; }
    void SetNameSeparator(const std::wstring& Value) { FNameSeparator = Value; }
    const std::wstring& KeySeparator() const { return FKeySeparator; }
    void SetKeySeparator(const std::wstring& Value) { FKeySeparator = Value; }

private:
    std::wstring FNameSeparator;
    std::wstring FKeySeparator;
};

// Pointer-sized integers (handles among them), kept in Data. As text they are decimal numbers;
// a piece that is no integer reads as 0.
class TkyIntList : public TkyStreamList {
public:
    using TkyStreamList::TkyStreamList;

    std::wstring GetText() const override;
    void SetText(const std::wstring& Text) override;

    std::int32_t Add(std::intptr_t Value);
    std::int32_t Insert(std::int32_t Index, std::intptr_t Value);
    std::int32_t AddWithKey(std::int32_t Key, std::intptr_t Value);
    std::int32_t IndexOf(std::intptr_t Value) const;
    // The value at Index; 0 for an invalid index.
    std::intptr_t Get(std::int32_t Index) const;
};

// Object references. The list does not own the objects; only FreeAll frees them.
class TkyObjList : public TkyListSuper {
public:
    using TkyListSuper::TkyListSuper;

    std::int32_t Insert(std::int32_t Index, TObject* Obj);
    // The index of Obj when the list holds it already; otherwise appends it.
    std::int32_t AddUnique(TObject* Obj);
    std::int32_t IndexOf(TObject* Obj) const;
    // Removes every entry holding Obj.
    void Remove(TObject* Obj);
    // The object at Index; null for an invalid index.
    TObject* Get(std::int32_t Index) const;
    // Frees every object held (each once, also when held twice), then clears the list.
    void FreeAll();
};

// Interface references. The list holds them without a count of its own: it neither adds a
// reference when one is stored nor releases one when its entry goes, so an interface must
// outlive its entry.
class TkyInterfaceList : public TkyListSuper {
public:
    using TkyListSuper::TkyListSuper;

    std::int32_t Add(IInterface* Intf);
    // A counted copy of the interface at Index; empty for an invalid index.
    void Get(std::int32_t Index, TkyIntfRef<IInterface>& Intf) const;
};
