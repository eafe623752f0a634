#include "core/fit/likelihood_causes.h"

#include "core/fit/likelihood_fit.h"
#include "core/fit/likelihood_gof.h"
#include "core/fit/likelihood_search.h"
#include "core/stats/distributions.h"

#include <boost/math/distributions/chi_squared.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tovimo {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where the common shape may lie: the shapes' hard limits of the fit.
const double kLnAHardLo = std::log(0.005), kLnAHardHi = std::log(500.0);

// The order of the fitted causes: failures per product at the law's mean.
double Key(const CauseFit& c) {
    return std::isfinite(c.atMean) ? c.atMean : -1;
}

} // namespace

std::vector<double> CauseTimes(const AnalysisState& st, const LikelihoodData& all, int cause) {
    std::vector<double> times;
    for (const Problems& p : st.MasProbl) {
        const double t = p.TimeAsRead();
        if (p.chey == cause && t > 0 && t <= all.Tzenz) times.push_back(t);
    }
    std::sort(times.begin(), times.end());
    return times;
}

std::string CauseNote(const LikInterval& a) {
    if (!a.present) return {};
    if (!a.upperOpen && std::isfinite(a.upper) && a.upper < 1) return kCauseNoteBurnIn;
    if (!a.lowerOpen && std::isfinite(a.lower) && a.lower > 1) return kCauseNoteWearOut;
    return {};
}

double CauseFailuresPerProduct(const CauseFit& c, double t) {
    if (!c.fitted) return kNaN;
    return c.fit.K * -std::expm1(-std::pow(t / c.fit.B, c.fit.A));
}

