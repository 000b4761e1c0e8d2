#include "UkyStrUtils.h"

#include <gtest/gtest.h>

TEST(UkyStrUtils, TextPosFindsExactMatchesFromStart) {
    EXPECT_EQ(TextPos(L"exe", L"a.exe.exe", 1), 3);
    EXPECT_EQ(TextPos(L"exe", L"a.exe.exe", 4), 7);
    EXPECT_EQ(TextPos(L"exe", L"a.exe.exe", 8), 0);
    EXPECT_EQ(TextPos(L"EXE", L"a.exe", 1), 0);
    EXPECT_EQ(TextPos(L"", L"abc", 1), 0);
    EXPECT_EQ(TextPos(L"a", L"", 1), 0);
    EXPECT_EQ(TextPos(L"abcd", L"abc", 1), 0);
}

TEST(UkyStrUtils, CharScanStopsAtTheTerminator) {
    const wchar_t* text = L"a\tb";
    EXPECT_EQ(CharScan(text, L'\t'), text + 1);
    EXPECT_EQ(CharScan(text, L'\0'), text + 3);
    EXPECT_EQ(CharScan(text, L'x'), nullptr);
    EXPECT_EQ(CharScan(nullptr, L'a'), nullptr);
}

TEST(UkyStrUtils, LeftCopyAndDeleteClipToTheText) {
    EXPECT_EQ(TextLeft(L"abcdef", 2), L"ab");
    EXPECT_EQ(TextLeft(L"abcdef", -1), L"abcdef");
    EXPECT_EQ(TextLeft(L"abc", 10), L"abc");
    EXPECT_EQ(TextCopy(L"abcdef", 3, 2), L"cd");
    EXPECT_EQ(TextCopy(L"abcdef", 3, -1), L"cdef");
    EXPECT_EQ(TextCopy(L"abcdef", 5, 10), L"ef");
    EXPECT_EQ(TextCopy(L"abcdef", 7, 1), L"");

    std::wstring text = L"abcdef";
    TextDelete(text, 2, 3);
    EXPECT_EQ(text, L"aef");
    TextDelete(text, 3, 5);
    EXPECT_EQ(text, L"ae");
    TextDelete(text, 1, 1);
    EXPECT_EQ(text, L"e");
}

TEST(UkyStrUtils, ReplaceWorksLeftToRightWithoutOverlaps) {
    EXPECT_EQ(TextReplace(L"a.exe.exe", L".exe", L".ini"), L"a.ini.ini");
    EXPECT_EQ(TextReplace(L"aaa", L"aa", L"b"), L"ba");
    EXPECT_EQ(TextReplace(L"abc", L"", L"x"), L"abc");
    EXPECT_EQ(TextReplace(L"CALC.EXE", L".exe", L".ini"), L"CALC.EXE");
    EXPECT_EQ(TextReplace(L"x-y", L"-", L""), L"xy");
}

TEST(UkyStrUtils, TrimRemovesBlanksAndControlCharacters) {
    EXPECT_EQ(TextTrim(L" \t\r\n 12 a\x1F "), L"12 a");
    EXPECT_EQ(TextTrim(L" \t "), L"");
    EXPECT_EQ(TextTrim(L"\x00A0x"), L"\x00A0x");
}

TEST(UkyStrUtils, SameAndCompareFollowCaseRule) {
    EXPECT_TRUE(TextSame(L"Fund", L"FUND", false));
    EXPECT_FALSE(TextSame(L"Fund", L"FUND", true));
    EXPECT_TRUE(TextSame(L"Fund", L"Fund", true));
    EXPECT_FALSE(TextSame(L"Fund", L"Fun", false));
    EXPECT_EQ(TextCompare(L"apple", L"banana"), -1);
    EXPECT_EQ(TextCompare(L"banana", L"apple"), 1);
    EXPECT_EQ(TextCompare(L"abc", L"abc"), 0);
    EXPECT_EQ(TextCompare(L"ab", L"abc"), -1);
}

TEST(UkyStrUtils, SplitKeepsEmptyPartsAtBothEnds) {
    EXPECT_EQ(TextSplit(L"年\t利息\t\t备注", L'\t'),
              (std::vector<std::wstring>{L"年", L"利息", L"", L"备注"}));
    EXPECT_EQ(TextSplit(L"\t", L'\t'), (std::vector<std::wstring>{L"", L""}));
    EXPECT_EQ(TextSplit(L"", L'\t'), std::vector<std::wstring>{L""});
}
