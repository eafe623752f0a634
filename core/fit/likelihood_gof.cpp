#include "core/fit/likelihood_gof.h"

#include "core/fit/likelihood_fit.h"
#include "core/fit/likelihood_search.h"

#include <boost/random/binomial_distribution.hpp>
#include <boost/random/poisson_distribution.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

namespace tovimo {

namespace {

// G(t) of the normal law as the integral uses it (the exact normal law).
double NormalShare(const LikelihoodData& d, double t) {
    return 0.5 * std::erfc((t - d.Sred) / (d.SKO * 1.4142135623730951));
}

double Share(const LikelihoodData& d, double t) {
    return d.law == WarrantyLawKind::Empirical ? WarrantyShare(d, t) : NormalShare(d, t);
}

// Cells of the normal law: short against both the observation and the law's
// spread, so that G changes little inside one.
constexpr int kMaxNormalCells = 4096;

std::string ReplicateLine(const char* what, int done, int count) {
    return std::string("Модель 3: ") + what + ", " + std::to_string(done) + " из " + std::to_string(count);
}

} // namespace

void ForEachReplicate(int count, int threads, const std::function<void(int)>& work) {
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    auto loop = [&] {
        try {
            for (int i = next++; i < count; i = next++)
                work(i);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureMutex);
            if (!failure) failure = std::current_exception();
            next = count;
        }
    };
    if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
    threads = std::clamp(threads, 1, std::max(1, count));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(loop);
    loop();
    for (auto& t : pool)
        t.join();
    if (failure) std::rethrow_exception(failure);
}

int GofColumnCount(int n) {
    return std::clamp(n / 4, 3, 12);
}

GofColumns ModelColumns(const LikelihoodData& d, double A, double B, int count) {
    GofColumns c;
    const double W = d.Tzenz;
    const double total = FailureIntegral(d, A, B, W);
    double lower = 0;
    for (int j = 1; j <= count; ++j) {
        double upper = W;
        if (j < count && total > 0) {
            const double target = total * j / count;
            auto below = [&](double lnT) { return FailureIntegral(d, A, B, std::exp(lnT)) - target; };
            // bracket the edge an e-fold at a time down from W: the integral
            // over a stretch far shorter than the law's spread costs the
            // quadrature a million points, and no edge lies there
            double lo = std::log(W) - 1;
            while (lo > std::log(W) - 60 && below(lo) > 0)
                lo -= 1;
            upper = std::exp(FindRoot(below, lo, std::min(lo + 1, std::log(W))));
        }
        if (!(upper > lower)) continue;
        c.lower.push_back(lower);
        c.upper.push_back(upper);
        lower = upper;
    }
    return c;
}

