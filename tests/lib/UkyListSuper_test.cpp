#include "UkyListSuper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Values(const TkyStrList& List) {
    std::vector<std::wstring> Result;
    for (std::int32_t I = List.LowIndex(); I <= List.HighIndex(); ++I) {
        Result.push_back(List.Get(I));
    }
    return Result;
}

std::vector<std::intptr_t> Values(const TkyIntList& List) {
    std::vector<std::intptr_t> Result;
    for (std::int32_t I = List.LowIndex(); I <= List.HighIndex(); ++I) {
        Result.push_back(List.Get(I));
    }
    return Result;
}

std::vector<std::int32_t> Keys(TkyListSuper& List) {
    std::vector<std::int32_t> Result;
    TListItem* Item = nullptr;
    for (bool Ok = List.Navigate(NAV_FIRST, Item); Ok; Ok = List.Navigate(NAV_NEXT, Item)) {
        Result.push_back(Item->Key);
    }
    return Result;
}

std::unique_ptr<TListItem> Entry(std::int32_t Key, const std::wstring& Name = L"") {
    auto Item = std::make_unique<TListItem>();
    Item->Key = Key;
    Item->Name = Name;
    return Item;
}

TEST(TkyListSuper, InvalidIndicesAreAnsweredWithEmptyResults) {
    TkyStrList Texts(100);
    EXPECT_EQ(Texts.HighIndex(), -1);
    EXPECT_FALSE(Texts.IsValidIndex(0));
    EXPECT_EQ(Texts.Get(0), L"");
    EXPECT_FALSE(Texts.Delete(0, 1));

    TkyIntList Numbers(100);
    Numbers.Add(7);
    EXPECT_EQ(Numbers.Get(1), 0);
    EXPECT_EQ(Numbers.Get(-1), 0);
    EXPECT_EQ(Numbers.IndexOf(8), -1);

    TkyObjList Objects(100);
    EXPECT_EQ(Objects.Get(0), nullptr);
}

TEST(TkyListSuper, InsertClampsThePosition) {
    TkyStrList List(100);
    List.Add(L"a");
    List.Add(L"b");
    List.Add(L"c");
    EXPECT_EQ(List.Insert(-5, L"first"), 0);
    EXPECT_EQ(List.Insert(99, L"last"), 4);
    EXPECT_EQ(Values(List), (std::vector<std::wstring>{L"first", L"a", L"b", L"c", L"last"}));
}

TEST(TkyListSuper, DeleteRemovesConsecutiveEntriesWhileTheIndexIsValid) {
    TkyIntList List(100);
    List.Add(10);
    List.Add(11);
    List.Add(12);
    EXPECT_FALSE(List.Delete(7, 1));
    EXPECT_FALSE(List.Delete(0, 0));
    EXPECT_TRUE(List.Delete(1, 5));
    EXPECT_EQ(Values(List), (std::vector<std::intptr_t>{10}));
}

TEST(TkyListSuper, ArrayKeepsTheMinimumCapacityAndGrowsOnlyAsNeeded) {
    TkyIntList List(2);
    EXPECT_EQ(List.Capacity(), 2u);
    for (int I = 0; I < 4; ++I) {
        List.Add(I);
    }
    EXPECT_EQ(List.Capacity(), 4u);
    List.Delete(0, 3);
    EXPECT_EQ(List.Capacity(), 2u);
    EXPECT_EQ(Values(List), (std::vector<std::intptr_t>{3}));
    List.Clear();
    EXPECT_EQ(List.Capacity(), 2u);
    EXPECT_EQ(List.Count(), 0);
}

TEST(TkyStrList, JoinPutsTheSeparatorBetweenEntriesOnly) {
    TkyStrList List(100);
    EXPECT_EQ(List.GetText(), L"");
    List.Add(L"");
    EXPECT_EQ(List.GetText(), L"");

    List.Clear();
    List.SetSeparator(L"\t");
    List.Add(L"a");
    List.Add(L"");
    List.Add(L"b");
    EXPECT_EQ(List.GetText(), L"a\t\tb");
}

