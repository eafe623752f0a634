// Texts typed into the run edits that are not usable: every one ends the run
// before anything is computed, with the toolkit's conversion error for a text
// that is not a number or a Russian message for a number the run cannot use.
#include "core/data/data_file.h"
#include "core/data/fleet_simulator.h"
#include "core/fit/calc_run.h"
#include "core/genetic/genetic_form_host.h"
#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_run.h"
#include "core/state/run_inputs.h"
#include "core/text/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

using namespace tovimo;

namespace {

struct Loaded {
    AnalysisState st;
    MainForm form;
};

Loaded SmallSeries(char sep) {
    static const std::string text = [] {
        FleetParams p;
        p.fleet = 40;
        p.seed = 3;
        return SimulateFleet(p).text;
    }();
    Loaded l;
    l.form.decimalSeparator = sep;
    LoadDataText(l.st, l.form, text, [](const std::string&) {});
    l.form.FilePath = "fleet.txt";
    l.form.SpirSpusk = l.form.BoxNewton = l.form.BoxSmirnow = true;
    return l;
}

// What a run answered: the conversion error's text, the messages, and whether
// anything of the run happened.
struct Answer {
    std::optional<std::string> conversionError;
    std::vector<std::string> messages;
    bool started = false;
    bool anythingComputed = false;
};

bool AnythingComputed(const AnalysisState& st, const MainForm& form, size_t memoBefore) {
    return !st.Hist_Stol.empty() || st.MPirsS.Executed || st.MPirsN.Executed || st.MSmirn.Executed ||
           st.MGenet.Executed || form.Memo2.size() != memoBefore || st.iop != 0;
}

Answer MainRun(Loaded& l) {
    Answer a;
    const size_t memo = l.form.Memo2.size();
    StepClock clock(11.0);
    RunCallbacks cb;
    cb.message = [&](const std::string& m) { a.messages.push_back(m); };
    try {
        a.started = RunCalculation(l.st, l.form, clock, cb);
    } catch (const ConvertError& e) {
        a.conversionError = e.what();
    }
    a.anythingComputed = AnythingComputed(l.st, l.form, memo);
    return a;
}

Answer GeneticStart(Loaded& l) {
    Answer a;
    const size_t memo = l.form.Memo2.size();
    try {
        a.started = PrepareGeneticRun(l.st, l.form, [&](const std::string& m) { a.messages.push_back(m); });
    } catch (const ConvertError& e) {
        a.conversionError = e.what();
    }
    a.anythingComputed = !a.started && AnythingComputed(l.st, l.form, memo);
    return a;
}

std::string NotANumber(const std::string& text) {
    return "'" + text + "' is not a valid floating point value";
}

using Edit = std::string MainForm::*;

struct RunEdit {
    const char* name;
    Edit edit;
    // the message for a number the run cannot use (zero or negative), or
    // nullptr when such a number is taken as it is (a run-in time of 0; a
    // negative one is refused with its own message)
    const char* notPositive;
};

const RunEdit kMainEdits[] = {
    {"meSred", &MainForm::meSred, kMsgSredNotPositive},
    {"meSKO", &MainForm::meSKO, kMsgSkoNotPositive},
    {"LabeledEdit2", &MainForm::LabeledEdit2, kMsgTfinNotPositive},
    {"LabeledEdit3", &MainForm::LabeledEdit3, nullptr},
};

const char* const kNotNumbers[] = {"",    "   ",   "abc",  "12ч", "1 000", "1e",
                                   "--5", "1e400", "0x10", "nan", "inf"};

} // namespace

// Under either separator, and the other separator (or a group separator)
// in a number.
TEST(BadRunInputs, TextsThatAreNotNumbersStopTheMainRunAtTheirEdit) {
    std::vector<std::pair<char, std::string>> cases;
    for (const char* text : kNotNumbers)
        for (char sep : {'.', ','})
            cases.emplace_back(sep, text);
    cases.insert(cases.end(), {{'.', "1,5"}, {',', "1.5"}, {'.', "3 000,5"}, {',', "3.000,5"}});
    for (const RunEdit& e : kMainEdits)
        for (const auto& [sep, text] : cases) {
            SCOPED_TRACE(std::string(e.name) + " = «" + text + "», separator " + sep);
            Loaded l = SmallSeries(sep);
            l.form.*e.edit = text;
            const Answer a = MainRun(l);
            EXPECT_EQ(a.conversionError, NotANumber(text));
            EXPECT_FALSE(a.anythingComputed);
        }
}

