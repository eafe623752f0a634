#include "core/results/results_table.h"

#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <algorithm>
#include <cmath>

namespace tovimo {

std::string WholeNumber(double v, char sep) {
    if (!std::isfinite(v)) return Format("%.0f", {v}, sep);
    return std::to_string(Round(v));
}

namespace {

const char* const kLabels[kResultRows] = {"Результаты для методов:",
                                          "Распр. Вейбулла(A,B как в Excel)",
                                          "Масштабный коэффициент",
                                          "50% перцентиль (Nотк./Nпарк)",
                                          "90%,80% перцентили",
                                          "Расчетных/фактических отказов",
                                          "Доверит.95% инт-л/СКО модели",
                                          "Средний фактич. срок гарантии",
                                          "СКО фактич-го срока гарантии",
                                          "Критерий Колмогорова",
                                          "",
                                          "Отказов/изд. за 1000/2000/4000 ч"};

constexpr int kModelWidth = 190;
constexpr int kDataWidth = 185;
constexpr int kPadLimit = 72;
constexpr int kAutoSizeMargin = 15;

class TableFill {
  public:
    TableFill(AnalysisState& st, char sep, const TextWidthFn& width, bool padded)
        : st_(st), sep_(sep), width_(width), padded_(padded) {
        widths_.fill(170);
    }

    // One padded value into row i of column Num_Col.
    void CntrText(int i, const std::string& text) {
        std::string s = " " + text;
        if (padded_) {
            const int limit = widths_[Col()] - kPadLimit;
            while (width_(s) < limit)
                s += ' ';
        } else {
            s = text;
        }
        table_.cells[i][Col()] = s;
    }

    void BlockOut(const Mod_Weib& Model, const std::string& st, int Wi) {
        if (!Model.Executed) return;
        widths_[Col()] = Wi;
        table_.cells[0][Col()] = st;
        Mod_Weib copy = Model; // the Kolmogorov figure is for display only
        const double kolm =
            Kolmogor(st_, copy.K_powtor, copy.A, copy.B, copy.Sred, copy.SKO, copy.KolmCrt, st_.KolmStr);
        const double A = Model.A, B = Model.B, K = Model.K_powtor;
        CntrText(1, Format("%6.3f / %7.2f", {A, B}, sep_));
        CntrText(2, Format("%6.4f", {K}, sep_));
        CntrText(3, WholeNumber(weibinv(A, B, 0.5 / K), sep_) + " ч.");
        CntrText(4, Format("%4.0f / %4.0f ч.", {weibinv(A, B, 0.1 / K), weibinv(A, B, 0.2 / K)}, sep_));
        CntrText(5, WholeNumber(Model.Kol_Nakopl, sep_) + " /" + std::to_string(st_.KolOtk));
        CntrText(6, Format("%5.2f / %5.2f", {1.96 * Model.SKO_out, Model.SKO_out}, sep_));
        CntrText(7, Format("%4.1f", {Model.Sred}, sep_) + " ч");
        CntrText(8, Format("%4.1f", {Model.SKO}, sep_) + " ч");
        CntrText(9, Format("%6.3f", {kolm}, sep_) + st_.KolmStr);
        CntrText(10, Format("%5.1f/ %5.1f ч", {1000 / Model.LamStart, 1000 / Model.Lam1000}, sep_));
        CntrText(11, Format("%4.2f /%4.2f /%4.2f ",
                            {K * weibCDF2(A, B, 0, 1000), K * weibCDF2(A, B, 0, 2000),
                             K * weibCDF2(A, B, 0, 4000)},
                            sep_));
        ++st_.Num_Col;
    }

    ResultTable Fill() {
        st_.Num_Col = 1;
        BlockOut(st_.MPirsN, "Пирсона/Ньютона", kModelWidth);
        BlockOut(st_.MPirsS, "Пирсона/спир.спуск", kModelWidth);
        BlockOut(st_.MSmirn, "Смирнова ", kModelWidth);
        BlockOut(st_.MGenet, "Генетическая", kModelWidth);
        BlockOut(st_.MPravd, "Макс. правдоподобия", kModelWidth);
        widths_[Col()] = kDataWidth;

        st_.tfin = 1000;
        if (!st_.MasProbl.empty() && 1000 > st_.MasProbl.back().time) st_.tfin = st_.MasProbl.back().time;
        for (int r = 0; r < kResultRows; ++r)
            table_.cells[r][0] = kLabels[r];
        table_.cells[10][0] =
            "MTBF при " + FloatToStr(st_.T_Prirab, sep_) + " и " + FloatToStr(st_.tfin, sep_) + " ч";
        table_.cells[0][Col()] = "Данные эксплуатации";

        CntrText(3, WholeNumber(st_.T50expl, sep_) + "(набл.)/" + WholeNumber(st_.t50zen, sep_) + "(ценз.)");
        CntrText(4,
                 "набл. " + WholeNumber(st_.TL90expl, sep_) + "/" + WholeNumber(st_.TL80expl, sep_) + " ч");
        CntrText(5, std::to_string(st_.Kol_izw) + " /" + std::to_string(st_.KolOtk));
        // no failure in the window, or one where every product has left warranty: no flow to show
        const bool flow = std::isfinite(st_.Pot08) && st_.Pot08 > 0;
        const FormatArg mtbf = flow ? FormatArg(1000 / st_.Pot08) : FormatArg(std::string("—"));
        CntrText(10, Format(flow ? "%4.0f ч для %3.0f -%4.0f ч." : "%4s ч для %3.0f -%4.0f ч.",
                            {mtbf, st_.T_Prirab, st_.tfin}, sep_));
        CntrText(11, Format("%4.2f /%4.0f ч.", {st_.Otk_Izd, st_.Sred}, sep_));

        // AutoSizeGridColumns: the widest cell of each column plus a margin
        for (int c = 0; c < kResultCols; ++c) {
            int w = 0;
            for (int r = 0; r < kResultRows; ++r)
                w = std::max(w, width_(table_.cells[r][c]));
            table_.widths[c] = w + kAutoSizeMargin;
        }
        table_.dataColumn = st_.Num_Col;
        return table_;
    }

  private:
    size_t Col() const { return static_cast<size_t>(std::clamp(st_.Num_Col, 0, kResultCols - 1)); }

    AnalysisState& st_;
    char sep_;
    const TextWidthFn& width_;
    bool padded_;
    std::array<int, kResultCols> widths_{};
    ResultTable table_;
};

} // namespace

ResultTable FillResultTable(AnalysisState& st, char decimalSeparator, const TextWidthFn& textWidth,
                            bool padded) {
    return TableFill(st, decimalSeparator, textWidth, padded).Fill();
}

} // namespace tovimo
