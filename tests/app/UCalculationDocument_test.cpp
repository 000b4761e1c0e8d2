#include "UCalculationDocument.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr std::size_t FIVE_YEARS = 3;

} // namespace

// A rate typed for a term survives picking that term: the row then shows the rate field's rate,
// and the typed rate comes back when another term is picked, and is what the profile keeps.
TEST(CalculationDocument, PickingATermOverwritesNoTypedRate) {
    TCalculationDocument document(true);
    int changes = 0;
    document.OnChange.push_back([&changes] { ++changes; });
    document.SetTermRateText(FIVE_YEARS, L"2.75");
    document.SelectTerm(5);
    EXPECT_EQ(document.Calculate(), std::nullopt);
    EXPECT_EQ(document.Texts().Rate, L"3.6");
    EXPECT_EQ(document.Comparison().Rows[FIVE_YEARS].RateText, L"3.6");
    EXPECT_EQ(document.TermRates(), (TTermRates{3.6, 3.6, 3.6, 2.75, 3.6}));
    document.SelectTerm(1);
    document.Calculate();
    EXPECT_EQ(document.Comparison().Rows[FIVE_YEARS].RateText, L"2.75");
    EXPECT_EQ(changes, 5);

    // Typing the selected term's rate, here or in the rate field, is typing both.
    document.SetTermRateText(0, L"4");
    EXPECT_EQ(document.Texts().Rate, L"4");
    document.SelectTerm(5);
    document.SetText(TInputField::Rate, L"3");
    document.SelectTerm(2);
    EXPECT_EQ(document.TermRates(), (TTermRates{4, 3.6, 3.6, 3, 3.6}));
    EXPECT_EQ(document.TermRateText(FIVE_YEARS), L"3");
    EXPECT_EQ(document.TermRateText(1), L"3");
}

// The comparison never mixes old and new inputs: a field that cannot be read fails it whole.
TEST(CalculationDocument, ABadFieldFailsTheWholeCalculation) {
    TCalculationDocument document(true);
    document.Calculate();
    document.SetText(TInputField::Fund, L"20000");
    document.SetText(TInputField::Tax, L"abc");
    EXPECT_EQ(document.Calculate(), L"abc is not a valid float number!");
    EXPECT_FALSE(document.Result());
    EXPECT_FALSE(document.Comparison().Best);
    for (const TPlanRow& row : document.Comparison().Rows) {
        EXPECT_EQ(row.Error, L"abc is not a valid float number!");
        EXPECT_FALSE(row.Plan);
    }
    // As in the dialog, the fields before the bad one are taken, and the texts show the inputs
    // again; from them every row is calculated.
    EXPECT_EQ(document.Inputs().Fund, 20000);
    EXPECT_EQ(document.Inputs().Tax, 20);
    document.ShowInputs();
    EXPECT_EQ(document.Texts().Tax, L"20");
    EXPECT_EQ(document.Calculate(), std::nullopt);
    // 20,000 at 3.6 % less 20 % tax for a year.
    EXPECT_NEAR(document.Comparison().Rows[0].Plan->YearTotals[1], 20576, 1e-9);
    document.SetText(TInputField::Year, L"300");
    EXPECT_EQ(document.Calculate(), L"300 is out of range 0..255!");
}

// A step of 0 fails the table, not the comparison: every term has its figures, the selected one
// too, and the best is the one of any other step.
TEST(CalculationDocument, AStepOfZeroIsTheSameForEveryRow) {
    TCalculationDocument document(true);
    document.SelectTerm(3);
    document.SetText(TInputField::Step, L"0");
    EXPECT_EQ(document.Calculate(), L"Division by zero");
    EXPECT_EQ(document.Result()->RowsError, L"Division by zero");
    for (const TPlanRow& row : document.Comparison().Rows) {
        EXPECT_TRUE(row.Plan);
    }
    EXPECT_EQ(document.Comparison().Best, 0u);
}

TEST(CalculationDocument, InputsAndTermRatesSurviveTheProfile) {
    const std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::path("UCalculationDocument_test.ini"));
    std::filesystem::remove(path);
    TCalculationDocument document(true);
    document.Load(path.wstring());
    EXPECT_EQ(document.Inputs(), TYieldoraInputs{});
    document.SetTermRateText(FIVE_YEARS, L"2.75");
    document.SelectTerm(5);
    document.SetText(TInputField::Fund, L"20000");
    document.Calculate();
    EXPECT_TRUE(document.SaveInputs(path.wstring()));
    document.SaveTermRates(path.wstring());

    TCalculationDocument loaded(true);
    loaded.Load(path.wstring());
    EXPECT_EQ(loaded.Inputs(), document.Inputs());
    EXPECT_EQ(loaded.TermRates(), (TTermRates{3.6, 3.6, 3.6, 2.75, 3.6}));
    EXPECT_EQ(loaded.TermRateText(FIVE_YEARS), L"3.6");
    std::filesystem::remove(path);

    // Inputs given as numbers are calculated exactly, not from their texts.
    loaded.SetInputs({.Fund = 0.1 + 0.2});
    loaded.Calculate();
    EXPECT_EQ(loaded.Result()->Inputs.Fund, 0.1 + 0.2);
}