// The edits are read in a fixed order; those read before the bad one keep
// their new values, nothing after it is read.
TEST(BadRunInputs, EditsBeforeTheBadOneStayRead) {
    Loaded l = SmallSeries(',');
    l.form.meSred = "2500,5";
    l.form.meSKO = "610";
    l.form.LabeledEdit2 = "4000";
    l.form.LabeledEdit3 = "3OO"; // letters O
    l.st.T_Prirab = 123;
    const Answer a = MainRun(l);
    EXPECT_EQ(a.conversionError, NotANumber("3OO"));
    EXPECT_EQ(l.st.Sred, 2500.5);
    EXPECT_EQ(l.st.SKO, 610);
    EXPECT_EQ(l.st.Tzenz, 4000);
    EXPECT_EQ(l.st.T_Prirab, 123);
    EXPECT_FALSE(a.anythingComputed);
}

TEST(BadRunInputs, ZeroAndNegativeNumbersTheRunCannotUse) {
    for (const RunEdit& e : kMainEdits) {
        if (!e.notPositive) continue;
        for (const char* text : {"0", "-0", "-700", "-1e300", "0,0"}) {
            SCOPED_TRACE(std::string(e.name) + " = «" + text + "»");
            Loaded l = SmallSeries(',');
            l.form.*e.edit = text;
            const Answer a = MainRun(l);
            EXPECT_FALSE(a.conversionError);
            EXPECT_FALSE(a.started);
            EXPECT_EQ(a.messages, std::vector<std::string>{e.notPositive});
            EXPECT_FALSE(a.anythingComputed);
        }
    }
}

TEST(BadRunInputs, StepReductionFactorsOfTheTickedModels) {
    struct Factor {
        Edit edit;
        bool MainForm::*box;
        const char* caption;
    };
    const Factor factors[] = {{&MainForm::Edit1, &MainForm::SpirSpusk, "Коэф-т уменьшения шага модели 1.1"},
                              {&MainForm::Edit6, &MainForm::BoxNewton, "Коэф-т уменьшения шага модели 1.2"},
                              {&MainForm::Edit5, &MainForm::BoxSmirnow, "Коэф-т уменьшения шага модели 2"}};
    for (const Factor& f : factors)
        for (const char* text : {"", "abc", "1.5", "0", "-1,00025", "1e400"}) {
            SCOPED_TRACE(std::string(f.caption) + " = «" + text + "»");
            Loaded l = SmallSeries(',');
            l.form.*f.edit = text;
            const Answer a = MainRun(l);
            EXPECT_FALSE(a.conversionError);
            EXPECT_FALSE(a.started);
            EXPECT_EQ(a.messages, std::vector<std::string>{FactorMessage(f.caption)});
            EXPECT_EQ(a.messages[0],
                      std::string("Поле \"") + f.caption + "\" должно содержать положительное число");
            EXPECT_FALSE(a.anythingComputed);

            // an unticked model's factor is not read
            Loaded unticked = SmallSeries(',');
            unticked.form.*f.edit = text;
            unticked.form.*f.box = false;
            const Answer b = MainRun(unticked);
            EXPECT_TRUE(b.started);
            EXPECT_TRUE(b.messages.empty());
        }
}

// Numbers far outside the usual range are taken and the run ends with
// finite models: a huge factor stops the steps at once, a factor below 1
// lets them grow only up to the width of their range.
TEST(BadRunInputs, HugeAndTinyFactorsStillEndWithFiniteModels) {
    for (const char* text : {"1e300", "0,000001", "1"}) {
        SCOPED_TRACE(text);
        Loaded l = SmallSeries(',');
        l.form.Edit1 = l.form.Edit6 = l.form.Edit5 = text;
        const Answer a = MainRun(l);
        ASSERT_TRUE(a.started);
        for (const Mod_Weib* m : {&l.st.MPirsS, &l.st.MPirsN, &l.st.MSmirn}) {
            EXPECT_TRUE(m->Executed);
            EXPECT_TRUE(std::isfinite(m->A) && std::isfinite(m->B) && std::isfinite(m->K_powtor));
        }
    }
}

