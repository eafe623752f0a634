#include "core/data/warranty_file.h"

#include "core/stats/model_slot.h"
#include "core/text/number_format.h"
#include "core/text/text_codec.h"
#include "core/text/text_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tovimo {

std::string WarrantyFileCaption(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])))
        return std::string(1, path[0]) + ":\\.." + name;
    return "/.." + name;
}

bool LoadWarrantyFile(AnalysisState& st, MainForm& form, const std::string& path, const MessageFn& message) {
    form.Edit4 = WarrantyFileCaption(path);
    auto bytes = ReadFileBytes(path);
    if (!bytes) {
        st.uk = false;
        message(kMsgFileMissing);
        return false;
    }
    return LoadWarrantyText(st, form, *bytes, message);
}

bool LoadWarrantyText(AnalysisState& st, MainForm& form, std::string_view bytes, const MessageFn& message) {
    const char sep = form.decimalSeparator;
    TextReader r(SplitLines(DecodeFileText(bytes)));
    const std::string comment = r.readLine();

    std::vector<double> times;
    size_t badLine = 0;
    std::string badToken;
    while (!r.onlyBlanksLeft()) {
        auto tok = r.readToken();
        auto v = ParseFloat(tok.text, '.');
        if (!v) {
            badLine = tok.line;
            badToken = tok.text;
            break;
        }
        times.push_back(*v);
    }

    if (badLine != 0) {
        // The models were computed with the previous law and are no longer shown;
        // the law itself stays as it was.
        ForgetModels(st);
        st.uk = true;
        st.Comment = comment;
        form.Label15 = comment;
        times.push_back(0);
        st.MasTGarant = times;
        message("Ошибка чтения файла времен гарантии: в строке " + std::to_string(badLine) + " «" + badToken +
                "» не является числом");
        return st.uk;
    }
    if (times.size() < 2) {
        message("В файле времен гарантии найдено значений: " + std::to_string(times.size()) +
                ". Для расчета среднего и СКО нужно не менее двух. Закон гарантии не изменен");
        return st.uk;
    }

    // The sums run on the times divided by a power of two above the largest
    // one: exact scaling, so the results are the plain ones, but times near
    // the largest double no longer overflow into an infinite law.
    double largest = 0;
    for (double t : times)
        largest = std::max(largest, std::fabs(t));
    int exponent = 0;
    std::frexp(largest, &exponent);
    const double n = static_cast<double>(times.size());
    double sum = 0;
    for (double t : times)
        sum += std::ldexp(t, -exponent);
    const double scaledMean = sum / n;
    double sq = 0;
    for (double t : times)
        sq += (std::ldexp(t, -exponent) - scaledMean) * (std::ldexp(t, -exponent) - scaledMean);
    const double mean = std::ldexp(scaledMean, exponent);
    const double sd = std::ldexp(std::sqrt(sq / (n - 1)), exponent);
    if (!std::isfinite(mean) || !std::isfinite(sd)) {
        message("Среднее или СКО времен гарантии не представимо числом. Закон гарантии не изменен");
        return st.uk;
    }

    ForgetModels(st);
    st.uk = true;
    st.Comment = comment;
    form.Label15 = comment;
    st.MasTGarant = times;
    form.MaskEdit1 = std::to_string(times.size());
    form.PravdLaw = 1; // the likelihood model then takes the law from these times
    st.Sred = mean;
    st.SKO = sd;

    form.meSred = FloatToStrFixed(st.Sred, 3, 1, sep);
    form.meSKO = FloatToStrFixed(st.SKO, 3, 1, sep);
    form.MaskEditSrednee = FloatToStrFixed(st.Sred, 6, 3, sep);
    form.MaskEditSKO = FloatToStrFixed(st.SKO, 6, 3, sep);
    return st.uk;
}

} // namespace tovimo
