#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// A deposit term the bank offers: its length and its name in the term list.
struct TDepositTerm {
    std::uint8_t Years;
    std::wstring_view Label;
};

// The terms, shortest first, in the order of the dialog's term list.
inline constexpr std::array<TDepositTerm, 5> DEPOSIT_TERMS{{
    {1, L"一年期"},
    {2, L"二年期"},
    {3, L"三年期"},
    {5, L"五年期"},
    {10, L"十年期"},
}};

// Whether Years is the length of one of the terms.
bool IsDepositTerm(std::int64_t Years);

// The position in DEPOSIT_TERMS of the term a Period stands for: a Period that is no term's length
// stands for the longest term, as the term list shows it.
std::size_t TermIndex(std::uint8_t Period);

// The length of the term a Period stands for.
std::uint8_t ListedTerm(std::uint8_t Period);

// The seven inputs of a calculation, with their defaults: what the model holds, the dialog shows,
// the profile keeps and the command line takes.
struct TYieldoraInputs {
    double Fund = 10000;     // capital deposited at the start, in yuan
    std::uint8_t Period = 1; // term of one deposit in years, at least 1 for a schedule
    double Rate = 3.6;       // annual interest rate in percent
    double Tax = 20;         // interest tax in percent of the interest
    std::uint8_t Year = 20;  // number of years to project
    std::int32_t Step = 1;   // the table shows every Step-th year; the schedule ignores it
    bool Deposit = true;     // interest re-deposited at maturity rather than withdrawn

    bool operator==(const TYieldoraInputs&) const = default;
};

// The year-by-year figures of a schedule, indexed 0..Year; index 0 is the starting state.
struct TSchedule {
    std::vector<double> Interest;  // interest earned in the year
    std::vector<double> Total;     // balance at the end of the year, before its withdrawal
    std::vector<double> Withdrawn; // taken out at the end of the year
};

// The schedule of the inputs. Interest is simple within a term and is earned on
// the principal; at each maturity the term's interest either joins the principal or is withdrawn.
// Raises "Floating point overflow" when a figure leaves the range of a double, and "Division by
// zero" for a zero Period.
TSchedule CalculateSchedule(const TYieldoraInputs& Inputs);