TEST(BadRunInputs, NoPathOrNoDataStopsBeforeAnything) {
    Loaded l = SmallSeries('.');
    l.form.FilePath.clear();
    Answer a = MainRun(l);
    EXPECT_EQ(a.messages, std::vector<std::string>{kMsgNoPath});
    EXPECT_FALSE(a.anythingComputed);
    a = GeneticStart(l);
    EXPECT_EQ(a.messages, std::vector<std::string>{kMsgNoPath});
    EXPECT_FALSE(a.started);

    Loaded none = SmallSeries('.');
    none.st.uk = false;
    a = MainRun(none);
    EXPECT_TRUE(a.messages.empty());
    EXPECT_FALSE(a.started);
    EXPECT_FALSE(a.anythingComputed);
}

// A series with no record, or whose failures all have 0 h or less, leaves
// nothing to fit: both runs refuse it in Russian before reading the edits
// (with no record the T fin edit is empty), whatever the edits hold.
TEST(BadRunInputs, SeriesWithoutOperatingTimeRefusesBothRuns) {
    struct Row {
        const char* what;
        const char* records;
        const char* tFin; // the edit as the user may have typed it; nullptr: as loaded
        const char* message;
    };
    const Row rows[] = {
        {"no record", "", nullptr, kMsgNoRecords},
        {"no record, T fin typed", "", "5000", kMsgNoRecords},
        {"zero and negative times", "0\tузел\n-5\tузел\n", nullptr, kMsgNoOperatingTime},
        {"zero times, T fin typed", "0\tузел\n0\tузел\n", "5000", kMsgNoOperatingTime},
        {"a time that does not convert", "\tузел\n", "5000", kMsgNoOperatingTime},
    };
    for (const char sep : {'.', ','})
        for (const Row& r : rows) {
            SCOPED_TRACE(std::string(r.what) + ", separator " + sep);
            Loaded l;
            l.form.decimalSeparator = sep;
            ASSERT_TRUE(LoadDataText(l.st, l.form,
                                     std::string("ряд\n1000\n200\n100\n2\n1\nузел\n") + r.records,
                                     [](const std::string&) {}));
            l.form.FilePath = "series.txt";
            l.form.SpirSpusk = l.form.BoxNewton = l.form.BoxSmirnow = l.form.BoxPravd = true;
            if (r.tFin) l.form.LabeledEdit2 = r.tFin;
            Answer a = MainRun(l);
            EXPECT_FALSE(a.conversionError);
            EXPECT_FALSE(a.started);
            EXPECT_EQ(a.messages, std::vector<std::string>{r.message});
            EXPECT_FALSE(a.anythingComputed);
            a = GeneticStart(l);
            EXPECT_FALSE(a.conversionError);
            EXPECT_FALSE(a.started);
            EXPECT_EQ(a.messages, std::vector<std::string>{r.message});
        }
    // one failure with a positive time among them is enough
    Loaded l;
    ASSERT_TRUE(LoadDataText(l.st, l.form, "ряд\n1000\n200\n100\n2\n1\nузел\n0\tузел\n300\tузел\n",
                             [](const std::string&) {}));
    l.form.FilePath = "series.txt";
    const Answer a = MainRun(l);
    EXPECT_TRUE(a.started);
    EXPECT_TRUE(a.messages.empty());
}

TEST(BadRunInputs, LawRunInAndFleetThatMeanNothingRefuseBothRuns) {
    struct Row {
        Edit edit;
        const char* text;
        const char* message;
    };
    const Row rows[] = {
        {&MainForm::meSred, "0", kMsgSredNotPositive},
        {&MainForm::meSred, "-2500", kMsgSredNotPositive},
        {&MainForm::LabeledEdit3, "-1", kMsgRunInNegative},
        {&MainForm::meKolAll, "0", kMsgFleetNotPositive},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("«") + r.text + "»");
        Loaded l = SmallSeries('.');
        l.form.*r.edit = r.text;
        if (r.edit == &MainForm::meKolAll) l.st.Izd_Prived = 0; // a file whose fleet is 0
        Answer a = MainRun(l);
        EXPECT_FALSE(a.started);
        EXPECT_EQ(a.messages, std::vector<std::string>{r.message});
        EXPECT_FALSE(a.anythingComputed);
        a = GeneticStart(l);
        EXPECT_FALSE(a.started);
        EXPECT_EQ(a.messages, std::vector<std::string>{r.message});
    }
}

