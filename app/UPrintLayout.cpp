#include "UPrintLayout.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyStrUtils.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

const std::wstring SCHEDULE_TITLE = L"定期存款收益表";
const std::wstring COMPARISON_TITLE = L"存期比较";
const std::wstring CHART_TITLE = L"收益图";
const std::wstring DATE_CAPTION = L"打印日期：";
// The remarks' column is never narrower than this text.
const std::wstring LEAST_REMARK = L"连本带息";
// The room between two columns.
const std::wstring COLUMN_GAP = L"00";

std::wstring NumberText(double Value) {
    try {
        return FloatText(Value);
    } catch (const EkyError&) {
        return L"?";
    }
}

std::wstring ComparisonHeading(const TDepositPlan& Plan) {
    const TYieldoraInputs& inputs = Plan.Inputs;
    const std::wstring scenario = ScenarioLine(Plan.Scenario);
    return L"本金 " + GroupedYuan(inputs.Fund) + L" 元，利息税 " + NumberText(inputs.Tax) + L"%，" +
           IntText(inputs.Year) + L" 年，" + (inputs.Deposit ? L"到期利息转存" : L"到期取出利息") +
           (scenario.empty() ? L"" : L"，" + scenario);
}

struct TColumn {
    int X = 0;
    int Width = 0;
    TPrintAlign Align = TPrintAlign::Left;
};

// A table's captions and its columns' places; the last column takes the rest of the page and
// its texts are wrapped into it.
struct TTable {
    std::vector<std::wstring> Captions;
    std::vector<TColumn> Columns;
};

// The pages as they fill: every new page starts with the heading, and the table's captions
// while a table is being laid out.
class TPages {
public:
    TPages(const TPrintMetrics& Metrics, std::vector<std::wstring> Heading,
           const std::wstring& Date)
        : FMetrics(Metrics), FHeading(std::move(Heading)), FDate(DATE_CAPTION + Date) {
        // The date left of the page's number, or above it where the two do not fit one line.
        const int both = Metrics.TextWidth(FDate, false) + Metrics.TextWidth(COLUMN_GAP, false) +
                         Metrics.TextWidth(PageNumberText(999, 999), false);
        FFooterLines = both <= Metrics.Width ? 1 : 2;
        NewPage();
    }

    int Y() const { return FY; }
    // The bottom of the room for the body: above the footer and a half line's gap.
    int Bottom() const {
        return FMetrics.Height - FFooterLines * FMetrics.LineHeight - FMetrics.LineHeight / 2;
    }
    bool Fits(int Height) const { return FY + Height <= Bottom(); }
    TPrintPage& Page() { return FDocument.Pages.back(); }
    const TPrintMetrics& Metrics() const { return FMetrics; }

    void NewPage() {
        FDocument.Pages.emplace_back();
        FY = 0;
        for (std::size_t i = 0; i < FHeading.size(); ++i) {
            for (std::wstring& line : Wrap(FHeading[i], FMetrics.Width, i == 0)) {
                Add(std::move(line), 0, FMetrics.Width, TPrintAlign::Left, i == 0);
                FY += FMetrics.LineHeight;
            }
        }
        FY += FMetrics.LineHeight / 2;
        if (FTable != nullptr) {
            Captions();
        }
    }

    void Add(std::wstring Text, int X, int Width, TPrintAlign Align, bool Bold) {
        Page().Texts.push_back({std::move(Text), X, FY, Width, Align, Bold});
    }
    void Advance(int Height) { FY += Height; }

    std::vector<std::wstring> Wrap(const std::wstring& Text, int Width, bool Bold) const {
        return WrapText(Text, Width, [this, Bold](const std::wstring& Part) {
            return FMetrics.TextWidth(Part, Bold);
        });
    }

    // A paragraph of its own, wrapped to the page, after a half line's gap; on a new page when
    // it does not fit under what is there.
    void Paragraph(const std::wstring& Text, bool Bold) {
        if (Text.empty()) {
            return;
        }
        const std::vector<std::wstring> lines = Wrap(Text, FMetrics.Width, Bold);
        const int height =
            FMetrics.LineHeight / 2 + static_cast<int>(lines.size()) * FMetrics.LineHeight;
        if (!Fits(height)) {
            NewPage();
        }
        FY += FMetrics.LineHeight / 2;
        for (const std::wstring& line : lines) {
            Add(line, 0, FMetrics.Width, TPrintAlign::Left, Bold);
            FY += FMetrics.LineHeight;
        }
    }

