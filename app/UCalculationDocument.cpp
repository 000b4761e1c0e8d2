#include "UCalculationDocument.h"

#include "UkyError.h"
#include "UkyFunctions.h"
#include "UkyIniFile.h"
#include "UkyMath.h"
#include "UkyStrUtils.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

// The fields in the order they are read, and their texts.
constexpr std::array<TInputField, 5> INPUT_FIELDS{
    TInputField::Fund, TInputField::Rate, TInputField::Tax, TInputField::Year, TInputField::Step};
constexpr std::array<std::wstring TInputTexts::*, 5> FIELD_TEXTS{
    &TInputTexts::Fund, &TInputTexts::Rate, &TInputTexts::Tax, &TInputTexts::Year,
    &TInputTexts::Step};

std::size_t FieldIndex(TInputField Field) {
    return static_cast<std::size_t>(Field);
}

void ReadInputText(TInputField Field, const std::wstring& Text, bool UseDot,
                   TYieldoraInputs& Inputs) {
    switch (Field) {
    case TInputField::Fund:
        Inputs.Fund = StoreDouble(TextToReal(Text, UseDot));
        break;
    case TInputField::Rate:
        Inputs.Rate = StoreDouble(TextToReal(Text, UseDot));
        break;
    case TInputField::Tax:
        Inputs.Tax = StoreDouble(TextToReal(Text, UseDot));
        break;
    case TInputField::Year:
        Inputs.Year = static_cast<std::uint8_t>(TextToIntInRange(Text, 0, 255));
        break;
    case TInputField::Step: {
        using Limits = std::numeric_limits<std::int32_t>;
        Inputs.Step =
            static_cast<std::int32_t>(TextToIntInRange(Text, Limits::min(), Limits::max()));
        break;
    }
    }
}

} // namespace

TInputTexts InputTexts(const TYieldoraInputs& Inputs, bool UseDot) {
    return {RealToText(-1, UseDot, Inputs.Fund),
            RealToText(-1, UseDot, Inputs.Rate),
            RealToText(-1, UseDot, Inputs.Tax),
            IntText(Inputs.Year),
            IntText(Inputs.Step),
            Inputs.Deposit,
            Inputs.Period};
}

TCalculationDocument::TCalculationDocument(bool UseDot)
    : FUseDot(UseDot), FTexts(InputTexts(FInputs, UseDot)) {
    TTermRates rates{};
    rates.fill(FInputs.Rate);
    SetTermRates(rates);
    SetPlanner({});
}

void TCalculationDocument::Load(const std::wstring& FileName) {
    TYieldoraInputs inputs;
    ReadYieldoraInputs(FileName, inputs);
    SetInputs(inputs);
    SetTermRates(ReadTermRates(FileName, inputs.Rate));
    SetPlanner(ReadPlannerProfile(FileName));
}

bool TCalculationDocument::SaveInputs(const std::wstring& FileName) const {
    return WriteYieldoraInputs(FileName, FInputs);
}

void TCalculationDocument::SaveTermRates(const std::wstring& FileName) const {
    WriteTermRates(FileName, TermRates());
    WritePlannerProfile(FileName, Planner());
}

void TCalculationDocument::SetInputs(const TYieldoraInputs& Inputs) {
    FInputs = Inputs;
    FTexts = InputTexts(FInputs, FUseDot);
    FTyped.fill(false);
    FChoiceMade = false;
    FRateTyped = false;
    Changed();
}

void TCalculationDocument::SetTermRates(const TTermRates& Rates) {
    for (std::size_t i = 0; i < Rates.size(); ++i) {
        FTermRates[i] = {RealToText(-1, FUseDot, Rates[i]), Rates[i]};
    }
    FRateTyped = false;
    Changed();
}

void TCalculationDocument::SetPlanner(const TPlannerProfile& Planner) {
    FPlanner = Planner;
    for (std::size_t i = 0; i < FMonthRateTexts.size(); ++i) {
        const std::optional<double> rate = Planner.MonthRates[i];
        FMonthRateTexts[i] = rate ? RealToText(-1, FUseDot, *rate) : std::wstring();
    }
    const TPlanScenario& scenario = Planner.Scenario;
    FScenarioTexts = {RealToText(-1, FUseDot, scenario.RateChange),
                      RealToText(-1, FUseDot, scenario.DemandRate),
                      scenario.NeedMonth > 0 ? IntText(scenario.NeedMonth) : std::wstring(),
                      scenario.NeedAmount ? RealToText(-1, FUseDot, *scenario.NeedAmount)
                                          : std::wstring(NEED_ALL)};
    Changed();
}