ObservedAccumulation ObservedTotalPerProduct(const CausesResult& r) {
    std::vector<std::pair<double, double>> steps; // time, what the failure adds
    for (const CauseFit& c : r.causes) {
        if (!c.fitted) continue;
        double before = 0;
        for (size_t i = 0; i < c.observedTimes.size() && i < c.observedPerProduct.size(); ++i) {
            steps.emplace_back(c.observedTimes[i], c.observedPerProduct[i] - before);
            before = c.observedPerProduct[i];
        }
    }
    std::stable_sort(steps.begin(), steps.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    ObservedAccumulation o;
    double sum = 0;
    for (const auto& [t, add] : steps) {
        sum += add;
        o.times.push_back(t);
        o.perProduct.push_back(sum);
    }
    return o;
}

ShapeTest TestCommonShape(const std::vector<LikelihoodData>& data, const std::vector<double>& logliks) {
    ShapeTest t;
    t.causes = static_cast<int>(data.size());
    if (t.causes < 2) return t;
    std::vector<LikelihoodEvaluator> evs;
    evs.reserve(data.size());
    for (const LikelihoodData& d : data)
        evs.emplace_back(d);
    // each cause at the common shape keeps its own best scale and K
    auto common = [&](double lnA) {
        double sum = 0;
        for (LikelihoodEvaluator& ev : evs)
            sum += ProfileLogLik(ev, LikelihoodKMode::Free, LikFigure::A, std::exp(lnA));
        return sum;
    };
    const OpenMaximum m = MaximiseOpen(common, std::log(0.2), std::log(5.0), kLnAHardLo, kLnAHardHi);
    double free = 0;
    for (double l : logliks)
        free += l;
    if (!std::isfinite(m.point.value) || !std::isfinite(free)) return t;
    t.done = true;
    t.commonA = std::exp(m.point.x);
    t.stat = std::max(0.0, 2 * (free - m.point.value));
    t.p = boost::math::cdf(boost::math::complement(boost::math::chi_squared(t.causes - 1), t.stat));
    return t;
}

CausesResult FitByCause(const AnalysisState& st, const LikelihoodSettings& settings, char sep,
                        const LikelihoodHooks& hooks) {
    CausesResult r;
    r.level = settings.level;
    LikelihoodData all;
    const std::string refusal =
        PrepareLikelihoodData(st, settings.law, LikelihoodKMode::Free, all, sep, settings.window);
    r.fleet = all.fleet;
    r.windowEnd = all.Tzenz;
    r.lawMean = settings.law == WarrantyLawKind::Empirical && !all.exitTimes.empty()
                    ? [&] {
                          double s = 0;
                          for (double w : all.exitTimes)
                              s += w;
                          return s / static_cast<double>(all.exitTimes.size());
                      }()
                    : st.Sred;
    // too few failures overall still leaves each cause its count and bounds;
    // any other refusal means no likelihood for any cause
    if (!refusal.empty() && !(all.fleet > 0 && all.Tzenz > 0 && all.times.size() < size_t(kLikMinFailures))) {
        r.refusal = refusal;
        return r;
    }
    const int last = std::min<int>(st.NPrich + 1, static_cast<int>(st.Vidy_otkazov.size()) - 1);
    for (int k = 1; k <= last; ++k) {
        CauseFit c;
        c.cause = k;
        c.name = st.Vidy_otkazov[static_cast<size_t>(k)].Nazv_Prich;
        const std::vector<double> times = CauseTimes(st, all, k);
        c.n = static_cast<int>(times.size());
        if (k == st.NPrich + 1 && c.n == 0) continue; // no "Другие" row without its failures
        r.causes.push_back(std::move(c));
    }
    LikelihoodSettings s = settings;
    s.kMode = LikelihoodKMode::Free;
    s.bootstrap = 0;
    s.percentileBounds = false;
    std::vector<LikelihoodData> data(r.causes.size(), all);
    hooks.Report("Модель 3 по причинам");
    ForEachReplicate(static_cast<int>(r.causes.size()), settings.threads, [&](int i) {
        hooks.CheckStop();
        CauseFit& c = r.causes[static_cast<size_t>(i)];
        LikelihoodData& d = data[static_cast<size_t>(i)];
        const bool usable = ReplaceTimes(d, CauseTimes(st, all, c.cause), LikelihoodKMode::Free);
        double sum = 0;
        for (double t : d.times) {
            const double g = WarrantyShare(d, t);
            if (!(g > 0)) break;
            sum += 1 / (d.fleet * g);
            c.observedTimes.push_back(t);
            c.observedPerProduct.push_back(sum);
        }
        if (c.n < kCauseMinFailures || !usable) {
            c.assumedShape = AssumedShapeBounds(d, c.n, settings.level);
            if (c.n >= kCauseMinFailures)
                c.refusal = "Функция правдоподобия не определена для отказов этой причины";
            return;
        }
        try {
            c.fit = FitLikelihood(d, s);
        } catch (const LikelihoodCancelled&) {
            throw;
        } catch (const std::exception& e) {
            c.fit = LikelihoodResult{};
            c.fit.refusal = e.what();
        }
        c.fitted = c.fit.fitted;
        if (!c.fitted) {
            c.refusal = c.fit.refusal;
            c.assumedShape = AssumedShapeBounds(d, c.n, settings.level);
            return;
        }
        // a scale a thousand times beyond the observation: the failures fit a
        // power law, and where the search stopped says nothing of B or K
        if (!c.fit.atBound && c.fit.B > kScaleRunsOff * all.Tzenz) {
            c.fit.atBound = true;
            c.fit.flatParameter = "B";
        }
        if (c.fit.flatParameter == "B") {
            c.fit.estimates[static_cast<size_t>(LikFigure::B)] = kNaN;
            c.fit.estimates[static_cast<size_t>(LikFigure::K)] = kNaN;
        }
        c.atMean = CauseFailuresPerProduct(c, r.lawMean);
        c.note = CauseNote(c.fit.intervals[static_cast<size_t>(LikFigure::A)]);
    });
    double total4000 = 0;
    for (const CauseFit& c : r.causes)
        if (c.fitted) total4000 += CauseFailuresPerProduct(c, 4000);
    for (CauseFit& c : r.causes)
        c.share4000 = c.fitted && total4000 > 0 ? CauseFailuresPerProduct(c, 4000) / total4000 : kNaN;

    std::vector<LikelihoodData> fittedData;
    std::vector<double> logliks;
    for (size_t i = 0; i < r.causes.size(); ++i)
        if (r.causes[i].fitted) {
            fittedData.push_back(data[i]);
            logliks.push_back(r.causes[i].fit.loglik);
        }
    hooks.CheckStop();
    hooks.Report("Модель 3 по причинам: проверка общей формы");
    r.shapeTest = TestCommonShape(fittedData, logliks);

    const int other = st.NPrich + 1;
    std::stable_sort(r.causes.begin(), r.causes.end(), [&](const CauseFit& a, const CauseFit& b) {
        if ((a.cause == other) != (b.cause == other)) return b.cause == other;
        if (a.fitted != b.fitted) return a.fitted;
        if (a.fitted) return Key(a) > Key(b);
        return false;
    });
    r.done = true;
    return r;
}

} // namespace tovimo
