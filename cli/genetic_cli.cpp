#include "cli/genetic_cli.h"

#include "core/genetic/genetic_form_host.h"
#include "core/genetic/genetic_loop.h"
#include "core/genetic/genetic_run.h"
#include "core/text/number_format.h"

#include <algorithm>
#include <exception>

namespace tovimo::cli {

int RunGeneticHeadless(AnalysisState& st, MainForm& form, const RunInputs& in, const AnalyzeOptions& o,
                       std::vector<std::string>& messages) {
    const auto message = [&](const std::string& m) { messages.push_back(m); };
    try {
        if (!PrepareGeneticRun(st, in, message)) return in.path.empty() || !st.uk ? kFileError : kUsage;
    } catch (const ConvertError& e) {
        messages.push_back(e.what());
        return kUsage;
    }
    GaRunOptions options;
    options.decimalSeparator = in.decimalSeparator;
    options.seed = o.seed;
    if (o.threads && *o.threads > 0)
        options.threads = static_cast<unsigned>(std::min<long long>(*o.threads, 256));
    InputsGaHost host(form, in.genetic);
    GaFlags flags;
    try {
        if (const auto failure = RunGeneticAlgorithm(st, host, flags, options)) {
            messages.push_back(*failure);
            return kRunFailed;
        }
    } catch (const std::exception& e) {
        messages.push_back(e.what());
        return kRunFailed;
    }
    return kDone;
}

} // namespace tovimo::cli