void TCalculationDocument::SetMonthRateText(std::size_t Term, const std::wstring& Text) {
    FMonthRateTexts[Term] = Text;
    Changed();
}

void TCalculationDocument::SetScenarioText(TScenarioField Field, const std::wstring& Text) {
    FScenarioTexts[static_cast<std::size_t>(Field)] = Text;
    Changed();
}

const std::wstring& TCalculationDocument::ScenarioText(TScenarioField Field) const {
    return FScenarioTexts[static_cast<std::size_t>(Field)];
}

TPlanScenario TCalculationDocument::ReadPlanner() const {
    for (std::size_t i = 0; i < FMonthRateTexts.size(); ++i) {
        const std::wstring text = TextTrim(FMonthRateTexts[i]);
        if (text.empty()) {
            FPlanner.MonthRates[i].reset();
            continue;
        }
        try {
            FPlanner.MonthRates[i] = StoreDouble(TextToReal(text, FUseDot));
        } catch (const EkyError&) {
        }
    }
    TPlanScenario& scenario = FPlanner.Scenario;
    std::array<std::wstring, 4> faults;
    const auto fault = [&faults](TScenarioField Field) -> std::wstring& {
        return faults[static_cast<std::size_t>(Field)];
    };
    const auto read = [&](TScenarioField Field, const auto& Reader) {
        try {
            Reader(TextTrim(ScenarioText(Field)));
        } catch (const EkyError& e) {
            fault(Field) = e.Message();
        }
    };
    read(TScenarioField::RateChange, [&](const std::wstring& Text) {
        scenario.RateChange = StoreDouble(TextToReal(Text, FUseDot));
    });
    read(TScenarioField::DemandRate, [&](const std::wstring& Text) {
        scenario.DemandRate = StoreDouble(TextToReal(Text, FUseDot));
    });
    read(TScenarioField::NeedMonth, [&](const std::wstring& Text) {
        using Limits = std::numeric_limits<std::int32_t>;
        scenario.NeedMonth =
            Text.empty()
                ? 0
                : static_cast<std::int32_t>(TextToIntInRange(Text, Limits::min(), Limits::max()));
    });
    read(TScenarioField::NeedAmount, [&](const std::wstring& Text) {
        scenario.NeedAmount = Text.empty() || Text == NEED_ALL
                                  ? std::nullopt
                                  : std::optional<double>(StoreDouble(TextToReal(Text, FUseDot)));
    });

    // The demand rate and the amount count only where money is needed.
    TPlanScenario used = scenario;
    const bool needed = fault(TScenarioField::NeedMonth).empty() && used.NeedMonth != 0;
    if (!needed) {
        used.NeedMonth = 0;
        used.NeedAmount.reset();
    }
    FScenarioFault.reset();
    for (const TScenarioField field : {TScenarioField::RateChange, TScenarioField::DemandRate,
                                       TScenarioField::NeedMonth, TScenarioField::NeedAmount}) {
        const bool counts =
            needed || field == TScenarioField::RateChange || field == TScenarioField::NeedMonth;
        if (!FScenarioFault && counts && !fault(field).empty()) {
            FScenarioFault = TScenarioFault{field, fault(field)};
        }
    }
    if (!FScenarioFault) {
        try {
            CheckScenario(used, FInputs.Year);
        } catch (const EkyError& e) {
            const bool amount = used.NeedAmount && !(*used.NeedAmount > 0);
            FScenarioFault = TScenarioFault{
                amount ? TScenarioField::NeedAmount : TScenarioField::NeedMonth, e.Message()};
        }
    }
    return FScenarioFault ? TPlanScenario{} : used;
}

void TCalculationDocument::SetOwnRate(std::size_t Term, const std::wstring& Text) {
    TTermRate& rate = FTermRates[Term];
    rate.Text = Text;
    try {
        rate.Value = StoreDouble(TextToReal(Text, FUseDot));
    } catch (const EkyError&) {
    }
}

void TCalculationDocument::SetText(TInputField Field, const std::wstring& Text) {
    const std::size_t index = FieldIndex(Field);
    FTexts.*FIELD_TEXTS[index] = Text;
    FTyped[index] = true;
    if (Field == TInputField::Rate) {
        FRateTyped = true;
        SetOwnRate(Selected(), Text);
    }
    Changed();
}

void TCalculationDocument::SetDeposit(bool Deposit) {
    FTexts.Deposit = Deposit;
    FChoiceMade = true;
    Changed();
}

