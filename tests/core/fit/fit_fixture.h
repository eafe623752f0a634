// A small simulated fleet loaded as the program loads a data file, ready for a
// calculation run; and a clock for reproducible fits.
#pragma once

#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "core/state/run_inputs.h"
#include "core/stats/histogram.h"
#include "core/text/text_codec.h"

#include <string>
#include <vector>

namespace tovimo::test {

struct FitCase {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> memo;
};

// About `failures` failures with records; the run inputs are read and the
// histogram is built, as a calculation run does before its fits.
inline FitCase FleetCase(double failures, char sep = '.', std::uint64_t seed = 11) {
    FitCase c;
    FleetParams p;
    p.seed = seed;
    p.fleet = FleetSizeFor(p, failures);
    c.form.decimalSeparator = sep;
    c.form.FilePath = "fleet.txt";
    LoadDataText(c.st, c.form, EncodeCp1251(SimulateFleet(p).text), [](const std::string&) {});
    ReadRunEdits(c.st, c.form);
    ReadRunFlags(c.st, c.form);
    hist_Format(c.st);
    return c;
}

} // namespace tovimo::test
