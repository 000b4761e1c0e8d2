#pragma once

#include "UResultTable.h"
#include "UYieldora.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reads the section "Yieldora" of a profile file as the model does; a key that is absent keeps
// the value Inputs holds. A term other than 1, 2, 3 or 5 years becomes 10, as in the dialog's
// term list. Raises, naming the file, when it cannot be read.
void ReadProfileInputs(const std::wstring& FileName, TYieldoraInputs& Inputs);

// What a run of the command line prints and ends with.
struct TCliResult {
    int ExitCode;
    std::wstring Out;
    std::wstring Err;
};

constexpr int EXIT_DONE = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_BAD_INPUT = 2;

// Runs the command-line program on its arguments (without the program's name): the schedule of
// the inputs as an aligned table, with --tsv as the dialog's exported text, with --csv as the
// dialog's CSV file (byte-order mark included). Bad input gives
// its message on Err and EXIT_BAD_INPUT.
TCliResult RunCommandLine(const std::vector<std::wstring>& Arguments);

// Columns a text takes in a terminal: two for each wide (East Asian) character, one for others.
std::size_t DisplayWidth(std::wstring_view Text);

// The rows under their captions in aligned columns, two blanks apart: the figures right-aligned,
// the last column left-aligned, no blanks at the end of a line, each line ended by LF.
std::wstring AlignedTable(std::span<const std::wstring_view> Captions,
                          std::span<const std::wstring> RowTexts);
