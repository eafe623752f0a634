#include "core/fit/likelihood_gof.h"

#include "core/fit/likelihood_fit.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <random>
#include <thread>

namespace tovimo {

GofColumns LikelihoodColumns(const AnalysisState& st) {
    GofColumns c;
    double lower = 0;
    for (const Hist_Rec& col : st.Hist_Stol) {
        if (col.time > st.Tzenz) break;
        c.lower.push_back(lower);
        c.upper.push_back(col.time);
        lower = col.time;
    }
    return c;
}

std::vector<int> CountPerColumn(const GofColumns& cols, const std::vector<double>& times) {
    std::vector<int> counts(cols.upper.size(), 0);
    size_t j = 0;
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    for (double t : sorted) {
        while (j < cols.upper.size() && !(cols.upper[j] + 0.1 > t))
            ++j;
        if (j == cols.upper.size()) break;
        ++counts[j];
    }
    return counts;
}

double PearsonChi2(const LikelihoodData& d, const GofColumns& cols, const std::vector<int>& observed,
                   double A, double B, double K) {
    double chi2 = 0;
    for (size_t i = 0; i < cols.upper.size(); ++i) {
        const double E = d.fleet * K * FailureIntegral(d, A, B, cols.lower[i], cols.upper[i]);
        if (!(E > 0)) continue;
        const double diff = observed[i] - E;
        chi2 += diff * diff / E;
    }
    return chi2;
}

std::vector<double> SimulateFailureTimes(const LikelihoodData& d, LikelihoodKMode mode, double A, double B,
                                         double K, std::uint64_t seed, std::uint64_t replicate) {
    std::seed_seq seq{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                      static_cast<std::uint32_t>(replicate), static_cast<std::uint32_t>(replicate >> 32)};
    std::mt19937_64 gen(seq);
    auto uniform = [&] { return (static_cast<double>(gen() >> 11) + 0.5) * 0x1.0p-53; }; // (0, 1)
    std::normal_distribution<double> normal(0, 1);
    const long products = std::max(1L, std::lround(d.fleet));
    std::vector<double> times;
    for (long i = 0; i < products; ++i) {
        double exit = 0;
        if (d.law == WarrantyLawKind::Empirical)
            exit = d.exitTimes[std::min(
                d.exitTimes.size() - 1,
                static_cast<size_t>(uniform() * static_cast<double>(d.exitTimes.size())))];
        else
            exit = d.Sred + d.SKO * normal(gen);
        const double end = std::min(exit, d.Tzenz);
        if (!(end > 0)) continue;
        if (mode == LikelihoodKMode::Once) {
            const double t = B * std::pow(-std::log(uniform()), 1 / A);
            if (t < exit && t <= d.Tzenz) times.push_back(t);
            continue;
        }
        const double Fend = -std::expm1(-std::pow(end / B, A));
        std::poisson_distribution<long> count(K * Fend);
        const long k = Fend > 0 ? count(gen) : 0;
        for (long j = 0; j < k; ++j)
            times.push_back(B * std::pow(-std::log1p(-uniform() * Fend), 1 / A));
    }
    return times;
}

bool ReplaceTimes(LikelihoodData& d, std::vector<double> times, LikelihoodKMode mode) {
    std::sort(times.begin(), times.end());
    d.times = std::move(times);
    d.sumLogT = 0;
    d.sumLogG = 0;
    if (d.times.empty() || !(d.times.front() > 0)) return false;
    if (mode == LikelihoodKMode::Once && static_cast<double>(d.times.size()) >= d.fleet) return false;
    for (double t : d.times) {
        const double g = WarrantyShare(d, t);
        if (!(g > 0)) return false;
        d.sumLogG += std::log(g);
        d.sumLogT += std::log(t);
    }
    return true;
}

void BootstrapGof(const LikelihoodData& d, const GofColumns& cols, LikelihoodResult& r) {
    const LikelihoodKMode mode = r.settings.kMode;
    r.gofChi2 = PearsonChi2(d, cols, CountPerColumn(cols, d.times), r.A, r.B, r.K);
    r.gofReplicates = 0;
    r.gofP = std::numeric_limits<double>::quiet_NaN();
    const int reps = r.settings.bootstrap;
    if (reps <= 0) return;
    std::vector<double> stats(static_cast<size_t>(reps), std::numeric_limits<double>::quiet_NaN());
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < reps; i = next++) {
            LikelihoodData rep = d;
            if (!ReplaceTimes(rep, SimulateFailureTimes(d, mode, r.A, r.B, r.K, r.settings.seed, i), mode))
                continue;
            LikelihoodEvaluator ev(rep);
            const LikelihoodEstimate e = MaximiseLikelihood(ev, mode);
            stats[static_cast<size_t>(i)] =
                PearsonChi2(rep, cols, CountPerColumn(cols, rep.times), e.A, e.B, e.K);
        }
    };
    int threads =
        r.settings.threads > 0 ? r.settings.threads : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, reps);
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (auto& t : pool)
        t.join();
    int valid = 0, larger = 0;
    for (double s : stats) {
        if (std::isnan(s)) continue;
        ++valid;
        if (s >= r.gofChi2) ++larger;
    }
    r.gofReplicates = valid;
    if (valid > 0) r.gofP = static_cast<double>(larger) / valid;
}

} // namespace tovimo
