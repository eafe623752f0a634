#include "core/data/fleet_simulator.h"
#include "core/genetic/genetic_form_host.h"
#include "core/genetic/genetic_run.h"
#include "core/state/run_inputs.h"
#include "core/text/number_format.h"
#include "tests/core/genetic/genetic_test_fixture.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <system_error>

namespace tovimo {
namespace {

struct Loaded {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    MessageFn note() {
        return [this](const std::string& m) { messages.push_back(m); };
    }
};

Loaded LoadFleet(char sep = '.') {
    Loaded l;
    l.form.decimalSeparator = sep;
    l.form.FilePath = "fleet.txt";
    EXPECT_TRUE(LoadDataText(l.st, l.form, SimulateFleet({}).text, l.note()));
    l.st.uk = true;
    return l;
}

TEST(GeneticRunStart, PreparesTheParameterSpace) {
    const struct {
        bool sred, sko;
        int iop;
    } cases[] = {{false, false, 2}, {true, false, 3}, {false, true, 3}, {true, true, 4}};
    for (char sep : {'.', ','}) {
        for (const auto& c : cases) {
            Loaded l = LoadFleet(sep);
            l.form.Sred_flag = c.sred;
            l.form.SKO_Flag = c.sko;
            l.st.Hist_Stol.clear();
            ASSERT_TRUE(PrepareGeneticRun(l.st, l.form, l.note()));
            EXPECT_TRUE(l.messages.empty());
            EXPECT_EQ(l.st.iop, c.iop);
            EXPECT_EQ(l.st.Sred_Opt, c.sred);
            EXPECT_EQ(l.st.SKO_Opt, c.sko);
            EXPECT_EQ(l.st.Precision, 2e-7); // as the loader wrote it, with the locale's separator
            EXPECT_EQ(l.form.Edit2, std::string("0") + sep + "0000002");
            for (int k = 1; k <= c.iop; ++k)
                EXPECT_EQ(l.st.NormA[static_cast<size_t>(k)], (Alim[1][k] + Alim[2][k]) * 2e-7);
            EXPECT_FALSE(l.st.Hist_Stol.empty());
            EXPECT_EQ(l.st.Tzenz, StrToFloat(l.form.LabeledEdit2, sep));
        }
    }
}

TEST(GeneticRunStart, RefusesWhatCannotEvolve) {
    const struct {
        std::string population, generations, precision;
        const char* message;
    } cases[] = {
        {"1", "1500", "0.0000002", kMsgGaPopulation},    {"0", "1500", "0.0000002", kMsgGaPopulation},
        {"abc", "1500", "0.0000002", kMsgGaPopulation},  {"", "1500", "0.0000002", kMsgGaPopulation},
        {"2.5", "1500", "0.0000002", kMsgGaPopulation},  {"99999999999", "15", "0.0000002", kMsgGaPopulation},
        {"3000", "0", "0.0000002", kMsgGaGenerations},   {"3000", "-4", "0.0000002", kMsgGaGenerations},
        {"3000", "x", "0.0000002", kMsgGaGenerations},   {"3000", "1500", "0.7", kMsgGaPrecision},
        {"3000", "1500", "3", kMsgGaPrecision},          {"3000", "1500", "0", kMsgGaPrecision},
        {"3000", "1500", "-0.0000001", kMsgGaPrecision},
    };
    for (const auto& c : cases) {
        Loaded l = LoadFleet();
        l.form.Edit3 = c.population;
        l.form.NPokoleny = c.generations;
        l.form.Edit2 = c.precision;
        l.messages.clear();
        EXPECT_FALSE(PrepareGeneticRun(l.st, l.form, l.note())) << c.population << " " << c.generations;
        EXPECT_EQ(l.messages, std::vector<std::string>{c.message}) << c.population << " " << c.generations;
    }
    // The smallest run that can evolve is accepted.
    Loaded l = LoadFleet();
    l.form.Edit3 = "2";
    l.form.NPokoleny = "1";
    l.form.Edit2 = "0.5"; // genes of two digits
    EXPECT_TRUE(PrepareGeneticRun(l.st, l.form, l.note()));
}

TEST(GeneticRunStart, InputErrorsAsInTheMainRun) {
    Loaded l = LoadFleet();
    l.form.Edit2 = "1e-7x";
    EXPECT_THROW(PrepareGeneticRun(l.st, l.form, l.note()), ConvertError);
    l = LoadFleet();
    l.form.meSKO = "abc";
    EXPECT_THROW(PrepareGeneticRun(l.st, l.form, l.note()), ConvertError);

    l = LoadFleet();
    l.messages.clear();
    l.form.FilePath.clear();
    EXPECT_FALSE(PrepareGeneticRun(l.st, l.form, l.note()));
    EXPECT_EQ(l.messages, std::vector<std::string>{kMsgNoPath});

    l = LoadFleet();
    l.messages.clear();
    l.st.uk = false;
    EXPECT_FALSE(PrepareGeneticRun(l.st, l.form, l.note()));
    EXPECT_TRUE(l.messages.empty());
}

// A run that ends before its first generation has something to tell the user;
// one that got going, or an error that is not a want of memory or threads,
// does not.
TEST(GeneticRunStart, ASetUpThatFailsIsReported) {
    const auto fails = [](auto error, bool afterSetUp) {
        return [error, afterSetUp](AnalysisState&, GaHost& host, GaFlags&, const GaRunOptions&) -> GaRunEnd {
            if (afterSetUp) host.updMain(2);
            throw error;
        };
    };
    const struct {
        const char* name;
        GenerationLoop loop;
        const char* message; // nullptr: the error leaves as it is
    } cases[] = {
        {"no memory", fails(std::bad_alloc(), false), kMsgGaSetUpFailed},
        {"too long", fails(std::length_error("vector"), false), kMsgGaSetUpFailed},
        {"no thread",
         fails(std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again)), false),
         kMsgGaSetUpFailed},
        {"other error", fails(std::runtime_error("x"), false), nullptr},
        {"no memory later", fails(std::bad_alloc(), true), nullptr},
    };
    for (const auto& c : cases) {
        Loaded l = LoadFleet();
        FormGaHost host(l.form);
        GaFlags flags;
        if (c.message) {
            EXPECT_EQ(RunGeneticAlgorithm(l.st, host, flags, {}, c.loop),
                      std::optional<std::string>(c.message))
                << c.name;
        } else {
            EXPECT_ANY_THROW(RunGeneticAlgorithm(l.st, host, flags, {}, c.loop)) << c.name;
        }
    }

    // A run of the real loop has nothing to report; one that reads a
    // population size no longer usable does not start.
    test::GaFleet f = test::PreparedFleet({}, [](MainForm& form) {
        form.Edit3 = "20";
        form.NPokoleny = "3";
    });
    FormGaHost host(f.form);
    GaFlags flags;
    const GaRunOptions options{'.', 1, 1};
    EXPECT_EQ(RunGeneticAlgorithm(f.st, host, flags, options), std::nullopt);
    EXPECT_TRUE(f.st.MGenet.Executed);
    f.st.MGenet.Executed = false;
    f.form.Edit3 = "1";
    EXPECT_EQ(RunGeneticAlgorithm(f.st, host, flags, options), std::optional<std::string>(kMsgGaNotSetUp));
    EXPECT_FALSE(f.st.MGenet.Executed);
}

} // namespace
} // namespace tovimo