    void BeginTable(const TTable& Table) {
        FTable = &Table;
        Captions();
    }
    void EndTable() { FTable = nullptr; }

    // One row, all on one page: the last cell wrapped into its column; bold and framed when
    // Marked.
    void Row(const std::vector<std::wstring>& Cells, bool Marked) {
        const std::vector<TColumn>& columns = FTable->Columns;
        std::vector<std::wstring> last;
        if (Cells.size() >= columns.size()) {
            last = Wrap(Cells[columns.size() - 1], columns.back().Width, Marked);
        }
        const int lines = std::max<int>(1, static_cast<int>(last.size()));
        const int height = lines * FMetrics.LineHeight;
        if (!Fits(height)) {
            NewPage();
        }
        for (std::size_t i = 0; i + 1 < columns.size() && i < Cells.size(); ++i) {
            Add(Cells[i], columns[i].X, columns[i].Width, columns[i].Align, Marked);
        }
        const int top = FY;
        for (const std::wstring& line : last) {
            Add(line, columns.back().X, columns.back().Width, columns.back().Align, Marked);
            FY += FMetrics.LineHeight;
        }
        FY = top + height;
        if (Marked) {
            Page().Frames.push_back({0, top, FMetrics.Width, FY});
        }
    }

    TPrintDocument Finish(bool Fits) {
        const int count = static_cast<int>(FDocument.Pages.size());
        const int y = FMetrics.Height - FMetrics.LineHeight;
        const int dateY = y - (FFooterLines - 1) * FMetrics.LineHeight;
        for (int i = 0; i < count; ++i) {
            TPrintPage& page = FDocument.Pages[static_cast<std::size_t>(i)];
            std::wstring number = PageNumberText(i + 1, count);
            const int numberWidth = std::min(FMetrics.TextWidth(number, false), FMetrics.Width);
            page.Texts.push_back({FDate, 0, dateY,
                                  FFooterLines == 1 ? FMetrics.Width - numberWidth : FMetrics.Width,
                                  TPrintAlign::Left, false});
            page.Texts.push_back({std::move(number), FMetrics.Width - numberWidth, y, numberWidth,
                                  TPrintAlign::Right, false});
        }
        FDocument.Fits = Fits;
        return std::move(FDocument);
    }

private:
    void Captions() {
        for (std::size_t i = 0; i < FTable->Columns.size() && i < FTable->Captions.size(); ++i) {
            const TColumn& column = FTable->Columns[i];
            Add(FTable->Captions[i], column.X, column.Width, column.Align, true);
        }
        FY += FMetrics.LineHeight;
        Page().Rules.push_back({0, FMetrics.Width, FY});
        FY += FMetrics.LineHeight / 4;
    }

    const TPrintMetrics& FMetrics;
    std::vector<std::wstring> FHeading;
    std::wstring FDate;
    int FFooterLines = 1;
    TPrintDocument FDocument;
    int FY = 0;
    const TTable* FTable = nullptr;
};

// The columns of a table: every column but the last as wide as its widest text, the last one
// the rest of the page. False when the last column is narrower than LEAST_REMARK.
bool MakeColumns(TTable& Table, const std::vector<std::vector<std::wstring>>& Rows,
                 const std::vector<TPrintAlign>& Aligns, const TPrintMetrics& Metrics) {
    const std::size_t count = Table.Captions.size();
    const int gap = Metrics.TextWidth(COLUMN_GAP, false);
    int x = 0;
    for (std::size_t i = 0; i < count; ++i) {
        TColumn column{x, 0, Aligns[i]};
        if (i + 1 == count) {
            column.Width = Metrics.Width - x;
        } else {
            column.Width = Metrics.TextWidth(Table.Captions[i], true);
            for (const std::vector<std::wstring>& row : Rows) {
                if (i < row.size()) {
                    column.Width = std::max(column.Width, Metrics.TextWidth(row[i], true));
                }
            }
            x += column.Width + gap;
        }
        Table.Columns.push_back(column);
    }
    const int least = std::max(Metrics.TextWidth(LEAST_REMARK, true),
                               Metrics.TextWidth(Table.Captions.back(), true));
    if (Table.Columns.back().Width >= least) {
        return true;
    }
    Table.Columns.back().Width = least;
    return false;
}

} // namespace

