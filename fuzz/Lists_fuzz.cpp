// TkyStrList and TkyIntList split any text at any separator and join it back.
#include "FuzzText.h"

#include "UkyListSuper.h"
#include "UkyStrUtils.h"

#include <climits>

namespace {

std::size_t Pieces(const std::wstring& Text, const std::wstring& Separator) {
    if (Text.empty()) {
        return 0;
    }
    std::size_t count = 1;
    if (!Separator.empty()) {
        for (std::size_t at = Text.find(Separator); at != std::wstring::npos;
             at = Text.find(Separator, at + Separator.size())) {
            ++count;
        }
    }
    return count;
}

void CheckStrList(const std::wstring& Separator, const std::wstring& Text) {
    TkyStrList list(100);
    list.SetSeparator(Separator);
    list.SetText(Text);
    FUZZ_CHECK(static_cast<std::size_t>(list.Count()) == Pieces(Text, Separator));
    FUZZ_CHECK(list.GetText() == Text);
    std::wstring entry;
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        FUZZ_CHECK(list.Next(entry) && entry == list.Get(i));
    }
    FUZZ_CHECK(!list.Next(entry));

    TkyStrList named(100);
    named.SetSeparator(Separator);
    named.SetNameSeparator(L"=");
    named.SetText(Text);
    FUZZ_CHECK(static_cast<std::size_t>(named.Count()) <= Pieces(Text, Separator));
    for (std::int32_t i = 0; i < named.Count(); ++i) {
        // Lines are trimmed before they are taken apart.
        const std::wstring value = named.Get(i);
        FUZZ_CHECK(value.empty() || value.back() > L' ');
    }
}

void CheckIntList(const std::wstring& Separator, const std::wstring& Text) {
    TkyIntList list(100);
    list.SetSeparator(Separator);
    list.SetText(Text);
    FUZZ_CHECK(static_cast<std::size_t>(list.Count()) == Pieces(Text, Separator));
    for (std::int32_t i = 0; i < list.Count(); ++i) {
        FUZZ_CHECK(list.Get(i) >= INT32_MIN && list.Get(i) <= INT32_MAX);
    }
    // Numbers read back as themselves unless the separator could be part of one.
    if (Separator.find_first_of(L"-0123456789") != std::wstring::npos || Separator.empty()) {
        return;
    }
    const std::wstring joined = list.GetText();
    TkyIntList again(100);
    again.SetSeparator(Separator);
    again.SetText(joined);
    FUZZ_CHECK(again.Count() == list.Count());
    FUZZ_CHECK(again.GetText() == joined);
}

} // namespace

// The first byte: the separator's length (0 to 3) and whether the texts are UTF-16.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0) {
        return 0;
    }
    const bool wide = (Data[0] & 4) != 0;
    const std::size_t width = wide ? 2 : 1;
    const std::size_t separatorBytes =
        std::min<std::size_t>(Data[0] & 3, (Size - 1) / width) * width;
    const std::wstring separator = FuzzText(Data + 1, separatorBytes, wide);
    const std::wstring text = FuzzText(Data + 1 + separatorBytes, Size - 1 - separatorBytes, wide);
    CheckStrList(separator, text);
    CheckIntList(separator, text);
    return 0;
}
