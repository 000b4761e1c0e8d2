#include "UkyListSuper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Values(const TkyStrList& List) {
    std::vector<std::wstring> result;
    for (std::int32_t i = List.LowIndex(); i <= List.HighIndex(); ++i) {
        result.push_back(List.Get(i));
    }
    return result;
}

std::vector<std::intptr_t> Values(const TkyIntList& List) {
    std::vector<std::intptr_t> result;
    for (std::int32_t i = List.LowIndex(); i <= List.HighIndex(); ++i) {
        result.push_back(List.Get(i));
    }
    return result;
}

std::vector<std::int32_t> Keys(TkyListSuper& List) {
    std::vector<std::int32_t> result;
    TListItem* item = nullptr;
    for (bool ok = List.Navigate(NAV_FIRST, item); ok; ok = List.Navigate(NAV_NEXT, item)) {
        result.push_back(item->Key);
    }
    return result;
}

std::unique_ptr<TListItem> Entry(std::int32_t Key, const std::wstring& Name = L"") {
    auto item = std::make_unique<TListItem>();
    item->Key = Key;
    item->Name = Name;
    return item;
}

TEST(TkyListSuper, InvalidIndicesAreAnsweredWithEmptyResults) {
    TkyStrList texts(100);
    EXPECT_EQ(texts.HighIndex(), -1);
    EXPECT_FALSE(texts.IsValidIndex(0));
    EXPECT_EQ(texts.Get(0), L"");
    EXPECT_FALSE(texts.Delete(0, 1));

    TkyIntList numbers(100);
    numbers.Add(7);
    EXPECT_EQ(numbers.Get(1), 0);
    EXPECT_EQ(numbers.Get(-1), 0);
    EXPECT_EQ(numbers.IndexOf(8), -1);

    TkyObjList objects(100);
    EXPECT_EQ(objects.Get(0), nullptr);
}

TEST(TkyListSuper, InsertClampsThePosition) {
    TkyStrList list(100);
    list.Add(L"a");
    list.Add(L"b");
    list.Add(L"c");
    EXPECT_EQ(list.Insert(-5, L"first"), 0);
    EXPECT_EQ(list.Insert(99, L"last"), 4);
    EXPECT_EQ(Values(list), (std::vector<std::wstring>{L"first", L"a", L"b", L"c", L"last"}));
}

TEST(TkyListSuper, DeleteRemovesConsecutiveEntriesWhileTheIndexIsValid) {
    TkyIntList list(100);
    list.Add(10);
    list.Add(11);
    list.Add(12);
    EXPECT_FALSE(list.Delete(7, 1));
    EXPECT_FALSE(list.Delete(0, 0));
    EXPECT_TRUE(list.Delete(1, 5));
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{10}));
}

TEST(TkyListSuper, ArrayKeepsTheMinimumCapacityAndGrowsOnlyAsNeeded) {
    TkyIntList list(2);
    EXPECT_EQ(list.Capacity(), 2u);
    for (int i = 0; i < 4; ++i) {
        list.Add(i);
    }
    EXPECT_EQ(list.Capacity(), 4u);
    list.Delete(0, 3);
    EXPECT_EQ(list.Capacity(), 2u);
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{3}));
    list.Clear();
    EXPECT_EQ(list.Capacity(), 2u);
    EXPECT_EQ(list.Count(), 0);
}

TEST(TkyStrList, JoinPutsTheSeparatorBetweenEntriesOnly) {
    TkyStrList list(100);
    EXPECT_EQ(list.GetText(), L"");
    list.Add(L"");
    EXPECT_EQ(list.GetText(), L"");

    list.Clear();
    list.SetSeparator(L"\t");
    list.Add(L"a");
    list.Add(L"");
    list.Add(L"b");
    EXPECT_EQ(list.GetText(), L"a\t\tb");
}

TEST(TkyStrList, JoinKeepsAValueWithAZeroCodeUnit) {
    TkyStrList list(100);
    list.Add(std::wstring(L"a\0b", 3));
    list.Add(L"c");
    EXPECT_EQ(list.GetText(), std::wstring(L"a\0b\r\nc", 6));
}

TEST(TkyStrList, SplitKeepsEmptyPiecesAndMatchesTheWholeSeparator) {
    TkyStrList list(100);
    list.SetText(L"x\r\ny\r\n");
    EXPECT_EQ(Values(list), (std::vector<std::wstring>{L"x", L"y", L""}));

    list.SetText(L"");
    EXPECT_EQ(list.Count(), 0);

    list.SetText(L"a\rb\nc");
    EXPECT_EQ(Values(list), (std::vector<std::wstring>{L"a\rb\nc"}));

    list.SetText(L"\r\n\r\n");
    EXPECT_EQ(Values(list), (std::vector<std::wstring>{L"", L"", L""}));

    list.SetSeparator(L"");
    list.SetText(L"p\r\nq");
    EXPECT_EQ(Values(list), (std::vector<std::wstring>{L"p\r\nq"}));

    list.SetSeparator(L"--");
    list.SetText(L"a---b");
    EXPECT_EQ(Values(list), (std::vector<std::wstring>{L"a", L"-b"}));
    EXPECT_EQ(list.GetText(), L"a---b");
}

