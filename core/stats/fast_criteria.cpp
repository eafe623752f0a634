#include "core/stats/fast_criteria.h"

#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/vector_math.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

PirsonEvaluator::PirsonEvaluator(const AnalysisState& st, int formIndex)
    : form_(formIndex), izd_(st.Izd_Prived) {
    double lower = 0;
    for (const Hist_Rec& c : st.Hist_Stol) {
        if (!(c.time <= st.Tzenz)) break; // the edges increase: all later columns lie beyond too
        mid_.push_back((lower + c.time) / 2);
        logUpper_.push_back(std::log(c.time));
        observed_.push_back(c.Sum);
        lower = c.time;
    }
    survive_.resize(mid_.size());
    cdf_.resize(mid_.size());
}

double PirsonEvaluator::operator()(double A, double B, double k_pwt, double Mu, double Sig) {
    ++evaluations_;
    const size_t n = mid_.size();
    if (!cached_ || Mu != cachedMu_ || Sig != cachedSig_) {
        for (size_t i = 0; i < n; ++i)
            survive_[i] = 1 - CDF_Gauss(Mu, Sig, mid_[i]);
        cachedMu_ = Mu;
        cachedSig_ = Sig;
        cached_ = true;
    }
    if (A > 0 && B > 0)
        WeibullCdfFromLogs(A, std::log(B), logUpper_.data(), cdf_.data(), n);
    else
        std::fill(cdf_.begin(), cdf_.end(), kWeibullCdfFloor);
    const double K = izd_ * k_pwt;
    double R = 0;
    double Fprev = kWeibullCdfFloor; // F(0)
    for (size_t i = 0; i < n; ++i) {
        const double F = cdf_[i];
        double fw = F - Fprev;
        Fprev = F;
        if (fw < 0) fw = 0;
        const double E = K * fw * survive_[i];
        R += PearsonTerm(form_, observed_[i] - E, E, fw);
    }
    return R;
}

SmirnowEvaluator::SmirnowEvaluator(const AnalysisState& st, const std::vector<double>& phi)
    : izd_(st.Izd_Prived), kolIzw_(st.Kol_izw) {
    // The failures up to Tzenz, in four stretches of `rows_` consecutive
    // failures (the last one padded with failures of weight 0), stored
    // interleaved: failure j of stretch b at 4j + b.
    std::vector<double> logT, keep, rank, count;
    const auto& m = st.MasProbl;
    // A large series repeats its times (a million failures to 0.1 h over a
    // few thousand hours have at most some ten thousand distinct times). A
    // run of c failures at one time shares its known count, so its misses
    // sum to c (mean rank - known)^2 + c (c^2 - 1) / 12: one element for the
    // run. Smaller series keep one element per failure, whose sums round as
    // they always did.
    const bool runs = m.size() >= kRunsFrom;
    double runStart = 0;
    for (size_t i = 0; i < m.size(); ++i) {
        const double t = m[i].time;
        if (!(t <= st.Tzenz)) continue;
        const double k = 1 - (i < phi.size() ? phi[i] : 0.0);
        const double r = static_cast<double>(i + 1);
        if (runs && !logT.empty() && m[i - 1].time == t && keep.back() == k) {
            count.back() += 1;
            rank.back() = runStart + 0.5 * (count.back() - 1);
            continue;
        }
        if (runs && !count.empty()) runSpread_ += count.back() * (count.back() * count.back() - 1) / 12;
        logT.push_back(std::log(t));
        if (std::isfinite(logT.back())) maxAbsLogT_ = std::max(maxAbsLogT_, std::fabs(logT.back()));
        keep.push_back(k);
        rank.push_back(r);
        count.push_back(1);
        runStart = r;
    }
    if (runs && !count.empty()) runSpread_ += count.back() * (count.back() * count.back() - 1) / 12;
    if (runs) series_.emplace(logT, keep, rank, count, izd_);
    const size_t n = logT.size();
    rows_ = (n + 3) / 4;
    const size_t size = 4 * rows_;
    logT_.assign(size, 0);
    keep_.assign(size, 0);
    rank_.assign(size, 0);
    weight_.assign(size, 0);
    for (size_t i = 0; i < n; ++i) {
        const size_t q = 4 * (i % rows_) + i / rows_;
        logT_[q] = logT[i];
        keep_[q] = keep[i];
        rank_[q] = rank[i];
        weight_[q] = count[i];
    }
    cdf_.resize(size);
    cum_.resize(size);
    powT_.resize(size);
}

// From this many rows of four failures the shares and their sums take one
// pass; below it the extra start-up of that pass costs more than it saves.
constexpr size_t kOnePassFromRows = 256;

void SmirnowEvaluator::weibullShares(double A, double B) {
    const size_t size = logT_.size();
    const bool valid = A > 0 && B > 0;
    const double logB = std::log(B);
    // (t/B)^A as t^A * B^-A while both factors stay far from overflow; the
    // choice depends on A and B only, so a point always gets the same value
    const bool split = valid && A * maxAbsLogT_ < 600 && std::fabs(A * logB) < 600;
    // The censored shares (F(t) - F(t before)) * (1 - phi) summed from the
    // start of each stretch; F before a stretch is that of the last failure
    // of the stretch before it.
    double before[4] = {kWeibullCdfFloor, kWeibullCdfFloor, kWeibullCdfFloor, kWeibullCdfFloor};
    double totals[4];
    const size_t last = rows_ ? 4 * (rows_ - 1) : 0;
    bool summed = false;
    if (split) {
        if (!powValid_ || A != powA_) {
            for (size_t q = 0; q < size; ++q)
                powT_[q] = A * logT_[q];
            ExpArray(powT_.data(), powT_.data(), size);
            powA_ = A;
            powValid_ = true;
        }
        const double scale = std::exp(-A * logB);
        if (rows_ >= kOnePassFromRows) {
            // The shares and their sums in one pass, which needs the F that
            // ends each stretch first: the same kernel gives it the same bits.
            WeibullCdfFromPowers(powT_.data() + last, scale, before + 1, 3);
            WeibullPowerRunningSums(powT_.data(), scale, keep_.data(), before, cdf_.data(), cum_.data(),
                                    rows_, totals);
            summed = true;
        } else {
            WeibullCdfFromPowers(powT_.data(), scale, cdf_.data(), size);
        }
    } else if (valid) {
        WeibullCdfFromLogs(A, logB, logT_.data(), cdf_.data(), size);
    } else {
        std::fill(cdf_.begin(), cdf_.end(), kWeibullCdfFloor);
    }
    if (!summed) {
        for (size_t b = 1; b < 4 && rows_; ++b)
            before[b] = cdf_[last + b - 1];
        LaneRunningSums(cdf_.data(), keep_.data(), before, cum_.data(), rows_, totals);
    }
    base_ = {0, totals[0], totals[0] + totals[1], totals[0] + totals[1] + totals[2]};
    cachedA_ = A;
    cachedB_ = B;
    cached_ = true;
}

double SmirnowEvaluator::operator()(double A, double B, double K_powt) {
    ++evaluations_;
    if (series_ && A > 0 && B > 0)
        if (const std::optional<double> misses = series_->SquaredMisses(A, B, K_powt))
            return std::sqrt(*misses + runSpread_) / kolIzw_;
    if (!cached_ || A != cachedA_ || B != cachedB_) weibullShares(A, B);
    const double sum2 =
        LaneSquaredMisses(rank_.data(), cum_.data(), weight_.data(), base_.data(), izd_ * K_powt, rows_) +
        runSpread_;
    return std::sqrt(sum2) / kolIzw_;
}

} // namespace tovimo
