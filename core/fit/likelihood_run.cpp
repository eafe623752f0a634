// Model 3 in the calculation run: the fit, its goodness of fit and band, and
// the model slot MPravd with the per-column arrays the table and charts read.
#include "core/fit/likelihood_fit.h"
#include "core/fit/likelihood_gof.h"
#include "core/stats/distributions.h"

namespace tovimo {

namespace {

// The slot's per-column arrays over all columns, with the model's own law:
// Kol_F_priv is N K times the integral of f G over the column.
void FillLikelihoodColumns(const AnalysisState& st, const LikelihoodData& d, Mod_Weib& m) {
    const size_t cols = st.Hist_Stol.size();
    m.F_Weib.assign(cols, 0);
    m.F_norm.assign(cols, 0);
    m.Kol_F_priv.assign(cols, 0);
    double lower = 0;
    for (size_t i = 0; i < cols; ++i) {
        const double upper = st.Hist_Stol[i].time;
        m.F_Weib[i] = std::max(0.0, weibCDF2(m.A, m.B, lower, upper));
        m.F_norm[i] = 1 - WarrantyShare(d, (lower + upper) / 2);
        m.Kol_F_priv[i] = d.fleet * m.K_powtor * FailureIntegral(d, m.A, m.B, lower, upper);
        lower = upper;
    }
}

} // namespace

bool Podbor_Weib_Pravd(AnalysisState& st, const MainForm& form, FitClock& clock, const FitCallbacks& cb,
                       const MessageFn& message) {
    const double start = clock.Seconds();
    const LikelihoodSettings settings = LikelihoodSettingsFromForm(form);
    Mod_Weib& M = st.MPravd;
    M.Executed = false;
    st.Pravd = LikelihoodResult{};
    st.Pravd.settings = settings;
    LikelihoodData data;
    const std::string refusal =
        PrepareLikelihoodData(st, settings.law, settings.kMode, data, form.decimalSeparator);
    if (!refusal.empty()) {
        st.Pravd.refusal = refusal;
        st.Pravd.zeroTimes = data.zeroTimes;
        if (message) message(refusal);
        return false;
    }
    LikelihoodResult r = FitLikelihood(data, settings);
    BootstrapGof(data, LikelihoodColumns(st), r);
    std::vector<double> edges;
    for (const Hist_Rec& c : st.Hist_Stol)
        edges.push_back(c.time);
    LikelihoodBand(data, r, edges);

    M.A = r.A;
    M.B = r.B;
    M.K_powtor = r.K;
    M.Sred = st.Sred;
    M.SKO = st.SKO;
    FillLikelihoodColumns(st, data, M);
    M.criterion = r.loglik;
    M.evaluations = 0;
    const double elapsed = clock.Seconds() - start;
    M.seconds = elapsed;
    M.Executed = true;
    st.Pravd = std::move(r);
    AppendMemo(cb, ElapsedLine(kPravdDone, cb, elapsed));
    return true;
}

} // namespace tovimo
