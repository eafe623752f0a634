// The subcommands of tovimo-cli and their options.
#pragma once

#include "core/fit/likelihood_causes.h"
#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tovimo {
struct AnalysisState;
struct MainForm;
} // namespace tovimo

namespace tovimo::cli {

// kBadData: the input holds rows that could not be read.
enum ExitCode { kDone = 0, kUsage = 2, kFileError = 3, kRunFailed = 4, kBadData = 5 };

struct AnalyzeOptions {
    std::string dataFile;
    std::optional<std::string> warrantyFile;
    std::optional<double> mean, sd, tFin, runIn;
    std::string models = "spiral";
    std::optional<int> criterion;
    bool fitMean = false, fitSd = false;
    std::optional<double> factorSpiral, factorNewton, factorSmirnov, precision;
    std::optional<long long> population, generations, copyBest, threads;
    std::optional<int> crossover, mutation;
    std::optional<std::uint64_t> seed;
    bool check = false;
    bool json = false;
    std::optional<std::string> chartsDir;
    std::optional<std::string> csvDir;
    std::optional<std::string> reportFile;
    // model 3
    std::string mleK = "once";
    std::optional<double> level;
    std::optional<std::string> law;
    std::optional<int> bootstrap;
    std::optional<double> mleWindow;
    bool byCause = false; // model 3 by cause
};

struct ForecastOptions {
    std::string dataFile;
    std::optional<double> fleet, mean, sd, horizon, extend;
    std::optional<std::string> unitsFile; // the new fleet's warranty-end times
    double step = 500;
    double level = 0.95;
    std::string mleK = "once";
    std::optional<std::string> cause;
    bool json = false;
    std::optional<std::string> csvDir; // forecast.csv
};

struct ScoreOptions {
    std::string dataFile;
    std::optional<std::string> warrantyFile;
    std::optional<std::string> law;
    double A = 0, B = 0, K = 0;
    std::optional<double> mean, sd, tFin, runIn;
    bool json = false;
};

struct SimulateOptions {
    double failures = 300;
    double shape = 1.3, scale = 9000, repeat = 1.4, mean = 3000, sd = 700;
    std::uint64_t seed = 1;
    std::string encoding = "cp1251";
    std::string output;
    std::optional<int> warrantyTimes;
    std::optional<std::string> unitsFile; // every product's warranty-end time
    bool once = false;                    // each product fails at most once
};

struct ImportOptions {
    std::string table;
    double fleet = 0, mean = 0, sd = 0;
    std::optional<long long> failures;
    std::optional<std::string> comment;
    std::string output;
    bool skipBad = false;
};

// Writes the chart images of an analysis into a folder and answers the exit status.
using ChartsWriter =
    std::function<int(const AnalysisState& st, char decimalSeparator, const std::string& dir)>;

// Where the report finds the data file and the law it gave.
struct ReportOrigin {
    std::string dataFile;
    std::optional<double> dataMean, dataSd;
    std::optional<CausesResult> causes; // model 3 by cause, with --by-cause
};

// Writes the report of an analysis into a PDF file and answers the exit status.
using ReportWriter = std::function<int(const AnalysisState& st, const MainForm& form,
                                       const ReportOrigin& origin, const std::string& pdfPath)>;

// What the program draws with Qt: --charts and --report.
struct QtWriters {
    ChartsWriter charts;
    ReportWriter report;
};

int RunAnalyze(const AnalyzeOptions& o, const QtWriters& writers);
int RunScore(const ScoreOptions& o);
int RunSimulate(const SimulateOptions& o);
int RunImport(const ImportOptions& o);
int RunForecast(const ForecastOptions& o);

} // namespace tovimo::cli