TEST(TkyStrList, JoinKeepsAValueWithAZeroCodeUnit) {
    TkyStrList List(100);
    List.Add(std::wstring(L"a\0b", 3));
    List.Add(L"c");
    EXPECT_EQ(List.GetText(), std::wstring(L"a\0b\r\nc", 6));
}

TEST(TkyStrList, SplitKeepsEmptyPiecesAndMatchesTheWholeSeparator) {
    TkyStrList List(100);
    List.SetText(L"x\r\ny\r\n");
    EXPECT_EQ(Values(List), (std::vector<std::wstring>{L"x", L"y", L""}));

    List.SetText(L"");
    EXPECT_EQ(List.Count(), 0);

    List.SetText(L"a\rb\nc");
    EXPECT_EQ(Values(List), (std::vector<std::wstring>{L"a\rb\nc"}));

    List.SetText(L"\r\n\r\n");
    EXPECT_EQ(Values(List), (std::vector<std::wstring>{L"", L"", L""}));

    List.SetSeparator(L"");
    List.SetText(L"p\r\nq");
    EXPECT_EQ(Values(List), (std::vector<std::wstring>{L"p\r\nq"}));

    List.SetSeparator(L"--");
    List.SetText(L"a---b");
    EXPECT_EQ(Values(List), (std::vector<std::wstring>{L"a", L"-b"}));
    EXPECT_EQ(List.GetText(), L"a---b");
}

TEST(TkyStrList, NextWalksTheEntriesOfANewText) {
    TkyStrList List(100);
    std::wstring Line;
    List.SetText(L"one\r\ntwo");
    ASSERT_TRUE(List.Next(Line));
    List.SetText(L"r1\r\nr2\r\nr3");
    std::vector<std::wstring> Seen;
    while (List.Next(Line)) {
        Seen.push_back(Line);
    }
    EXPECT_EQ(Seen, (std::vector<std::wstring>{L"r1", L"r2", L"r3"}));
    EXPECT_EQ(Line, L"r3");

    // The cursor keeps moving past the end: two steps back lead to the last entry again.
    TListItem* Item = nullptr;
    EXPECT_FALSE(List.Next(Line));
    EXPECT_FALSE(List.Navigate(NAV_PRIOR, Item));
    ASSERT_TRUE(List.Navigate(NAV_PRIOR, Item));
    EXPECT_EQ(Item->Value, L"r3");
    ASSERT_TRUE(List.Navigate(NAV_FIRST, Item));
    EXPECT_EQ(Item->Value, L"r1");
    EXPECT_FALSE(List.Navigate(NAV_PRIOR, Item));
    ASSERT_TRUE(List.Navigate(NAV_LAST, Item));
    EXPECT_EQ(Item->Value, L"r3");
}

TEST(TkyStrList, NameSeparatorSplitsTrimmedLinesIntoNameAndValue) {
    TkyStrList List(100);
    List.SetNameSeparator(L"=");
    EXPECT_EQ(List.Add(L"  key=val  "), 0);
    EXPECT_EQ(List.Add(L"// a=comment"), -1);
    EXPECT_EQ(List.Add(L"\tplain line "), 1);
    EXPECT_EQ(List.Add(L"=empty name"), 2);
    EXPECT_EQ(List.Add(L"a=b=c"), 3);
    EXPECT_EQ(List.Count(), 4);

    EXPECT_EQ(List.Get(0), L"val");
    EXPECT_EQ(List.IndexOfName(L"KEY"), 0);
    EXPECT_EQ(List.Get(1), L"plain line");
    EXPECT_EQ(List.IndexOfName(L"a"), 3);
    EXPECT_EQ(List.Get(3), L"b=c");
    EXPECT_EQ(List.GetText(), L"key=val\r\nplain line\r\nempty name\r\na=b=c");

    List.ResetFormat();
    EXPECT_EQ(List.Add(L" // kept "), 4);
    EXPECT_EQ(List.Get(4), L" // kept ");
}

