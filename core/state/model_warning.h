// One warning about a model's figures: which model, a code programs read and
// a Russian text the user reads.
#pragma once

#include <string>

namespace tovimo {

struct ModelWarning {
    std::string model; // slot name: "MPirsS", "MPravd", ...
    std::string code;  // bound, fixed_K, clamped_percentile, open_interval,
                       // extrapolation, k1_rejected, gof, zero_times,
                       // undefined_model, after_window, outside_bounds,
                       // moved_times
    std::string text;
};

} // namespace tovimo
