#include "UCommandLine.h"

#include "UCalculationDocument.h"
#include "UDepositPlan.h"
#include "UDepositResult.h"
#include "UResultTable.h"
#include "USchedule.h"
#include "UTermRates.h"
#include "UYieldora.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"
#include "UkyMath.h"
#include "UkyStrUtils.h"
#include "UkyUtf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <limits>
#include <string>

namespace {

const wchar_t* const USAGE =
    L"Usage: yieldora-cli [options]\n"
    L"Works out the year-by-year schedule of a fixed-term bank deposit, as Yieldora does.\n"
    L"\n"
    L"  --fund AMOUNT    capital in yuan (default 10000)\n"
    L"  --term YEARS     term of one deposit: 1, 2, 3, 5 or 10 (default 1)\n"
    L"  --rate PERCENT   annual interest rate in percent (default 3.6)\n"
    L"  --tax PERCENT    interest tax in percent of the interest (default 20)\n"
    L"  --years N        years to project, 0 to 255 (default 20)\n"
    L"  --step N         show every N-th year and the last year (default 1)\n"
    L"  --redeposit      the interest due at a maturity is deposited again (default)\n"
    L"  --withdraw       the interest due at a maturity is taken out\n"
    L"  --profile FILE   first read the inputs from the section \"Yieldora\" of a Yieldora\n"
    L"                   profile; the options above override them\n"
    L"  --compare        compare the terms: every term at its own rate, with the interest,\n"
    L"                   the end total, the effective annual yield and the shortfall\n"
    L"                   against the best term (marked)\n"
    L"  --rates LIST     the terms' rates for --compare (which it implies), as\n"
    L"                   3m=0.65,6m=0.85,1=0.95,2=1.05,3=1.25,5=1.3,10=1.3;\n"
    L"                   a term of years not listed has its rate from the profile's section\n"
    L"                   \"TermRates\" with --profile, else the rate of --rate; the terms of\n"
    L"                   three and six months (3m, 6m) are compared only when listed or\n"
    L"                   the profile's section \"Planner\" has their rates\n"
    L"  --rate-change POINTS  percentage points every term's rate changes by per year since\n"
    L"                   the start, taken at each renewal, never below 0 (default 0)\n"
    L"  --demand-rate PERCENT  the demand rate paid on money taken out before its\n"
    L"                   certificate matures (default 0.05)\n"
    L"  --need-month M   money is needed in month M (1 to 12 x years): all of it, or\n"
    L"  --need-amount YUAN  that much (\"all\" for everything, the default)\n"
    L"                   (these four imply --compare too; with --profile they start from\n"
    L"                   its section \"Planner\")\n"
    L"  --tsv            print the table as Yieldora exports it: tab-separated cells,\n"
    L"                   CR LF between lines\n"
    L"  --csv            print the table as Yieldora saves it to a CSV file: UTF-8 with a\n"
    L"                   byte-order mark, comma-separated, CR LF line ends\n"
    L"                   (of --tsv and --csv, the last one given counts)\n"
    L"  --help           show this help\n"
    L"\n"
    L"\n"
    L"The comparison counts each term in whole months as a chain of certificates, each\n"
    L"renewed at its rate then; a certificate still running at the end counts its interest\n"
    L"so far and says when it matures. Its yield is the internal rate of return of the\n"
    L"monthly cash flows, annualised.\n"
    L"\n"
    L"Under an aligned table a line sums it up. Its yield (折合年化) is the internal rate of\n"
    L"return of the saver's cash flows after tax: the capital paid in at the start, the\n"
    L"interest taken out at each maturity in its year, the last year's total at the end.\n"
    L"\n"
    L"Numbers use \".\" as the decimal character and need a digit.\n"
    L"Exit code: 0 done, 2 bad input.\n";

// The file's full path, or empty when it is not a file that can be read. The profile functions
// get the full path: Windows looks for a bare file name in its own folder, not the current one.
std::wstring ReadableFile(const std::wstring& FileName) {
#ifdef _WIN32
    const DWORD length = GetFullPathNameW(FileName.c_str(), 0, nullptr, nullptr);
    if (FileName.empty() || length == 0) {
        return {};
    }
    std::wstring path(length, L'\0');
    const DWORD written = GetFullPathNameW(FileName.c_str(), length, path.data(), nullptr);
    if (written == 0 || written >= length) {
        return {};
    }
    path.resize(written);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        return {};
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    CloseHandle(file);
    return path;
#else
    std::string path = TextToUtf8(FileName);
    if (path.empty() || path[0] != '/') {
        std::string folder(PATH_MAX, '\0');
        if (getcwd(folder.data(), folder.size()) == nullptr) {
            return {};
        }
        folder.resize(std::char_traits<char>::length(folder.c_str()));
        path = path.empty() ? folder : folder + (folder.back() == '/' ? "" : "/") + path;
    }
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {};
    }
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return {};
    }
    close(file);
    return Utf8ToText(path);