TEST(BadRunInputs, GeneticRunEditsRefuseTheStart) {
    struct Row {
        Edit edit;
        const char* text;
        std::optional<std::string> conversionError;
        const char* message;
    };
    const Row rows[] = {
        {&MainForm::Edit2, "", NotANumber(""), nullptr},
        {&MainForm::Edit2, "точно", NotANumber("точно"), nullptr},
        {&MainForm::Edit2, "0.0000002", NotANumber("0.0000002"), nullptr},
        {&MainForm::Edit2, "0", std::nullopt, kMsgGaPrecision},
        {&MainForm::Edit2, "-0,0000002", std::nullopt, kMsgGaPrecision},
        {&MainForm::Edit2, "1e300", std::nullopt, kMsgGaPrecision},
        {&MainForm::Edit2, "1e-300", std::nullopt, kMsgGaPrecision},
        {&MainForm::Edit3, "", std::nullopt, kMsgGaPopulation},
        {&MainForm::Edit3, "три тысячи", std::nullopt, kMsgGaPopulation},
        {&MainForm::Edit3, "1,5", std::nullopt, kMsgGaPopulation},
        {&MainForm::Edit3, "-3000", std::nullopt, kMsgGaPopulation},
        {&MainForm::Edit3, "0", std::nullopt, kMsgGaPopulation},
        {&MainForm::Edit3, "1", std::nullopt, kMsgGaPopulation},
        {&MainForm::Edit3, "99999999999", std::nullopt, kMsgGaPopulation},
        {&MainForm::Edit3, "2000000000", std::nullopt, kMsgGaPopulation},
        {&MainForm::NPokoleny, "", std::nullopt, kMsgGaGenerations},
        {&MainForm::NPokoleny, "abc", std::nullopt, kMsgGaGenerations},
        {&MainForm::NPokoleny, "1500.5", std::nullopt, kMsgGaGenerations},
        {&MainForm::NPokoleny, "-1", std::nullopt, kMsgGaGenerations},
        {&MainForm::NPokoleny, "0", std::nullopt, kMsgGaGenerations},
        {&MainForm::NPokoleny, "99999999999", std::nullopt, kMsgGaGenerations},
        {&MainForm::meSred, "abc", NotANumber("abc"), nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("«") + r.text + "»");
        Loaded l = SmallSeries(',');
        l.form.*r.edit = r.text;
        const Answer a = GeneticStart(l);
        EXPECT_FALSE(a.started);
        EXPECT_EQ(a.conversionError, r.conversionError);
        if (r.message)
            EXPECT_EQ(a.messages, std::vector<std::string>{r.message});
        else
            EXPECT_TRUE(a.messages.empty());
        EXPECT_FALSE(a.anythingComputed);
    }
}

// The copy count is read while the run goes on, at each copying of the best:
// a text that is not a whole number skips the copying, a negative or huge
// count copies nothing or every stored individual, and the run ends.
TEST(BadRunInputs, CopyCountReadDuringTheGeneticRun) {
    for (const char* text : {"", "пятьдесят", "1,5", "-50", "0", "99999999999999"}) {
        SCOPED_TRACE(std::string("«") + text + "»");
        Loaded l = SmallSeries(',');
        l.form.Edit3 = "12";
        l.form.NPokoleny = "5";
        l.form.LabeledEdit1 = text;
        ASSERT_TRUE(PrepareGeneticRun(l.st, l.form, [](const std::string&) {}));
        FormGaHost host(l.form);
        GaFlags flags;
        GaRunOptions options;
        options.seed = 9;
        options.threads = 1;
        EXPECT_EQ(RunGenerationLoop(l.st, host, flags, options), GaRunEnd::Published);
        EXPECT_TRUE(l.st.MGenet.Executed);
        EXPECT_TRUE(std::isfinite(l.st.MGenet.A) && std::isfinite(l.st.MGenet.B));
    }
}
