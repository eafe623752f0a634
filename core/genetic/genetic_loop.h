// The run of the genetic algorithm: set-up, the generations with their
// probability schedules, the copying back of the best, best tracking and
// progress, and the end of the run that publishes the genetic model MGenet.
// Everything read from or written to a control of the main window passes
// through GaHost, which the window, the command line and the tests implement.
#pragma once

#include "core/state/analysis_state.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tovimo {

// Requests from the user-interface thread, read by the run between generations.
struct GaFlags {
    std::atomic<bool> Stop_Gen{false};  // "Стоп"
    std::atomic<bool> bCopyBest{false}; // "Скопировать лучших"
};

// The controls the run reads and writes. Reads return nullopt when the text
// is not a whole number.
class GaHost {
  public:
    virtual ~GaHost() = default;
    virtual std::optional<int> populationSize() = 0;  // "Размер популяции", read at set-up
    virtual std::optional<int> generations() = 0;     // "Число поколений", read at set-up
    virtual std::optional<long long> copyCount() = 0; // "шт.", read at each copying of the best
    virtual std::pair<int, int> trackBars() = 0;      // crossover and mutation bars, once per generation
    virtual void setTrackBar(int which, int pos) = 0; // which: 1 crossover, 2 mutation
    virtual void setGenerationsText(std::string text) = 0;
    virtual void setProgress(int position) = 0; // may exceed 100 (one generation); the bar shows it full
    virtual void memoLine(std::string line) = 0;
    // Synchronous hand-over after the initial population: appends
    // GenesCreatedLine(genes) to the progress memo.
    virtual void updMain(int genes) = 0;
    // Synchronous hand-over at the very end: the results refresh.
    virtual void diaGen() = 0;
};

// The line of the hand-over after the initial population.
std::string GenesCreatedLine(int genes);

inline constexpr const char* kMsgCopyBest = "Копирование лучших";
inline constexpr const char* kMsgGaException = "Исключительная ситуация!";
inline constexpr const char* kMsgGaNoSolution =
    "Решение не найдено: ни в одном поколении целевая функция не дала пригодного значения, "
    "модель генетического алгоритма не изменена";

struct GaRunOptions {
    char decimalSeparator = '.';
    std::optional<std::uint64_t> seed; // from the clock when not given
    unsigned threads = 0;              // evaluation threads; 0: one per hardware thread
};

enum class GaRunEnd {
    NotStarted, // population size or generation count unusable: nothing ran, nothing changed
    Published,  // MGenet holds the best individual found
    NoSolution, // no objective value below 1e306 was ever found: MGenet unchanged
};

// The probability of one generation for a bar (crossover or mutation): the
// bar's position / 101 when the user moved it more than one hundredth away
// from `current`, otherwise the scheduled value, which the bar then shows.
struct ScheduleStep {
    double probability = 0;
    std::optional<int> barPosition; // set when the schedule drives the value
};
ScheduleStep NextProbability(double current, int barPosition, double scheduled);
double CrossoverScheduled(int g, int N); // |sin(1 - 8g/N)| * 0.275
double MutationScheduled(int g, int N);  // |sin(10g/N - 0.025)| * 0.225
// Whether generation g of N asks for the copying of the best (at 0.2, 0.6 and 0.8 of the run).
bool CopyTrigger(int g, int N);

// One run on the prepared state (iop, Precision, NormA and the histogram; see
// PrepareGeneticRun). Runs on the calling thread, with `options.threads`
// threads for the evaluations. An error inside a generation ends the loop and
// the best found so far is published; a failure while setting up (no memory
// for the population, no thread) leaves as an exception before any generation.
GaRunEnd RunGenerationLoop(AnalysisState& st, GaHost& host, GaFlags& flags, const GaRunOptions& options);

} // namespace tovimo
