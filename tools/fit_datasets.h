// Data sets for measuring the fits: the bundled sample and simulated fleets
// with a wanted number of failures, loaded as the program loads a file.
#pragma once

#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/state/run_inputs.h"
#include "core/stats/distributions.h"
#include "core/stats/histogram.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace tovimo::tools {

struct Dataset {
    std::string name;
    AnalysisState st;
    MainForm form;
};

// Loads the data text and prepares a run's inputs and histogram.
inline Dataset LoadDataset(const std::string& name, const std::string& bytes) {
    Dataset d;
    d.name = name;
    d.form.FilePath = name;
    if (!LoadDataText(d.st, d.form, bytes, [](const std::string&) {}))
        throw std::runtime_error("cannot load " + name);
    const RunInputs in = ReadRunInputs(d.form);
    ApplyRunEdits(d.st, in);
    GettingData(d.st, in, [](const std::string&) {});
    ApplyRunFlags(d.st, in);
    hist_Format(d.st);
    return d;
}

inline Dataset SampleDataset(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) throw std::runtime_error("cannot read " + path);
    return LoadDataset("sample", *bytes);
}

// A fleet sized so that about `failures` failures come with records.
inline Dataset FleetDataset(double failures, std::uint64_t seed = 7) {
    FleetParams p;
    p.seed = seed;
    p.fleet = FleetSizeFor(p, failures);
    return LoadDataset("fleet " + std::to_string(static_cast<int>(failures)), SimulateFleet(p).text);
}

// The data sets of the benchmarks, loaded once: 0 the sample at `samplePath`,
// 1 a fleet of 3,000 failures.
inline Dataset& BenchDataset(int which, const std::string& samplePath) {
    static Dataset sample = SampleDataset(samplePath);
    static Dataset fleet = FleetDataset(3000);
    return which == 0 ? sample : fleet;
}

// The censoring share at each failure's time, as the Smirnov fit fills it.
inline std::vector<double> FailureShares(const AnalysisState& st) {
    std::vector<double> phi(st.MasProbl.size());
    for (size_t i = 0; i < phi.size(); ++i)
        phi[i] = CDF_Gauss(st.Sred, st.SKO, st.MasProbl[i].time);
    return phi;
}

} // namespace tovimo::tools
