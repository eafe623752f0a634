// The warranty-time law a search point or a gene vector stands for: the
// mean and the sd are taken from the vector when they are searched (the mean
// at position 3; the sd at 4 after the mean, or at 3 alone), otherwise they
// are the run's law.
#pragma once

#include "core/state/analysis_state.h"

namespace tovimo {

struct WarrantyLaw {
    double mean = 0;
    double sd = 0;
};

// `run` is the law when neither parameter is searched.
inline WarrantyLaw WarrantyLawAt(const WarrantyLaw& run, bool sredOpt, bool skoOpt, const ParamVector& v) {
    WarrantyLaw law = run;
    if (sredOpt && skoOpt) {
        law.mean = v[3];
        law.sd = v[4];
    } else if (sredOpt) {
        law.mean = v[3];
    } else if (skoOpt) {
        law.sd = v[3];
    }
    return law;
}

// With the state's law (Sred, SKO) and flags (Sred_Opt, SKO_Opt).
inline WarrantyLaw WarrantyLawAt(const AnalysisState& st, const ParamVector& v) {
    return WarrantyLawAt({st.Sred, st.SKO}, st.Sred_Opt, st.SKO_Opt, v);
}

// Replaces Sred and SKO by the law at `v` (a fit or a genetic run publishing its point).
inline void PublishWarranty(AnalysisState& st, const ParamVector& v) {
    const WarrantyLaw law = WarrantyLawAt(st, v);
    st.Sred = law.mean;
    st.SKO = law.sd;
}

} // namespace tovimo