TEST(TkyStrList, NextWalksTheEntriesOfANewText) {
    TkyStrList list(100);
    std::wstring line;
    list.SetText(L"one\r\ntwo");
    ASSERT_TRUE(list.Next(line));
    list.SetText(L"r1\r\nr2\r\nr3");
    std::vector<std::wstring> seen;
    while (list.Next(line)) {
        seen.push_back(line);
    }
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"r1", L"r2", L"r3"}));
    EXPECT_EQ(line, L"r3");

    // The cursor keeps moving past the end: two steps back lead to the last entry again.
    TListItem* item = nullptr;
    EXPECT_FALSE(list.Next(line));
    EXPECT_FALSE(list.Navigate(NAV_PRIOR, item));
    ASSERT_TRUE(list.Navigate(NAV_PRIOR, item));
    EXPECT_EQ(item->Value, L"r3");
    ASSERT_TRUE(list.Navigate(NAV_FIRST, item));
    EXPECT_EQ(item->Value, L"r1");
    EXPECT_FALSE(list.Navigate(NAV_PRIOR, item));
    ASSERT_TRUE(list.Navigate(NAV_LAST, item));
    EXPECT_EQ(item->Value, L"r3");
}

TEST(TkyStrList, NameSeparatorSplitsTrimmedLinesIntoNameAndValue) {
    TkyStrList list(100);
    list.SetNameSeparator(L"=");
    EXPECT_EQ(list.Add(L"  key=val  "), 0);
    EXPECT_EQ(list.Add(L"// a=comment"), -1);
    EXPECT_EQ(list.Add(L"\tplain line "), 1);
    EXPECT_EQ(list.Add(L"=empty name"), 2);
    EXPECT_EQ(list.Add(L"a=b=c"), 3);
    EXPECT_EQ(list.Count(), 4);

    EXPECT_EQ(list.Get(0), L"val");
    EXPECT_EQ(list.IndexOfName(L"KEY"), 0);
    EXPECT_EQ(list.Get(1), L"plain line");
    EXPECT_EQ(list.IndexOfName(L"a"), 3);
    EXPECT_EQ(list.Get(3), L"b=c");
    EXPECT_EQ(list.GetText(), L"key=val\r\nplain line\r\nempty name\r\na=b=c");

    list.ResetFormat();
    EXPECT_EQ(list.Add(L" // kept "), 4);
    EXPECT_EQ(list.Get(4), L" // kept ");
}

TEST(TkyStrList, KeySeparatorReadsAndWritesIntegerKeys) {
    TkyStrList list(100);
    list.SetKeySeparator(L":");
    list.Add(L" 12:twelve");
    list.Add(L"-7:minus seven");
    list.Add(L"x:not a number");
    list.Add(L"no key");
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{12, -7, 0, 0}));
    EXPECT_EQ(list.Get(1), L"minus seven");
    EXPECT_EQ(list.IndexOfKey(-7), 1);
    EXPECT_EQ(list.GetText(), L"12:twelve\r\n-7:minus seven\r\n0:not a number\r\n0:no key");

    list.SetNameSeparator(L"=");
    list.Clear();
    list.Add(L"n=v:w");
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(list.GetText(), L"n=0:v:w");
}

TEST(TkyIntList, SplitTurnsBadPiecesIntoZeroAndJoinsBack) {
    TkyIntList list(100);
    list.SetSeparator(L";");
    list.SetText(L"1;;-3;");
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{1, 0, -3, 0}));
    EXPECT_EQ(list.GetText(), L"1;0;-3;0");

    list.SetText(L" 42 ;x;4294967297;2147483648");
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{42, 0, 1, -2147483647 - 1}));

    list.Clear();
    EXPECT_EQ(list.GetText(), L"");
    list.AddWithKey(30501, 77);
    EXPECT_EQ(list.IndexOfKey(30501), 0);
    EXPECT_EQ(list.Get(0), 77);
}

struct TTracked : TObject {
    explicit TTracked(int& Freed) : FFreed(Freed) {}
    ~TTracked() override { ++FFreed; }
    int& FFreed;
};

TEST(TkyObjList, RemoveDropsEveryEntryOfTheObject) {
    int freed = 0;
    TTracked a(freed), b(freed);
    TkyObjList list(100);
    list.Insert(0, &a);
    list.Insert(1, &b);
    list.Insert(2, &a);
    EXPECT_EQ(list.AddUnique(&b), 1);
    EXPECT_EQ(list.Count(), 3);
    list.Remove(&a);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Get(0), &b);
    EXPECT_EQ(list.IndexOf(&a), -1);
    EXPECT_EQ(list.AddUnique(&a), 1);
    EXPECT_EQ(freed, 0);
}

