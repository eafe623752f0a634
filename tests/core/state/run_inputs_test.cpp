// The run's inputs read from the window's texts once, and written back into
// them as the window shows typed inputs.
#include "core/genetic/genetic_run.h"
#include "core/state/run_inputs.h"
#include "core/text/number_format.h"
#include "tests/core/fit/fit_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tovimo {
namespace {

std::string WithSep(std::string text, char sep) {
    for (char& c : text)
        if (c == '.') c = sep;
    return text;
}

// Every kind of input under either separator: the edits, the factors, the
// counts of the genetic algorithm and model 3's end of observation.
TEST(ReadRunInputs, TextsBecomeTypedInputs) {
    for (char sep : {'.', ','}) {
        SCOPED_TRACE(std::string("separator ") + sep);
        MainForm f;
        f.decimalSeparator = sep;
        f.FilePath = "fleet.txt";
        f.meSred = WithSep("2750.5", sep);
        f.meSKO = " 610 ";
        f.LabeledEdit2 = WithSep("1.5e3", sep);
        f.LabeledEdit3 = "0";
        f.Edit1 = WithSep("1.0005", sep);
        f.Edit6 = "abc";
        f.Edit5 = "";
        f.Edit2 = WithSep("0.0000002", sep);
        f.Edit3 = "3000.5";
        f.NPokoleny = "+20";
        f.LabeledEdit1 = "x";
        f.TrackBar1 = 40;
        f.TrackBar2 = 10;
        f.Sred_flag = true;
        f.RadioGroup1 = 2;
        f.BoxPravd = true;
        f.PravdOnce = false;
        f.PravdLevel = 2;
        f.PravdWindow = WithSep("5000.5", sep);

        const RunInputs in = ReadRunInputs(f);
        EXPECT_EQ(in.decimalSeparator, sep);
        EXPECT_EQ(in.path, "fleet.txt");
        EXPECT_EQ(in.mean.value(), 2750.5);
        EXPECT_EQ(in.sd.value(), 610);
        EXPECT_EQ(in.tFin.value(), 1500);
        EXPECT_EQ(in.runIn.value(), 0);
        EXPECT_TRUE(in.fitMean);
        EXPECT_FALSE(in.fitSd);
        EXPECT_EQ(in.criterion, 2);
        EXPECT_EQ(in.factorSpiral, 1.0005);
        EXPECT_TRUE(std::isnan(in.factorNewton));
        EXPECT_TRUE(std::isnan(in.factorSmirnov));
        EXPECT_EQ(in.genetic.precision.value(), 0.0000002);
        EXPECT_EQ(in.genetic.population, std::nullopt);
        EXPECT_EQ(in.genetic.generations, 20);
        EXPECT_EQ(in.genetic.copyCount, std::nullopt);
        EXPECT_EQ(in.genetic.crossover, 40);
        EXPECT_EQ(in.genetic.mutation, 10);
        EXPECT_TRUE(in.likelihood);
        EXPECT_EQ(in.likelihoodSettings.kMode, LikelihoodKMode::Free);
        EXPECT_EQ(in.likelihoodSettings.level, 0.99);
        EXPECT_EQ(in.likelihoodSettings.window, 5000.5);

        // the other separator is not a number: carried to the run, not thrown here
        MainForm g = f;
        g.meSred = WithSep("2750.5", sep == '.' ? ',' : '.');
        g.PravdWindow = "-3";
        const RunInputs bad = ReadRunInputs(g);
        EXPECT_FALSE(bad.mean.readable());
        try {
            (void)bad.mean.value();
            ADD_FAILURE() << "no conversion error";
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + g.meSred + "' is not a valid floating point value");
        }
        EXPECT_EQ(bad.likelihoodSettings.window, -1);
        EXPECT_EQ(bad.windowText, "-3");
    }
}