// What the dialog read and calculated itself is taken as it is: the inputs show in the texts and
// end what was pending, a rate typed for the selected term stays that term's own, and the result
// counts as a calculation that the comparison follows.
TEST(CalculationDocument, TheDialogsOwnInputsAndResultAreTakenAsTheyAre) {
    TCalculationDocument document(true);
    EXPECT_FALSE(document.Pending());
    EXPECT_EQ(document.Calculations(), 0u);
    document.SetText(TInputField::Rate, L"4.50");
    document.SetText(TInputField::Fund, L"abc");
    EXPECT_TRUE(document.Pending());

    TYieldoraInputs inputs;
    inputs.Rate = 4.5;
    inputs.Fund = 20000;
    document.ShowInputs(inputs);
    EXPECT_FALSE(document.Pending());
    EXPECT_EQ(document.Texts().Fund, L"20000");
    EXPECT_EQ(document.Texts().Rate, L"4.5");
    EXPECT_EQ(document.TermRateText(0), L"4.5");
    EXPECT_EQ(document.Calculations(), 0u);

    document.TakeResult(CalculateResult(inputs));
    EXPECT_EQ(document.Calculations(), 1u);
    ASSERT_TRUE(document.Result());
    EXPECT_EQ(document.Result()->Rows.size(), 20u);
    ASSERT_TRUE(document.Comparison().Rows[0].Plan);
    EXPECT_NEAR(document.Comparison().Rows[0].Plan->YearTotals[1], 20720, 1e-9);
    EXPECT_EQ(document.Comparison().Rows[0].RateText, L"4.5");

    // Nothing pending: a calculation of the inputs as they stand, counted all the same.
    EXPECT_EQ(document.Calculate(), std::nullopt);
    EXPECT_EQ(document.Calculations(), 2u);
    document.SelectTerm(2);
    EXPECT_TRUE(document.Pending());
}

// The scenario and the rates of months are the document's too: typed, read when the comparison
// is worked out, kept in the profile. A field that cannot be read gives every row its message and
// is named; the demand rate and the amount count only once a month is given.
TEST(CalculationDocument, TheScenarioAndTheTermsOfMonths) {
    const std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::path("UCalculationDocument_plan.ini"));
    std::filesystem::remove(path);
    TCalculationDocument document(true);
    document.SetInputs({.Fund = 100000, .Tax = 0, .Year = 3});
    document.SetTermRateText(2, L"1.25");
    EXPECT_EQ(document.Comparison().Rows.size(), 5u);
    EXPECT_EQ(document.ScenarioText(TScenarioField::NeedAmount), L"全部");
    document.SetMonthRateText(0, L"0.65");
    document.SetScenarioText(TScenarioField::DemandRate, L"abc");
    ASSERT_EQ(document.Comparison().Rows.size(), 6u);
    EXPECT_EQ(document.Comparison().Rows[0].Months, 3);
    EXPECT_FALSE(document.ScenarioFault());

    document.SetScenarioText(TScenarioField::NeedMonth, L"18");
    ASSERT_TRUE(document.ScenarioFault());
    EXPECT_EQ(document.ScenarioFault()->Field, TScenarioField::DemandRate);
    for (const TPlanRow& row : document.Comparison().Rows) {
        EXPECT_EQ(row.Error, L"abc is not a valid float number!");
    }
    document.SetScenarioText(TScenarioField::DemandRate, L"0.05");
    // The banks' example: everything taken out of a three-year certificate at month 18.
    EXPECT_NEAR(document.Comparison().Rows[3].Plan->Interest, 75, 1e-6);
    document.SetScenarioText(TScenarioField::NeedMonth, L"40");
    EXPECT_EQ(document.ScenarioFault()->Message,
              L"The money needed in month 40 falls outside the 36 months planned!");
    document.SetScenarioText(TScenarioField::NeedMonth, L"18");
    document.SetScenarioText(TScenarioField::NeedAmount, L"0");
    EXPECT_EQ(document.ScenarioFault()->Field, TScenarioField::NeedAmount);
    document.SetScenarioText(TScenarioField::NeedAmount, L"30000");
    // 30,000 earns the demand rate, 22.50; the 70,000 left earns 2,625.00 at maturity.
    EXPECT_NEAR(document.Comparison().Rows[3].Plan->Interest, 2647.5, 1e-6);

    document.SaveTermRates(path.wstring());
    TCalculationDocument loaded(true);
    loaded.Load(path.wstring());
    EXPECT_EQ(loaded.Planner(),
              (TPlannerProfile{
                  {.RateChange = 0, .DemandRate = 0.05, .NeedMonth = 18, .NeedAmount = 30000},
                  {0.65, std::nullopt}}));
    EXPECT_EQ(loaded.ScenarioText(TScenarioField::NeedAmount), L"30000");
    EXPECT_EQ(loaded.MonthRateText(1), L"");
    std::filesystem::remove(path);
}