#endif
}

// The dialog reads a text without digits ("", "-", ".", "e5") as 0 and an exponent without digits
// ("1e-") as none; on the command line such a text is a mistake. Raises for a text the conversion
// took but that is one of these, naming the option (with Where, the place in its value) and the
// text.
void RequireDigits(const std::wstring& Option, const std::wstring& Text,
                   const std::wstring& Where = {}) {
    const std::wstring text = TextTrim(Text);
    const std::size_t exponent = std::min(text.find_first_of(L"Ee"), text.size());
    const auto hasDigit = [&text](std::size_t First, std::size_t Last) {
        return std::any_of(text.begin() + static_cast<std::ptrdiff_t>(First),
                           text.begin() + static_cast<std::ptrdiff_t>(Last),
                           [](wchar_t C) { return C >= L'0' && C <= L'9'; });
    };
    if (!hasDigit(0, exponent) ||
        (exponent < text.size() && !hasDigit(exponent + 1, text.size()))) {
        throw EkyError(L"The option " + Option + L" needs a number" + Where + L", not \"" + Text +
                       L"\"!");
    }
}

// An integer option within Minimum..Maximum.
std::int64_t IntegerIn(const std::wstring& Option, const std::wstring& Text, std::int64_t Minimum,
                       std::int64_t Maximum) {
    std::int64_t value = 0;
    bool inRange;
    try {
        value = TextToInt(Text);
        inRange = value >= Minimum && value <= Maximum;
    } catch (const EkyError&) {
        // Digits beyond the 64-bit range are out of range too, not malformed.
        std::wstring digits = TextTrim(Text);
        if (!digits.empty() && digits[0] == L'-') {
            digits.erase(0, 1);
        }
        if (digits.empty() || !std::all_of(digits.begin(), digits.end(),
                                           [](wchar_t C) { return C >= L'0' && C <= L'9'; })) {
            throw;
        }
        inRange = false;
    }
    RequireDigits(Option, Text);
    if (!inRange) {
        throw EkyError(Text + L" is out of range " + IntText(Minimum) + L".." + IntText(Maximum) +
                       L"!");
    }
    return value;
}

// A double as the model's fields hold one; a number beyond the range raises.
double Amount(const std::wstring& Option, const std::wstring& Text,
              const std::wstring& Where = {}) {
    const double value = StoreDouble(TextToReal(Text, true));
    RequireDigits(Option, Text, Where);
    return value;
}

std::uint8_t Term(const std::wstring& Text) {
    const std::int64_t years = TextToInt(Text);
    if (!IsDepositTerm(years)) {
        throw EkyError(Text + L" is not a term of 1, 2, 3, 5 or 10 years!");
    }
    return static_cast<std::uint8_t>(years);
}

// The command line taken apart.
enum class TTableForm { Aligned, Tsv, Csv };

