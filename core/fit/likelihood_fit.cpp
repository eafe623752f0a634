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

constexpr double kNegInf = -std::numeric_limits<double>::infinity();
const double kLnAMin = std::log(kLikAMin), kLnAMax = std::log(kLikAMax);
const double kLnBMin = std::log(kLikBMin), kLnBMax = std::log(kLikBMax);
const double kLnKMin = std::log(kLikKMin), kLnKMax = std::log(kLikKMax);

double ClampK(double K) {
    return std::clamp(std::isfinite(K) ? K : kLikKMax, kLikKMin, kLikKMax);
}

// ln L at (A, B) with K = 1, or with K at its closed form (held to its range).
double LogLikAt(LikelihoodEvaluator& ev, LikelihoodKMode mode, double A, double B) {
    if (mode == LikelihoodKMode::Once) return ev.LogLikOnce(A, B);
    return ev.LogLikFree(A, B, ClampK(ev.ClosedFormK(A, B)));
}

// The quantile probability of a percentile row and the time of a failures row.
double FigureProbability(LikFigure fig) {
    switch (fig) {
    case LikFigure::T10:
        return 0.1;
    case LikFigure::T20:
        return 0.2;
    default:
        return 0.5;
    }
}
double FigureTime(LikFigure fig) {
    switch (fig) {
    case LikFigure::F1000:
        return 1000;
    case LikFigure::F2000:
        return 2000;
    default:
        return 4000;
    }
}
bool IsPercentile(LikFigure fig) {
    return fig == LikFigure::T10 || fig == LikFigure::T20 || fig == LikFigure::T50;
}
bool IsFailuresPerProduct(LikFigure fig) {
    return fig == LikFigure::F1000 || fig == LikFigure::F2000 || fig == LikFigure::F4000;
}

// Shapes that, with ln B = alpha - L / A, keep B inside its range: an interval
// of ln A, or none (lo > hi).
std::pair<double, double> FeasibleLnA(double alpha, double L) {
    double uLo = 1 / kLikAMax, uHi = 1 / kLikAMin; // u = 1/A
    if (L > 0) {
        uLo = std::max(uLo, (alpha - kLnBMax) / L);
        uHi = std::min(uHi, (alpha - kLnBMin) / L);
    } else if (L < 0) {
        uLo = std::max(uLo, (alpha - kLnBMin) / L);
        uHi = std::min(uHi, (alpha - kLnBMax) / L);
    } else if (alpha < kLnBMin || alpha > kLnBMax) {
        return {1, 0};
    }
    if (!(uLo <= uHi)) return {1, 0};
    return {-std::log(uHi), -std::log(uLo)};
}

// max over the shape of ln L with ln B = alpha - L / A and the given K (K = 1
// in the once mode).
double MaxOverShape(LikelihoodEvaluator& ev, LikelihoodKMode mode, double alpha, double L, double K) {
    const auto [lo, hi] = FeasibleLnA(alpha, L);
    if (lo > hi) return kNegInf;
    auto f = [&](double a) {
        const double A = std::exp(a);
        const double B = std::exp(alpha - L / A);
        return mode == LikelihoodKMode::Once ? ev.LogLikOnce(A, B) : ev.LogLikFree(A, B, K);
    };
    return Maximise1D(f, lo, hi).value;
}

