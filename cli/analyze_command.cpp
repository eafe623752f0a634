#include "cli/causes_output.h"
#include "cli/commands.h"
#include "cli/data_input.h"
#include "cli/genetic_cli.h"
#include "cli/json_output.h"
#include "cli/output_status.h"
#include "cli/table_text.h"
#include "core/fit/causes_table.h"

#include "core/data/warranty_file.h"
#include "core/fit/calc_run.h"
#include "core/fit/fit_clock.h"
#include "core/fit/likelihood_fit.h"
#include "core/results/csv_export.h"
#include "core/results/model_warnings.h"
#include "core/results/results_refresh.h"
#include "core/results/results_table.h"
#include "core/text/number_format.h"

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <set>
#include <sstream>

namespace tovimo::cli {

namespace {

struct ModelChoice {
    bool spiral = false, newton = false, smirnov = false, genetic = false, mle = false;
};

std::optional<ModelChoice> parseModels(const std::string& list) {
    ModelChoice c;
    std::stringstream ss(list);
    std::string item;
    std::set<std::string> seen;
    while (std::getline(ss, item, ',')) {
        if (item == "spiral")
            c.spiral = true;
        else if (item == "newton")
            c.newton = true;
        else if (item == "smirnov")
            c.smirnov = true;
        else if (item == "genetic")
            c.genetic = true;
        else if (item == "mle")
            c.mle = true;
        else if (item == "none") {
        } else
            return std::nullopt;
    }
    return c;
}

// The index of a confidence level among 0.90, 0.95 and 0.99, or -1.
int LevelIndex(double level) {
    for (int i = 0; i < 3; ++i)
        if (std::fabs(level - kLikelihoodLevels[i]) < 1e-9) return i;
    return -1;
}

// The options given, over the inputs the loaded file left.
void applyOptions(const AnalyzeOptions& o, RunInputs& in, const ModelChoice& mc) {
    if (o.mean) in.mean = *o.mean;
    if (o.sd) in.sd = *o.sd;
    if (o.tFin) in.tFin = *o.tFin;
    if (o.runIn) in.runIn = *o.runIn;
    if (o.criterion) in.criterion = *o.criterion;
    if (o.fitMean) in.fitMean = true;
    if (o.fitSd) in.fitSd = true;
    if (o.factorSpiral) in.factorSpiral = *o.factorSpiral;
    if (o.factorNewton) in.factorNewton = *o.factorNewton;
    if (o.factorSmirnov) in.factorSmirnov = *o.factorSmirnov;
    GeneticInputs& g = in.genetic;
    if (o.precision) g.precision = *o.precision;
    if (o.population) g.population = *o.population;
    if (o.generations) g.generations = *o.generations;
    if (o.copyBest) g.copyCount = *o.copyBest;
    if (o.crossover) g.crossover = *o.crossover;
    if (o.mutation) g.mutation = *o.mutation;
    in.spiral = mc.spiral;
    in.newton = mc.newton;
    in.smirnov = mc.smirnov;
    in.likelihood = mc.mle;
    LikelihoodSettings& m = in.likelihoodSettings;
    m.kMode = o.mleK != "free" ? LikelihoodKMode::Once : LikelihoodKMode::Free;
    if (o.level) m.level = kLikelihoodLevels[LevelIndex(*o.level)];
    if (o.law) m.law = *o.law == "empirical" ? WarrantyLawKind::Empirical : WarrantyLawKind::Normal;
    if (o.bootstrap) m.bootstrap = std::max(0, *o.bootstrap);
    if (o.seed) m.seed = *o.seed;
    if (o.threads) m.threads = static_cast<int>(*o.threads);
    if (o.mleWindow) SetObservationEnd(in, *o.mleWindow);
}

void printText(const AnalysisState& st, const MainForm& f, const std::vector<std::string>& messages,
               const ResultTable& table) {
    for (const auto& m : messages)
        std::cout << "Сообщение: " << m << "\n";
    const char sep = f.decimalSeparator;
    std::cout << st.Comment << "\n";
    std::cout << "Среднее время гарантии: " << f.meSred << "   СКО: " << f.meSKO << "\n";
    std::cout << "Парк: " << f.meKolAll << "   Отказов: " << f.meKolOtk << "   Записей: " << st.Kol_izw
              << "   Приведенный парк: " << FloatToStr(st.Izd_Prived, sep) << "\n";
    std::cout << "Причины отказов:\n";
    for (size_t k = 1; k < st.Vidy_otkazov.size(); ++k)
        std::cout << "  " << k << ". " << st.Vidy_otkazov[k].Nazv_Prich << " — "
                  << FloatToStr(st.Vidy_otkazov[k].Dolya, sep) << "\n";
    std::cout << "Гистограмма (ширина столбцов " << st.D_Hist1 << " / " << st.D_Hist2 << " ч):\n";
    for (const Hist_Rec& c : st.Hist_Stol)
        std::cout << Format(sep, "{:>12}  {:6}", FloatToStr(c.time, sep), static_cast<long long>(c.Sum))
                  << "\n";
    std::cout << "\n" << TableText(table);
    if (f.BoxPravd || st.MPravd.Executed) std::cout << "\n" << BoundsText(st, sep);
}

nlohmann::json GridJson(const ResultTable& table) {
    nlohmann::json rows = nlohmann::json::array();
    for (const auto& row : table.cells)
        rows.push_back(row);
    return rows;
}

// The options that need more than their type: nullopt, after the reason on
// the error stream, for an unusable one.
std::optional<ModelChoice> usableOptions(const AnalyzeOptions& o) {
    auto mc = parseModels(o.models);
    if (!mc) {
        std::cerr << "Неизвестная модель в списке --models: " << o.models << "\n";
        return std::nullopt;
    }
    if (o.level && LevelIndex(*o.level) < 0) {
        std::cerr << "Доверительный уровень --level должен быть 0.90, 0.95 или 0.99\n";
        return std::nullopt;
    }
    if (o.byCause && !mc->mle) {
        std::cerr << "--by-cause строит модель 3 по причинам: нужен список --models с mle\n";
        return std::nullopt;
    }
    if (o.bootstrap && *o.bootstrap < 0) {
        std::cerr << "Число повторений --bootstrap не может быть отрицательным\n";
        return std::nullopt;
    }
    return mc;
}

// The genetic run after the fits, its memo lines and messages as they come
// (not with --json), then the refresh and the genetic model's warnings.
int runGeneticStep(AnalysisState& st, MainForm& form, const RunInputs& in, const AnalyzeOptions& o,
                   std::vector<std::string>& messages) {
    const size_t memoBefore = form.Memo2.size();
    const size_t messagesBefore = messages.size();
    const int rc = RunGeneticHeadless(st, form, in, o, messages);
    if (!o.json) {
        for (size_t i = memoBefore; i < form.Memo2.size(); ++i)
            std::cout << form.Memo2[i] << "\n";
        for (size_t i = messagesBefore; i < messages.size(); ++i)
            std::cerr << messages[i] << "\n";
    }
    RefreshResultFigures(st);
    UpdateModelWarnings(st, form.decimalSeparator, {"MGenet"}, [&](const std::string& line) {
        form.Memo2.push_back(line);
        if (!o.json) std::cout << line << "\n";
    });
    return rc;
}

// --charts, --csv and --report, each only while the ones before succeeded.
int writeFiles(const AnalysisState& st, const MainForm& form, const ResultTable& table,
               const ReportOrigin& origin, const AnalyzeOptions& o, const QtWriters& writers,
               const std::optional<CausesResult>& causes) {
    int rc = kDone;
    if (o.chartsDir) rc = writers.charts(st, form.decimalSeparator, *o.chartsDir);
    if (o.csvDir && rc == kDone)
        rc = WriteStatus([&] {
            std::vector<CsvFile> files = ResultCsvFiles(st, table, form.decimalSeparator);
            if (causes && causes->done)
                files.push_back({"causes.csv", CausesCsv(*causes, form.decimalSeparator)});
            for (const std::string& file : WriteCsvFiles(files, *o.csvDir))
                std::cerr << file << "\n";
        });
    if (o.reportFile && rc == kDone) {
        ReportOrigin withCauses = origin;
        withCauses.causes = causes;
        rc = writers.report(st, form, withCauses, *o.reportFile);
    }
    return rc;
}

} // namespace

int RunAnalyze(const AnalyzeOptions& o, const QtWriters& writers) {
    const auto mc = usableOptions(o);
    if (!mc) return kUsage;
    AnalysisState st;
    MainForm form;
    form.CheckBox1 = o.check;
    std::vector<std::string> messages;
    auto message = [&](const std::string& m) { messages.push_back(m); };
    if (!LoadCommandData(st, form, o.dataFile, messages)) return kFileError;
    ReportOrigin origin;
    origin.dataFile = o.dataFile;
    origin.dataMean = st.Sred;
    origin.dataSd = st.SKO;
    if (o.warrantyFile && !LoadWarrantyOption(st, form, *o.warrantyFile, messages)) return kFileError;
    // the inputs as the loaded files leave the controls, then the options
    RunInputs in = ReadRunInputs(form);
    applyOptions(o, in, *mc);
    ShowRunInputs(in, form);

    // TOVIMO_STEP_CLOCK=SECONDS: a clock that advances by that much per reading,
    // so that two runs of the fits give the same bits (output comparisons).
    SteadyFitClock steady;
    const char* stepText = std::getenv("TOVIMO_STEP_CLOCK");
    StepClock stepped(stepText ? std::atof(stepText) : 0);
    FitClock& clock = stepText ? static_cast<FitClock&>(stepped) : steady;
    RunCallbacks cb;
    cb.message = message;
    if (!o.json) cb.memo = [](const std::string& line) { std::cout << line << std::endl; };
    bool ran = false;
    try {
        ran = RunCalculation(st, form, in, clock, cb);
    } catch (const ConvertError& e) {
        std::cerr << e.what() << "\n";
        return kUsage;
    }
    if (!ran) {
        for (const auto& m : messages)
            std::cerr << m << "\n";
        return in.path.empty() || !st.uk ? kFileError : kUsage;
    }

    const int rc = mc->genetic ? runGeneticStep(st, form, in, o, messages) : kDone;
    std::optional<CausesResult> causes;
    if (o.byCause) {
        try {
            causes = FitByCause(st, in.likelihoodSettings, in.decimalSeparator);
        } catch (const std::exception& e) {
            causes = CausesResult{};
            causes->refusal = std::string("Модель 3 по причинам не рассчитана: ") + e.what();
        }
    }
    const ResultTable table = FillResultTable(
        st, form.decimalSeparator, [](const std::string& s) { return TextLength(s); }, false);
    if (o.json) {
        auto j = StateJson(st);
        j["messages"] = messages;
        j["memo"] = form.Memo2;
        j["Pot08"] = Num(st.Pot08);
        j["tfin"] = Num(st.tfin);
        j["Result_Grid"] = GridJson(table);
        if (in.likelihood || st.MPravd.Executed) j["Bounds"] = BoundsJson(st, form.decimalSeparator);
        if (causes) j["causes"] = CausesJson(*causes);
        std::cout << j.dump(1) << "\n";
    } else {
        printText(st, form, messages, table);
        if (causes) {
            std::cout << "\n";
            PrintCauses(std::cout, *causes, form.decimalSeparator);
        }
    }
    return rc == kDone ? writeFiles(st, form, table, origin, o, writers, causes) : rc;
}

} // namespace tovimo::cli
