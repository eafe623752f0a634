#include "core/results/results_table.h"

#include "core/stats/criteria.h"
#include "core/stats/distributions.h"
#include "core/text/number_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <variant>
#include <vector>

namespace tovimo {

double TableFigure(LikFigure fig, double A, double B, double K) {
    switch (fig) {
    case LikFigure::A:
        return A;
    case LikFigure::B:
        return B;
    case LikFigure::K:
        return K;
    case LikFigure::T10:
        return weibinv(A, B, 0.1 / K);
    case LikFigure::T20:
        return weibinv(A, B, 0.2 / K);
    case LikFigure::T50:
        return weibinv(A, B, 0.5 / K);
    case LikFigure::F1000:
        return K * weibCDF2(A, B, 0, 1000);
    case LikFigure::F2000:
        return K * weibCDF2(A, B, 0, 2000);
    case LikFigure::F4000:
        return K * weibCDF2(A, B, 0, 4000);
    }
    return 0;
}

std::string WholeNumber(double v, char sep) {
    if (!std::isfinite(v)) return NumberText(v, 'f', 0, sep);
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

// The rows of the figures table, one figure each.
enum FigureRow {
    kHead,
    kShape,
    kScale,
    kFactor,
    kT50,
    kT50Observed,
    kT50Censored,
    kT90,
    kT80,
    kExpected,
    kRecords,
    kDeclared,
    kInterval,
    kModelSko,
    kMean,
    kDeviation,
    kKolmogorov,
    kKolmogorovLimit,
    kMtbfStart,
    kMtbfEnd,
    kMtbfData,
    kPerProduct1000,
    kPerProduct2000,
    kPerProduct4000,
    kPerProductData,
    kFigureRows
};

// Row names with their units; the MTBF rows are named by the fill.
const char* const kFigureLabels[kFigureRows] = {"Результаты для методов:",
                                                "Параметр формы A",
                                                "Параметр масштаба B, ч",
                                                "Масштабный коэффициент K",
                                                "50% перцентиль (Nотк./Nпарк), ч",
                                                "50% перцентиль набл., ч",
                                                "50% перцентиль ценз., ч",
                                                "90% перцентиль, ч",
                                                "80% перцентиль, ч",
                                                "Расчетных отказов",
                                                "Записей об отказах",
                                                "Фактических отказов",
                                                "Доверит. 95% интервал",
                                                "СКО модели",
                                                "Средний фактич. срок гарантии, ч",
                                                "СКО фактич-го срока гарантии, ч",
                                                "Критерий Колмогорова",
                                                "Критическое значение Колмогорова (5%)",
                                                "",
                                                "",
                                                "",
                                                "Отказов/изд. за 1000 ч",
                                                "Отказов/изд. за 2000 ч",
                                                "Отказов/изд. за 4000 ч",
                                                "Отказов/изд. за средний срок гарантии"};

// Beyond seven integer digits a figure runs out of its cell, and no reliability
// figure of the fleet is that large.
constexpr double kLargestShown = 1e7;
const char* const kDash = "—";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMtbfHorizons = 1000;

bool Showable(double v) {
    return std::isfinite(v) && std::fabs(v) < kLargestShown;
}

constexpr int kModelWidth = 190;
constexpr int kDataWidth = 185;
constexpr int kPadLimit = 72;
constexpr int kAutoSizeMargin = 15;

class TableFill {
  public:
    TableFill(AnalysisState& st, char sep, const TextWidthFn& width, bool padded)
        : st_(st), sep_(sep), width_(width), padded_(padded) {
        widths_.fill(170);
        table_.figures.resize(kFigureRows);
    }

    // Every text, the window's and the one read by programs, shows a dash for
    // a number the cell cannot show.
    // (the conversion keeps its field and drops its precision).
    template <class... T>
    std::string Fmt(fmt::format_string<FormatArgOfT<T>...> format, const T&... args) const {
        return fmt::vformat(format, fmt::make_format_args(Shown(args)...));
    }
    ShownNumber Shown(double v) const { return {v, sep_, !Showable(v)}; }
    std::string Whole(double v) const { return Showable(v) ? WholeNumber(v, sep_) : kDash; }

    // One figure of the figures table into column Num_Col, in the format the
    // window gives it.
    void Figure(FigureRow row, fmt::format_string<ShownNumber> format, double v) {
        table_.figures[row][Col()] = Fmt(format, v);
    }
    void WholeFigure(FigureRow row, double v) { table_.figures[row][Col()] = Whole(v); }

    // A mean time between failures beyond a thousand times the longest time
    // the data reach (the last failure, or the end of nearly every warranty)
    // is an extrapolation without meaning.
    double Mtbf(double lambda) const {
        const double v = 1000 / lambda;
        double horizon = st_.MasProbl.empty() ? 0 : st_.MasProbl.back().time;
        const double warrantyEnd = st_.Sred + 3 * st_.SKO;
        if (std::isfinite(warrantyEnd)) horizon = std::max(horizon, warrantyEnd);
        return horizon > 0 && v > kMtbfHorizons * horizon ? kNaN : v;
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
        // with K of 0 (a formula's value for one failure) or a parameter that is
        // not a number the model predicts nothing: every figure of it is a dash
        const bool defined =
            std::isfinite(K) && K > 0 && std::isfinite(A) && A > 0 && std::isfinite(B) && B > 0;
        auto figure = [&](LikFigure fig) { return defined ? TableFigure(fig, A, B, K) : kNaN; };
        // model 3's parameter in a flat tail stands where the search stopped
        const bool flat = &Model == &st_.MPravd && st_.Pravd.atBound;
        auto param = [&](const char* name, double v) {
            return !defined || (flat && st_.Pravd.flatParameter == name) ? kNaN : v;
        };
        const double shownK = flat && st_.Pravd.flatParameter == "K" ? kNaN : K;
        CntrText(1, Fmt("{:6.3f} / {:7.2f}", param("A", A), param("B", B)));
        CntrText(2, Fmt("{:6.4f}", shownK));
        CntrText(3, Whole(figure(LikFigure::T50)) + " ч.");
        CntrText(4, Fmt("{:4.0f} / {:4.0f} ч.", figure(LikFigure::T10), figure(LikFigure::T20)));
        CntrText(5, Whole(Model.Kol_Nakopl) + " /" + std::to_string(st_.KolOtk));
        CntrText(6, Fmt("{:5.2f} / {:5.2f}", 1.96 * Model.SKO_out, Model.SKO_out));
        CntrText(7, Fmt("{:4.1f}", Model.Sred) + " ч");
        CntrText(8, Fmt("{:4.1f}", Model.SKO) + " ч");
        CntrText(9, Fmt("{:6.3f}", kolm) + st_.KolmStr);
        CntrText(10, Fmt("{:5.1f}/ {:5.1f} ч", defined ? Mtbf(Model.LamStart) : kNaN,
                         defined ? Mtbf(Model.Lam1000) : kNaN));
        CntrText(11, Fmt("{:4.2f} /{:4.2f} /{:4.2f} ", figure(LikFigure::F1000), figure(LikFigure::F2000),
                         figure(LikFigure::F4000)));

        table_.figures[kHead][Col()] = st;
        Figure(kShape, "{:.3f}", param("A", A));
        Figure(kScale, "{:.2f}", param("B", B));
        Figure(kFactor, "{:.4f}", shownK);
        WholeFigure(kT50, figure(LikFigure::T50));
        Figure(kT90, "{:.0f}", figure(LikFigure::T10));
        Figure(kT80, "{:.0f}", figure(LikFigure::T20));
        WholeFigure(kExpected, Model.Kol_Nakopl);
        Figure(kInterval, "{:.2f}", 1.96 * Model.SKO_out);
        Figure(kModelSko, "{:.2f}", Model.SKO_out);
        Figure(kMean, "{:.1f}", Model.Sred);
        Figure(kDeviation, "{:.1f}", Model.SKO);
        Figure(kKolmogorov, "{:.3f}", kolm);
        Figure(kKolmogorovLimit, "{:.4f}", kKolmogorovCritical);
        Figure(kMtbfStart, "{:.1f}", defined ? Mtbf(Model.LamStart) : kNaN);
        Figure(kMtbfEnd, "{:.1f}", defined ? Mtbf(Model.Lam1000) : kNaN);
        Figure(kPerProduct1000, "{:.2f}", figure(LikFigure::F1000));
        Figure(kPerProduct2000, "{:.2f}", figure(LikFigure::F2000));
        Figure(kPerProduct4000, "{:.2f}", figure(LikFigure::F4000));
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

        CntrText(3, Whole(st_.T50expl) + "(набл.)/" + Whole(st_.t50zen) + "(ценз.)");
        CntrText(4, "набл. " + Whole(st_.TL90expl) + "/" + Whole(st_.TL80expl) + " ч");
        CntrText(5, std::to_string(st_.Kol_izw) + " /" + std::to_string(st_.KolOtk));
        // no failure in the window, or one where every product has left warranty: no flow to show
        const bool flow = std::isfinite(st_.Pot08) && st_.Pot08 > 0;
        CntrText(10, Fmt("{:4.0f} ч для {:3.0f} -{:4.0f} ч.", flow ? Mtbf(st_.Pot08) : kNaN, st_.T_Prirab,
                         st_.tfin));
        CntrText(11, Fmt("{:4.2f} /{:4.0f} ч.", st_.Otk_Izd, st_.Sred));

        for (int r = 0; r < kFigureRows; ++r)
            table_.figures[r][0] = kFigureLabels[r];
        const std::string start = FloatToStr(st_.T_Prirab, sep_), end = FloatToStr(st_.tfin, sep_);
        table_.figures[kMtbfStart][0] = "MTBF при " + start + " ч, ч";
        table_.figures[kMtbfEnd][0] = "MTBF при " + end + " ч, ч";
        table_.figures[kMtbfData][0] = "MTBF за " + start + " - " + end + " ч, ч";
        table_.figures[kHead][Col()] = "Данные эксплуатации";
        WholeFigure(kT50Observed, st_.T50expl);
        WholeFigure(kT50Censored, st_.t50zen);
        WholeFigure(kT90, st_.TL90expl);
        WholeFigure(kT80, st_.TL80expl);
        WholeFigure(kRecords, st_.Kol_izw);
        WholeFigure(kDeclared, st_.KolOtk);
        Figure(kMean, "{:.1f}", st_.Sred);
        Figure(kDeviation, "{:.1f}", st_.SKO);
        Figure(kMtbfData, "{:.0f}", flow ? Mtbf(st_.Pot08) : kNaN);
        Figure(kPerProductData, "{:.2f}", st_.Otk_Izd);

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
