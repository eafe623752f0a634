#include "core/fit/likelihood_model.h"

#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <boost/math/quadrature/gauss_kronrod.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tovimo {

namespace {

constexpr const char* kNotFitted = " Модель по максимуму правдоподобия не рассчитана";

} // namespace

double NormalLawEnd(double Sred, double SKO) {
    // 1 - Phi(z) = 1e-12
    constexpr double z = 7.034483825567045;
    return Sred + z * SKO;
}

std::string PrepareLikelihoodData(const AnalysisState& st, WarrantyLawKind law, LikelihoodKMode kMode,
                                  LikelihoodData& d, char sep, double window) {
    d = LikelihoodData{};
    d.law = law;
    d.fleet = st.Izd_Prived;
    d.Sred = st.Sred;
    d.SKO = st.SKO;
    if (law == WarrantyLawKind::Empirical) {
        if (st.MasTGarant.empty())
            return std::string("Закон гарантии «по файлу» требует загруженного файла времен гарантии.") +
                   kNotFitted;
        d.exitTimes = st.MasTGarant;
        std::sort(d.exitTimes.begin(), d.exitTimes.end());
        d.exitSums = std::make_shared<const ExitTimeSums>(d.exitTimes);
    } else if (!(st.SKO > 0) || !std::isfinite(st.Sred) || !std::isfinite(st.SKO)) {
        return std::string("СКО времени гарантии должно быть положительным числом.") + kNotFitted;
    }
    // observed until the warranty law ends, not until the last failure: the
    // fleet's exposure after it is part of what the data say
    if (window > 0 && std::isfinite(window))
        d.Tzenz = window;
    else
        d.Tzenz = law == WarrantyLawKind::Empirical ? d.exitTimes.back() : NormalLawEnd(st.Sred, st.SKO);
    for (const Problems& p : st.MasProbl) {
        const double t = p.TimeAsRead(); // not the loader's Sred + 3·SKO: a time never observed
        if (!(t > 0))
            ++d.zeroTimes;
        else if (t <= d.Tzenz)
            d.times.push_back(t);
        else
            ++d.afterWindow;
    }
    std::sort(d.times.begin(), d.times.end());
    const double n = static_cast<double>(d.times.size());
    if (!(d.fleet > 0) || !std::isfinite(d.fleet))
        return std::string("Приведенный парк должен быть положительным числом.") + kNotFitted;
    if (d.times.size() < static_cast<size_t>(kLikMinFailures))
        return (d.times.empty() ? std::string("В ряду нет отказов с наработкой больше 0")
                                : std::string("В ряду только один отказ с наработкой больше 0")) +
               " до конца наблюдения (" + FloatToStr(std::round(d.Tzenz), sep) +
               " ч): форму закона не оценить." + kNotFitted +
               "; приведены верхние границы отказов на изделие при принятой форме";
    if (kMode == LikelihoodKMode::Once && n >= d.fleet)
        return "Отказов (" + std::to_string(d.times.size()) +
               ") не меньше, чем изделий в приведенном парке (" + FloatToStr(d.fleet, sep) +
               "): при K = 1 каждое изделие отказывает не более одного раза." + kNotFitted;
    for (double t : d.times) {
        const double g = WarrantyShare(d, t);
        if (!(g > 0))
            return "Отказ при наработке " + FloatToStr(t, sep) +
                   " ч приходится на время, когда все изделия уже вышли из гарантии: это противоречит "
                   "закону гарантии." +
                   kNotFitted;
        d.sumLogG += std::log(g);
        d.sumLogT += std::log(t);
    }
    return {};
}

double WarrantyShare(const LikelihoodData& d, double t) {
    if (d.law == WarrantyLawKind::Empirical) {
        const auto above = d.exitTimes.end() - std::upper_bound(d.exitTimes.begin(), d.exitTimes.end(), t);
        return static_cast<double>(above) / static_cast<double>(d.exitTimes.size());
    }
    return 1 - CDF_Gauss(d.Sred, d.SKO, t);
}