struct TOptions {
    bool Help = false;
    bool Compare = false;
    // The terms' rates that --rates gives, each with its term in months.
    std::vector<std::pair<std::int32_t, double>> Rates;
    // The scenario's options in their order, each with its value.
    std::vector<std::pair<std::wstring, std::wstring>> Scenario;
    TTableForm Form = TTableForm::Aligned;
    std::wstring Profile;
    bool HasProfile = false;
    // The input options in their order, each with its value.
    std::vector<std::pair<std::wstring, std::wstring>> Inputs;
};

// A term of --rates in months: 3m, 6m, or 1, 2, 3, 5 or 10 years.
std::int32_t RatesTerm(const std::wstring& Text) {
    if (Text == L"3m" || Text == L"6m") {
        return Text[0] - L'0';
    }
    try {
        return Term(Text) * 12;
    } catch (const EkyError&) {
        throw EkyError(Text + L" is not a term of 3m, 6m, 1, 2, 3, 5 or 10 years!");
    }
}

// "3m=0.65,1=1.5,2=2.1,...": each term with its rate in percent.
void ParseRates(const std::wstring& Text, std::vector<std::pair<std::int32_t, double>>& Rates) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = Text.find(L',', start);
        const std::wstring item = Text.substr(start, comma - start);
        const std::size_t equals = item.find(L'=');
        if (equals == std::wstring::npos) {
            throw EkyError(L"The rate " + item + L" is not of the form TERM=PERCENT (as 3=2.75)!");
        }
        Rates.emplace_back(
            RatesTerm(item.substr(0, equals)),
            Amount(L"--rates", item.substr(equals + 1), L" after " + item.substr(0, equals + 1)));
        if (comma == std::wstring::npos) {
            return;
        }
        start = comma + 1;
    }
}

bool TakesValue(const std::wstring& Name) {
    return Name == L"--fund" || Name == L"--term" || Name == L"--rate" || Name == L"--tax" ||
           Name == L"--years" || Name == L"--step" || Name == L"--profile" || Name == L"--rates" ||
           Name == L"--rate-change" || Name == L"--demand-rate" || Name == L"--need-month" ||
           Name == L"--need-amount";
}

TOptions ParseOptions(const std::vector<std::wstring>& Arguments) {
    TOptions options;
    for (std::size_t i = 0; i < Arguments.size(); ++i) {
        std::wstring name = Arguments[i];
        std::wstring value;
        bool hasValue = false;
        const std::size_t equals = name.find(L'=');
        if (name.starts_with(L"--") && equals != std::wstring::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }
        if (TakesValue(name)) {
            if (!hasValue) {
                if (i + 1 == Arguments.size()) {
                    throw EkyError(L"The option " + name + L" needs a value!");
                }
                value = Arguments[++i];
            }
        } else if (hasValue ||
                   (name != L"--help" && name != L"--tsv" && name != L"--csv" &&
                    name != L"--redeposit" && name != L"--withdraw" && name != L"--compare")) {
            throw EkyError(L"Unknown option " + Arguments[i] + L"! See yieldora-cli --help.");
        }
        if (name == L"--help") {
            options.Help = true;
        } else if (name == L"--tsv") {
            options.Form = TTableForm::Tsv;
        } else if (name == L"--csv") {
            options.Form = TTableForm::Csv;
        } else if (name == L"--compare") {
            options.Compare = true;
        } else if (name == L"--rates") {
            // The terms' rates mean nothing but in the comparison, so they ask for it.
            options.Compare = true;
            ParseRates(value, options.Rates);
        } else if (name == L"--rate-change" || name == L"--demand-rate" ||
                   name == L"--need-month" || name == L"--need-amount") {
            // The scenario means nothing but in the comparison either.
            options.Compare = true;
            options.Scenario.emplace_back(name, value);
        } else if (name == L"--profile") {
            options.Profile = value;
            options.HasProfile = true;
        } else {
            options.Inputs.emplace_back(name, value);
        }
    }
    return options;
}

