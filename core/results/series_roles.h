// Which model slot each design-time series of the results charts belongs to,
// and what it shows at a column.
#pragma once

#include "core/state/analysis_state.h"

#include <string>

namespace tovimo {

enum class Slot { None, PirsN, PirsS, Smirn, Genet, Pravd };

// What a model curve shows at a column: the flow per 100 hours per product
// with or without the warranty correction, or the accumulation with or without it.
// The likelihood model adds the pointwise bounds of its accumulation.
enum class Quantity { None, FlowCensored, FlowPlain, AccumPlain, AccumCensored, BandLower, BandUpper };

struct SeriesRole {
    Slot slot;
    Quantity quantity;
};

// The role of the series named `name`; {None, None} for a series of no slot.
SeriesRole RoleOf(const std::string& name);

// The slot itself; nullptr for Slot::None.
const Mod_Weib* SlotOf(const AnalysisState& st, Slot s);

} // namespace tovimo