double FailureIntegral(const LikelihoodData& d, double A, double B, double lower, double upper) {
    if (!(upper > lower)) return 0;
    if (d.law == WarrantyLawKind::Empirical && lower <= 0 && d.exitSums)
        return d.exitSums->Share(A, std::log(B), upper);
    if (d.law == WarrantyLawKind::Empirical) {
        // F(x) - F(lower) = S(lower) (1 - exp(-(H(x) - H(lower)))) with the
        // cumulative hazard H = (t/B)^A: no cancellation where F is tiny
        const double lnB = std::log(B);
        auto H = [&](double t) { return t > 0 ? std::exp(A * (std::log(t) - lnB)) : 0.0; };
        const double hL = H(lower), sL = std::exp(-hL);
        auto rise = [&](double x) { return sL * -std::expm1(-(H(x) - hL)); };
        // G is a step function: each product contributes F(min(w, upper)) - F(lower) while w > lower
        const auto& w = d.exitTimes;
        const auto from = std::upper_bound(w.begin(), w.end(), lower);
        const auto to = std::lower_bound(from, w.end(), upper);
        double sum = 0;
        for (auto it = from; it != to; ++it)
            sum += rise(*it);
        sum += static_cast<double>(w.end() - to) * rise(upper);
        return sum / static_cast<double>(w.size());
    }
    // By parts with the normal density phi = -dG/dt:
    //   integral of f G = F(U) G(U) - F(L) G(L) + integral of F phi,
    // whose integrand is smooth and bounded for every shape and vanishes
    // outside 40 standard deviations. The exact normal law is used here; the
    // program's CDF_Gauss agrees with it to 4e-9.
    auto G = [&](double t) { return 0.5 * std::erfc((t - d.Sred) / (d.SKO * 1.4142135623730951)); };
    const double lnB = std::log(B);
    auto F = [&](double t) { return t > 0 ? -std::expm1(-std::exp(A * (std::log(t) - lnB))) : 0.0; };
    double result = F(upper) * G(upper) - F(lower) * G(lower);
    const double from = std::max(lower, d.Sred - 40 * d.SKO);
    const double to = std::min(upper, d.Sred + 40 * d.SKO);
    if (to > from) {
        const double norm = 1 / (d.SKO * 2.5066282746310002);
        auto integrand = [&](double t) {
            const double z = (t - d.Sred) / d.SKO;
            return F(t) * norm * std::exp(-0.5 * z * z);
        };
        double error = 0;
        result += boost::math::quadrature::gauss_kronrod<double, 31>::integrate(
            integrand, from, to, 15, kLikIntegralTolerance, &error);
    }
    return std::max(0.0, result);
}

double FailureIntegral(const LikelihoodData& d, double A, double B, double upper) {
    return FailureIntegral(d, A, B, 0, upper);
}

LikelihoodEvaluator::LikelihoodEvaluator(const LikelihoodData& d) : d_(d) {
    for (size_t i = 0; i < d.times.size();) {
        size_t j = i;
        while (j < d.times.size() && d.times[j] == d.times[i])
            ++j;
        logTimes_.push_back(std::log(d.times[i]));
        counts_.push_back(static_cast<double>(j - i));
        i = j;
    }
}

double LikelihoodEvaluator::SumLogDensity(double A, double B) {
    const double n = static_cast<double>(d_.times.size());
    if (logTimes_.empty()) return 0;
    const double top = logTimes_.back();
    if (A != powA_) {
        double s = 0;
        for (size_t i = 0; i < logTimes_.size(); ++i)
            s += counts_[i] * std::exp(A * (logTimes_[i] - top));
        powA_ = A;
        sumPow_ = s;
    }
    const double lnB = std::log(B);
    // sum (t/B)^A, scaled by the largest time so that it does not overflow
    const double sumRatio = std::exp(A * (top - lnB)) * sumPow_;
    return n * std::log(A) - n * A * lnB + (A - 1) * d_.sumLogT - sumRatio;
}

double LikelihoodEvaluator::Integral(double A, double B) {
    if (A != intA_ || B != intB_) {
        intValue_ = d_.law == WarrantyLawKind::Empirical && d_.exitSums
                        ? d_.exitSums->Share(A, std::log(B), d_.Tzenz, lawCache_)
                        : FailureIntegral(d_, A, B, d_.Tzenz);
        intA_ = A;
        intB_ = B;
    }
    return intValue_;
}

double LikelihoodEvaluator::LogLikOnce(double A, double B) {
    ++evaluations_;
    const double n = static_cast<double>(d_.times.size());
    const double I = Integral(A, B);
    if (!(I < 1)) return -std::numeric_limits<double>::infinity();
    return SumLogDensity(A, B) + d_.sumLogG + (d_.fleet - n) * std::log1p(-I);
}

double LikelihoodEvaluator::LogLikFree(double A, double B, double K) {
    ++evaluations_;
    const double n = static_cast<double>(d_.times.size());
    const double I = Integral(A, B);
    return n * std::log(d_.fleet * K) + SumLogDensity(A, B) + d_.sumLogG - d_.fleet * K * I;
}

double LikelihoodEvaluator::ClosedFormK(double A, double B) {
    const double n = static_cast<double>(d_.times.size());
    return n / (d_.fleet * Integral(A, B));
}

} // namespace tovimo
