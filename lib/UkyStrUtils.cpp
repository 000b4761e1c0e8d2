#include "UkyStrUtils.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <algorithm>
#endif

int TextPos(const std::wstring& Sub, const std::wstring& Text, int Start) {
    if (Sub.empty() || Text.empty()) {
        return 0;
    }
    const std::size_t from = Start < 1 ? 0 : static_cast<std::size_t>(Start) - 1;
    const std::size_t found = Text.find(Sub, from);
    return found == std::wstring::npos ? 0 : static_cast<int>(found) + 1;
}

const wchar_t* CharScan(const wchar_t* Text, wchar_t Ch) {
    if (Text == nullptr) {
        return nullptr;
    }
    for (;; ++Text) {
        if (*Text == Ch) {
            return Text;
        }
        if (*Text == L'\0') {
            return nullptr;
        }
    }
}

std::wstring TextLeft(const std::wstring& Text, int Count) {
    if (Count < 0) {
        return Text;
    }
    return Text.substr(0, static_cast<std::size_t>(Count));
}

std::wstring TextCopy(const std::wstring& Text, int Start, int Count) {
    const std::size_t from = Start < 1 ? 0 : static_cast<std::size_t>(Start) - 1;
    if (from >= Text.size()) {
        return std::wstring();
    }
    return Text.substr(from, Count < 0 ? std::wstring::npos : static_cast<std::size_t>(Count));
}

void TextDelete(std::wstring& Text, int Start, int Count) {
    Text = TextLeft(Text, Start - 1) + TextCopy(Text, Start + Count, -1);
}

std::wstring TextReplace(const std::wstring& Text, const std::wstring& Old,
                         const std::wstring& New) {
    std::wstring result;
    int b = 1;
    int p = TextPos(Old, Text, 1);
    while (p > 0) {
        result.append(Text, static_cast<std::size_t>(b) - 1, static_cast<std::size_t>(p - b));
        result += New;
        b = p + static_cast<int>(Old.size());
        p = TextPos(Old, Text, b);
    }
    result += TextCopy(Text, b, -1);
    return result;
}

std::pair<std::size_t, std::size_t> TextTrimBounds(const std::wstring& Text) {
    std::size_t first = 0;
    std::size_t last = Text.size();
    while (first < last && Text[first] < 33) {
        ++first;
    }
    while (last > first && Text[last - 1] < 33) {
        --last;
    }
    return {first, last};
}

std::wstring TextTrim(const std::wstring& Text) {
    const auto [first, last] = TextTrimBounds(Text);
    return Text.substr(first, last - first);
}

#ifdef _WIN32

int TextCollate(const std::wstring& A, const std::wstring& B, bool IgnoreCase) {
    return CompareStringW(LOCALE_USER_DEFAULT, IgnoreCase ? NORM_IGNORECASE : 0, A.data(),
                          static_cast<int>(A.size()), B.data(), static_cast<int>(B.size()));
}

#else

namespace {

wchar_t FoldAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

} // namespace

int TextCollate(const std::wstring& A, const std::wstring& B, bool IgnoreCase) {
    const std::size_t common = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t a = IgnoreCase ? FoldAscii(A[i]) : A[i];
        const wchar_t b = IgnoreCase ? FoldAscii(B[i]) : B[i];
        if (a != b) {
            return a < b ? 1 : 3;
        }
    }
    if (A.size() == B.size()) {
        return 2;
    }
    return A.size() < B.size() ? 1 : 3;
}

#endif

bool TextSame(const std::wstring& A, const std::wstring& B, bool CaseSensitive) {
    return TextCollate(A, B, !CaseSensitive) == 2;
}

int TextCompare(const std::wstring& A, const std::wstring& B) {
    return TextCollate(A, B, false) - 2;
}

std::vector<std::wstring> TextSplit(const std::wstring& Text, wchar_t Separator) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (std::size_t found = Text.find(Separator); found != std::wstring::npos;
         found = Text.find(Separator, start)) {
        parts.push_back(Text.substr(start, found - start));
        start = found + 1;
    }
    parts.push_back(Text.substr(start));
    return parts;
}