TEST(TkyStrList, KeySeparatorReadsAndWritesIntegerKeys) {
    TkyStrList List(100);
    List.SetKeySeparator(L":");
    List.Add(L" 12:twelve");
    List.Add(L"-7:minus seven");
    List.Add(L"x:not a number");
    List.Add(L"no key");
    EXPECT_EQ(Keys(List), (std::vector<std::int32_t>{12, -7, 0, 0}));
    EXPECT_EQ(List.Get(1), L"minus seven");
    EXPECT_EQ(List.IndexOfKey(-7), 1);
    EXPECT_EQ(List.GetText(), L"12:twelve\r\n-7:minus seven\r\n0:not a number\r\n0:no key");

    List.SetNameSeparator(L"=");
    List.Clear();
    List.Add(L"n=v:w");
    EXPECT_EQ(Keys(List), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(List.GetText(), L"n=0:v:w");
}

TEST(TkyIntList, SplitTurnsBadPiecesIntoZeroAndJoinsBack) {
    TkyIntList List(100);
    List.SetSeparator(L";");
    List.SetText(L"1;;-3;");
    EXPECT_EQ(Values(List), (std::vector<std::intptr_t>{1, 0, -3, 0}));
    EXPECT_EQ(List.GetText(), L"1;0;-3;0");

    List.SetText(L" 42 ;x;4294967297;2147483648");
    EXPECT_EQ(Values(List), (std::vector<std::intptr_t>{42, 0, 1, -2147483647 - 1}));

    List.Clear();
    EXPECT_EQ(List.GetText(), L"");
    List.AddWithKey(30501, 77);
    EXPECT_EQ(List.IndexOfKey(30501), 0);
    EXPECT_EQ(List.Get(0), 77);
}

struct TTracked : TObject {
    explicit TTracked(int& Freed) : FFreed(Freed) {}
    ~TTracked() override { ++FFreed; }
    int& FFreed;
};

TEST(TkyObjList, RemoveDropsEveryEntryOfTheObject) {
    int Freed = 0;
    TTracked A(Freed), B(Freed);
    TkyObjList List(100);
    List.Insert(0, &A);
    List.Insert(1, &B);
    List.Insert(2, &A);
    EXPECT_EQ(List.AddUnique(&B), 1);
    EXPECT_EQ(List.Count(), 3);
    List.Remove(&A);
    EXPECT_EQ(List.Count(), 1);
    EXPECT_EQ(List.Get(0), &B);
    EXPECT_EQ(List.IndexOf(&A), -1);
    EXPECT_EQ(List.AddUnique(&A), 1);
    EXPECT_EQ(Freed, 0);
}

TEST(TkyObjList, FreeAllFreesEachObjectOnceAndEmptiesTheList) {
    int Freed = 0;
    TkyObjList List(100);
    auto* Twice = new TTracked(Freed);
    List.Insert(0, Twice);
    List.Insert(1, new TTracked(Freed));
    List.Insert(2, Twice);
    List.Insert(3, nullptr);
    List.FreeAll();
    EXPECT_EQ(Freed, 2);
    EXPECT_EQ(List.Count(), 0);
}

struct THook : TkyInterfacedObject {};

TEST(TkyInterfaceList, GetHandsOutACountedCopyAndTheListKeepsNoCount) {
    THook Hook;
    TkyInterfaceList List(100);
    EXPECT_EQ(List.Add(&Hook), 0);
    EXPECT_EQ(Hook.RefCount(), 0);
    {
        TkyIntfRef<IInterface> Intf;
        List.Get(0, Intf);
        EXPECT_EQ(Intf.Get(), static_cast<IInterface*>(&Hook));
        EXPECT_EQ(Hook.RefCount(), 1);
        List.Get(5, Intf);
        EXPECT_FALSE(Intf);
        EXPECT_EQ(Hook.RefCount(), 0);
    }
    EXPECT_TRUE(List.Delete(0, 1));
    EXPECT_EQ(Hook.RefCount(), 0);
}

TEST(TkyListSuper, KeyModesKeepAscendingKeysAndUniqueModeRejectsDuplicates) {
    TkyIntList List(100);
    List.SetSortMode(SORT_BY_KEY);
    EXPECT_EQ(List.InsertItem(5, Entry(20)), 0);
    EXPECT_EQ(List.InsertItem(0, Entry(40)), 1);
    EXPECT_EQ(List.InsertItem(0, Entry(30)), 1);
    EXPECT_EQ(List.InsertItem(99, Entry(10)), 0);
    List.InsertItem(0, Entry(30));
    EXPECT_EQ(Keys(List), (std::vector<std::int32_t>{10, 20, 30, 30, 40}));
    EXPECT_EQ(List.IndexOfKey(25), -1);
    EXPECT_EQ(List.IndexOfKey(40), 4);

    List.SetSortMode(SORT_UNIQUE_KEY);
    EXPECT_EQ(Keys(List), (std::vector<std::int32_t>{10, 20, 30, 40}));
    EXPECT_EQ(List.InsertItem(0, Entry(20)), -1);
    EXPECT_EQ(List.InsertItem(0, Entry(35)), 3);
    EXPECT_EQ(Keys(List), (std::vector<std::int32_t>{10, 20, 30, 35, 40}));
}

TEST(TkyListSuper, SortingAnUnsortedListOrdersItByKey) {
    TkyIntList List(100);
    for (std::int32_t Key : {5, -2, 9, 5, 0, -2, 7}) {
        List.AddWithKey(Key, Key * 10);
    }
    List.SetSortMode(SORT_UNIQUE_KEY);
    EXPECT_EQ(Keys(List), (std::vector<std::int32_t>{-2, 0, 5, 7, 9}));
    EXPECT_EQ(List.Get(List.IndexOfKey(7)), 70);
    List.SetSortMode(SORT_NONE);
    List.AddWithKey(-50, 0);
    EXPECT_EQ(Keys(List), (std::vector<std::int32_t>{-2, 0, 5, 7, 9, -50}));
}

TEST(TkyListSuper, EqualKeysSortBeforeTheEntryMetAndOnlyPlainSelectorsSearchBinary) {
    TkyIntList List(100);
    for (std::intptr_t Value : {1, 2, 3}) {
        List.AddWithKey(5, Value);
    }
    List.SetSortMode(SORT_BY_KEY);
    EXPECT_EQ(Values(List), (std::vector<std::intptr_t>{3, 2, 1}));
    TListItem Probe;
    Probe.Key = 5;
    EXPECT_EQ(List.Find(Probe, FIND_KEY), 1);
    EXPECT_EQ(List.Find(Probe, FIND_KEY | 0x80), 0);
}

TEST(TkyListSuper, NameModesSortAndLookUpCaseSensitively) {
    TkyStrList List(100);
    List.SetSortMode(SORT_BY_NAME);
    EXPECT_EQ(List.InsertItem(7, Entry(0, L"pear")), 0);
    List.InsertItem(0, Entry(1, L"apple"));
    List.InsertItem(0, Entry(2, L"fig"));
    List.InsertItem(0, Entry(3, L"apple"));
    EXPECT_EQ(List.IndexOfName(L"fig"), 2);
    EXPECT_EQ(List.IndexOfName(L"FIG"), -1);

    List.SetSortMode(SORT_UNIQUE_NAME);
    EXPECT_EQ(List.Count(), 3);
    EXPECT_EQ(List.InsertItem(0, Entry(4, L"fig")), -1);
    EXPECT_EQ(List.InsertItem(0, Entry(5, L"kiwi")), 2);
    List.SetNameSeparator(L"=");
    EXPECT_EQ(List.GetText(), L"apple=\r\nfig=\r\nkiwi=\r\npear=");

    List.SetSortMode(SORT_NONE);
    EXPECT_EQ(List.IndexOfName(L"FIG"), 1);
}

} // namespace
