#include "USchedule.h"

#include "UkyMath.h"

#include <algorithm>

namespace {

// Net yearly rate after tax, worked out in extended precision and rounded once.
double NetRate(double Rate, double Tax) {
    return StoreDouble((100.0L - Tax) * Rate / 10000.0L);
}

} // namespace

bool IsDepositTerm(std::int64_t Years) {
    return std::any_of(DEPOSIT_TERMS.begin(), DEPOSIT_TERMS.end(),
                       [Years](const TDepositTerm& Term) { return Term.Years == Years; });
}

std::size_t TermIndex(std::uint8_t Period) {
    for (std::size_t i = 0; i < DEPOSIT_TERMS.size(); ++i) {
        if (DEPOSIT_TERMS[i].Years == Period) {
            return i;
        }
    }
    return DEPOSIT_TERMS.size() - 1;
}

std::uint8_t ListedTerm(std::uint8_t Period) {
    return DEPOSIT_TERMS[TermIndex(Period)].Years;
}

TSchedule CalculateSchedule(const TYieldoraInputs& Inputs) {
    const std::size_t length = static_cast<std::size_t>(Inputs.Year) + 1;
    TSchedule schedule{std::vector<double>(length), std::vector<double>(length),
                       std::vector<double>(length)};

    const double rate = NetRate(Inputs.Rate, Inputs.Tax);
    double principal = Inputs.Fund;
    double total = Inputs.Fund;
    schedule.Total[0] = Inputs.Fund;

    for (std::size_t i = 1; i < length; ++i) {
        const double interest = StoreDouble(static_cast<long double>(principal) * rate);
        schedule.Interest[i] = interest;
        total = StoreDouble(static_cast<long double>(total) + interest);
        schedule.Total[i] = total;
        if (IntMod(static_cast<std::int64_t>(i), Inputs.Period) > 0) {
            continue;
        }
        const long double termInterest = static_cast<long double>(Inputs.Period) * interest;
        if (Inputs.Deposit) {
            principal = StoreDouble(termInterest + principal);
        } else {
            const double withdrawn = StoreDouble(termInterest);
            schedule.Withdrawn[i] = withdrawn;
            total = StoreDouble(static_cast<long double>(total) - withdrawn);
        }
    }
    return schedule;
}