// Whichever edit is bad, those before it keep their new values, it and those
// after keep the old ones, and the message names its text exactly.
TEST(ReadRunInputs, ABadEditKeepsTheValuesReadBeforeIt) {
    using Edit = std::string MainForm::*;
    const Edit edits[] = {&MainForm::meSred, &MainForm::meSKO, &MainForm::LabeledEdit2,
                          &MainForm::LabeledEdit3};
    double AnalysisState::*const fields[] = {&AnalysisState::Sred, &AnalysisState::SKO, &AnalysisState::Tzenz,
                                             &AnalysisState::T_Prirab};
    const char* const texts[] = {"2500,5", "610,25", "4000,5", "150,75"};
    const double values[] = {2500.5, 610.25, 4000.5, 150.75};
    for (size_t bad = 0; bad < 4; ++bad) {
        SCOPED_TRACE("bad edit " + std::to_string(bad));
        MainForm f;
        f.decimalSeparator = ',';
        for (size_t i = 0; i < 4; ++i)
            f.*edits[i] = texts[i];
        f.*edits[bad] = "1.5"; // the point under a comma separator
        AnalysisState st;
        for (double AnalysisState::*field : fields)
            st.*field = -7;
        try {
            ApplyRunEdits(st, ReadRunInputs(f));
            ADD_FAILURE() << "no conversion error";
        } catch (const ConvertError& e) {
            EXPECT_STREQ(e.what(), "'1.5' is not a valid floating point value");
        }
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(st.*fields[i], i < bad ? values[i] : -7) << i;
    }
}

// A genetic run's checks keep their order when the texts are read up front: a
// bad population is reported before a precision that is not a number is.
TEST(ReadRunInputs, GeneticChecksKeepTheirOrder) {
    const struct {
        const char *population, *generations, *precision;
        std::string answer; // the message, or the conversion error
    } cases[] = {
        {"1", "20", "abc", kMsgGaPopulation},
        {"50", "0", "abc", kMsgGaGenerations},
        {"50", "20", "abc", "'abc' is not a valid floating point value"},
        {"50", "20", "2", kMsgGaPrecision},
        {"50", "20", "0.0000002", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.population) + " " + c.generations + " " + c.precision);
        auto fleet = test::FleetCase(40);
        fleet.st.uk = true;
        fleet.form.Edit3 = c.population;
        fleet.form.NPokoleny = c.generations;
        fleet.form.Edit2 = c.precision;
        std::string answer;
        try {
            PrepareGeneticRun(fleet.st, ReadRunInputs(fleet.form), [&](const std::string& m) { answer = m; });
        } catch (const ConvertError& e) {
            answer = e.what();
        }
        EXPECT_EQ(answer, c.answer);
    }
}

// Typed inputs written into the controls read back as the same inputs; an
// edit whose text already reads as its value keeps it.
TEST(ShowRunInputs, TheControlsReadBackAsTheInputs) {
    for (char sep : {'.', ','}) {
        SCOPED_TRACE(std::string("separator ") + sep);
        MainForm f;
        f.decimalSeparator = sep;
        f.meSred = WithSep("3500.0", sep);
        RunInputs in = ReadRunInputs(f);
        in.mean = 3500;
        in.sd = 612.25;
        in.tFin = 2750.1234567890123;
        in.runIn = 0;
        in.factorNewton = 1.001;
        in.genetic.precision = 1e-6;
        in.genetic.population = 200;
        in.genetic.crossover = 70;
        in.newton = in.likelihood = true;
        in.likelihoodSettings.level = 0.90;
        in.likelihoodSettings.law = WarrantyLawKind::Empirical;
        SetObservationEnd(in, 6000.5);
        ShowRunInputs(in, f);
        EXPECT_EQ(f.meSred, WithSep("3500.0", sep));
        EXPECT_EQ(f.meSKO, WithSep("612.25", sep));
        EXPECT_EQ(f.PravdWindow, WithSep("6000.5", sep));
        EXPECT_EQ(f.PravdLevel, 0);
        EXPECT_EQ(f.Edit3, "200");

        const RunInputs back = ReadRunInputs(f);
        EXPECT_EQ(back.mean.value(), 3500);
        EXPECT_EQ(back.sd.value(), 612.25);
        EXPECT_NEAR(back.tFin.value(), 2750.1234567890123, 1e-9); // an edit shows 15 digits
        EXPECT_EQ(back.runIn.value(), 0);
        EXPECT_EQ(back.factorNewton, 1.001);
        EXPECT_EQ(back.genetic.precision.value(), 1e-6);
        EXPECT_EQ(back.genetic.population, 200);
        EXPECT_EQ(back.genetic.crossover, 70);
        EXPECT_TRUE(back.newton && back.likelihood && !back.smirnov);
        EXPECT_EQ(back.likelihoodSettings.level, 0.90);
        EXPECT_EQ(back.likelihoodSettings.law, WarrantyLawKind::Empirical);
        EXPECT_EQ(back.likelihoodSettings.window, 6000.5);

        SetObservationEnd(in, -2);
        ShowRunInputs(in, f);
        EXPECT_EQ(f.PravdWindow, "-2");
        EXPECT_EQ(ReadRunInputs(f).likelihoodSettings.window, -1);
    }
}

} // namespace
} // namespace tovimo
