// The texts typed into the run edits: number parsing, the reading of the run
// inputs, the main calculation run and the start of a genetic-algorithm run on
// a small loaded series. The first byte chooses the separator, the ticked
// models and flags; the rest is up to eleven lines, one per edit.
#pragma once

#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/fit/calc_run.h"
#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_run.h"
#include "core/state/run_inputs.h"
#include "core/text/number_format.h"
#include "fuzz/fuzz_checks.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovimo::fuzz {

struct LoadedSeries {
    AnalysisState st;
    MainForm form;
};

inline const LoadedSeries& SmallSeries() {
    static const LoadedSeries loaded = [] {
        LoadedSeries l;
        FleetParams p;
        p.fleet = 40;
        p.seed = 11;
        const SimulatedFleet f = SimulateFleet(p);
        l.form.FilePath = "fleet.txt";
        LoadDataText(l.st, l.form, f.text, [](const std::string&) {});
        return l;
    }();
    return loaded;
}

inline void CheckNumberText(std::string_view text, char sep) {
    const auto v = ParseFloat(text, sep);
    bool threw = false;
    try {
        const double w = StrToFloat(text, sep);
        fuzz::Check(v && *v == w, "StrToFloat agrees with ParseFloat");
    } catch (const ConvertError& e) {
        threw = true;
        fuzz::Check(e.text() == text, "the error names the text");
    }
    fuzz::Check(threw == !v.has_value(), "StrToFloat throws exactly for non-numbers");
    if (!v) return;
    fuzz::Check(std::isfinite(*v), "a number read from an edit is finite");
    const char other = sep == '.' ? ',' : '.';
    fuzz::Check(text.find(other) == std::string_view::npos, "the other separator is not a number");
    // What the program writes into an edit reads back as (nearly) the same number.
    const std::string shown = FloatToStr(*v, sep);
    const auto back = ParseFloat(shown, sep);
    fuzz::Check(back.has_value(), "a shown number reads back");
    fuzz::Check(*back == *v || std::fabs(*back - *v) <= 1e-14 * std::fabs(*v),
                "a shown number keeps its value");
}

// Population and generations within a fuzzing budget; everything else as the
// inputs give it.
class SmallGaHost final : public GaHost {
  public:
    explicit SmallGaHost(const GeneticInputs& in) : in_(in) {}
    std::optional<int> populationSize() override { return small(in_.population, 12); }
    std::optional<int> generations() override { return small(in_.generations, 3); }
    std::optional<long long> copyCount() override { return in_.copyCount; }
    std::pair<int, int> trackBars() override { return {in_.crossover, in_.mutation}; }
    void setTrackBar(int which, int pos) override { (which == 1 ? in_.crossover : in_.mutation) = pos; }
    void setGenerationsText(std::string) override {}
    void setProgress(int) override {}
    void memoLine(std::string line) override { fuzz::Check(fuzz::IsUtf8(line), "memo line is UTF-8"); }
    void updMain(int) override {}
    void diaGen() override {}

  private:
    static std::optional<int> small(const std::optional<long long>& v, int most) {
        if (!v || *v < INT_MIN || *v > INT_MAX) return std::nullopt;
        return std::min(static_cast<int>(*v), most);
    }
    GeneticInputs in_;
};

struct Snapshot {
    std::vector<double> models;
    size_t columns;
    explicit Snapshot(const AnalysisState& st) : columns(st.Hist_Stol.size()) {
        for (const Mod_Weib* m : {&st.MPirsS, &st.MPirsN, &st.MSmirn, &st.MGenet})
            models.insert(models.end(), {m->A, m->B, m->K_powtor, m->Executed ? 1.0 : 0.0});
    }
    bool operator==(const Snapshot&) const = default;
};

