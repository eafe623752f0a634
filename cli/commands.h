// The subcommands of tovimo-cli and their options.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tovimo {
struct AnalysisState;
}

namespace tovimo::cli {

enum ExitCode { kDone = 0, kUsage = 2, kFileError = 3, kRunFailed = 4 };

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
    // model 3
    std::string mleK = "once";
    std::optional<double> level;
    std::optional<std::string> law;
    std::optional<int> bootstrap;
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

// Writes the chart images of an analysis into a folder and answers the exit status.
using ChartsWriter =
    std::function<int(const AnalysisState& st, char decimalSeparator, const std::string& dir)>;

// `writeCharts` serves --charts.
int RunAnalyze(const AnalyzeOptions& o, const ChartsWriter& writeCharts);
int RunScore(const ScoreOptions& o);
int RunSimulate(const SimulateOptions& o);

} // namespace tovimo::cli
