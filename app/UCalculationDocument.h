#pragma once

#include "UDepositPlan.h"
#include "UDepositResult.h"
#include "UTermRates.h"
#include "UYieldora.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the dialog's inputs hold: the fields' texts as typed, the check box and the term.
struct TInputTexts {
    std::wstring Fund;
    std::wstring Rate;
    std::wstring Tax;
    std::wstring Year;
    std::wstring Step;
    bool Deposit = true;
    std::uint8_t Period = 1;
};

// The fields of TInputTexts that hold a text.
enum class TInputField { Fund, Rate, Tax, Year, Step };

// The comparison's fields of the scenario: the rates' change per year, the demand rate, the month
// money is needed in (empty for none) and how much (empty or "全部" for everything).
enum class TScenarioField { RateChange, DemandRate, NeedMonth, NeedAmount };

// The text of the amount needed when everything is.
inline const std::wstring NEED_ALL = L"全部";

// A scenario field whose text cannot be read, and the message every row of the comparison has.
struct TScenarioFault {
    TScenarioField Field;
    std::wstring Message;
};

// The texts that show Inputs, numbers in their canonical form (with "." for UseDot, else the
// system's decimal separator).
TInputTexts InputTexts(const TYieldoraInputs& Inputs, bool UseDot);

// One calculation as the program shows it: the inputs and the texts they are typed as, every
// term's own rate, the result of the inputs and the comparison of the terms; read from and
// written to the profile. The views send it what the user did and show what it holds; OnChange
// tells them of every change.
//
// The selected term's rate is the rate field's: the comparison's row of that term is the
// calculation of the inputs, and typing into that term's rate types into the rate field. Every
// term also keeps a rate of its own, which only typing changes: typing the rate field gives the
// selected term that rate. Picking another term changes no rate: the rate field keeps its text,
// the term left goes back to its own rate, and the own rate of the term picked is kept, not
// shown, until another term is picked. The profile's "TermRates" are the own rates.
//
// The comparison plans every term under the scenario: the terms of years at their rates, and
// 三个月 and 六个月 where their rates are given (an empty rate leaves the term out).
class TCalculationDocument {
public:
    // Numbers read and written with "." for UseDot, else with the system's decimal separator.
    explicit TCalculationDocument(bool UseDot);

    // The inputs from the profile's section "Yieldora" (an absent or malformed entry gives the
    // default), every term's own rate from "TermRates" (the loaded rate where one is missing) and
    // the scenario from "Planner"; the texts show them. Nothing is calculated.
    void Load(const std::wstring& FileName);
    // The inputs into the section "Yieldora"; false when they could not all be stored.
    bool SaveInputs(const std::wstring& FileName) const;
    // The terms' own rates into the section "TermRates", and the scenario with the rates of
    // 三个月 and 六个月 into "Planner".
    void SaveTermRates(const std::wstring& FileName) const;

    // Inputs as they are given (exactly: they are not read back from their texts); the texts
    // show them.
    void SetInputs(const TYieldoraInputs& Inputs);
    // Every term's own rate.
    void SetTermRates(const TTermRates& Rates);
    // The scenario and the rates of 三个月 and 六个月; the texts show them.
    void SetPlanner(const TPlannerProfile& Planner);

    // The user typed into a field, ticked the check box, picked a term, or typed a term's rate
    // (Term in the order of DEPOSIT_TERMS).
    void SetText(TInputField Field, const std::wstring& Text);
    void SetDeposit(bool Deposit);
    void SelectTerm(std::uint8_t Period);
    void SetTermRateText(std::size_t Term, const std::wstring& Text);
    // The user typed the rate of 三个月 (Term 0) or 六个月 (1), or a field of the scenario.
    void SetMonthRateText(std::size_t Term, const std::wstring& Text);
    void SetScenarioText(TScenarioField Field, const std::wstring& Text);
    // The texts show the inputs again, as the dialog rewrites its fields after calculating.
    void ShowInputs();
    // The inputs as the dialog read them itself (the fields before a bad one taken, the others
    // kept), and the texts show them again, as ShowInputs.
    void ShowInputs(const TYieldoraInputs& Inputs);
    // The result of the inputs as they stand, calculated by the dialog itself; the comparison
    // follows it. It counts as a calculation.
    void TakeResult(const TDepositResult& Result);

