#include "genetic_cli.h"

namespace tovimo::cli {

// Placeholder until the genetic algorithm lands: the run is refused.
int RunGeneticHeadless(AnalysisState&, MainForm&, const AnalyzeOptions&, std::vector<std::string>& messages) {
    messages.push_back("Генетический алгоритм в этой сборке недоступен");
    return kUsage;
}

}  // namespace tovimo::cli
