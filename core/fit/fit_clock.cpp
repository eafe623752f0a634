#include "core/fit/fit_clock.h"

#include <chrono>
#include <cmath>

namespace tovimo {

double SteadyFitClock::Seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

ElapsedParts SplitElapsed(double seconds) {
    ElapsedParts p;
    if (!(seconds > 0)) return p;
    const double ms = std::floor(seconds * 1000);
    const double dayMs = 86400000.0;
    const auto inDay = static_cast<long long>(std::fmod(ms, dayMs));
    p.th = static_cast<unsigned>(inDay / 3600000);
    p.tm = static_cast<unsigned>(inDay / 60000 % 60);
    p.ts = static_cast<unsigned>(inDay / 1000 % 60);
    p.tms = static_cast<unsigned>(inDay % 1000);
    return p;
}

void StoreElapsed(AnalysisState& st, double seconds) {
    st.dT = seconds;
    const ElapsedParts p = SplitElapsed(seconds);
    st.th = p.th;
    st.tm = p.tm;
    st.ts = p.ts;
    st.tms = p.tms;
}

} // namespace tovimo
