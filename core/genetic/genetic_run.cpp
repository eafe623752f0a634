#include "core/genetic/genetic_run.h"

#include "core/genetic/genetic_engine.h"
#include "core/state/run_inputs.h"
#include "core/stats/histogram.h"
#include "core/text/number_format.h"

#include <climits>

namespace tovimo {

namespace {

// A population beyond this would not fit in memory.
constexpr long long kMaxPopulation = 1000000;

} // namespace

bool PrepareGeneticRun(AnalysisState& st, const MainForm& form, const MessageFn& message) {
    ReadRunEdits(st, form);
    if (!GettingData(st, form, message)) return false;
    ReadRunFlags(st, form);
    if (!RunStateUsable(st, message)) return false;

    if (!ParseWhole(form.Edit3, 2, kMaxPopulation)) {
        message(kMsgGaPopulation);
        return false;
    }
    if (!ParseWhole(form.NPokoleny, 1, INT_MAX)) {
        message(kMsgGaGenerations);
        return false;
    }

    // The parameter space is written only once the run is sure to start.
    const double precision = StrToFloat(form.Edit2, form.decimalSeparator);
    if (GeneLength(precision) < 2) {
        message(kMsgGaPrecision);
        return false;
    }
    st.iop = 2 + (st.Sred_Opt ? 1 : 0) + (st.SKO_Opt ? 1 : 0);
    st.Precision = precision;
    for (int k = 1; k <= st.iop; ++k)
        st.NormA[static_cast<size_t>(k)] = (Alim[1][k] + Alim[2][k]) * st.Precision;
    hist_Format(st);
    // The genetic model's arrays are sized to the histogram when a result is
    // published, so that a run that finds nothing leaves the model untouched.
    return true;
}

} // namespace tovimo
