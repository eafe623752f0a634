#include "core/fit/warranty_forecast.h"

#include "core/fit/exit_time_sums.h"
#include "core/fit/likelihood_causes.h"
#include "core/fit/likelihood_fit.h"
#include "core/fit/likelihood_gof.h"

#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/poisson.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace tovimo {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Gauss-Hermite rule of five nodes for the standard normal law: exact for
// polynomials up to degree nine in the signed root.
constexpr double kNodes[5] = {-2.856970013872806, -1.355626179974266, 0, 1.355626179974266,
                              2.856970013872806};
constexpr double kWeights[5] = {0.011257411327721, 0.222075922005613, 0.533333333333333, 0.222075922005613,
                                0.011257411327721};

// The most rows a table gets, whatever the step.
constexpr int kMaxRows = 400;

double LawEnd(const LikelihoodData& d) {
    return d.law == WarrantyLawKind::Empirical ? d.exitTimes.back() : NormalLawEnd(d.Sred, d.SKO);
}

// Probability of at most y failures with expected count mu.
double CountCdf(double y, double mu, double fleet) {
    if (!(mu > 0)) return 1;
    if (fleet > 0) {
        const double trials = std::max(1.0, std::round(fleet));
        const double p = std::clamp(mu / trials, 0.0, 1.0);
        if (y >= trials) return 1;
        return boost::math::cdf(boost::math::binomial_distribution<double>(trials, p), y);
    }
    return boost::math::cdf(boost::math::poisson_distribution<double>(mu), y);
}

class FigureBuilder {
  public:
    FigureBuilder(const LikelihoodData& fitted, LikelihoodKMode mode, const LikelihoodEstimate& e,
                  double level, double fleet)
        : ev_(fitted), mode_(mode), e_(e), level_(level), fleet_(fleet) {}

    // The figure K u(A, B) with its two intervals.
    ForecastFigure Build(double time, const ShareOfModel& u) {
        ForecastFigure f;
        f.time = time;
        f.expected = e_.K * u(e_.A, e_.B);
        f.confidence.present = f.prediction.present = std::isfinite(f.expected);
        if (!f.confidence.present) return f;
        if (!(f.expected > 0)) {
            f.expected = 0;
            f.confidence.lower = f.confidence.upper = f.prediction.lower = f.prediction.upper = 0;
            return f;
        }
        const double drop = boost::math::quantile(boost::math::chi_squared(1), level_) / 2;
        const ProfileSide lo = ScaledFigureSide(ev_, mode_, e_, u, drop, -1);
        const ProfileSide hi = ScaledFigureSide(ev_, mode_, e_, u, drop, +1);
        f.confidence = {true, lo.value, hi.value, lo.open, hi.open};
        std::vector<double> nodes, weights;
        bool upperOpen = false;
        for (int j = 0; j < 5; ++j) {
            const double z = kNodes[j];
            double mu = f.expected;
            if (z != 0) {
                const ProfileSide side = ScaledFigureSide(ev_, mode_, e_, u, z * z / 2, z < 0 ? -1 : 1);
                if (side.open && z > 0) upperOpen = true;
                // an open lower side allows counts down to none
                mu = side.open ? 0 : side.value;
            }
            nodes.push_back(mu);
            weights.push_back(kWeights[j]);
        }
        const auto [pl, pu] = MixedCountInterval(nodes, weights, level_, fleet_);
        f.prediction = {true, pl, upperOpen ? kNaN : pu, false, upperOpen};
        return f;
    }

  private:
    LikelihoodEvaluator ev_;
    LikelihoodKMode mode_;
    LikelihoodEstimate e_;
    double level_, fleet_;
};

} // namespace

std::pair<double, double> MixedCountInterval(const std::vector<double>& nodes,
                                             const std::vector<double>& weights, double level, double fleet) {
    const double tail = (1 - level) / 2;
    auto cdf = [&](double y) {
        double s = 0;
        for (size_t j = 0; j < nodes.size(); ++j)
            s += weights[j] * CountCdf(y, nodes[j], fleet);
        return s;
    };
    const double top = *std::max_element(nodes.begin(), nodes.end());
    const double high = fleet > 0 ? std::round(fleet) : std::ceil(top + 20 * std::sqrt(top) + 20);
    // the least whole y with cdf(y) >= p
    auto quantile = [&](double p) {
        double lo = 0, hi = high;
        if (cdf(lo) >= p) return lo;
        while (hi - lo > 1) {
            const double mid = std::floor((lo + hi) / 2);
            (cdf(mid) >= p ? hi : lo) = mid;
        }
        return hi;
    };
    return {quantile(tail), quantile(1 - tail)};
}

LikelihoodData ForecastLaw(const LikelihoodData& fitted, const ForecastSettings& s, double shift) {
    LikelihoodData d = fitted;
    d.times.clear();
    d.law = s.law;
    if (s.law == WarrantyLawKind::Empirical) {
        d.exitTimes = s.exitTimes;
        std::sort(d.exitTimes.begin(), d.exitTimes.end());
        for (double& w : d.exitTimes)
            w += shift;
        d.exitSums = d.exitTimes.empty() ? nullptr : std::make_shared<const ExitTimeSums>(d.exitTimes);
    } else {
        d.exitTimes.clear();
        d.exitSums = nullptr;
        d.Sred = s.mean + shift;
        d.SKO = s.sd;
    }
    d.Tzenz = d.law == WarrantyLawKind::Empirical && d.exitTimes.empty() ? 0 : LawEnd(d);
    return d;
}

