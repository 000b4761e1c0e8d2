#pragma once

#include <cstdint>
#include <vector>

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
