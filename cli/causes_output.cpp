#include "cli/causes_output.h"

#include "cli/json_output.h"
#include "core/fit/causes_table.h"

namespace tovimo::cli {

namespace {

using nlohmann::json;

json FigureJson(const ForecastFigure& f) {
    return {{"time", Num(f.time)},
            {"expected", Num(f.expected)},
            {"confidence", IntervalJson(f.confidence)},
            {"prediction", IntervalJson(f.prediction)}};
}

// Columns separated by " | ", as the other text tables of the program.
template <size_t N>
void PrintTable(std::ostream& out, const char* const (&header)[N],
                const std::vector<std::array<std::string, N>>& rows) {
    auto line = [&](auto&& cell) {
        for (size_t i = 0; i < N; ++i)
            out << (i ? " | " : "") << cell(i);
        out << "\n";
    };
    line([&](size_t i) { return std::string(header[i]); });
    for (const auto& row : rows)
        line([&](size_t i) { return row[i]; });
}

} // namespace

json CausesJson(const CausesResult& r) {
    json j;
    if (!r.refusal.empty()) j["refusal"] = r.refusal;
    j["level"] = Num(r.level);
    j["fleet"] = Num(r.fleet);
    j["window_end"] = Num(r.windowEnd);
    json causes = json::array();
    const LikFigure figs[] = {LikFigure::A,     LikFigure::B,     LikFigure::K,
                              LikFigure::F1000, LikFigure::F2000, LikFigure::F4000};
    for (const CauseFit& c : r.causes) {
        json x = {{"name", c.name}, {"n", c.n}, {"fitted", c.fitted}};
        json estimates = json::object(), intervals = json::object();
        for (LikFigure f : figs) {
            const auto i = static_cast<size_t>(f);
            estimates[kLikFigureKeys[i]] = c.fitted ? Num(c.fit.estimates[i]) : json(nullptr);
            intervals[kLikFigureKeys[i]] = c.fitted ? IntervalJson(c.fit.intervals[i]) : json(nullptr);
        }
        x["estimates"] = estimates;
        x["intervals"] = intervals;
        x["loglik"] = c.fitted ? Num(c.fit.loglik) : json(nullptr);
        x["flat_parameter"] =
            c.fitted && !c.fit.flatParameter.empty() ? json(c.fit.flatParameter) : json(nullptr);
        x["at_mean"] = c.fitted ? Num(c.atMean) : json(nullptr);
        x["share_4000"] = c.fitted ? Num(c.share4000) : json(nullptr);
        x["note"] = c.note;
        if (!c.refusal.empty()) x["refusal"] = c.refusal;
        x["assumed_shape"] = AssumedShapeJson(c.assumedShape);
        causes.push_back(x);
    }
    j["causes"] = causes;
    const ShapeTest& t = r.shapeTest;
    j["shape_test"] = {{"done", t.done},
                       {"stat", t.done ? Num(t.stat) : json(nullptr)},
                       {"df", t.done ? json(t.causes - 1) : json(nullptr)},
                       {"p", t.done ? Num(t.p) : json(nullptr)},
                       {"common_A", t.done ? Num(t.commonA) : json(nullptr)}};
    return j;
}

json ForecastJson(const ForecastResult& r) {
    json j;
    if (!r.done) {
        j["refusal"] = r.refusal;
        return j;
    }
    j["fleet"] = Num(r.fleet);
    j["law"] = r.law == WarrantyLawKind::Empirical ? "empirical" : "normal";
    j["mean"] = Num(r.mean);
    j["sd"] = Num(r.sd);
    j["horizon"] = Num(r.horizon);
    j["law_end"] = Num(r.lawEnd);
    j["level"] = Num(r.level);
    j["k_mode"] = r.kMode == LikelihoodKMode::Once ? "once" : "free";
    json rows = json::array();
    for (const ForecastFigure& f : r.rows)
        rows.push_back(FigureJson(f));
    j["rows"] = rows;
    j["total"] = FigureJson(r.total);
    if (r.extended) {
        j["extend"] = Num(r.extend);
        j["extended_total"] = FigureJson(r.extendedTotal);
        j["extra"] = FigureJson(r.extra);
    }
    return j;
}

void PrintCauses(std::ostream& out, const CausesResult& r, char sep) {
    if (!r.done) {
        out << "Причины отказов: " << r.refusal << "\n";
        return;
    }
    out << "Причины отказов (модель 3 по каждой причине, K подбирается):\n";
    PrintTable(out, kCausesHeader, CausesRows(r, sep));
    out << ShapeTestLine(r, sep) << "\n";
}

void PrintForecast(std::ostream& out, const ForecastResult& r, char sep) {
    out << "Прогноз: " << ForecastSummaryLine(r, sep) << "\n";
    if (!r.done) return;
    PrintTable(out, kForecastHeader, ForecastRows(r, sep));
}

} // namespace tovimo::cli
