// How close each step-search fit gets to the best value of its criterion:
// runs the fits with the real clock on the sample and on simulated fleets,
// then searches the same bounds exhaustively (a grid, then a compass search
// from the best grid points) and prints the ratio fitted / best.
//
//   fit_quality SAMPLE_FILE [failures...]
#include "core/fit/calc_run.h"
#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/fast_criteria.h"
#include "tools/fit_datasets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

using namespace tovimo;

namespace {

using Point = std::vector<double>;
using Objective = std::function<double(const Point&)>;

struct Box {
    Point lo, hi;
};

// Coordinate search with halving steps, kept inside the box.
Point Refine(const Objective& f, Point x, const Box& box, double& value) {
    Point step(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        step[i] = (box.hi[i] - box.lo[i]) / 200;
    value = f(x);
    for (int round = 0; round < 200; ++round) {
        bool moved = false;
        for (size_t i = 0; i < x.size(); ++i) {
            for (double dir : {1.0, -1.0}) {
                for (;;) {
                    Point y = x;
                    y[i] = std::clamp(x[i] + dir * step[i], box.lo[i], box.hi[i]);
                    if (y[i] == x[i]) break;
                    const double v = f(y);
                    if (!(v < value)) break;
                    x = y;
                    value = v;
                    moved = true;
                }
            }
        }
        if (!moved) {
            bool small = true;
            for (size_t i = 0; i < x.size(); ++i) {
                step[i] /= 2;
                if (step[i] > 1e-13 * (std::fabs(x[i]) + 1)) small = false;
            }
            if (small) break;
        }
    }
    return x;
}

// Grid over (ln B, A), then a refinement from the best grid points.
double BestOf(const Objective& f2, const Box& box, int nB, int nA) {
    struct Cand {
        double v;
        Point x;
    };
    std::vector<Cand> cands;
    for (int i = 0; i < nB; ++i)
        for (int j = 0; j < nA; ++j) {
            Point x{box.lo[0] + (box.hi[0] - box.lo[0]) * i / (nB - 1),
                    box.lo[1] + (box.hi[1] - box.lo[1]) * j / (nA - 1)};
            const double v = f2(x);
            if (std::isfinite(v)) cands.push_back({v, x});
        }
    std::sort(cands.begin(), cands.end(), [](const Cand& a, const Cand& b) { return a.v < b.v; });
    double best = cands.empty() ? NAN : cands[0].v;
    for (size_t k = 0; k < std::min<size_t>(8, cands.size()); ++k) {
        double v;
        Refine(f2, cands[k].x, box, v);
        best = std::min(best, v);
    }
    return best;
}

// The best Pearson value over B in [bLo, bHi], A in [aLo, aHi] with fixed K.
double BestPearson(AnalysisState& st, int form, double K, double bLo, double bHi, double aLo, double aHi) {
    Mod_Weib scratch;
    SizeModelArrays(scratch, st.Hist_Stol.size());
    auto f = [&](const Point& x) {
        return Pirson(st, form, x[1], std::exp(x[0]), K, st.Sred, st.SKO, scratch);
    };
    return BestOf(f, {{std::log(bLo), aLo}, {std::log(bHi), aHi}}, 500, 300);
}

// The best Smirnov value: for a fixed (A, B) the criterion is a quadratic in K,
// whose minimum inside [kLo, kHi] is taken directly.
double BestSmirnov(AnalysisState& st, const std::vector<double>& phi) {
    const double kLo = 1.01, kHi = 30;
    // the failures up to Tzenz as runs at one time: count w, mean rank m; a
    // run's misses are w (m - K known)^2 plus w (w^2 - 1) / 12, so a
    // million-failure series costs its distinct times
    std::vector<double> time, keep, w, m;
    double spread = 0;
    for (size_t i = 0; i < st.MasProbl.size(); ++i) {
        const double t = st.MasProbl[i].time;
        if (!(t <= st.Tzenz)) continue;
        const double r = static_cast<double>(i + 1), k = 1 - phi[i];
        if (!time.empty() && time.back() == t && keep.back() == k) {
            m.back() = (m.back() * w.back() + r) / (w.back() + 1);
            w.back() += 1;
            continue;
        }
        time.push_back(t);
        keep.push_back(k);
        w.push_back(1);
        m.push_back(r);
    }
    for (double c : w)
        spread += c * (c * c - 1) / 12;
    std::vector<double> c(time.size());
    auto known = [&](double A, double B) {
        double sum = 0, t1 = 0;
        for (size_t j = 0; j < time.size(); ++j) {
            sum += weibCDF2(A, B, t1, time[j]) * keep[j] * st.Izd_Prived;
            c[j] = sum;
            t1 = time[j];
        }
    };
    auto f2 = [&](const Point& x) {
        const double B = std::exp(x[0]), A = x[1];
        known(A, B);
        double num = 0, den = 0;
        for (size_t j = 0; j < c.size(); ++j) {
            num += w[j] * m[j] * c[j];
            den += w[j] * c[j] * c[j];
        }
        const double K = std::clamp(den > 0 ? num / den : kLo, kLo, kHi);
        double sum2 = spread;
        for (size_t j = 0; j < c.size(); ++j)
            sum2 += w[j] * (m[j] - K * c[j]) * (m[j] - K * c[j]);
        return std::sqrt(sum2) / st.Kol_izw;
    };
    const double coarse = BestOf(f2, {{std::log(1.0), 0.3}, {std::log(90000.0), 3}}, 240, 120);
    return coarse;
}

struct Row {
    const char* fit;
    double value, best;
    long long evaluations;
    double seconds;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fit_quality SAMPLE_FILE [failures...]\n");
        return 2;
    }
    std::vector<double> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atof(argv[i]));
    if (sizes.empty()) sizes = {15, 50, 100, 200, 400, 1000, 3000};

    std::vector<tools::Dataset> sets;
    sets.push_back(tools::SampleDataset(argv[1]));
    for (double n : sizes)
        sets.push_back(tools::FleetDataset(n));

    std::printf("%-12s %6s  %-8s %14s %14s %9s %12s %8s\n", "data", "n", "fit", "criterion", "best", "ratio",
                "evaluations", "seconds");
    for (auto& d : sets) {
        d.form.SpirSpusk = d.form.BoxNewton = d.form.BoxSmirnow = true;
        SteadyFitClock clock;
        RunCalculation(d.st, d.form, clock, {});
        AnalysisState& st = d.st;
        const int form = d.form.RadioGroup1;
        std::vector<double> phi(st.MasProbl.size());
        for (size_t i = 0; i < phi.size(); ++i)
            phi[i] = CDF_Gauss(st.Sred, st.SKO, st.MasProbl[i].time);
        const Row rows[] = {
            {"1.1", st.MPirsS.criterion, BestPearson(st, form, st.MPirsS.K_powtor, 10, 99000, 0.35, 10),
             st.MPirsS.evaluations, st.MPirsS.seconds},
            {"1.2", st.MPirsN.criterion, BestPearson(st, form, st.MPirsN.K_powtor, 10, 50000, 0.5, 3),
             st.MPirsN.evaluations, st.MPirsN.seconds},
            {"2", st.MSmirn.criterion, BestSmirnov(st, phi), st.MSmirn.evaluations, st.MSmirn.seconds},
        };
        for (const Row& r : rows)
            std::printf("%-12s %6zu  %-8s %14.6g %14.6g %9.5f %12lld %8.2f\n", d.name.c_str(),
                        st.MasProbl.size(), r.fit, r.value, r.best, r.value / r.best, r.evaluations,
                        r.seconds);
        std::fflush(stdout);
    }
    return 0;
}