    // Reads the texts typed since the last reading, as the dialog does, and calculates the result
    // and the comparison from those inputs. A field that cannot be read fails the whole
    // calculation: no result, and every row of the comparison has the message. A calculation
    // that raises leaves no result and marks the selected term's row; the other terms stand.
    // The answer is the message the dialog shows: that of the reading, of the calculation, or of
    // a row the table cannot show (a step of 0); none when all went well.
    std::optional<std::wstring> Calculate();

    const TYieldoraInputs& Inputs() const { return FInputs; }
    const TInputTexts& Texts() const { return FTexts; }
    // Something was typed, ticked or picked since the texts were last read.
    bool Pending() const;
    // The text a term's rate field shows: the rate field's for the selected term.
    const std::wstring& TermRateText(std::size_t Term) const;
    // The terms' own rates, as the profile keeps them; a text that cannot be read leaves the
    // rate it had.
    TTermRates TermRates() const;
    // The text of the rate of 三个月 (Term 0) or 六个月 (1), and of a field of the scenario.
    const std::wstring& MonthRateText(std::size_t Term) const { return FMonthRateTexts[Term]; }
    const std::wstring& ScenarioText(TScenarioField Field) const;
    // The scenario and the rates of 三个月 and 六个月 as the profile keeps them: a text that
    // cannot be read leaves the value it had.
    const TPlannerProfile& Planner() const;
    // The result of the last calculation; none when it failed.
    const std::optional<TDepositResult>& Result() const { return FResult; }
    // The comparison of the last calculation's inputs at the terms' rates and under the scenario
    // as they stand; worked out when it is first asked for. The selected term's row has the
    // message of a calculation that raised; a field that could not be read, or a scenario field
    // that cannot (see ScenarioFault), gives every row its message.
    const TDepositPlan& Comparison() const;
    // The scenario field the comparison could not read; none when it read them all.
    std::optional<TScenarioFault> ScenarioFault() const;
    // Counts the calculations: a view shows a new result when it differs from the one it showed.
    std::uint64_t Calculations() const { return FCalculations; }

    // Called after every change.
    std::vector<std::function<void()>> OnChange;

private:
    struct TTermRate {
        std::wstring Text;
        double Value = 0;
    };

    std::size_t Selected() const { return TermIndex(FTexts.Period); }
    void SetOwnRate(std::size_t Term, const std::wstring& Text);
    // Reads the texts of the rates of months and of the scenario into FPlanner, for the inputs'
    // years; a text that cannot be read keeps the value it had, and the first such field of the
    // scenario that counts is FScenarioFault. The answer is the scenario to plan with: none
    // with a fault.
    TPlanScenario ReadPlanner() const;
    void Changed() const;

    bool FUseDot;
    TYieldoraInputs FInputs;
    TInputTexts FTexts;
    // The fields typed into since they were last read, in the order of TInputField; the check
    // box and the term are read with them.
    std::array<bool, 5> FTyped{};
    bool FChoiceMade = false;
    std::array<TTermRate, DEPOSIT_TERMS.size()> FTermRates;
    // The rate field was typed into since the selected term was picked: that term's own rate
    // follows it.
    bool FRateTyped = false;
    std::optional<TDepositResult> FResult;
    // The message of the last calculation; with FReadFailed a field could not be read, and every
    // row of the comparison has it.
    std::wstring FError;
    bool FReadFailed = false;
    std::uint64_t FCalculations = 0;
    std::array<std::wstring, 2> FMonthRateTexts;
    std::array<std::wstring, 4> FScenarioTexts;
    mutable TPlannerProfile FPlanner;
    mutable std::optional<TDepositPlan> FComparison;
    mutable std::optional<TScenarioFault> FScenarioFault;
};
