#include "core/fit/evaluation_timing.h"

#include "core/stats/distributions.h"

namespace tovimo {

double Button1Click(FitClock& clock, long long count) {
    // the time is read through a volatile and each result is stored into one,
    // so the compiler can neither hoist the call nor drop it
    volatile double drawn = 0;
    volatile double sink = 0;
    const double start = clock.Seconds();
    for (long long i = 0; i < count; ++i)
        sink = WeibF(1, 2, drawn);
    (void)sink;
    return clock.Seconds() - start;
}

std::string EvaluationTimingText(const std::string& elapsedTime) {
    return "Время расчета 100 млн " + elapsedTime;
}

} // namespace tovimo
