#include "core/state/run_inputs.h"

#include "core/text/number_format.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tovimo {

EditNumber EditNumber::Read(std::string_view text, char sep) {
    if (const auto v = ParseFloat(text, sep)) return EditNumber(*v);
    EditNumber n;
    n.text_ = std::string(text);
    return n;
}

double EditNumber::value() const {
    if (text_) throw ConvertError(*text_);
    return value_;
}

LikelihoodSettings LikelihoodSettingsFromForm(const MainForm& form) {
    LikelihoodSettings s;
    s.kMode = form.PravdOnce ? LikelihoodKMode::Once : LikelihoodKMode::Free;
    s.level = kLikelihoodLevels[std::clamp(form.PravdLevel, 0, 2)];
    s.law = form.PravdLaw == 1 ? WarrantyLawKind::Empirical : WarrantyLawKind::Normal;
    s.bootstrap = std::max(0, form.PravdBootstrap);
    s.seed = form.PravdSeed;
    s.threads = form.PravdThreads;
    // an end that is not a positive number of hours is -1, and refused by the run
    s.window = 0;
    if (form.PravdWindow.find_first_not_of(" \t") != std::string::npos) {
        const auto w = ParseFloat(form.PravdWindow, form.decimalSeparator);
        s.window = w && *w > 0 && std::isfinite(*w) ? *w : -1;
    }
    return s;
}

RunInputs ReadRunInputs(const MainForm& form) {
    const char sep = form.decimalSeparator;
    const auto factor = [&](const std::string& text) {
        return ParseFloat(text, sep).value_or(std::numeric_limits<double>::quiet_NaN());
    };
    RunInputs in;
    in.decimalSeparator = sep;
    in.path = form.FilePath;
    in.mean = EditNumber::Read(form.meSred, sep);
    in.sd = EditNumber::Read(form.meSKO, sep);
    in.tFin = EditNumber::Read(form.LabeledEdit2, sep);
    in.runIn = EditNumber::Read(form.LabeledEdit3, sep);
    in.fitMean = form.Sred_flag;
    in.fitSd = form.SKO_Flag;
    in.criterion = form.RadioGroup1;
    in.spiral = form.SpirSpusk;
    in.newton = form.BoxNewton;
    in.smirnov = form.BoxSmirnow;
    in.likelihood = form.BoxPravd;
    in.factorSpiral = factor(form.Edit1);
    in.factorNewton = factor(form.Edit6);
    in.factorSmirnov = factor(form.Edit5);
    in.likelihoodSettings = LikelihoodSettingsFromForm(form);
    in.windowText = form.PravdWindow;
    in.genetic.precision = EditNumber::Read(form.Edit2, sep);
    in.genetic.population = ParseInt(form.Edit3);
    in.genetic.generations = ParseInt(form.NPokoleny);
    in.genetic.copyCount = ParseInt(form.LabeledEdit1);
    in.genetic.crossover = form.TrackBar1;
    in.genetic.mutation = form.TrackBar2;
    return in;
}

void SetObservationEnd(RunInputs& in, double hours) {
    in.likelihoodSettings.window = hours > 0 && std::isfinite(hours) ? hours : -1;
    in.windowText = FloatToStr(hours, in.decimalSeparator);
}

namespace {

// An edit keeps a text that reads as its value; otherwise it shows the value.
void showNumber(std::string& text, const EditNumber& n, char sep) {
    if (!n.readable()) return;
    const double v = n.value();
    const auto shown = ParseFloat(text, sep);
    if (!shown || !(*shown == v)) text = FloatToStr(v, sep);
}

void showWhole(std::string& text, const std::optional<long long>& n) {
    if (n && ParseInt(text) != n) text = std::to_string(*n);
}

} // namespace

void ShowRunInputs(const RunInputs& in, MainForm& form) {
    const char sep = form.decimalSeparator = in.decimalSeparator;
    form.FilePath = in.path;
    showNumber(form.meSred, in.mean, sep);
    showNumber(form.meSKO, in.sd, sep);
    showNumber(form.LabeledEdit2, in.tFin, sep);
    showNumber(form.LabeledEdit3, in.runIn, sep);
    form.Sred_flag = in.fitMean;
    form.SKO_Flag = in.fitSd;
    form.RadioGroup1 = in.criterion;
    form.SpirSpusk = in.spiral;
    form.BoxNewton = in.newton;
    form.BoxSmirnow = in.smirnov;
    form.BoxPravd = in.likelihood;
    showNumber(form.Edit1, in.factorSpiral, sep);
    showNumber(form.Edit6, in.factorNewton, sep);
    showNumber(form.Edit5, in.factorSmirnov, sep);

    const LikelihoodSettings& s = in.likelihoodSettings;
    form.PravdOnce = s.kMode == LikelihoodKMode::Once;
    for (int i = 0; i < 3; ++i)
        if (std::fabs(s.level - kLikelihoodLevels[i]) < 1e-9) form.PravdLevel = i;
    form.PravdLaw = s.law == WarrantyLawKind::Empirical ? 1 : 0;
    form.PravdBootstrap = s.bootstrap;
    form.PravdSeed = s.seed;
    form.PravdThreads = s.threads;
    if (s.window < 0)
        form.PravdWindow = in.windowText;
    else if (s.window > 0)
        showNumber(form.PravdWindow, s.window, sep);
    else if (form.PravdWindow.find_first_not_of(" \t") != std::string::npos)
        form.PravdWindow.clear();

    showNumber(form.Edit2, in.genetic.precision, sep);
    showWhole(form.Edit3, in.genetic.population);
    showWhole(form.NPokoleny, in.genetic.generations);
    showWhole(form.LabeledEdit1, in.genetic.copyCount);
    form.TrackBar1 = in.genetic.crossover;
    form.TrackBar2 = in.genetic.mutation;
}

bool GettingData(AnalysisState& st, const RunInputs& in, const MessageFn& message) {
    st.Path = in.path;
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

void ApplyRunEdits(AnalysisState& st, const RunInputs& in) {
    st.Sred = in.mean.value();
    st.SKO = in.sd.value();
    st.Tzenz = in.tFin.value();
    st.T_Prirab = in.runIn.value();
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

void ApplyRunFlags(AnalysisState& st, const RunInputs& in) {
    st.SKO_Opt = in.fitSd;
    st.Sred_Opt = in.fitMean;
}

void ReadRunEdits(AnalysisState& st, const MainForm& form) {
    ApplyRunEdits(st, ReadRunInputs(form));
}

void ReadRunFlags(AnalysisState& st, const MainForm& form) {
    ApplyRunFlags(st, ReadRunInputs(form));
}

std::string FactorMessage(const char* fieldCaption) {
    return std::string("Поле \"") + fieldCaption + "\" должно содержать положительное число";
}

bool FactorsUsable(const RunInputs& in, const MessageFn& message) {
    const struct {
        bool ticked;
        double value;
        const char* caption;
    } factors[] = {{in.spiral, in.factorSpiral, "Коэф-т уменьшения шага модели 1.1"},
                   {in.newton, in.factorNewton, "Коэф-т уменьшения шага модели 1.2"},
                   {in.smirnov, in.factorSmirnov, "Коэф-т уменьшения шага модели 2"}};
    for (const auto& f : factors)
        if (f.ticked && !(f.value > 0)) {
            message(FactorMessage(f.caption));
            return false;
        }
    return true;
}

} // namespace tovimo
