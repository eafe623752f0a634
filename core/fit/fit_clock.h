// Wall-clock time of the step-search fits. The program reads a monotonic
// clock, so a fit that runs across midnight or a clock change still sees
// its true elapsed time; tests inject a clock that advances by a fixed
// amount per reading, which makes every fit reproducible to the last bit.
#pragma once

#include "core/state/analysis_state.h"

namespace tovimo {

class FitClock {
  public:
    virtual ~FitClock() = default;
    // Seconds since an arbitrary origin; never decreases.
    virtual double Seconds() = 0;
};

class SteadyFitClock final : public FitClock {
  public:
    double Seconds() override;
};

// Advances by `step` seconds after every reading, starting at `start`.
class StepClock final : public FitClock {
  public:
    explicit StepClock(double step, double start = 0) : step_(step), now_(start) {}
    double Seconds() override {
        const double t = now_;
        now_ += step_;
        ++readings_;
        return t;
    }
    long long readings() const { return readings_; }

  private:
    double step_;
    double now_;
    long long readings_ = 0;
};

struct ElapsedParts {
    unsigned th = 0, tm = 0, ts = 0, tms = 0;
};

// An elapsed time split as a time of day: hours 0..23, minutes and seconds
// 0..59, milliseconds 0..999.
ElapsedParts SplitElapsed(double seconds);

// dT and its parts th, tm, ts, tms in the analysis state.
void StoreElapsed(AnalysisState& st, double seconds);

} // namespace tovimo
