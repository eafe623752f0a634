#include "core/state/run_inputs.h"

#include "core/text/number_format.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

bool GettingData(AnalysisState& st, const MainForm& form, const MessageFn& message) {
    st.Path = form.FilePath;
    if (st.Path.empty()) {
        message(kMsgNoPath);
        return false;
    }
    return st.uk;
}

bool SeriesUsable(const AnalysisState& st, const MessageFn& message) {
    if (st.MasProbl.empty()) {
        message(kMsgNoRecords);
        return false;
    }
    if (std::none_of(st.MasProbl.begin(), st.MasProbl.end(), [](const Problems& p) { return p.time > 0; })) {
        message(kMsgNoOperatingTime);
        return false;
    }
    return true;
}

void ReadRunEdits(AnalysisState& st, const MainForm& form) {
    const char sep = form.decimalSeparator;
    st.Sred = StrToFloat(form.meSred, sep);
    st.SKO = StrToFloat(form.meSKO, sep);
    st.Tzenz = StrToFloat(form.LabeledEdit2, sep);
    st.T_Prirab = StrToFloat(form.LabeledEdit3, sep);
}

bool RunStateUsable(const AnalysisState& st, const MessageFn& message) {
    const char* problem = nullptr;
    if (!(st.Sred > 0) || !std::isfinite(st.Sred))
        problem = kMsgSredNotPositive;
    else if (!(st.SKO > 0) || !std::isfinite(st.SKO))
        problem = kMsgSkoNotPositive;
    else if (!(st.Tzenz > 0))
        problem = kMsgTfinNotPositive;
    else if (!(st.T_Prirab >= 0) || !std::isfinite(st.T_Prirab))
        problem = kMsgRunInNegative;
    else if (!(st.Izd_Prived > 0) || !std::isfinite(st.Izd_Prived))
        problem = kMsgFleetNotPositive;
    if (!problem) return true;
    message(problem);
    return false;
}

void ReadRunFlags(AnalysisState& st, const MainForm& form) {
    st.SKO_Opt = form.SKO_Flag;
    st.Sred_Opt = form.Sred_flag;
}

std::string FactorMessage(const char* fieldCaption) {
    return std::string("Поле \"") + fieldCaption + "\" должно содержать положительное число";
}

std::optional<RunSettings> ReadRunSettings(const MainForm& form, const MessageFn& message) {
    RunSettings s{.decimalSeparator = form.decimalSeparator,
                  .criterion = form.RadioGroup1,
                  .spiral = form.SpirSpusk,
                  .newton = form.BoxNewton,
                  .smirnov = form.BoxSmirnow,
                  .likelihood = form.BoxPravd};
    struct Factor {
        bool ticked;
        const std::string& text;
        const char* caption;
        double& value;
    };
    const Factor factors[] = {{s.spiral, form.Edit1, "Коэф-т уменьшения шага модели 1.1", s.factorSpiral},
                              {s.newton, form.Edit6, "Коэф-т уменьшения шага модели 1.2", s.factorNewton},
                              {s.smirnov, form.Edit5, "Коэф-т уменьшения шага модели 2", s.factorSmirnov}};
    for (const Factor& f : factors) {
        if (!f.ticked) continue;
        const auto v = ParseFloat(f.text, form.decimalSeparator);
        if (!v || !(*v > 0)) {
            message(FactorMessage(f.caption));
            return std::nullopt;
        }
        f.value = *v;
    }
    return s;
}

} // namespace tovimo
