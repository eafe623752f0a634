// The timing check of the main window ("Тест"): how long 100 million
// evaluations of the Weibull density take on this computer.
#pragma once

#include "core/fit/fit_clock.h"

#include <string>

namespace tovimo {

inline constexpr long long kTimingEvaluations = 100'000'000;

// Evaluates WeibF(1, 2, t) with t drawn below 1 (so 0) `count` times and
// returns the elapsed seconds.
double Button1Click(FitClock& clock, long long count = kTimingEvaluations);

// "Время расчета 100 млн " followed by the elapsed time as a time of day.
std::string EvaluationTimingText(const std::string& elapsedTime);

} // namespace tovimo
