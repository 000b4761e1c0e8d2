#pragma once

#include <string>
#include <vector>
#include <utility>

// Text helpers. Positions count characters from 1.

// Position of the first occurrence of Sub in Text at or after Start; 0 when there is none or when
// either text is empty. Exact and case-sensitive.
int TextPos(const std::wstring& Sub, const std::wstring& Text, int Start = 1);

// First occurrence of Ch in a zero-terminated text; a zero Ch finds the terminator. Null when the
// text holds no Ch or is itself null.
const wchar_t* CharScan(const wchar_t* Text, wchar_t Ch);

// The first Count characters; the whole text when Count is negative.
std::wstring TextLeft(const std::wstring& Text, int Count);

// Count characters from Start, to the end when Count is negative; clipped to the text.
std::wstring TextCopy(const std::wstring& Text, int Start, int Count);

// Removes Count characters at Start.
void TextDelete(std::wstring& Text, int Start, int Count);

// Every occurrence of Old replaced by New, left to right, without overlaps. An empty Old finds
// nothing.
std::wstring TextReplace(const std::wstring& Text, const std::wstring& Old,
                         const std::wstring& New);

// Without the leading and trailing blank and control characters (codes below 33).
std::wstring TextTrim(const std::wstring& Text);
// Where TextTrim's result stands in Text: the positions [first, last), counted from 0.
std::pair<std::size_t, std::size_t> TextTrimBounds(const std::wstring& Text);

// The parts of Text between the Separators: one more than there are separators, empty ones kept
// (a row of cells joined by TAB).
std::vector<std::wstring> TextSplit(const std::wstring& Text, wchar_t Separator);

// Locale comparison of two texts in the user's default locale. The result is the platform's
// answer: 1 less than, 2 equal, 3 greater than, 0 when the comparison failed. Without the
// platform the code units are compared, ignoring the case of ASCII letters when asked.
int TextCollate(const std::wstring& A, const std::wstring& B, bool IgnoreCase);

// True when A and B collate as equal.
bool TextSame(const std::wstring& A, const std::wstring& B, bool CaseSensitive);

// -1, 0 or 1 as A collates before, equal to or after B (the platform's answer minus 2).
int TextCompare(const std::wstring& A, const std::wstring& B);