inline int RunInputsTarget(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 4096) return 0;
    const std::uint8_t opts = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string> fields;
    size_t b = 0;
    while (fields.size() < 11 && b <= rest.size()) {
        const size_t e = std::min(rest.find('\n', b), rest.size());
        fields.emplace_back(rest.substr(b, e - b));
        b = e + 1;
    }

    AnalysisState st = SmallSeries().st;
    MainForm form = SmallSeries().form;
    form.decimalSeparator = (opts & 1) ? ',' : '.';
    std::string* edits[] = {&form.meSred, &form.meSKO,     &form.LabeledEdit2, &form.LabeledEdit3,
                            &form.Edit1,  &form.Edit6,     &form.Edit5,        &form.Edit2,
                            &form.Edit3,  &form.NPokoleny, &form.LabeledEdit1};
    for (size_t i = 0; i < fields.size(); ++i) {
        *edits[i] = fields[i];
        CheckNumberText(fields[i], form.decimalSeparator);
        const auto whole = ParseInt(fields[i]);
        bool threw = false;
        try {
            const long long w = StrToInt(fields[i]);
            fuzz::Check(whole && *whole == w, "StrToInt agrees with ParseInt");
        } catch (const ConvertError&) {
            threw = true;
        }
        fuzz::Check(threw == !whole.has_value(), "StrToInt throws exactly for non-integers");
    }
    form.SpirSpusk = (opts & 2) != 0;
    form.BoxNewton = (opts & 4) != 0;
    form.BoxSmirnow = (opts & 8) != 0;
    form.Sred_flag = (opts & 16) != 0;
    form.SKO_Flag = (opts & 32) != 0;
    form.RadioGroup1 = (opts >> 6) % 3;

    // The texts are read once; a text that is not a number is carried, not thrown.
    const RunInputs in = ReadRunInputs(form);
    for (const auto& [text, number] :
         {std::pair{form.meSred, in.mean}, std::pair{form.meSKO, in.sd},
          std::pair{form.LabeledEdit2, in.tFin}, std::pair{form.LabeledEdit3, in.runIn},
          std::pair{form.Edit2, in.genetic.precision}})
        fuzz::Check(number.readable() == ParseFloat(text, form.decimalSeparator).has_value(),
                    "an edit is readable exactly when it holds a number");
    fuzz::Check(in.genetic.population == ParseInt(form.Edit3), "the population is the edit's whole number");

    const Snapshot before(st);
    const size_t messages = form.Memo2.size();
    bool started = false;
    try {
        StepClock clock(11.0); // every fit ends after its first time check
        started = RunCalculation(st, form, in, clock, RunCallbacks{});
    } catch (const ConvertError&) {
    }
    if (!started) {
        fuzz::Check(Snapshot(st) == before, "a refused run changes no model and no histogram");
        fuzz::Check(form.Memo2.size() == messages, "a refused run writes no progress");
    } else {
        fuzz::Check(!st.Hist_Stol.empty(), "a run builds the histogram");
        fuzz::CheckHistogram(st);
        for (const auto& [ticked, m] :
             {std::pair{form.SpirSpusk, &st.MPirsS}, std::pair{form.BoxNewton, &st.MPirsN},
              std::pair{form.BoxSmirnow, &st.MSmirn}})
            if (ticked) fuzz::Check(m->Executed, "a ticked model is fitted");
        for (const auto& line : form.Memo2)
            fuzz::Check(fuzz::IsUtf8(line), "memo line is UTF-8");
    }

    AnalysisState ga = SmallSeries().st;
    bool prepared = false;
    try {
        prepared = PrepareGeneticRun(ga, in, [](const std::string& m) {
            fuzz::Check(!m.empty() && fuzz::IsUtf8(m), "message is a UTF-8 text");
        });
    } catch (const ConvertError&) {
    }
    if (prepared) {
        fuzz::Check(ga.iop >= 2 && ga.iop <= N_Param_Opt, "two to four genes");
        SmallGaHost host(in.genetic);
        GaFlags flags;
        GaRunOptions options;
        options.decimalSeparator = in.decimalSeparator;
        options.seed = 5;
        options.threads = 1;
        RunGenerationLoop(ga, host, flags, options);
    }
    return 0;
}

} // namespace tovimo::fuzz