std::wstring PageNumberText(int Page, int Count) {
    return L"第 " + IntText(Page) + L" 页，共 " + IntText(Count) + L" 页";
}

std::vector<std::wstring> WrapText(const std::wstring& Text, int Width,
                                   const std::function<int(const std::wstring&)>& TextWidth) {
    std::vector<std::wstring> lines;
    std::wstring rest = Text;
    while (!rest.empty()) {
        if (TextWidth(rest) <= Width) {
            lines.push_back(rest);
            break;
        }
        // The longest start of rest that fits, at least one character.
        std::size_t length = 1;
        while (length < rest.size() && TextWidth(rest.substr(0, length + 1)) <= Width) {
            ++length;
        }
        // At a space right after the part that fits, else after the part's last comma, else
        // after its last space.
        if (rest[length] != L' ') {
            std::size_t breakAt = rest.find_last_of(L"，、", length - 1);
            if (breakAt == std::wstring::npos) {
                breakAt = rest.find_last_of(L' ', length - 1);
            }
            if (breakAt != std::wstring::npos && breakAt > 0) {
                length = breakAt + 1;
            }
        }
        std::wstring line = rest.substr(0, length);
        while (!line.empty() && line.back() == L' ') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        rest.erase(0, length);
        while (!rest.empty() && rest.front() == L' ') {
            rest.erase(0, 1);
        }
    }
    return lines;
}

TPrintDocument LayoutSchedulePrint(const TDepositResult& Result, const TPrintMetrics& Metrics,
                                   const std::wstring& Date) {
    TTable table;
    for (const std::wstring_view caption : RESULT_CAPTIONS) {
        table.Captions.emplace_back(caption);
    }
    std::vector<std::vector<std::wstring>> rows;
    for (const TResultRow& row : Result.Rows) {
        rows.push_back(TextSplit(row.Text, L'\t'));
    }
    const bool fits = MakeColumns(
        table, rows,
        {TPrintAlign::Right, TPrintAlign::Right, TPrintAlign::Right, TPrintAlign::Left}, Metrics);
    TPages pages(Metrics, {SCHEDULE_TITLE, ChartTitle({Result.Inputs, {}})}, Date);
    pages.BeginTable(table);
    for (const std::vector<std::wstring>& row : rows) {
        pages.Row(row, false);
    }
    pages.EndTable();
    pages.Paragraph(Result.RowsError, false);
    pages.Paragraph(TotalsLine(Result), false);
    return pages.Finish(fits);
}

TPrintDocument LayoutComparisonPrint(const TDepositPlan& Comparison, const TPrintMetrics& Metrics,
                                     const std::wstring& Date) {
    TTable table;
    std::vector<TPrintAlign> aligns;
    for (const std::wstring_view caption : Comparison.Captions()) {
        table.Captions.emplace_back(caption);
        aligns.push_back(TPrintAlign::Right);
    }
    aligns.front() = TPrintAlign::Left;
    aligns.back() = TPrintAlign::Left;
    std::vector<std::vector<std::wstring>> rows;
    for (const std::wstring& text : Comparison.RowTexts()) {
        rows.push_back(TextSplit(text, L'\t'));
    }
    const bool fits = MakeColumns(table, rows, aligns, Metrics);
    TPages pages(Metrics, {COMPARISON_TITLE, ComparisonHeading(Comparison)}, Date);
    pages.BeginTable(table);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        pages.Row(rows[i], Comparison.Best == i);
    }
    pages.EndTable();
    // The chart under the table when a third of the page is left for it, else on a page of its own.
    const int least = std::max(Metrics.Height / 3, Metrics.LineHeight * 12);
    if (!pages.Fits(Metrics.LineHeight + least)) {
        pages.NewPage();
    } else {
        pages.Advance(Metrics.LineHeight);
    }
    pages.Page().Picture = TPrintPicture::ComparisonChart;
    pages.Page().PictureRect = {0, pages.Y(), Metrics.Width, pages.Bottom()};
    return pages.Finish(fits);
}

TPrintDocument LayoutChartPrint(const TPrintMetrics& Metrics, const std::wstring& Date) {
    TPages pages(Metrics, {CHART_TITLE}, Date);
    pages.Page().Picture = TPrintPicture::GrowthChart;
    pages.Page().PictureRect = {0, pages.Y(), Metrics.Width, pages.Bottom()};
    return pages.Finish(true);
}
