#include "UTermComparison.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"
#include "UkyMath.h"

#include <algorithm>
#include <cmath>

namespace {

const wchar_t* const RATES_SECTION = L"TermRates";

std::wstring RateKey(const TDepositTerm& Term) {
    return L"Rate" + IntText(Term.Years);
}

// A figure in whole yuan, halves to even, as the result table writes them.
std::wstring WholeYuan(double Value) {
    try {
        return IntText(RoundToInt64(Value));
    } catch (const EkyError&) {
        return L"?";
    }
}

} // namespace

std::vector<std::wstring_view> TTermComparison::Captions() const {
    std::vector<std::wstring_view> captions{L"存期", L"年利率", L"共得利息"};
    if (!Inputs.Deposit) {
        captions.push_back(L"已取出");
    }
    captions.insert(captions.end(), {L"期末本息", L"折合年化", L"比最佳少", L"备注"});
    return captions;
}

std::vector<std::wstring> TTermComparison::RowTexts() const {
    std::vector<std::wstring> texts;
    for (std::size_t i = 0; i < Rows.size(); ++i) {
        const TComparisonRow& row = Rows[i];
        std::wstring text =
            std::wstring(DEPOSIT_TERMS[TermIndex(row.Period)].Label) + L"\t" + row.RateText + L"\t";
        if (!row.Result) {
            // The figures' cells stay empty; the message goes into the remark.
            text += std::wstring(Inputs.Deposit ? 4 : 5, L'\t') + row.Error;
        } else {
            const TDepositTotals& totals = row.Result->Totals;
            text += WholeYuan(totals.Interest) + L"\t";
            if (!Inputs.Deposit) {
                text += WholeYuan(totals.TakenOut) + L"\t";
            }
            text += WholeYuan(totals.EndTotal) + L"\t" + YieldText(totals.Yield) + L"\t" +
                    (Best ? WholeYuan(row.Behind) : L"") + L"\t" + (Best == i ? BEST_REMARK : L"");
        }
        texts.push_back(std::move(text));
    }
    return texts;
}

TTermComparison CompareTerms(const TYieldoraInputs& Inputs, const TTermRateTexts& RateTexts,
                             bool UseDot, const TDepositResult* Selected,
                             const std::wstring& SelectedError) {
    TTermComparison comparison{Inputs, {}, {}};
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        TComparisonRow row{DEPOSIT_TERMS[i].Years, RateTexts[i], {}, {}, 0};
        try {
            if (!SelectedError.empty() && row.Period == Inputs.Period) {
                row.Error = SelectedError;
            } else if (Selected != nullptr && row.Period == Inputs.Period) {
                row.Result = *Selected;
            } else {
                TYieldoraInputs inputs = Inputs;
                inputs.Period = row.Period;
                inputs.Rate = StoreDouble(TextToReal(row.RateText, UseDot));
                row.Result = CalculateResult(inputs);
            }
        } catch (const EkyError& e) {
            row.Error = e.Message();
        }
        const std::optional<double>& yield = row.Result ? row.Result->Totals.Yield : std::nullopt;
        if (yield) {
            const auto& best = comparison.Best;
            if (!best || *yield > *comparison.Rows[*best].Result->Totals.Yield) {
                comparison.Best = i;
            }
        }
        comparison.Rows.push_back(std::move(row));
    }
    if (comparison.Best) {
        const double best = comparison.Rows[*comparison.Best].Result->Totals.Received();
        for (TComparisonRow& row : comparison.Rows) {
            if (!row.Result) {
                continue;
            }
            // A shortfall beyond the range of a double fails its own row only; the best row's is
            // 0, so the best stays.
            try {
                row.Behind =
                    StoreDouble(static_cast<long double>(best) - row.Result->Totals.Received());
            } catch (const EkyError& e) {
                row.Result.reset();
                row.Error = e.Message();
            }
        }
    }
    return comparison;
}

TTermRates ReadTermRates(const std::wstring& FileName, double Default) {
    TkyIniFile ini(FileName);
    ini.Section = RATES_SECTION;
    TTermRates rates{};
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        try {
            rates[i] = StoreDouble(ini.ReadFloat(RateKey(DEPOSIT_TERMS[i]), Default));
        } catch (const EkyError&) {
            rates[i] = Default;
        }
    }
    return rates;
}

void WriteTermRates(const std::wstring& FileName, const TTermRates& Rates) {
    TkyIniFile ini(FileName);
    ini.Section = RATES_SECTION;
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        ini.WriteFloat(RateKey(DEPOSIT_TERMS[i]), Rates[i]);
    }
}

TComparisonChart LayoutComparisonChart(const TTermComparison& Comparison, TChartRect Plot) {
    TComparisonChart chart{Plot, {}, {}};
    const std::size_t years = Comparison.Inputs.Year;
    double least = 0;
    double most = 0;
    bool any = false;
    for (const TComparisonRow& row : Comparison.Rows) {
        if (!row.Result || years == 0) {
            continue;
        }
        const std::vector<double>& totals = row.Result->Schedule.Total;
        const auto [low, high] = std::minmax_element(totals.begin(), totals.end());
        least = any ? std::min(least, *low) : *low;
        most = any ? std::max(most, *high) : *high;
        any = true;
    }
    if (!any) {
        return chart;
    }
    if (!(most > least)) {
        most = least + 1;
    }
    const double width = Plot.Right - 1 - Plot.Left;
    const double height = Plot.Bottom - 1 - Plot.Top;
    const auto y = [&](double Value) {
        return Plot.Bottom - 1 -
               static_cast<int>(std::lround((Value - least) / (most - least) * height));
    };
    constexpr int tickCount = 5;
    for (int i = 0; i < tickCount; ++i) {
        const double value = least + (most - least) * i / (tickCount - 1);
        chart.Ticks.push_back({value, y(value), GroupedYuan(value)});
    }
    for (std::size_t i = 0; i < Comparison.Rows.size(); ++i) {
        const TComparisonRow& row = Comparison.Rows[i];
        if (!row.Result) {
            continue;
        }
        TComparisonLine line{i, {}};
        for (std::size_t year = 0; year <= years; ++year) {
            line.Points.push_back(
                {Plot.Left + static_cast<int>(std::lround(width * static_cast<double>(year) /
                                                          static_cast<double>(years))),
                 y(row.Result->Schedule.Total[year])});
        }
        chart.Lines.push_back(std::move(line));
    }
    return chart;
}
