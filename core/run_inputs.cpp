#include "run_inputs.h"

#include "number_format.h"

namespace tovimo {

bool GettingData(AnalysisState& st, const MainForm& form, const MessageFn& message) {
    st.Path = form.FilePath;
    if (st.Path.empty()) {
        message(kMsgNoPath);
        return false;
    }
    return st.uk;
}

void ReadRunEdits(AnalysisState& st, const MainForm& form) {
    const char sep = form.decimalSeparator;
    st.Sred = StrToFloat(form.meSred, sep);
    st.SKO = StrToFloat(form.meSKO, sep);
    st.Tzenz = StrToFloat(form.LabeledEdit2, sep);
    st.T_Prirab = StrToFloat(form.LabeledEdit3, sep);
}

void ReadRunFlags(AnalysisState& st, const MainForm& form) {
    st.SKO_Opt = form.SKO_Flag;
    st.Sred_Opt = form.Sred_flag;
}

}  // namespace tovimo