// The figure's extreme values over the corners of the search ranges (each
// figure is monotone in every parameter).
std::pair<double, double> FigureRange(LikFigure fig, LikelihoodKMode mode) {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (double A : {kLikAMin, kLikAMax})
        for (double B : {kLikBMin, kLikBMax})
            for (double K : {kLikKMin, kLikKMax}) {
                const double k = mode == LikelihoodKMode::Once ? 1 : K;
                // the failures per product without the Weibull law's floor, which would give 0
                const double v = IsFailuresPerProduct(fig)
                                     ? -k * std::expm1(-std::pow(FigureTime(fig) / B, A))
                                     : LikelihoodFigure(fig, A, B, k);
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
    return {lo, hi};
}

// The share p / K above which a percentile is computed at this cap, as the
// results table clamps it.
constexpr double kLikShareCap = 0.999999;

// The ln B range at shape A where K = probability / F(tau; A, B) stays inside
// the K range and below the share cap (lo > hi: none).
std::pair<double, double> ScaleRangeForK(double A, double probability, double lnTau) {
    const double shareLo = probability / kLikKMax;
    const double shareHi = std::min(probability / kLikKMin, kLikShareCap);
    if (!(shareLo < shareHi)) return {1, 0};
    // F = 1 - exp(-exp(A (ln tau - ln B)))  <=>  ln B = ln tau - ln(-ln(1 - F)) / A
    const double lo = std::max(kLnBMin, lnTau - std::log(-std::log1p(-shareHi)) / A);
    const double hi = std::min(kLnBMax, lnTau - std::log(-std::log1p(-shareLo)) / A);
    return {lo, hi};
}

// max ln L (K free) over the shape and the scale with K = probability / F(tau).
double MaxOverScaleWithDerivedK(LikelihoodEvaluator& ev, double probability, double lnTau) {
    auto overScale = [&](double a) {
        const double A = std::exp(a);
        const auto [lo, hi] = ScaleRangeForK(A, probability, lnTau);
        if (lo > hi) return kNegInf;
        auto f = [&](double b) {
            const double F = -std::expm1(-std::exp(A * (lnTau - b)));
            if (!(F > 0)) return kNegInf;
            return ev.LogLikFree(A, std::exp(b), probability / F);
        };
        return Maximise1D(f, lo, hi).value;
    };
    return Maximise1D(overScale, kLnAMin, kLnAMax).value;
}

// max ln L (K free) where p / K reaches the share cap: the percentile is then
// B c^(1/A) with the capped c whatever K is, and K takes its best value below
// p / cap.
double MaxBeyondClamp(LikelihoodEvaluator& ev, double probability, double lnTau) {
    const double kHi = std::min(kLikKMax, probability / kLikShareCap);
    if (!(kHi >= kLikKMin)) return kNegInf;
    const double lnC = std::log(-std::log1p(-kLikShareCap));
    const auto [lo, hi] = FeasibleLnA(lnTau, lnC);
    if (lo > hi) return kNegInf;
    auto f = [&](double a) {
        const double A = std::exp(a);
        const double B = std::exp(lnTau - lnC / A);
        const double K = std::clamp(ev.ClosedFormK(A, B), kLikKMin, kHi);
        return ev.LogLikFree(A, B, std::isfinite(K) ? K : kHi);
    };
    return Maximise1D(f, lo, hi).value;
}

struct Side {
    double value = 0;
    bool open = false;
};

// Where the profile falls to `threshold`, walking from the estimate `x0` (in
// ln of the figure) towards `end`.
Side FindSide(const std::function<double(double)>& profile, double x0, double end, double threshold) {
    const double dir = end > x0 ? 1 : -1;
    double step = 0.02;
    double inside = x0;
    for (int k = 0; k < 80; ++k) {
        double x = x0 + dir * step;
        const bool last = dir * (x - end) >= 0;
        if (last) x = end;
        const double p = profile(x);
        if (!(p > threshold)) {
            const double root = FindRoot([&](double y) { return profile(y) - threshold; }, inside, x);
            return {std::exp(root), false};
        }
        if (last) return {std::exp(end), true};
        inside = x;
        step *= 2;
    }
    return {std::exp(end), true};
}

} // namespace

LikelihoodSettings LikelihoodSettingsFromForm(const MainForm& form) {
    LikelihoodSettings s;
    s.kMode = form.PravdOnce ? LikelihoodKMode::Once : LikelihoodKMode::Free;
    s.level = kLikelihoodLevels[std::clamp(form.PravdLevel, 0, 2)];
    s.law = form.PravdLaw == 1 ? WarrantyLawKind::Empirical : WarrantyLawKind::Normal;
    s.bootstrap = std::max(0, form.PravdBootstrap);
    s.seed = form.PravdSeed;
    s.threads = form.PravdThreads;
    return s;
}

double LikelihoodFigure(LikFigure fig, double A, double B, double K) {
    if (fig == LikFigure::A) return A;
    if (fig == LikFigure::B) return B;
    if (fig == LikFigure::K) return K;
    if (IsPercentile(fig)) return weibinv(A, B, FigureProbability(fig) / K);
    return K * weibCDF2(A, B, 0, FigureTime(fig));
}

LikelihoodEstimate MaximiseLikelihood(LikelihoodEvaluator& ev, LikelihoodKMode mode) {
    auto overScale = [&](double a) {
        const double A = std::exp(a);
        return Maximise1D([&](double b) { return LogLikAt(ev, mode, A, std::exp(b)); }, kLnBMin, kLnBMax);
    };
    const SearchPoint outer = Maximise1D([&](double a) { return overScale(a).value; }, kLnAMin, kLnAMax);
    const SearchPoint inner = overScale(outer.x);
    LikelihoodEstimate e;
    e.A = std::exp(outer.x);
    e.B = std::exp(inner.x);
    e.K = mode == LikelihoodKMode::Once ? 1 : ClampK(ev.ClosedFormK(e.A, e.B));
    e.loglik = LogLikAt(ev, mode, e.A, e.B);
    const double edge = 1e-6;
    auto near = [&](double x, double lo, double hi) { return x - lo < edge || hi - x < edge; };
    e.atBound = near(outer.x, kLnAMin, kLnAMax) || near(inner.x, kLnBMin, kLnBMax) ||
                (mode == LikelihoodKMode::Free && near(std::log(e.K), kLnKMin, kLnKMax));
    return e;
}

