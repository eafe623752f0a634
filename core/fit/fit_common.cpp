#include "core/fit/fit_common.h"

#include "core/fit/fit_clock.h"
#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/fast_criteria.h"
#include "core/stats/model_slot.h"
#include "core/stats/warranty_law.h"
#include "core/text/number_format.h"

#include <cmath>

namespace tovimo {

SearchVectors SetupSearch(bool sredOpt, bool skoOpt, const SearchRows& rows) {
    SearchVectors v;
    auto set = [&v](int i, const ParamRow& r) {
        v.A_s[i] = r.start;
        v.A_min[i] = r.min;
        v.A_max[i] = r.max;
        v.h_s[i] = r.step;
        v.ee[i] = r.tol;
    };
    set(1, rows.b);
    set(2, rows.a);
    v.Np = 2;
    if (sredOpt) {
        set(3, rows.sred);
        v.Np = 3;
        if (skoOpt) {
            set(4, rows.skoAfterSred);
            v.Np = 4;
        }
    } else if (skoOpt) {
        set(3, rows.skoAlone);
        v.Np = 3;
    }
    v.A_sr = v.A_s;
    return v;
}

bool StepsBelowTolerance(const SearchVectors& v) {
    for (int i = 1; i <= v.Np; ++i)
        if (!(std::fabs(v.h_s[i]) < v.ee[i])) return false;
    return true;
}

double ReversedStep(double h, double factor, double rangeWidth) {
    const double next = -h / factor;
    if (std::fabs(next) > rangeWidth) return next < 0 ? -rangeWidth : rangeWidth;
    return next;
}

SearchCriterion PearsonCriterion(const AnalysisState& st, PirsonEvaluator& pirson, double K) {
    return [&st, &pirson, K](const ParamVector& p) {
        const WarrantyLaw law = WarrantyLawAt(st, p);
        return pirson(p[2], p[1], K, law.mean, law.sd);
    };
}

double PearsonAt(const AnalysisState& st, int formIndex, const Mod_Weib& m, const ParamVector& A_s) {
    const WarrantyLaw law = WarrantyLawAt(st, A_s);
    Mod_Weib scratch;
    SizeModelArrays(scratch, st.Hist_Stol.size());
    return Pirson(st, formIndex, A_s[2], A_s[1], m.K_powtor, law.mean, law.sd, scratch);
}

void FinishPearsonFit(AnalysisState& st, const FitSettings& fs, Mod_Weib& m, const SearchVectors& v,
                      double elapsed, long long evaluations, const char* donePrefix, const FitCallbacks& cb) {
    m.A = v.A_s[2];
    m.B = v.A_s[1];
    PublishWarranty(st, v.A_s);
    m.SKO = st.SKO;
    m.Sred = st.Sred;
    StoreElapsed(st, elapsed);
    m.criterion = PearsonAt(st, fs.criterion, m, v.A_s);
    m.evaluations = evaluations;
    m.seconds = elapsed;

    m.Kol_Nakopl = 0;
    m.SKO_out = 0;
    m.Unsens = 0;
    FillModelColumns(st, m, false);
    m.Executed = !StopAsked(cb.stop); // a search cut short by the stop flag is no model
    Sigmas(st, m, st.T_Prirab);
    AppendMemo(cb, ElapsedLine(donePrefix, cb, elapsed));
    AppendMemo(cb, StepLine(v.h_s[2], st.Sred, st.SKO, fs.decimalSeparator));
}

std::string ElapsedLine(const char* prefix, const FitCallbacks& cb, double seconds) {
    const std::string time = cb.elapsedText ? cb.elapsedText(seconds) : FormatElapsedDefault(seconds);
    return std::string(prefix) + time + "ч/мин/с";
}

std::string StepLine(double shapeStep, double Sred, double SKO, char sep) {
    return Format(sep, "Шаг={:12.10e}  Sred={:10.3f} SKO={:10.3f}", shapeStep, Sred, SKO);
}

void AppendMemo(const FitCallbacks& cb, const std::string& line) {
    if (cb.memo) cb.memo(line);
}

} // namespace tovimo
