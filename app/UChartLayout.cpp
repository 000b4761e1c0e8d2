#include "UChartLayout.h"

#include "UYieldora.h"
#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyMath.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Totals beyond this many yuan are shown in units of ten thousand yuan.
constexpr double MILLION_YUAN = 1000000;
constexpr double TEN_THOUSAND = 10000;

// The table shows a row only when its figures fit whole yuan in a signed 64-bit integer.
bool TableCanShow(double Value) {
    try {
        RoundToInt64(Value);
        return true;
    } catch (const EkyError&) {
        return false;
    }
}

std::wstring TermText(std::uint8_t Period) {
    return IsDepositTerm(Period) ? std::wstring(DEPOSIT_TERMS[TermIndex(Period)].Label)
                                 : IntText(Period) + L"年期";
}

std::wstring NumberText(double Value) {
    try {
        return FloatText(Value);
    } catch (const EkyError&) {
        return L"?";
    }
}

// Lengths are given for 96 dots per inch.
class TScaler {
public:
    explicit TScaler(int Dpi) : FDpi(Dpi > 0 ? Dpi : 96) {}
    int operator()(int Length) const { return static_cast<int>((Length * FDpi + 48) / 96); }

private:
    int FDpi;
};

int Round(double Value) {
    return static_cast<int>(std::lround(Value));
}

} // namespace

double NiceStep(double Max) {
    const double raw = Max / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double scaled = raw / magnitude;
    const bool quarters = magnitude >= 10;
    const double nice = scaled <= 1                 ? 1
                        : scaled <= 2               ? 2
                        : scaled <= 2.5 && quarters ? 2.5
                        : scaled <= 5               ? 5
                                                    : 10;
    return std::max(1.0, nice * magnitude);
}

TChartData MakeChartData(const TResultSource& Source) {
    const TYieldoraInputs& inputs = Source.Inputs;
    TChartData data{inputs, {}};
    if (inputs.Step == 0 || inputs.Period == 0) {
        return data;
    }
    double withdrawn = 0;
    for (std::size_t i = 1; i <= inputs.Year; ++i) {
        const auto year = static_cast<std::int64_t>(i);
        withdrawn += Source.Withdrawn[i];
        if (IntMod(year, inputs.Step) > 0 && i < inputs.Year) {
            continue;
        }
        const bool withdrawal =
            !inputs.Deposit && i < inputs.Year && IntMod(year, inputs.Period) == 0;
        if (!TableCanShow(Source.Interest[i]) || !TableCanShow(Source.Total[i]) ||
            (withdrawal && !TableCanShow(Source.Withdrawn[i]))) {
            break;
        }
        const double total = Source.Total[i];
        data.Years.push_back(
            {static_cast<std::int32_t>(i), total, inputs.Fund, total - inputs.Fund, withdrawn});
    }
    return data;
}

std::wstring ChartTitle(const TChartData& Data) {
    const TYieldoraInputs& inputs = Data.Inputs;
    return L"本金 " + GroupedYuan(inputs.Fund) + L" 元，" + TermText(inputs.Period) + L"，年利率 " +
           NumberText(inputs.Rate) + L"%，利息税 " + NumberText(inputs.Tax) + L"%，" +
           (inputs.Deposit ? L"到期利息转存" : L"到期取出利息");
}

std::wstring ChartBarTip(const TChartYear& Figures, bool Deposit) {
    std::wstring tip = L"第 " + IntText(Figures.Year) + L" 年\r\n累计：" +
                       GroupedYuan(Figures.Total) + L" 元\r\n本金：" +
                       GroupedYuan(Figures.Capital) + L" 元\r\n利息：" +
                       GroupedYuan(Figures.Earned) + L" 元";
    if (!Deposit) {
        tip += L"\r\n已取出利息：" + GroupedYuan(Figures.Withdrawn) + L" 元";
    }
    return tip;
}

TChartLayout LayoutChart(const TChartData& Data, int Width, int Height, int Dpi) {
    TChartLayout layout;
    const TScaler scale(Dpi);
    layout.Dpi = Dpi;
    if (Data.Years.empty()) {
        return layout;
    }
    layout.Empty = false;
    layout.Title = ChartTitle(Data);
    layout.TitleRect = {scale(12), scale(8), Width - scale(12), scale(28)};
    layout.LegendRect = {scale(12), scale(32), Width - scale(12), scale(50)};
    layout.Plot = {scale(76), scale(72), Width - scale(20), Height - scale(40)};
    layout.Plot.Right = std::max(layout.Plot.Right, layout.Plot.Left + 1);
    layout.Plot.Bottom = std::max(layout.Plot.Bottom, layout.Plot.Top + 1);
    layout.YearLabelTop = layout.Plot.Bottom + scale(6);

    double highest = 0;
    for (const TChartYear& year : Data.Years) {
        highest = std::max(highest, year.Total);
        if (!Data.Inputs.Deposit) {
            highest = std::max(highest, year.Withdrawn);
        }
    }
    const double unit = highest > MILLION_YUAN ? TEN_THOUSAND : 1;
    layout.ValueCaption = unit == 1 ? L"元" : L"万元";
    const double step = NiceStep(std::max(highest / unit, 1.0));
    const double intervals = std::max(1.0, std::ceil(highest / unit / step));
    const double axisMax = intervals * step * unit;

    const TChartRect& plot = layout.Plot;
    const int plotHeight = plot.Bottom - plot.Top;
    const auto yOf = [&](double Value) {
        return plot.Bottom - Round(std::clamp(Value, 0.0, axisMax) / axisMax * plotHeight);
    };
    for (int i = 0; i <= static_cast<int>(intervals); ++i) {
        const double value = i * step;
        layout.Ticks.push_back({value * unit, yOf(value * unit), GroupedYuan(value)});
    }

    const auto count = static_cast<int>(Data.Years.size());
    const double slot = static_cast<double>(plot.Right - plot.Left) / count;
    const int barWidth = std::max(1, Round(slot * 0.6));
    const int labelEvery = std::max(1, static_cast<int>(std::ceil(scale(30) / slot)));
    for (int i = 0; i < count; ++i) {
        const TChartYear& year = Data.Years[static_cast<std::size_t>(i)];
        const int left = plot.Left + Round(slot * i + (slot - barWidth) / 2);
        TChartBar bar{{left, yOf(year.Total), left + barWidth, plot.Bottom},
                      yOf(std::min(year.Capital, year.Total)),
                      year};
        const int centre = left + barWidth / 2;
        if (i % labelEvery == 0) {
            layout.YearLabels.push_back({centre, IntText(year.Year)});
        }
        if (!Data.Inputs.Deposit) {
            layout.WithdrawnLine.push_back({centre, yOf(year.Withdrawn)});
        }
        layout.Bars.push_back(bar);
    }
    return layout;
}