ForecastResult ForecastWarranty(const LikelihoodData& fitted, LikelihoodKMode mode, double A, double B,
                                double K, double loglik, const ForecastSettings& in) {
    ForecastResult r;
    ForecastSettings s = in;
    r.kMode = mode;
    r.level = s.level;
    if (!(A > 0) || !(B > 0) || !(K > 0) || !std::isfinite(A) || !std::isfinite(B) || !std::isfinite(K) ||
        !std::isfinite(loglik)) {
        r.refusal = "Прогноз не рассчитан: модель 3 не подобрана.";
        return r;
    }
    if (s.fleet == 0) s.fleet = fitted.fleet;
    if (s.law == WarrantyLawKind::Normal && s.mean == 0 && s.sd == 0) {
        s.mean = fitted.Sred;
        s.sd = fitted.SKO;
    }
    if (!(s.fleet > 0) || !std::isfinite(s.fleet)) {
        r.refusal = "Прогноз не рассчитан: размер парка должен быть положительным числом.";
        return r;
    }
    if (s.law == WarrantyLawKind::Empirical) {
        if (s.exitTimes.empty()) {
            r.refusal = "Прогноз не рассчитан: нет времён окончания гарантии.";
            return r;
        }
    } else if (!(s.sd > 0) || !std::isfinite(s.sd)) {
        r.refusal = "Прогноз не рассчитан: СКО времени гарантии должно быть положительным числом.";
        return r;
    } else if (!(s.mean > 0) || !std::isfinite(s.mean)) {
        r.refusal = "Прогноз не рассчитан: среднее время гарантии должно быть положительным числом.";
        return r;
    }
    if (!(s.step > 0) || !std::isfinite(s.step) || !(s.level > 0 && s.level < 1) || s.horizon < 0 ||
        !std::isfinite(s.horizon) || s.extend < 0 || !std::isfinite(s.extend)) {
        r.refusal = "Прогноз не рассчитан: шаг, горизонт, продление и уровень должны быть положительными "
                    "числами (уровень меньше 1).";
        return r;
    }
    const LikelihoodData law = ForecastLaw(fitted, s);
    r.law = s.law;
    r.fleet = s.fleet;
    if (s.law == WarrantyLawKind::Empirical) {
        const double n = static_cast<double>(law.exitTimes.size());
        const double m = std::accumulate(law.exitTimes.begin(), law.exitTimes.end(), 0.0) / n;
        double v = 0;
        for (double w : law.exitTimes)
            v += (w - m) * (w - m);
        r.mean = m;
        r.sd = n > 1 ? std::sqrt(v / (n - 1)) : 0;
    } else {
        r.mean = s.mean;
        r.sd = s.sd;
    }
    r.lawEnd = law.Tzenz;
    r.horizon = s.horizon > 0 ? s.horizon : r.mean + 3 * r.sd;
    const double step = std::max(s.step, r.horizon / kMaxRows);

    LikelihoodEstimate e;
    e.A = A;
    e.B = B;
    e.K = K;
    e.loglik = loglik;
    const double M = s.fleet;
    FigureBuilder build(fitted, mode, e, s.level, mode == LikelihoodKMode::Once ? M : 0);
    for (int i = 1; i * step <= r.horizon * (1 + 1e-12); ++i) {
        const double t = i * step;
        r.rows.push_back(build.Build(
            t, [&](double a, double b) { return M * FailureIntegral(law, a, b, std::min(t, law.Tzenz)); }));
    }
    const auto whole = [&](double a, double b) { return M * FailureIntegral(law, a, b, law.Tzenz); };
    r.total = build.Build(law.Tzenz, whole);
    if (s.extend > 0) {
        const LikelihoodData longer = ForecastLaw(fitted, s, s.extend);
        r.extended = true;
        r.extend = s.extend;
        r.extendedTotal = build.Build(longer.Tzenz, [&](double a, double b) {
            return M * FailureIntegral(longer, a, b, longer.Tzenz);
        });
        r.extra = build.Build(longer.Tzenz, [&](double a, double b) {
            return M * (FailureIntegral(longer, a, b, longer.Tzenz) - FailureIntegral(law, a, b, law.Tzenz));
        });
    }
    r.done = true;
    return r;
}

ForecastResult ForecastFromState(const AnalysisState& st, const LikelihoodSettings& settings, int cause,
                                 const ForecastSettings& forecast, char sep) {
    const LikelihoodKMode mode = cause > 0 ? LikelihoodKMode::Free : settings.kMode;
    LikelihoodData d;
    ForecastResult r;
    r.refusal = PrepareLikelihoodData(st, settings.law, mode, d, sep, settings.window);
    if (cause > 0 && (r.refusal.empty() || d.times.size() < size_t(kLikMinFailures))) {
        const std::vector<double> times = CauseTimes(st, d, cause);
        const std::string name = static_cast<size_t>(cause) < st.Vidy_otkazov.size()
                                     ? st.Vidy_otkazov[static_cast<size_t>(cause)].Nazv_Prich
                                     : std::string();
        if (times.size() < static_cast<size_t>(kCauseMinFailures) || !ReplaceTimes(d, times, mode))
            r.refusal = "Прогноз по причине «" + name + "» не рассчитан: отказов этой причины " +
                        std::to_string(times.size()) + ", для модели нужно не меньше " +
                        std::to_string(kCauseMinFailures) + ".";
        else
            r.refusal.clear();
    }
    if (!r.refusal.empty()) return r;
    LikelihoodEvaluator ev(d);
    const LikelihoodEstimate e = MaximiseLikelihood(ev, mode);
    return ForecastWarranty(d, mode, e.A, e.B, e.K, e.loglik, forecast);
}

} // namespace tovimo
