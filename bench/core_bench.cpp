// Cost of the criteria on a full histogram and of loading a large data file.
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/stats/histogram.h"
#include "core/text/text_codec.h"

#include <benchmark/benchmark.h>

using namespace tovimo;

namespace {

AnalysisState FiftyTwoColumns() {
    AnalysisState st;
    st.Izd_Prived = 1000;
    st.Kol_izw = 0;
    st.Sred = 3000;
    st.SKO = 700;
    for (int j = 0; j < 52; ++j) {
        Hist_Rec c;
        c.time = 100.0 * (j + 1);
        c.Sum = 3 + j % 7;
        st.Kol_izw += c.Sum;
        st.Hist_Stol.push_back(c);
    }
    st.Tzenz = st.Hist_Stol.back().time;
    return st;
}

AnalysisState Fleet(int failures) {
    FleetParams p;
    p.seed = 11;
    p.fleet = FleetSizeFor(p, failures);
    AnalysisState st;
    MainForm form;
    LoadDataText(st, form, SimulateFleet(p).text, [](const std::string&) {});
    st.Tzenz = st.MasProbl.back().time;
    hist_Format(st);
    return st;
}

void BM_Pirson52(benchmark::State& s) {
    auto st = FiftyTwoColumns();
    Mod_Weib m;
    SizeModelArrays(m, st.Hist_Stol.size());
    double a = 1.2;
    for (auto _ : s) {
        benchmark::DoNotOptimize(Pirson(st, 1, a, 6000, 1.3, st.Sred, st.SKO, m));
        a += 1e-9;
    }
}
BENCHMARK(BM_Pirson52);

void BM_CelevFunction52(benchmark::State& s) {
    auto st = FiftyTwoColumns();
    Mod_Weib w;
    w.K_powtor = 1.3;
    SizeModelArrays(w, st.Hist_Stol.size());
    std::array<double, N_Param_Opt + 1> ao{0, 6000, 1.2, 0, 0};
    for (auto _ : s) {
        benchmark::DoNotOptimize(CelevFunction(st, ao, w));
        ao[2] += 1e-9;
    }
}
BENCHMARK(BM_CelevFunction52);

void BM_Smirnow(benchmark::State& s) {
    auto st = Fleet(static_cast<int>(s.range(0)));
    std::vector<double> phi;
    for (const auto& p : st.MasProbl)
        phi.push_back(CDF_Gauss(st.Sred, st.SKO, p.time));
    double a = 1.2;
    for (auto _ : s) {
        benchmark::DoNotOptimize(Smirnow(st, a, 6000, 1.3, phi));
        a += 1e-9;
    }
    s.counters["failures"] = static_cast<double>(st.MasProbl.size());
}
BENCHMARK(BM_Smirnow)->Arg(300)->Arg(3000);

void BM_Load100kRecords(benchmark::State& s) {
    FleetParams p;
    p.seed = 5;
    p.fleet = FleetSizeFor(p, 100000);
    const std::string bytes = EncodeCp1251(SimulateFleet(p).text);
    size_t records = 0;
    for (auto _ : s) {
        AnalysisState st;
        MainForm form;
        LoadDataText(st, form, bytes, [](const std::string&) {});
        records = st.MasProbl.size();
        benchmark::DoNotOptimize(st.A_ln);
    }
    s.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_Load100kRecords)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
