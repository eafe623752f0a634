// Simulated fleets prepared for a genetic-algorithm run, and a host that
// records what a run does to the controls.
#pragma once

#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/genetic/genetic_form_host.h"
#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_run.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tovimo::test {

struct GaFleet {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
};

// Loads a simulated fleet and prepares the run with the form as given by
// `tweak` (population, generations, flags...).
inline GaFleet PreparedFleet(const FleetParams& p = {}, const std::function<void(MainForm&)>& tweak = {}) {
    GaFleet f;
    f.form.FilePath = "fleet.txt";
    const auto note = [&](const std::string& m) { f.messages.push_back(m); };
    const SimulatedFleet sim = SimulateFleet(p);
    EXPECT_TRUE(LoadDataText(f.st, f.form, sim.text, note));
    f.st.uk = true;
    if (tweak) tweak(f.form);
    EXPECT_TRUE(PrepareGeneticRun(f.st, f.form, note));
    return f;
}

// The form host, plus a log of every call and a hook run at each
// generation's reading of the bars (the first step of every generation).
class RecordingHost : public FormGaHost {
  public:
    explicit RecordingHost(MainForm& form) : FormGaHost(form) {}

    std::pair<int, int> trackBars() override {
        ++generations;
        if (onGeneration) onGeneration(generations);
        return FormGaHost::trackBars();
    }
    void setGenerationsText(std::string text) override {
        generationTexts.push_back(text);
        FormGaHost::setGenerationsText(std::move(text));
    }
    void setProgress(int position) override {
        progress.push_back(position);
        FormGaHost::setProgress(position);
    }
    void memoLine(std::string line) override {
        memo.emplace_back(generations, line);
        FormGaHost::memoLine(std::move(line));
    }
    void diaGen() override { ++diaGenCalls; }

    int generations = 0; // generations begun so far
    std::function<void(int)> onGeneration;
    std::vector<std::string> generationTexts;
    std::vector<int> progress;
    std::vector<std::pair<int, std::string>> memo; // lines with the generations begun before each
    int diaGenCalls = 0;
};

} // namespace tovimo::test
