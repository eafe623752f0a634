// tovimo-cli forecast: how many failures a fleet will report under warranty,
// by model 3 fitted on the data file (or by one cause's model).
#include "cli/causes_output.h"
#include "cli/commands.h"
#include "cli/data_input.h"
#include "cli/output_status.h"
#include "core/data/warranty_file.h"
#include "core/fit/causes_table.h"
#include "core/fit/warranty_forecast.h"
#include "core/results/csv_export.h"
#include "core/state/run_inputs.h"

#include <iostream>

namespace tovimo::cli {

namespace {

// The cause index of a name in the ranked table, "Другие" included; 0 when none.
int CauseIndex(const AnalysisState& st, const std::string& name) {
    for (size_t k = 1; k < st.Vidy_otkazov.size(); ++k)
        if (st.Vidy_otkazov[k].Nazv_Prich == name) return static_cast<int>(k);
    return 0;
}

} // namespace

int RunForecast(const ForecastOptions& o) {
    AnalysisState st;
    MainForm form;
    std::vector<std::string> messages;
    if (!LoadCommandData(st, form, o.dataFile, messages)) return kFileError;
    ReadRunEdits(st, form);
    const char sep = form.decimalSeparator;
    if ((o.mean.has_value()) != (o.sd.has_value())) {
        std::cerr << "Закон гарантии нового парка задаётся двумя числами: --mean и --sd\n";
        return kUsage;
    }
    ForecastSettings f;
    if (o.fleet) f.fleet = *o.fleet;
    if (o.mean) {
        f.mean = *o.mean;
        f.sd = *o.sd;
    }
    if (o.unitsFile) {
        AnalysisState units;
        MainForm unitsForm;
        std::vector<std::string> unitMessages;
        if (!LoadWarrantyOption(units, unitsForm, *o.unitsFile, unitMessages)) return kFileError;
        f.law = WarrantyLawKind::Empirical;
        f.exitTimes = units.MasTGarant;
    }
    if (o.horizon) f.horizon = *o.horizon;
    if (o.extend) f.extend = *o.extend;
    f.step = o.step;
    f.level = o.level;
    LikelihoodSettings s;
    s.kMode = o.mleK == "free" ? LikelihoodKMode::Free : LikelihoodKMode::Once;
    s.level = o.level;
    int cause = 0;
    if (o.cause) {
        cause = CauseIndex(st, *o.cause);
        if (cause == 0) {
            std::cerr << "Причины «" << *o.cause << "» нет в таблице причин файла\n";
            return kUsage;
        }
    }
    ForecastResult r;
    try {
        r = ForecastFromState(st, s, cause, f, sep);
    } catch (const std::exception& e) {
        r.done = false;
        r.refusal = std::string("Прогноз не рассчитан: ") + e.what();
    }
    if (o.json) {
        nlohmann::json j = ForecastJson(r);
        if (o.cause) j["cause"] = *o.cause;
        std::cout << j.dump(1) << "\n";
    } else {
        if (o.cause) std::cout << "Причина: " << *o.cause << "\n";
        PrintForecast(std::cout, r, sep);
    }
    if (!r.done) {
        if (!o.json) std::cerr << r.refusal << "\n";
        return kRunFailed;
    }
    if (!o.csvDir) return kDone;
    return WriteStatus([&] {
        for (const std::string& file : WriteCsvFiles({{"forecast.csv", ForecastCsv(r, sep)}}, *o.csvDir))
            std::cerr << file << "\n";
    });
}

} // namespace tovimo::cli
