#include "core/fit/likelihood_fit.h"

#include "core/fit/likelihood_gof.h"
#include "core/fit/likelihood_search.h"
#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <boost/math/distributions/chi_squared.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tovimo {

namespace {

constexpr double kNegInf = -std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Where the searches start: shape and scale ranges that hold every ordinary
// fleet. They are only a start: a search whose best point lies at an end
// widens its interval on that side, up to the hard limits below, which lie
// where the arithmetic would lose its meaning rather than where data end.
const double kLnAStartLo = std::log(0.05), kLnAStartHi = std::log(20.0);
const double kLnBStartLo = std::log(1.0), kLnBStartHi = std::log(1e7);
const double kLnAHardLo = std::log(0.005), kLnAHardHi = std::log(500.0);
const double kLnBHardLo = std::log(1e-3), kLnBHardHi = std::log(1e200);
// How far a figure's profile is followed from its estimate, in ln of the
// figure, before its side counts as open.
constexpr double kWalkReach = 60;
// A change of the profile below this over an e-fold step is a flat tail.
constexpr double kFlatProfile = 1e-6;

// K at its closed form n / (N I); not a number where I vanishes.
double FreeK(LikelihoodEvaluator& ev, double A, double B) {
    const double K = ev.ClosedFormK(A, B);
    return std::isfinite(K) && K > 0 ? K : kNaN;
}

// ln L at (A, B) with K = 1, or with K at its closed form.
double LogLikAt(LikelihoodEvaluator& ev, LikelihoodKMode mode, double A, double B) {
    if (mode == LikelihoodKMode::Once) return ev.LogLikOnce(A, B);
    const double K = FreeK(ev, A, B);
    return std::isfinite(K) ? ev.LogLikFree(A, B, K) : kNegInf;
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

// F(t) = 1 - exp(-(t/B)^A) with ln B given.
double WeibullShare(double A, double lnB, double lnT) {
    return -std::expm1(-std::exp(A * (lnT - lnB)));
}

// Where a profile's searches start: near the best shape and scale of the
// previous point of the same profile, which move little from one point to the
// next. Not a number: the start ranges.
struct Hint {
    double a = kNaN, b = kNaN; // ln A, ln B
};

std::pair<double, double> Window(const Hint* h, bool shape) {
    const double at = h ? (shape ? h->a : h->b) : kNaN;
    if (!std::isfinite(at))
        return shape ? std::pair{kLnAStartLo, kLnAStartHi} : std::pair{kLnBStartLo, kLnBStartHi};
    const double half = shape ? 0.5 : 1.0;
    return {at - half, at + half};
}

// The best of f over ln B, searched without a box.
OpenMaximum ScaleSearch(const std::function<double(double)>& f, Hint* h) {
    const auto [lo, hi] = Window(h, false);
    const OpenMaximum m = MaximiseOpen(f, lo, hi, kLnBHardLo, kLnBHardHi);
    if (h) h->b = m.point.x;
    return m;
}

// The best of g(A) over the shape, itself a search over what else is free.
OpenMaximum ShapeSearch(const std::function<double(double)>& g, Hint* h) {
    const auto [lo, hi] = Window(h, true);
    const OpenMaximum m =
        MaximiseOpen([&](double a) { return g(std::exp(a)); }, lo, hi, kLnAHardLo, kLnAHardHi);
    if (h) h->a = m.point.x;
    return m;
}

// The best ln L over ln B (K = 1, or K at its closed form) at shape A.
OpenMaximum OverScale(LikelihoodEvaluator& ev, LikelihoodKMode mode, double A, Hint* h = nullptr) {
    return ScaleSearch([&](double b) { return LogLikAt(ev, mode, A, std::exp(b)); }, h);
}

// The best of f(A, ln B) by Newton's steps from the hint, which moves there:
// near a good start (a refit of data like the fitted ones, the next point of a
// profile) a few dozen values of f where the nested searches take hundreds.
// False, with the hint unmoved, where the steps do not settle inside the
// limits: the nested searches then go on from the hint.
bool NewtonFromHint(const std::function<double(double, double)>& f, Hint& h, double& value) {
    if (!std::isfinite(h.a) || !std::isfinite(h.b)) return false;
    double a = h.a, b = h.b;
    if (!MaximiseNear([&](double x, double y) { return f(std::exp(x), y); }, a, b, value)) return false;
    if (!(a > kLnAHardLo && a < kLnAHardHi && b > kLnBHardLo && b < kLnBHardHi)) return false;
    h = Hint{a, b};
    return true;
}

// The best of f(A, ln B) over both, the scale searched inside the shape. Every
// inner search starts from the hint's scale, which then moves to the best
// scale at the best shape.
double OverShapeAndScale(const std::function<double(double, double)>& f, Hint* h) {
    const Hint start = h ? *h : Hint{};
    // the previous point of a profile is near: Newton's steps from it
    double value = 0;
    if (h && NewtonFromHint(f, *h, value)) return value;
    auto inner = [&](double A) {
        Hint local = start;
        return ScaleSearch([&](double b) { return f(A, b); }, &local);
    };
    const OpenMaximum outer = ShapeSearch([&](double A) { return inner(A).point.value; }, h);
    if (h) h->b = inner(std::exp(outer.point.x)).point.x;
    return outer.point.value;
}

// max ln L with the figure held at `value`: the other parameters follow from
// the figure where they can (ln B = ln tau - ln c / A with K = 1; K = p / F(tau)
// or K = value / F(t) with K free), and the rest is searched without a box.
double Profile(LikelihoodEvaluator& ev, LikelihoodKMode mode, LikFigure fig, double value,
               Hint* h = nullptr) {
    const bool once = mode == LikelihoodKMode::Once;
    if (!(value > 0) || !std::isfinite(value)) return kNegInf;
    switch (fig) {
    case LikFigure::A:
        return OverScale(ev, mode, value, h).point.value;
    case LikFigure::B:
        return ShapeSearch([&](double A) { return LogLikAt(ev, mode, A, value); }, h).point.value;
    case LikFigure::K:
        if (once) return kNegInf;
        return OverShapeAndScale([&](double A, double b) { return ev.LogLikFree(A, std::exp(b), value); }, h);
    default:
        break;
    }
    const bool percentile = IsPercentile(fig);
    const double probability = percentile ? FigureProbability(fig) : value;
    const double lnTau = std::log(percentile ? value : FigureTime(fig));
    if (once) {
        // F(tau) = probability: a law reaches it only below one
        if (!(probability < 1)) return kNegInf;
        const double lnC = std::log(-std::log1p(-probability));
        return ShapeSearch([&](double A) { return ev.LogLikOnce(A, std::exp(lnTau - lnC / A)); }, h)
            .point.value;
    }
    // K free: at each (A, B) the figure fixes K = probability / F(tau), which
    // keeps K above p for a percentile: the profile runs only over the models
    // in which the percentile exists.
    return OverShapeAndScale(
        [&](double A, double b) {
            const double F = WeibullShare(A, b, lnTau);
            if (!(F > 0)) return kNegInf;
            return ev.LogLikFree(A, std::exp(b), probability / F);
        },
        h);
}

struct Side {
    double value = kNaN;
    bool open = true;
};

// Where the profile falls to `threshold`, walking from `x0` (ln of the
// figure, where the profile is above it) in direction `dir`, with steps that
// double. The side is open when the walk reaches `limit` or the profile
// flattens out above the threshold.
Side FindSide(const std::function<double(double)>& profile, double x0, int dir, double limit,
              double threshold, bool flatMeansOpen = true) {
    double step = 0.02;
    double inside = x0, insideValue = profile(x0);
    for (int k = 0; k < 64; ++k) {
        double x = x0 + dir * step;
        const bool last = dir * (x - limit) >= 0;
        if (last) x = limit;
        const double p = profile(x);
        if (!(p > threshold)) {
            const double root = FindRoot([&](double y) { return profile(y) - threshold; }, inside, x);
            return {std::exp(root), false};
        }
        if (last) return {};
        // a profile that hardly changes over a whole e-fold of the figure
        // will not reach the threshold: the data leave this side open
        if (flatMeansOpen && std::fabs(x - inside) >= 1 &&
            std::fabs(p - insideValue) < kFlatProfile * std::fabs(x - inside))
            return {};
        inside = x;
        insideValue = p;
        step *= 2;
    }
    return {};
}

// The estimate of the search as a parameter's name, when one runs off.
std::string RunsOffName(int shapeRunsOff, int scaleRunsOff) {
    if (shapeRunsOff != 0) return "A";
    if (scaleRunsOff != 0) return "B";
    return {};
}

} // namespace

double LikelihoodFigure(LikFigure fig, double A, double B, double K) {
    if (fig == LikFigure::A) return A;
    if (fig == LikFigure::B) return B;
    if (fig == LikFigure::K) return K;
    if (!(A > 0) || !(B > 0) || !(K > 0)) return kNaN;
    if (IsPercentile(fig)) {
        // T_p exists only where the expected count per product reaches p
        const double share = FigureProbability(fig) / K;
        if (!(share < 1)) return kNaN;
        return B * std::pow(-std::log1p(-share), 1 / A);
    }
    return K * WeibullShare(A, std::log(B), std::log(FigureTime(fig)));
}

namespace {

// The best of ln L over the shape and, inside it, the scale of `logLik(A, ln B)`.
// With a start, Newton's steps from it, and where they do not settle each
// search begins near it rather than over the start ranges.
LikelihoodEstimate MaximiseOverBoth(const std::function<double(double, double)>& logLik,
                                    const LikelihoodEstimate* near) {
    Hint start;
    if (near && near->A > 0 && near->B > 0) {
        start = Hint{std::log(near->A), std::log(near->B)};
        Hint newton = start;
        double value = 0;
        if (NewtonFromHint(logLik, newton, value)) {
            LikelihoodEstimate e;
            e.A = std::exp(newton.a);
            e.B = std::exp(newton.b);
            return e;
        }
    }
    auto overScale = [&](double A) {
        Hint local = start;
        return ScaleSearch([&](double b) { return logLik(A, b); }, &local);
    };
    Hint shape = start;
    const OpenMaximum outer = ShapeSearch([&](double A) { return overScale(A).point.value; }, &shape);
    LikelihoodEstimate e;
    e.A = std::exp(outer.point.x);
    const OpenMaximum inner = overScale(e.A);
    e.B = std::exp(inner.point.x);
    e.flatParameter = RunsOffName(outer.runsOff, inner.runsOff);
    e.atBound = !e.flatParameter.empty();
    return e;
}

} // namespace

LikelihoodEstimate MaximiseLikelihood(LikelihoodEvaluator& ev, LikelihoodKMode mode,
                                      const LikelihoodEstimate* near) {
    LikelihoodEstimate e =
        MaximiseOverBoth([&](double A, double b) { return LogLikAt(ev, mode, A, std::exp(b)); }, near);
    e.K = mode == LikelihoodKMode::Once ? 1 : FreeK(ev, e.A, e.B);
    e.loglik = LogLikAt(ev, mode, e.A, e.B);
    return e;
}

LikelihoodEstimate MaximiseAtK(LikelihoodEvaluator& ev, double K, const LikelihoodEstimate* near) {
    LikelihoodEstimate e =
        MaximiseOverBoth([&](double A, double b) { return ev.LogLikFree(A, std::exp(b), K); }, near);
    e.K = K;
    e.loglik = ev.LogLikFree(e.A, e.B, K);
    return e;
}

std::vector<AssumedShapeBound> AssumedShapeBounds(const LikelihoodData& d, int n, double level) {
    std::vector<AssumedShapeBound> out;
    // the expected count whose Poisson law gives n or fewer failures with
    // probability 1 - level
    const double mu = boost::math::quantile(boost::math::chi_squared(2.0 * (n + 1)), level) / 2;
    for (double A : {1.0, 2.0, 3.0}) {
        // failures per product lambda t^A (the Weibull law while K F is small);
        // the fleet's exposure is N times the integral of A t^(A-1) G up to
        // the end of observation, taken from the integral of f G at a scale
        // far beyond it
        const double B = d.Tzenz * 1e6;
        const double exposure = d.fleet * FailureIntegral(d, A, B, d.Tzenz) * std::pow(B, A);
        AssumedShapeBound b;
        b.shape = A;
        for (int i = 0; i < 3; ++i) {
            const double t = 1000.0 * (1 << i);
            b.upper[static_cast<size_t>(i)] = exposure > 0 ? mu / exposure * std::pow(t, A) : kNaN;
        }
        out.push_back(b);
    }
    return out;
}

double ProfileLogLik(LikelihoodEvaluator& ev, LikelihoodKMode mode, LikFigure fig, double value) {
    return Profile(ev, mode, fig, value);
}

LikelihoodResult FitLikelihood(const LikelihoodData& data, const LikelihoodSettings& settings,
                               const LikelihoodHooks& hooks) {
    LikelihoodResult r;
    r.settings = settings;
    r.n = static_cast<int>(data.times.size());
    r.zeroTimes = data.zeroTimes;
    r.afterWindow = data.afterWindow;
    r.fleet = data.fleet;
    r.windowEnd = data.Tzenz;
    r.windowGiven = settings.window > 0;
    r.lastFailure = data.times.empty() ? 0 : data.times.back();
    LikelihoodEvaluator ev(data);
    const LikelihoodKMode mode = settings.kMode;
    hooks.Report("Модель 3: подбор");
    const LikelihoodEstimate e = MaximiseLikelihood(ev, mode);
    if (!std::isfinite(e.loglik) || !std::isfinite(e.K)) {
        r.refusal = "Функция правдоподобия не определена ни при каких значениях параметров: модель по "
                    "максимуму правдоподобия не рассчитана";
        return r;
    }
    r.fitted = true;
    r.A = e.A;
    r.B = e.B;
    r.K = e.K;
    r.loglik = e.loglik;
    r.atBound = e.atBound;
    r.flatParameter = e.flatParameter;

    const boost::math::chi_squared chi1(1);
    const double q = boost::math::quantile(chi1, settings.level);
    const double threshold = e.loglik - q / 2;
    for (int i = 0; i < kLikFigureCount; ++i) {
        const auto fig = static_cast<LikFigure>(i);
        hooks.Report("Модель 3: границы, " + std::to_string(i + 1) + " из " +
                     std::to_string(kLikFigureCount));
        hooks.CheckStop();
        const double at = LikelihoodFigure(fig, e.A, e.B, e.K);
        if (fig == LikFigure::K && mode == LikelihoodKMode::Once) {
            r.estimates[i] = 1; // held, no interval
            continue;
        }
        // a parameter that runs off has no estimate, and neither has K when
        // the scale runs off with K free: they move together
        const bool runsOff = (fig == LikFigure::A && e.flatParameter == "A") ||
                             ((fig == LikFigure::B || fig == LikFigure::K) && e.flatParameter == "B");
        r.estimates[i] = runsOff ? kNaN : at;
        if (!settings.percentileBounds && IsPercentile(fig)) continue;
        Hint hint{std::log(e.A), std::log(e.B)};
        auto profile = [&](double x) { return Profile(ev, mode, fig, std::exp(x), &hint); };
        LikInterval& in = r.intervals[i];
        in.present = true;
        in.lower = in.upper = kNaN;
        double x0 = std::log(at);
        double upperLimit = x0 + kWalkReach;
        if (mode == LikelihoodKMode::Once && !IsPercentile(fig) && fig != LikFigure::A && fig != LikFigure::B)
            upperLimit = std::min(upperLimit, std::log1p(-1e-12)); // K F(t) = F(t) stays below one
        bool walkUp = true;
        if (!(at > 0) || !std::isfinite(at)) {
            // a percentile that the estimate does not reach (K <= p): its
            // models lie where K exceeds p; when none of them is inside the
            // cutoff there is no interval, otherwise the side towards long
            // lives stays open and the walk starts from such a model
            if (!IsPercentile(fig) || mode == LikelihoodKMode::Once) {
                in.present = false;
                continue;
            }
            const LikelihoodEstimate near = MaximiseAtK(ev, FigureProbability(fig) * 1.001);
            const double start = LikelihoodFigure(fig, near.A, near.B, near.K);
            if (!(near.loglik > threshold) || !(start > 0) || !std::isfinite(start)) {
                in.present = false;
                continue;
            }
            x0 = std::log(start);
            walkUp = false;
        }
        // a search started from the previous point's best can miss the best
        // where the scale runs off: a bound it finds is checked without the
        // start, and the side searched again without it when it is not one
        auto plain = [&](double x) { return Profile(ev, mode, fig, std::exp(x)); };
        // From a scale that ran off, B and K come down along a ridge where the
        // profile stays flat for many e-folds before the data bend it: that
        // side is walked to its limit rather than given up as flat.
        const bool downFromRunOff = (e.flatParameter == "B" || e.B > kScaleRunsOff * data.Tzenz) &&
                                    (fig == LikFigure::B || fig == LikFigure::K);
        auto side = [&](int dir, double limit) {
            hint = Hint{std::log(e.A), std::log(e.B)};
            const bool flatMeansOpen = !(downFromRunOff && dir < 0);
            const Side s = FindSide(profile, x0, dir, limit, threshold, flatMeansOpen);
            if (s.open || std::fabs(plain(std::log(s.value)) - threshold) < 1e-6) return s;
            return FindSide(plain, x0, dir, limit, threshold, flatMeansOpen);
        };
        const Side lower = side(-1, x0 - kWalkReach);
        const Side upper = walkUp ? side(1, upperLimit) : Side{};
        in.lowerOpen = lower.open;
        in.upperOpen = upper.open;
        if (!lower.open) in.lower = lower.value;
        if (!upper.open) in.upper = upper.value;
    }
    if (mode == LikelihoodKMode::Free) {
        r.lrDone = true;
        r.lrStat = std::max(0.0, 2 * (e.loglik - MaximiseAtK(ev, 1).loglik));
        r.lrP = boost::math::cdf(boost::math::complement(chi1, r.lrStat));
        r.lrReplicates = 0;
    }
    return r;
}

ProfileSide ScaledFigureSide(LikelihoodEvaluator& ev, LikelihoodKMode mode, const LikelihoodEstimate& e,
                             const ShareOfModel& u, double drop, int dir) {
    const double at = e.K * u(e.A, e.B);
    if (!(at > 0) || !std::isfinite(at) || !(drop >= 0)) return {kNaN, true};
    if (drop == 0) return {at, false};
    // where no model gives the value: far below any cutoff, but finite for the root search
    constexpr double kInfeasible = -1e300;
    Hint hint{std::log(e.A), std::log(e.B)};
    auto profile = [&](double x) {
        const double value = std::exp(x);
        if (mode == LikelihoodKMode::Free)
            return std::max(kInfeasible, OverShapeAndScale(
                                             [&](double A, double b) {
                                                 const double U = u(A, std::exp(b));
                                                 if (!(U > 0)) return kNegInf;
                                                 return ev.LogLikFree(A, std::exp(b), value / U);
                                             },
                                             &hint));
        // K = 1: the scale at which the share reaches the value, on the branch
        // of the estimate's scale first
        const double lnV = std::log(value);
        auto lnScale = [&](double A) {
            auto g = [&](double b) { return std::log(std::max(u(A, std::exp(b)), 1e-300)) - lnV; };
            const double centre = std::isfinite(hint.b) ? hint.b : std::log(e.B);
            for (double below : {1.0, 3.0, centre - kLnBHardLo}) {
                const double lo = std::max(kLnBHardLo, centre - below);
                const double b = FindRoot(g, lo, kLnBHardHi);
                if (std::fabs(g(b)) < 1e-7) return b;
            }
            return kNaN;
        };
        return std::max(kInfeasible, ShapeSearch(
                                         [&](double A) {
                                             const double b = lnScale(A);
                                             return std::isfinite(b) ? ev.LogLikOnce(A, std::exp(b))
                                                                     : kNegInf;
                                         },
                                         &hint)
                                         .point.value);
    };
    const double x0 = std::log(at);
    const Side side = FindSide(profile, x0, dir, x0 + dir * kWalkReach, e.loglik - drop);
    return {side.open ? kNaN : side.value, side.open};
}

} // namespace tovimo
