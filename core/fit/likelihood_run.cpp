// Model 3 in the calculation run: the fit, its goodness of fit and band, and
// the model slot MPravd with the per-column arrays the table and charts read.
#include "core/fit/likelihood_fit.h"
#include "core/fit/likelihood_gof.h"
#include "core/stats/distributions.h"

#include <exception>

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

bool Refuse(AnalysisState& st, const std::string& text, const MessageFn& message) {
    st.Pravd.fitted = false;
    st.Pravd.refusal = text;
    if (message) message(text);
    return false;
}

} // namespace

bool Podbor_Weib_Pravd(AnalysisState& st, const RunInputs& in, FitClock& clock, const FitCallbacks& cb,
                       const MessageFn& message) {
    const double start = clock.Seconds();
    const LikelihoodSettings& settings = in.likelihoodSettings;
    Mod_Weib& M = st.MPravd;
    M.Executed = false;
    st.Pravd = LikelihoodResult{};
    st.Pravd.settings = settings;
    const LikelihoodHooks hooks{cb.progress, cb.stop};
    if (settings.window < 0)
        return Refuse(st,
                      "Конец наблюдения («" + in.windowText +
                          "») должен быть положительным числом часов или пустым (конец закона гарантии). "
                          "Модель по максимуму правдоподобия не рассчитана",
                      message);
    try {
        LikelihoodData data;
        const std::string refusal = PrepareLikelihoodData(st, settings.law, settings.kMode, data,
                                                          in.decimalSeparator, settings.window);
        if (!refusal.empty()) {
            st.Pravd.zeroTimes = data.zeroTimes;
            st.Pravd.afterWindow = data.afterWindow;
            st.Pravd.n = static_cast<int>(data.times.size());
            st.Pravd.fleet = data.fleet;
            st.Pravd.windowEnd = data.Tzenz;
            st.Pravd.windowGiven = settings.window > 0;
            if (data.times.size() < static_cast<size_t>(kLikMinFailures) && data.fleet > 0 && data.Tzenz > 0)
                st.Pravd.assumedShape =
                    AssumedShapeBounds(data, static_cast<int>(data.times.size()), settings.level);
            return Refuse(st, refusal, message);
        }
        LikelihoodResult r = FitLikelihood(data, settings, hooks);
        if (!r.fitted) {
            st.Pravd = r;
            return Refuse(st, r.refusal, message);
        }
        hooks.CheckStop();
        BootstrapGof(data, r, hooks);
        BootstrapKTest(data, r, hooks);
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
        hooks.CheckStop(); // a stop asked as the model was completed still leaves no model
        M.seconds = elapsed;
        M.Executed = true;
        st.Pravd = std::move(r);
        AppendMemo(cb, ElapsedLine(kPravdDone, cb, elapsed));
        return true;
    } catch (const LikelihoodCancelled&) {
        M.Executed = false;
        return Refuse(st, "Расчёт модели по максимуму правдоподобия прерван.", message);
    } catch (const std::exception& e) {
        // a numerical failure of model 3 ends model 3, not the run
        M.Executed = false;
        return Refuse(st,
                      std::string("Модель по максимуму правдоподобия не рассчитана: численная ошибка (") +
                          e.what() + ").",
                      message);
    }
}

bool Podbor_Weib_Pravd(AnalysisState& st, const MainForm& form, FitClock& clock, const FitCallbacks& cb,
                       const MessageFn& message) {
    return Podbor_Weib_Pravd(st, ReadRunInputs(form), clock, cb, message);
}

} // namespace tovimo
