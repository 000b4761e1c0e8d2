#include "UResultTable.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyListSuper.h"
#include "UkyMath.h"

namespace {

const std::wstring TAB = L"\t";

// A figure in whole yuan, halves to the even neighbour.
std::wstring WholeYuan(double Value) {
    return IntText(RoundToInt64(Value));
}

TResultRow MakeRow(const TResultSource& Source, std::size_t Index) {
    const std::int64_t year = static_cast<std::int64_t>(Index);
    TResultRow row{IntText(year) + TAB + WholeYuan(Source.Interest[Index]) + TAB +
                       WholeYuan(Source.Total[Index]),
                   IMAGE_ORDINARY_YEAR};
    if (year == Source.Inputs.Year) {
        row.Text += TAB + L"取出全部本息";
        row.Image = IMAGE_LAST_YEAR;
    } else if (IntMod(year, Source.Inputs.Period) == 0) {
        row.Text += TAB + (Source.Inputs.Deposit
                               ? std::wstring(L"连本带息取出后转存")
                               : L"取出利息" + WholeYuan(Source.Withdrawn[Index]) + L"元");
        row.Image = IMAGE_MATURITY_YEAR;
    }
    return row;
}

// A cell as a CSV field: quoted when it holds a separator, a quote or a line end.
std::wstring CsvField(std::wstring_view Cell) {
    if (Cell.find_first_of(L",\"\r\n") == std::wstring_view::npos) {
        return std::wstring(Cell);
    }
    std::wstring field = L"\"";
    for (const wchar_t c : Cell) {
        field += c;
        if (c == L'"') {
            field += c;
        }
    }
    return field + L"\"";
}

} // namespace

void ProduceResultRows(const TResultSource& Source,
                       const std::function<void(const TResultRow&)>& AddRow) {
    for (std::size_t i = 1; i <= Source.Inputs.Year; ++i) {
        if (IntMod(static_cast<std::int64_t>(i), Source.Inputs.Step) > 0 &&
            i < Source.Inputs.Year) {
            continue;
        }
        AddRow(MakeRow(Source, i));
    }
}

std::vector<TResultRow> ResultRows(const TResultSource& Source) {
    std::vector<TResultRow> rows;
    ProduceResultRows(Source, [&rows](const TResultRow& Row) { rows.push_back(Row); });
    return rows;
}

std::wstring TableText(std::span<const std::wstring_view> Captions,
                       std::span<const std::wstring> RowTexts) {
    TkyStrList lines(100);
    TkyStrList header(100);
    header.SetSeparator(TAB);
    for (const std::wstring_view caption : Captions) {
        header.Add(std::wstring(caption));
    }
    lines.Add(header.GetText());

    const std::int32_t columns = static_cast<std::int32_t>(Captions.size());
    TkyStrList cells(100);
    cells.SetSeparator(TAB);
    TkyStrList line(100);
    line.SetSeparator(TAB);
    for (const std::wstring& text : RowTexts) {
        cells.SetText(text);
        line.Clear();
        for (std::int32_t column = 0; column < columns; ++column) {
            line.Add(cells.Get(column));
        }
        lines.Add(line.GetText());
    }
    return RowTexts.empty() ? lines.Get(0) + L"\r\n" : lines.GetText();
}

std::wstring CsvText(std::span<const std::wstring_view> Captions,
                     std::span<const std::wstring> RowTexts) {
    std::wstring text = L"\uFEFF";
    const auto addLine = [&text](const auto& Cells, std::size_t Count) {
        for (std::size_t column = 0; column < Count; ++column) {
            if (column > 0) {
                text += L',';
            }
            text += CsvField(column < Cells.size() ? std::wstring_view(Cells[column]) : L"");
        }
        text += L"\r\n";
    };
    addLine(Captions, Captions.size());
    std::vector<std::wstring> cells;
    for (const std::wstring& row : RowTexts) {
        cells.clear();
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = row.find(L'\t', start);
            cells.push_back(row.substr(start, tab - start));
            if (tab == std::wstring::npos) {
                break;
            }
            start = tab + 1;
        }
        addLine(cells, Captions.size());
    }
    return text;
}

std::wstring GroupedYuan(double Value) {
    std::int64_t whole = 0;
    try {
        whole = RoundToInt64(Value);
    } catch (const EkyError&) {
        // Too large for whole yuan: the figure as it is, if it has a text at all.
        try {
            return FloatText(Value);
        } catch (const EkyError&) {
            return L"?";
        }
    }
    // The digits without the sign (IntText writes the sign first).
    const std::wstring digits = IntText(whole).substr(whole < 0 ? 1 : 0);
    std::wstring text = whole < 0 ? L"-" : L"";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += L',';
        }
        text += digits[i];
    }
    return text;
}