std::vector<int> CountPerColumn(const GofColumns& cols, const std::vector<double>& times) {
    std::vector<int> counts(cols.upper.size(), 0);
    for (double t : times) {
        const auto it = std::lower_bound(cols.upper.begin(), cols.upper.end(), t);
        if (it == cols.upper.end()) continue;
        const auto j = static_cast<size_t>(it - cols.upper.begin());
        if (t > cols.lower[j]) ++counts[j];
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

FailureTimeSampler::FailureTimeSampler(const LikelihoodData& d, double A, double B) : d_(d), A_(A), B_(B) {
    const double W = d.Tzenz;
    edges_.push_back(0);
    if (d.law == WarrantyLawKind::Empirical) {
        for (double w : d.exitTimes)
            if (w > edges_.back() && w < W) edges_.push_back(w);
    } else {
        const double width = std::max(W / kMaxNormalCells, std::min(W / 256, d.SKO / 4));
        for (double t = width; t < W; t += width)
            edges_.push_back(t);
    }
    edges_.push_back(W);
    // Each cell's weight is G at its start times the rise of F over it: the
    // exact mass of the empirical law's step (G is constant inside), and for
    // the normal law the mass of an envelope from which Draw takes f G by
    // rejection. One pass, no integral per cell.
    const double lnB = std::log(B);
    auto H = [&](double t) { return t > 0 ? std::exp(A * (std::log(t) - lnB)) : 0.0; };
    cumulative_.assign(edges_.size(), 0);
    double hLow = 0;
    for (size_t i = 1; i < edges_.size(); ++i) {
        const double hUp = H(edges_[i]);
        const double rise = std::exp(-hLow) * -std::expm1(hLow - hUp); // F(hi) - F(lo) without cancellation
        cumulative_[i] = cumulative_[i - 1] + Share(d, edges_[i - 1]) * rise;
        hLow = hUp;
    }
    total_ = d.law == WarrantyLawKind::Empirical ? cumulative_.back() : FailureIntegral(d, A, B, W);
}

double FailureTimeSampler::Draw(std::mt19937_64& gen) const {
    auto uniform = [&] { return (static_cast<double>(gen() >> 11) + 0.5) * 0x1.0p-53; }; // (0, 1)
    const double lnB = std::log(B_);
    auto F = [&](double t) { return t > 0 ? -std::expm1(-std::exp(A_ * (std::log(t) - lnB))) : 0.0; };
    for (int attempt = 0; attempt < 1000000; ++attempt) {
        const double target = uniform() * cumulative_.back();
        auto it = std::upper_bound(cumulative_.begin(), cumulative_.end(), target);
        size_t cell = std::clamp<size_t>(static_cast<size_t>(it - cumulative_.begin()), 1, edges_.size() - 1);
        const double lo = edges_[cell - 1], hi = edges_[cell];
        const double Flo = F(lo), Fhi = F(hi);
        const double Ft = Flo + uniform() * (Fhi - Flo);
        const double t = std::clamp(B_ * std::pow(-std::log1p(-Ft), 1 / A_), lo, hi);
        // G is constant inside a step of the empirical law; the normal law's
        // G falls inside a cell, taken by rejection against its value at the
        // cell's start
        if (d_.law == WarrantyLawKind::Empirical) return t;
        const double top = Share(d_, lo);
        if (top > 0 && uniform() * top <= Share(d_, t)) return t;
    }
    return edges_.back();
}

std::mt19937_64 ReplicateGenerator(std::uint64_t seed, std::uint64_t replicate) {
    std::seed_seq seq{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                      static_cast<std::uint32_t>(replicate), static_cast<std::uint32_t>(replicate >> 32)};
    return std::mt19937_64(seq);
}

std::vector<double> SimulateFailureTimes(const FailureTimeSampler& sampler, const LikelihoodData& d,
                                         LikelihoodKMode mode, double K, std::mt19937_64& gen) {
    const double I = std::clamp(sampler.total(), 0.0, 1.0);
    const long long products = std::max(1LL, std::llround(d.fleet));
    long long count = 0;
    if (I > 0) {
        if (mode == LikelihoodKMode::Once) {
            count = boost::random::binomial_distribution<long long, double>(products, I)(gen);
        } else {
            const double mean = static_cast<double>(products) * K * sampler.total();
            if (mean > 0 && std::isfinite(mean))
                count = boost::random::poisson_distribution<long long, double>(mean)(gen);
        }
    }
    std::vector<double> times(static_cast<size_t>(count));
    for (double& t : times)
        t = sampler.Draw(gen);
    return times;
}

std::vector<double> SimulateFailureTimes(const LikelihoodData& d, LikelihoodKMode mode, double A, double B,
                                         double K, std::uint64_t seed, std::uint64_t replicate) {
    const FailureTimeSampler sampler(d, A, B);
    std::mt19937_64 gen = ReplicateGenerator(seed, replicate);
    return SimulateFailureTimes(sampler, d, mode, K, gen);
}

bool ReplaceTimes(LikelihoodData& d, std::vector<double> times, LikelihoodKMode mode) {
    std::sort(times.begin(), times.end());
    d.times = std::move(times);
    d.sumLogT = 0;
    d.sumLogG = 0;
    if (d.times.size() < static_cast<size_t>(kLikMinFailures) || !(d.times.front() > 0)) return false;
    if (mode == LikelihoodKMode::Once && static_cast<double>(d.times.size()) >= d.fleet) return false;
    for (double t : d.times) {
        const double g = WarrantyShare(d, t);
        if (!(g > 0)) return false;
        d.sumLogG += std::log(g);
        d.sumLogT += std::log(t);
    }
    return true;
}

void BootstrapGof(const LikelihoodData& d, LikelihoodResult& r, const LikelihoodHooks& hooks) {
    const LikelihoodKMode mode = r.settings.kMode;
    const GofColumns cols = ModelColumns(d, r.A, r.B, GofColumnCount(r.n));
    r.gofColumns = static_cast<int>(cols.upper.size());
    r.gofChi2 = PearsonChi2(d, cols, CountPerColumn(cols, d.times), r.A, r.B, r.K);
    r.gofReplicates = 0;
    r.gofRequested = std::max(0, r.settings.bootstrap);
    r.gofP = std::numeric_limits<double>::quiet_NaN();
    const int reps = r.gofRequested;
    if (reps <= 0) return;
    const FailureTimeSampler sampler(d, r.A, r.B);
    LikelihoodEstimate fitted;
    fitted.A = r.A;
    fitted.B = r.B;
    std::vector<double> stats(static_cast<size_t>(reps), std::numeric_limits<double>::quiet_NaN());
    std::atomic<int> done{0};
    ForEachReplicate(reps, r.settings.threads, [&](int i) {
        hooks.CheckStop();
        std::mt19937_64 gen = ReplicateGenerator(r.settings.seed, static_cast<std::uint64_t>(i));
        LikelihoodData rep = d;
        double A = r.A, B = r.B, K = r.K;
        if (ReplaceTimes(rep, SimulateFailureTimes(sampler, d, mode, r.K, gen), mode)) {
            LikelihoodEvaluator ev(rep);
            const LikelihoodEstimate e = MaximiseLikelihood(ev, mode, &fitted);
            if (std::isfinite(e.loglik) && std::isfinite(e.K)) {
                A = e.A;
                B = e.B;
                K = e.K;
            }
        }
        stats[static_cast<size_t>(i)] = PearsonChi2(rep, cols, CountPerColumn(cols, rep.times), A, B, K);
        const int k = ++done;
        if (k % 10 == 0 || k == reps) hooks.Report(ReplicateLine("бутстреп согласия", k, reps));
    });
    int used = 0, larger = 0;
    for (double s : stats) {
        if (!std::isfinite(s)) continue;
        ++used;
        if (s >= r.gofChi2) ++larger;
    }
    r.gofReplicates = used;
    if (used > 0) r.gofP = (1.0 + larger) / (1.0 + used);
}

void BootstrapKTest(const LikelihoodData& d, LikelihoodResult& r, const LikelihoodHooks& hooks) {
    if (!r.lrDone || r.settings.bootstrap <= 0) return;
    const int reps = r.settings.bootstrap;
    LikelihoodEvaluator ev(d);
    const LikelihoodEstimate null = MaximiseAtK(ev, 1);
    if (!std::isfinite(null.loglik)) return;
    const FailureTimeSampler sampler(d, null.A, null.B);
    std::vector<double> stats(static_cast<size_t>(reps), std::numeric_limits<double>::quiet_NaN());
    std::atomic<int> done{0};
    // replicate numbers after the goodness of fit's, from the same seed
    const std::uint64_t first = static_cast<std::uint64_t>(reps);
    ForEachReplicate(reps, r.settings.threads, [&](int i) {
        hooks.CheckStop();
        std::mt19937_64 gen = ReplicateGenerator(r.settings.seed, first + static_cast<std::uint64_t>(i));
        LikelihoodData rep = d;
        double stat = 0; // too few failures to tell K from 1: no evidence against it
        if (ReplaceTimes(rep, SimulateFailureTimes(sampler, d, LikelihoodKMode::Free, 1, gen),
                         LikelihoodKMode::Free)) {
            LikelihoodEvaluator rev(rep);
            const LikelihoodEstimate free = MaximiseLikelihood(rev, LikelihoodKMode::Free, &null);
            const LikelihoodEstimate one = MaximiseAtK(rev, 1, &null);
            if (std::isfinite(free.loglik) && std::isfinite(one.loglik))
                stat = std::max(0.0, 2 * (free.loglik - one.loglik));
        }
        stats[static_cast<size_t>(i)] = stat;
        const int k = ++done;
        if (k % 10 == 0 || k == reps) hooks.Report(ReplicateLine("бутстреп теста K = 1", k, reps));
    });
    int larger = 0;
    for (double s : stats)
        if (s >= r.lrStat * (1 - 1e-9)) ++larger;
    r.lrReplicates = reps;
    r.lrP = (1.0 + larger) / (1.0 + reps);
}

} // namespace tovimo
