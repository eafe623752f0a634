// The indicators a loaded series gives by itself: ranked causes, reduced
// fleet, sorted series, threshold times, failures per product and the
// log-log regression.
#pragma once

#include "core/state/analysis_state.h"

#include <array>

namespace tovimo {

void DeriveIndicators(AnalysisState& st);

// A threshold time: when the accumulated failures first reach `share` of the
// reduced fleet, interpolated back into the step before (from the third
// record on).
struct ThresholdRule {
    double AnalysisState::*time;
    double share;
    bool corrected;   // failures weighted by the share still under warranty (else as observed)
    const char* note; // appended to the cause of the record that reached it, in the record grid
};

// In the order they are checked; ThresholdRecord follows it.
inline constexpr std::array<ThresholdRule, kThresholdCount> kThresholds = {{
    {&AnalysisState::TL90expl, 0.1, true, ", отказов 10% от парка"},
    {&AnalysisState::TL80expl, 0.2, true, ", отказов 20% от парка"},
    {&AnalysisState::T50expl, 0.5, false, ", отказов 50% от наблюдаемого парка"},
    {&AnalysisState::t50zen, 0.5, true, ", отказов 50% от парка с учетом цензурирования"},
}};

// Frac: x minus its integer part.
double Frac(double x);

} // namespace tovimo