void ApplyScenarioOption(const std::wstring& Name, const std::wstring& Value,
                         TPlanScenario& Scenario) {
    if (Name == L"--rate-change") {
        Scenario.RateChange = Amount(Name, Value);
    } else if (Name == L"--demand-rate") {
        Scenario.DemandRate = Amount(Name, Value);
    } else if (Name == L"--need-month") {
        Scenario.NeedMonth = static_cast<std::int32_t>(IntegerIn(Name, Value, 1, 12 * 255));
    } else {
        Scenario.NeedAmount =
            Value == L"all" ? std::nullopt : std::optional<double>(Amount(Name, Value));
    }
}

void ApplyOption(const std::wstring& Name, const std::wstring& Value, TYieldoraInputs& Inputs) {
    if (Name == L"--fund") {
        Inputs.Fund = Amount(Name, Value);
    } else if (Name == L"--term") {
        Inputs.Period = Term(Value);
    } else if (Name == L"--rate") {
        Inputs.Rate = Amount(Name, Value);
    } else if (Name == L"--tax") {
        Inputs.Tax = Amount(Name, Value);
    } else if (Name == L"--years") {
        Inputs.Year = static_cast<std::uint8_t>(IntegerIn(Name, Value, 0, 255));
    } else if (Name == L"--step") {
        Inputs.Step = static_cast<std::int32_t>(
            IntegerIn(Name, Value, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max()));
    } else {
        Inputs.Deposit = Name == L"--redeposit";
    }
}

bool IsWide(char32_t Code) {
    return (Code >= 0x1100 && Code <= 0x115F) || (Code >= 0x2E80 && Code <= 0xA4CF) ||
           (Code >= 0xAC00 && Code <= 0xD7A3) || (Code >= 0xF900 && Code <= 0xFAFF) ||
           (Code >= 0xFE30 && Code <= 0xFE4F) || (Code >= 0xFF00 && Code <= 0xFF60) ||
           (Code >= 0xFFE0 && Code <= 0xFFE6) || (Code >= 0x20000 && Code <= 0x3FFFD);
}

std::vector<std::wstring> Cells(const std::wstring& RowText) {
    std::vector<std::wstring> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = RowText.find(L'\t', start);
        cells.push_back(RowText.substr(start, tab - start));
        if (tab == std::wstring::npos) {
            return cells;
        }
        start = tab + 1;
    }
}

// The terms compared under the scenario: the profile's section "Planner" with --profile, then
// the options. The terms of years have their rates from the profile's section of the terms'
// rates (or the main rate), then from --rates, whose selected term sets the main rate too; the
// terms of months are compared where the profile or --rates gives their rates.
TDepositPlan Comparison(const TOptions& Options, const TYieldoraInputs& Inputs) {
    TPlannerProfile planner;
    TTermRates rates{};
    rates.fill(Inputs.Rate);
    if (Options.HasProfile) {
        const std::wstring path = ReadableFile(Options.Profile);
        planner = ReadPlannerProfile(path);
        rates = ReadTermRates(path, Inputs.Rate);
    }
    TPlanScenario scenario = planner.Scenario;
    bool amountGiven = false;
    for (const auto& [name, value] : Options.Scenario) {
        ApplyScenarioOption(name, value, scenario);
        amountGiven = amountGiven || name == L"--need-amount";
    }
    if (amountGiven && scenario.NeedMonth == 0) {
        throw EkyError(L"The option --need-amount needs --need-month!");
    }

    // The last rate given for a term counts.
    for (std::size_t i = 0; i < planner.MonthRates.size(); ++i) {
        const std::int32_t months = PLAN_TERMS[i].Months;
        const auto given =
            std::find_if(Options.Rates.rbegin(), Options.Rates.rend(),
                         [months](const auto& Rate) { return Rate.first == months; });
        if (given != Options.Rates.rend()) {
            planner.MonthRates[i] = given->second;
        }
    }
    planner.Scenario = scenario;
    TCalculationDocument document(true);
    document.SetInputs(Inputs);
    document.SetTermRates(rates);
    document.SetPlanner(planner);
    for (const auto& [months, rate] : Options.Rates) {
        if (months % 12 == 0) {
            document.SetTermRateText(TermIndex(static_cast<std::uint8_t>(months / 12)),
                                     RealToText(-1, true, rate));
        }
    }
    if (const std::optional<TScenarioFault> fault = document.ScenarioFault()) {
        throw EkyError(fault->Message);
    }
    return document.Comparison();
}