double ProfileLogLik(LikelihoodEvaluator& ev, LikelihoodKMode mode, LikFigure fig, double value) {
    const bool once = mode == LikelihoodKMode::Once;
    if (!(value > 0)) return kNegInf;
    switch (fig) {
    case LikFigure::A:
        return Maximise1D([&](double b) { return LogLikAt(ev, mode, value, std::exp(b)); }, kLnBMin, kLnBMax)
            .value;
    case LikFigure::B:
        return Maximise1D([&](double a) { return LogLikAt(ev, mode, std::exp(a), value); }, kLnAMin, kLnAMax)
            .value;
    case LikFigure::K: {
        if (once) return kNegInf;
        auto overScale = [&](double a) {
            return Maximise1D([&](double b) { return ev.LogLikFree(std::exp(a), std::exp(b), value); },
                              kLnBMin, kLnBMax)
                .value;
        };
        return Maximise1D(overScale, kLnAMin, kLnAMax).value;
    }
    default:
        break;
    }
    // A percentile T = B c^(1/A) with c = -ln(1 - p/K), or failures per
    // product K F(t) = value with c = -ln(1 - value/K) and T = t:
    // ln B = ln T - ln c / A.
    const double probability = IsPercentile(fig) ? FigureProbability(fig) : value;
    const double lnTau = std::log(IsPercentile(fig) ? value : FigureTime(fig));
    if (once) {
        const double share = IsPercentile(fig) ? std::min(probability, kLikShareCap) : probability;
        if (!(share < 1)) return kNegInf;
        return MaxOverShape(ev, mode, lnTau, std::log(-std::log1p(-share)), 1);
    }
    // K free: the constraint gives K = probability / F(tau) at each (A, B), so
    // the search runs over the scale at each shape, where the sum over the
    // failures is kept from one scale to the next.
    double best = MaxOverScaleWithDerivedK(ev, probability, lnTau);
    if (IsPercentile(fig)) best = std::max(best, MaxBeyondClamp(ev, probability, lnTau));
    return best;
}

LikelihoodResult FitLikelihood(const LikelihoodData& data, const LikelihoodSettings& settings) {
    LikelihoodResult r;
    r.settings = settings;
    r.n = static_cast<int>(data.times.size());
    r.zeroTimes = data.zeroTimes;
    r.fleet = data.fleet;
    r.lastFailure = data.times.empty() ? 0 : data.times.back();
    LikelihoodEvaluator ev(data);
    const LikelihoodKMode mode = settings.kMode;
    const LikelihoodEstimate e = MaximiseLikelihood(ev, mode);
    r.fitted = true;
    r.A = e.A;
    r.B = e.B;
    r.K = e.K;
    r.loglik = e.loglik;
    r.atBound = e.atBound;

    const boost::math::chi_squared chi1(1);
    const double q = boost::math::quantile(chi1, settings.level);
    const double threshold = e.loglik - q / 2;
    for (int i = 0; i < kLikFigureCount; ++i) {
        const auto fig = static_cast<LikFigure>(i);
        r.estimates[i] = LikelihoodFigure(fig, e.A, e.B, e.K);
        if (fig == LikFigure::K && mode == LikelihoodKMode::Once) continue;
        auto [lo, hi] = FigureRange(fig, mode);
        if (!(r.estimates[i] > 0) || !(lo > 0)) continue;
        const double x0 = std::log(r.estimates[i]);
        // the range ends themselves are pulled in a little: on them the
        // constraint leaves no room for the other parameters
        const double xLo = std::log(lo) + 1e-9, xHi = std::log(hi) - 1e-9;
        auto profile = [&](double x) { return ProfileLogLik(ev, mode, fig, std::exp(x)); };
        LikInterval& in = r.intervals[i];
        in.present = true;
        const Side lower = x0 <= xLo ? Side{lo, true} : FindSide(profile, x0, xLo, threshold);
        const Side upper = x0 >= xHi ? Side{hi, true} : FindSide(profile, x0, xHi, threshold);
        in.lower = lower.open ? lo : lower.value;
        in.lowerOpen = lower.open;
        in.upper = upper.open ? hi : upper.value;
        in.upperOpen = upper.open;
    }
    if (mode == LikelihoodKMode::Free) {
        r.lrDone = true;
        r.lrStat = std::max(0.0, 2 * (e.loglik - ProfileLogLik(ev, mode, LikFigure::K, 1)));
        r.lrP = boost::math::cdf(boost::math::complement(chi1, r.lrStat));
    }
    return r;
}

} // namespace tovimo