void TCalculationDocument::SelectTerm(std::uint8_t Period) {
    if (TermIndex(Period) != Selected()) {
        FRateTyped = false;
    }
    FTexts.Period = Period;
    FChoiceMade = true;
    Changed();
}

void TCalculationDocument::SetTermRateText(std::size_t Term, const std::wstring& Text) {
    if (Term == Selected()) {
        SetText(TInputField::Rate, Text);
        return;
    }
    SetOwnRate(Term, Text);
    Changed();
}

void TCalculationDocument::ShowInputs() {
    const std::size_t selected = Selected();
    FTexts = InputTexts(FInputs, FUseDot);
    FTyped.fill(false);
    FChoiceMade = false;
    if (Selected() != selected) {
        FRateTyped = false;
    } else if (FRateTyped) {
        FTermRates[selected] = {FTexts.Rate, FInputs.Rate};
    }
    Changed();
}

void TCalculationDocument::ShowInputs(const TYieldoraInputs& Inputs) {
    FInputs = Inputs;
    ShowInputs();
}

void TCalculationDocument::TakeResult(const TDepositResult& Result) {
    FResult = Result;
    FError = Result.RowsError;
    FReadFailed = false;
    ++FCalculations;
    Changed();
}

bool TCalculationDocument::Pending() const {
    return FChoiceMade || std::any_of(FTyped.begin(), FTyped.end(), std::identity{});
}

std::optional<std::wstring> TCalculationDocument::Calculate() {
    const bool typed = Pending();
    ++FCalculations;
    if (typed) {
        // The fields not typed into keep their values exactly; the others are read in the
        // dialog's order.
        TYieldoraInputs read = FInputs;
        try {
            for (std::size_t i = 0; i < INPUT_FIELDS.size(); ++i) {
                if (FTyped[i]) {
                    ReadInputText(INPUT_FIELDS[i], FTexts.*FIELD_TEXTS[i], FUseDot, read);
                }
            }
        } catch (const EkyError& e) {
            FInputs = read;
            FResult.reset();
            FError = e.Message();
            FReadFailed = true;
            Changed();
            return FError;
        }
        read.Deposit = FTexts.Deposit;
        read.Period = FTexts.Period;
        FInputs = read;
        FTyped.fill(false);
        FChoiceMade = false;
    }

    FResult.reset();
    FReadFailed = false;
    try {
        FResult = CalculateResult(FInputs);
        FError = FResult->RowsError;
    } catch (const EkyError& e) {
        FError = e.Message();
    }
    Changed();
    return FError.empty() ? std::nullopt : std::optional<std::wstring>(FError);
}

const TDepositPlan& TCalculationDocument::Comparison() const {
    if (FComparison) {
        return *FComparison;
    }
    const TPlanScenario scenario = ReadPlanner();
    std::vector<TPlanRate> rates;
    for (std::size_t i = 0; i < FMonthRateTexts.size(); ++i) {
        if (!TextTrim(FMonthRateTexts[i]).empty()) {
            rates.push_back({PLAN_TERMS[i].Months, FMonthRateTexts[i]});
        }
    }
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        rates.push_back({DEPOSIT_TERMS[i].Years * 12, TermRateText(i)});
        // A row the table cannot show (a step of 0) concerns the table only: every term's row
        // of the comparison has its figures.
        if (i == Selected() && !FResult && !FError.empty()) {
            rates.back().Error = FError;
        }
    }
    const std::wstring& error = FReadFailed      ? FError
                                : FScenarioFault ? FScenarioFault->Message
                                                 : std::wstring();
    if (!error.empty()) {
        for (TPlanRate& rate : rates) {
            rate.Error = error;
        }
    }
    FComparison = PlanDeposit(FInputs, scenario, rates, FUseDot);
    return *FComparison;
}

const TPlannerProfile& TCalculationDocument::Planner() const {
    ReadPlanner();
    return FPlanner;
}

std::optional<TScenarioFault> TCalculationDocument::ScenarioFault() const {
    Comparison();
    return FScenarioFault;
}

const std::wstring& TCalculationDocument::TermRateText(std::size_t Term) const {
    return Term == Selected() ? FTexts.Rate : FTermRates[Term].Text;
}

TTermRates TCalculationDocument::TermRates() const {
    TTermRates rates{};
    for (std::size_t i = 0; i < rates.size(); ++i) {
        rates[i] = FTermRates[i].Value;
    }
    return rates;
}

void TCalculationDocument::Changed() const {
    FComparison.reset();
    for (const std::function<void()>& notify : OnChange) {
        notify();
    }
}