std::wstring FormTable(TTableForm Form, std::span<const std::wstring_view> Captions,
                       std::span<const std::wstring> Rows, const std::wstring& Totals) {
    switch (Form) {
    case TTableForm::Tsv:
        return TableText(Captions, Rows);
    case TTableForm::Csv:
        return CsvText(Captions, Rows);
    default:
        return AlignedTable(Captions, Rows) + (Totals.empty() ? L"" : Totals + L"\n");
    }
}

} // namespace

void ReadProfileInputs(const std::wstring& FileName, TYieldoraInputs& Inputs) {
    const std::wstring path = ReadableFile(FileName);
    if (path.empty()) {
        throw EkyError(L"The profile " + FileName + L" cannot be read!");
    }
    ReadYieldoraInputs(path, Inputs);
    Inputs.Period = ListedTerm(Inputs.Period);
}

TCliResult RunCommandLine(const std::vector<std::wstring>& Arguments) {
    try {
        const TOptions options = ParseOptions(Arguments);
        if (options.Help) {
            return {EXIT_DONE, USAGE, {}};
        }
        TYieldoraInputs inputs;
        if (options.HasProfile) {
            ReadProfileInputs(options.Profile, inputs);
        }
        for (const auto& [name, value] : options.Inputs) {
            ApplyOption(name, value, inputs);
        }
        if (options.Compare) {
            const TDepositPlan comparison = Comparison(options, inputs);
            return {EXIT_DONE,
                    FormTable(options.Form, comparison.Captions(), comparison.RowTexts(), {}),
                    {}};
        }
        const TDepositResult result = CalculateResult(inputs);
        if (!result.RowsError.empty()) {
            throw EkyError(result.RowsError);
        }
        return {EXIT_DONE,
                FormTable(options.Form, RESULT_CAPTIONS, result.RowTexts(), TotalsLine(result)),
                {}};
    } catch (const EkyError& error) {
        return {EXIT_BAD_INPUT, {}, error.Message() + L"\n"};
    }
}

std::size_t DisplayWidth(std::wstring_view Text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t code = static_cast<char32_t>(Text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (code >= 0xD800 && code <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
                Text[i + 1] <= 0xDFFF) {
                code =
                    0x10000 + ((code - 0xD800) << 10) + (static_cast<char32_t>(Text[++i]) - 0xDC00);
            }
        }
        width += IsWide(code) ? 2 : 1;
    }
    return width;
}

std::wstring AlignedTable(std::span<const std::wstring_view> Captions,
                          std::span<const std::wstring> RowTexts) {
    std::vector<std::vector<std::wstring>> lines{{Captions.begin(), Captions.end()}};
    for (const std::wstring& row : RowTexts) {
        lines.push_back(Cells(row));
    }
    std::vector<std::size_t> widths;
    for (const std::vector<std::wstring>& cells : lines) {
        widths.resize(std::max(widths.size(), cells.size()));
        for (std::size_t column = 0; column < cells.size(); ++column) {
            widths[column] = std::max(widths[column], DisplayWidth(cells[column]));
        }
    }
    std::wstring text;
    for (const std::vector<std::wstring>& cells : lines) {
        std::wstring line;
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const std::wstring padding(widths[column] - DisplayWidth(cells[column]), L' ');
            if (column > 0) {
                line += L"  ";
            }
            line += column + 1 < widths.size() ? padding + cells[column] : cells[column] + padding;
        }
        text += line.substr(0, line.find_last_not_of(L' ') + 1) + L"\n";
    }
    return text;
}
