#pragma once

#include "USchedule.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Image indexes of the result table's rows.
constexpr int IMAGE_ORDINARY_YEAR = 0;
constexpr int IMAGE_MATURITY_YEAR = 1;
constexpr int IMAGE_LAST_YEAR = 2;

// The captions of the result table's columns, in column order.
inline constexpr std::array<std::wstring_view, 4> RESULT_CAPTIONS{L"年", L"利息", L"累计", L"备注"};
// The widths of those columns at 96 dots per inch.
inline constexpr std::array<int, RESULT_CAPTIONS.size()> RESULT_COLUMN_WIDTHS{52, 80, 80, 128};

// What the result table is built from: the inputs of a calculation and its computed arrays, which
// hold at least Inputs.Year + 1 entries (index 0 is the starting state).
struct TResultSource {
    const TYieldoraInputs& Inputs;
    std::span<const double> Interest;
    std::span<const double> Total;
    std::span<const double> Withdrawn;
};

// One row of the result table: the cell texts joined by TAB, and the row's image.
struct TResultRow {
    std::wstring Text;
    int Image;
};

// Hands the rows of the table to AddRow one by one, in table order: every Step-th year and the
// last year, with the year, the interest and the total in whole yuan (halves to even) and the
// remark of a maturity or of the last year. Raises "Division by zero" for a zero Step (before the
// first row when Year >= 1), and "Invalid floating point operation" for a figure beyond the
// signed 64-bit range, before the row that holds it.
void ProduceResultRows(const TResultSource& Source,
                       const std::function<void(const TResultRow&)>& AddRow);

// All rows of the table; raises as ProduceResultRows, and then gives none.
std::vector<TResultRow> ResultRows(const TResultSource& Source);

// The whole table as one text: the captions joined by TAB, then for every row a line holding
// exactly one cell per column (missing cells empty, cells beyond the columns dropped), joined by
// TAB; the lines joined by CR LF, none after the last. A table without rows gives the caption
// line and CR LF.
std::wstring TableText(std::span<const std::wstring_view> Captions,
                       std::span<const std::wstring> RowTexts);

// The whole table as comma-separated values, as spreadsheets read them: a byte-order mark
// (U+FEFF) first, so that a spreadsheet takes the UTF-8 bytes of the text for what they are; the
// caption line, then one line per row with exactly one cell per column (as TableText); a cell
// holding a comma, a double quote, CR or LF in double quotes, its double quotes doubled; every
// line ended by CR LF.
std::wstring CsvText(std::span<const std::wstring_view> Captions,
                     std::span<const std::wstring> RowTexts);

// Money as the totals line, the chart and the comparison write it: whole yuan with the
// thousands separated by commas ("1,234,567"); halves to even.
std::wstring GroupedYuan(double Value);