TEST(TkyObjList, FreeAllFreesEachObjectOnceAndEmptiesTheList) {
    int freed = 0;
    TkyObjList list(100);
    auto* twice = new TTracked(freed);
    list.Insert(0, twice);
    list.Insert(1, new TTracked(freed));
    list.Insert(2, twice);
    list.Insert(3, nullptr);
    list.FreeAll();
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(list.Count(), 0);
}

struct THook : TkyInterfacedObject {};

TEST(TkyInterfaceList, GetHandsOutACountedCopyAndTheListKeepsNoCount) {
    THook hook;
    TkyInterfaceList list(100);
    EXPECT_EQ(list.Add(&hook), 0);
    EXPECT_EQ(hook.RefCount(), 0);
    {
        TkyIntfRef<IInterface> intf;
        list.Get(0, intf);
        EXPECT_EQ(intf.Get(), static_cast<IInterface*>(&hook));
        EXPECT_EQ(hook.RefCount(), 1);
        list.Get(5, intf);
        EXPECT_FALSE(intf);
        EXPECT_EQ(hook.RefCount(), 0);
    }
    EXPECT_TRUE(list.Delete(0, 1));
    EXPECT_EQ(hook.RefCount(), 0);
}

TEST(TkyListSuper, KeyModesKeepAscendingKeysAndUniqueModeRejectsDuplicates) {
    TkyIntList list(100);
    list.SetSortMode(SORT_BY_KEY);
    EXPECT_EQ(list.InsertItem(5, Entry(20)), 0);
    EXPECT_EQ(list.InsertItem(0, Entry(40)), 1);
    EXPECT_EQ(list.InsertItem(0, Entry(30)), 1);
    EXPECT_EQ(list.InsertItem(99, Entry(10)), 0);
    list.InsertItem(0, Entry(30));
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{10, 20, 30, 30, 40}));
    EXPECT_EQ(list.IndexOfKey(25), -1);
    EXPECT_EQ(list.IndexOfKey(40), 4);

    list.SetSortMode(SORT_UNIQUE_KEY);
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{10, 20, 30, 40}));
    EXPECT_EQ(list.InsertItem(0, Entry(20)), -1);
    EXPECT_EQ(list.InsertItem(0, Entry(35)), 3);
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{10, 20, 30, 35, 40}));
}

TEST(TkyListSuper, SortingAnUnsortedListOrdersItByKey) {
    TkyIntList list(100);
    for (std::int32_t key : {5, -2, 9, 5, 0, -2, 7}) {
        list.AddWithKey(key, key * 10);
    }
    list.SetSortMode(SORT_UNIQUE_KEY);
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{-2, 0, 5, 7, 9}));
    EXPECT_EQ(list.Get(list.IndexOfKey(7)), 70);
    list.SetSortMode(SORT_NONE);
    list.AddWithKey(-50, 0);
    EXPECT_EQ(Keys(list), (std::vector<std::int32_t>{-2, 0, 5, 7, 9, -50}));
}

TEST(TkyListSuper, EqualKeysSortBeforeTheEntryMetAndOnlyPlainSelectorsSearchBinary) {
    TkyIntList list(100);
    for (std::intptr_t value : {1, 2, 3}) {
        list.AddWithKey(5, value);
    }
    list.SetSortMode(SORT_BY_KEY);
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{3, 2, 1}));
    TListItem probe;
    probe.Key = 5;
    EXPECT_EQ(list.Find(probe, FIND_KEY), 1);
    EXPECT_EQ(list.Find(probe, FIND_KEY | 0x80), 0);
}

TEST(TkyListSuper, NameModesSortAndLookUpCaseSensitively) {
    TkyStrList list(100);
    list.SetSortMode(SORT_BY_NAME);
    EXPECT_EQ(list.InsertItem(7, Entry(0, L"pear")), 0);
    list.InsertItem(0, Entry(1, L"apple"));
    list.InsertItem(0, Entry(2, L"fig"));
    list.InsertItem(0, Entry(3, L"apple"));
    EXPECT_EQ(list.IndexOfName(L"fig"), 2);
    EXPECT_EQ(list.IndexOfName(L"FIG"), -1);

    list.SetSortMode(SORT_UNIQUE_NAME);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.InsertItem(0, Entry(4, L"fig")), -1);
    EXPECT_EQ(list.InsertItem(0, Entry(5, L"kiwi")), 2);
    list.SetNameSeparator(L"=");
    EXPECT_EQ(list.GetText(), L"apple=\r\nfig=\r\nkiwi=\r\npear=");

    list.SetSortMode(SORT_NONE);
    EXPECT_EQ(list.IndexOfName(L"FIG"), 1);
}

} // namespace
