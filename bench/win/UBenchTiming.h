#pragma once

#include <functional>
#include <vector>

// How long Run takes, in milliseconds of the steady clock.
double Milliseconds(const std::function<void()>& Run);

// The middle of Times (the upper one of an even count).
double Median(std::vector<double> Times);
