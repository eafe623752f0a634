#include "core/results/series_roles.h"

namespace tovimo {

// Which slot a design-time series belongs to and what it carries. The pairing
// with the "ценз." legends differs between the models and is kept as it is.
SeriesRole RoleOf(const std::string& name) {
    static const struct {
        const char* name;
        SeriesRole role;
    } roles[] = {
        {"Series3", {Slot::PirsS, Quantity::FlowCensored}},
        {"Series2", {Slot::PirsS, Quantity::FlowPlain}},
        {"Series4", {Slot::Smirn, Quantity::FlowCensored}},
        {"Series20", {Slot::PirsN, Quantity::FlowPlain}},
        {"Series21", {Slot::PirsN, Quantity::FlowCensored}},
        {"Series6", {Slot::Genet, Quantity::FlowCensored}},
        {"Series5", {Slot::Genet, Quantity::FlowPlain}},
        {"Series8", {Slot::PirsS, Quantity::AccumPlain}},
        {"Series9", {Slot::PirsS, Quantity::AccumCensored}},
        {"Series10", {Slot::Smirn, Quantity::AccumCensored}},
        {"Series11", {Slot::Genet, Quantity::AccumPlain}},
        {"Series12", {Slot::Genet, Quantity::AccumCensored}},
        {"Series22", {Slot::PirsN, Quantity::AccumPlain}},
        {"Series23", {Slot::PirsN, Quantity::AccumCensored}},
        {"Series24", {Slot::Pravd, Quantity::FlowCensored}},
        {"Series25", {Slot::Pravd, Quantity::AccumCensored}},
        {"Series26", {Slot::Pravd, Quantity::BandLower}},
        {"Series27", {Slot::Pravd, Quantity::BandUpper}},
    };
    for (const auto& r : roles)
        if (name == r.name) return r.role;
    return {Slot::None, Quantity::None};
}

const Mod_Weib* SlotOf(const AnalysisState& st, Slot s) {
    switch (s) {
    case Slot::PirsN:
        return &st.MPirsN;
    case Slot::PirsS:
        return &st.MPirsS;
    case Slot::Smirn:
        return &st.MSmirn;
    case Slot::Genet:
        return &st.MGenet;
    case Slot::Pravd:
        return &st.MPravd;
    case Slot::None:
        break;
    }
    return nullptr;
}

} // namespace tovimo
