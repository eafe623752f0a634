#include "gui/report/report_document.h"

#include "core/fit/causes_table.h"
#include "core/fit/likelihood_fit.h"
#include "core/results/likelihood_bounds_table.h"
#include "core/results/model_warnings.h"
#include "core/results/results_refresh.h"
#include "core/text/number_format.h"
#include "gui/charts/chart_fonts.h"
#include "gui/charts/chart_separators.h"
#include "gui/charts/chart_sizes.h"
#include "gui/report/report_chart_object.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QLocale>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <array>
#include <cmath>

namespace tovimo {

namespace {

// A block that stays on the page of the block after it.
constexpr int kKeepWithNext = QTextFormat::UserProperty + 20;

QString esc(const std::string& s) {
    return QString::fromStdString(s).toHtmlEscaped();
}

// A unit stays on the line of its number: "5267 ч." never wraps "ч." alone.
QString keepUnits(QString cell) {
    static const QRegularExpression unit(QStringLiteral(" (?=ч\\.?(?:$|[ /]))"));
    return cell.replace(unit, QString(QChar(0x00A0)));
}

// A table of the report: a thin grid, full width, header cells bold.
class HtmlTable {
  public:
    // `keepFirstColumn`: the first column's texts are never broken into lines.
    // `points`: a smaller type, for tables with many columns (0: the body's).
    explicit HtmlTable(bool fullWidth = true, bool keepFirstColumn = false, int points = 0)
        : keepFirst_(keepFirstColumn) {
        html_ = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" "
                               "style=\"border-collapse: collapse; border-color: #808080;%2\"%1>")
                    .arg(fullWidth ? QStringLiteral(" width=\"100%\"") : QString(),
                         points > 0 ? QStringLiteral(" font-size: %1pt;").arg(points) : QString());
    }
    // The header row, repeated at the top of every page the table runs on.
    void header(const std::vector<QString>& cells) {
        html_ += QStringLiteral("<thead>");
        row(cells, true);
        html_ += QStringLiteral("</thead>");
    }
    void row(const std::vector<QString>& cells, bool bold = false) {
        html_ += QStringLiteral("<tr>");
        for (size_t i = 0; i < cells.size(); ++i) {
            const QString nowrap =
                keepFirst_ && i == 0 ? QStringLiteral(" style=\"white-space: nowrap;\"") : QString();
            html_ +=
                bold
                    ? QStringLiteral("<th align=\"left\" bgcolor=\"#eeeeee\"%1>%2</th>").arg(nowrap, cells[i])
                    : QStringLiteral("<td%1>%2</td>").arg(nowrap, cells[i]);
        }
        html_ += QStringLiteral("</tr>");
    }
    QString html() const { return html_ + QStringLiteral("</table>"); }

  private:
    QString html_;
    bool keepFirst_;
};

QString heading(const QString& text) {
    return QStringLiteral("<h2 style=\"margin-top: 14px;\">%1</h2>").arg(text.toHtmlEscaped());
}

// Section headings numbered in the order they are written: the sections of
// model 3 and of the warnings are there only when they have something to show.
class SectionNumbers {
  public:
    QString next(const QString& title) { return QStringLiteral("%1. %2").arg(++n_).arg(title); }

  private:
    int n_ = 0;
};

const char* const kCriteria[3] = {"Специальный 1", "Стандарт (default)", "Специальный 2"};

QString yesNo(bool b) {
    return b ? QStringLiteral("да") : QStringLiteral("нет");
}

QString summaryHtml(const ReportFigures& f, const ReportSource& source, SectionNumbers& sections) {
    const AnalysisState& st = f.st;
    const MainForm& form = f.form;
    const char sep = form.decimalSeparator;
    HtmlTable t;
    auto line = [&](const char* name, const std::string& value) {
        t.row({QString::fromUtf8(name), esc(value)});
    };
    line("Парк изделий", FloatToStr(st.Kol_Izd_All, sep));
    line("Заявлено отказов", std::to_string(st.KolOtk));
    line("Записей об отказах в файле", std::to_string(st.Kol_izw));
    line("Приведенный парк", Format(sep, "{:.1f}", st.Izd_Prived));
    line("Закон окончания гарантии",
         "среднее " + form.meSred + " ч, СКО " + form.meSKO + " ч; " + WarrantyLawOrigin(form, source));
    line("T fin временного ряда отказов", form.LabeledEdit2 + " ч");
    line("Расчетное время приработки", form.LabeledEdit3 + " ч");
    QString html = heading(sections.next(QStringLiteral("Исходные данные"))) + t.html();

    html +=
        QStringLiteral("<p><b>Причины отказов</b> (по убыванию числа отказов; доля — от числа записей)</p>");
    HtmlTable causes;
    causes.header({QStringLiteral("№"), QStringLiteral("Причина"), QStringLiteral("Отказов"),
                   QStringLiteral("Доля, %")});
    for (size_t k = 1; k < st.Vidy_otkazov.size(); ++k) {
        const Vid_otkaza& v = st.Vidy_otkazov[k];
        const double share = st.Kol_izw > 0 ? 100 * v.Dolya / st.Kol_izw : 0;
        causes.row({QString::number(k), esc(v.Nazv_Prich), esc(WholeNumber(v.Dolya, sep)),
                    esc(Format(sep, "{:.1f}", share))});
    }
    return html + causes.html();
}

std::string likelihoodSettings(const MainForm& m) {
    const LikelihoodSettings s = LikelihoodSettingsFromForm(m);
    const char sep = m.decimalSeparator;
    return std::string(s.kMode == LikelihoodKMode::Once ? "отказ изделия не более одного раза (K = 1)"
                                                        : "повторные отказы (K подбирается)") +
           "; доверительный уровень " + Format(sep, "{:.2f}", s.level) + "; закон окончания гарантии " +
           (s.law == WarrantyLawKind::Empirical ? "по файлу" : "нормальный") + "; бутстреп " +
           (s.bootstrap > 0 ? std::to_string(s.bootstrap) + " повторений" : std::string("не выполняется"));
}

QString modelsHtml(const ReportFigures& f, SectionNumbers& sections) {
    const AnalysisState& st = f.st;
    const MainForm& m = f.form;
    const std::string criterion =
        std::string("способ подбора «") + kCriteria[std::clamp(m.RadioGroup1, 0, 2)] + "»";
    const struct {
        const char* name;
        bool ticked;
        bool executed;
        std::string settings;
    } rows[] = {
        {"Модель 1.1 по Пирсону, метод спирального спуска", m.SpirSpusk, st.MPirsS.Executed,
         "коэф-т уменьшения шага " + m.Edit1 + "; " + criterion + "; подбор СВН: " +
             (m.Sred_flag ? "да" : "нет") + "; подбор СКО: " + (m.SKO_Flag ? "да" : "нет")},
        {"Модель 1.2 по Пирсону, метод Ньютона", m.BoxNewton, st.MPirsN.Executed,
         "коэф-т уменьшения шага " + m.Edit6 + "; " + criterion},
        {"Модель 2 (по Смирнову)", m.BoxSmirnow, st.MSmirn.Executed, "коэф-т уменьшения шага " + m.Edit5},
        {"Генетический алгоритм", st.MGenet.Executed, st.MGenet.Executed,
         "точность " + m.Edit2 + "; популяция " + m.Edit3 + "; поколений " + m.NPokoleny +
             "; копировать лучших " + m.LabeledEdit1 + "; вероятность скрещивания " +
             std::to_string(m.TrackBar1) + " %; вероятность мутаций " + std::to_string(m.TrackBar2) + " %"},
        {"Модель 3 (максимум правдоподобия)", m.BoxPravd, st.MPravd.Executed, likelihoodSettings(m)},
    };
    HtmlTable t;
    t.header({QStringLiteral("Модель"), QStringLiteral("Отмечена"), QStringLiteral("Рассчитана"),
              QStringLiteral("Настройки")});
    for (const auto& r : rows)
        t.row({QString::fromUtf8(r.name), yesNo(r.ticked), yesNo(r.executed), esc(r.settings)});
    return heading(sections.next(QStringLiteral("Модели и их настройки"))) + t.html();
}

QString resultsHtml(const ReportFigures& f, SectionNumbers& sections) {
    // seven columns fit the page's width in a smaller type than five
    HtmlTable t(true, true, f.table.dataColumn > 4 ? 7 : 8);
    for (int r = 0; r < kResultRows; ++r) {
        std::vector<QString> cells;
        for (int c = 0; c <= f.table.dataColumn && c < kResultCols; ++c)
            cells.push_back(keepUnits(esc(f.table.cells[static_cast<size_t>(r)][static_cast<size_t>(c)])));
        if (r == 0)
            t.header(cells);
        else
            t.row(cells);
    }
    return heading(sections.next(QStringLiteral("Результаты"))) + t.html();
}

// A table of rows of texts under a header of C columns.
template <size_t C>
QString textTable(const char* const (&header)[C], const std::vector<std::array<std::string, C>>& rows,
                  int points) {
    HtmlTable t(true, true, points);
    std::vector<QString> head;
    for (const char* h : header)
        head.push_back(QString::fromUtf8(h));
    t.header(head);
    for (const auto& row : rows) {
        std::vector<QString> cells;
        for (const std::string& cell : row)
            cells.push_back(keepUnits(esc(cell)));
        t.row(cells);
    }
    return t.html();
}

// Model 3's bounds as its panel shows them: how it was fitted and tested, then
// a row per figure; only when it ran or was ticked and refused.
QString boundsHtml(const ReportFigures& f, SectionNumbers& sections) {
    const AnalysisState& st = f.st;
    if (!st.MPravd.Executed && !f.form.BoxPravd) return {};
    const char sep = f.form.decimalSeparator;
    QString html = heading(sections.next(QStringLiteral("Модель 3: доверительные границы")));
    for (const std::string& line : LikelihoodSummaryLines(st.Pravd, st.MPravd.Executed, sep))
        html += QStringLiteral("<p>%1</p>").arg(esc(line));
    const std::vector<BoundsRow> rows = ShownBoundsRows(st, sep);
    if (rows.empty()) return html;
    return html + textTable(kBoundsHeader, rows, 0);
}

// Model 3 fitted for each cause, as its window shows it. Its heading names
// the model: the input summary's cause list carries the same words.
QString causesHtml(const ReportFigures& f, SectionNumbers& sections) {
    const auto& r = f.extras.causes;
    if (!r) return {};
    const char sep = f.form.decimalSeparator;
    QString html = heading(sections.next(QStringLiteral("Причины отказов: модель 3 по каждой причине")));
    if (!r->done) return html + QStringLiteral("<p>%1</p>").arg(esc(r->refusal));
    html += QStringLiteral("<p>Для каждой причины A, B и K подобраны по её отказам (K подбирается); в "
                           "скобках — доверительные границы по профилю правдоподобия на уровне %1.</p>")
                .arg(esc(Format(sep, "{:.2f}", r->level)));
    html += textTable(kCausesHeader, CausesRows(*r, sep), 7);
    return html + QStringLiteral("<p>%1</p>").arg(esc(ShapeTestLine(*r, sep)));
}

// The warranty forecast: its conditions, then the table with the totals and
// the "what if" lines.
QString forecastHtml(const ReportFigures& f, SectionNumbers& sections) {
    const auto& r = f.extras.forecast;
    if (!r) return {};
    const char sep = f.form.decimalSeparator;
    QString html = heading(sections.next(QStringLiteral("Прогноз")));
    html += QStringLiteral("<p>%1</p>")
                .arg(f.extras.forecastCause.empty()
                         ? QStringLiteral("По модели 3 всего ряда.")
                         : QStringLiteral("По причине «%1» (модель 3 по этой причине, K подбирается).")
                               .arg(esc(f.extras.forecastCause)));
    html += QStringLiteral("<p>%1</p>").arg(esc(ForecastSummaryLine(*r, sep)));
    if (!r->done) return html;
    return html + textTable(kForecastHeader, ForecastRows(*r, sep), 8);
}

// The run's warnings on every model, one line each as the memo has them.
QString warningsHtml(const ReportFigures& f, SectionNumbers& sections) {
    const AnalysisState& st = f.st;
    if (st.Warnings.empty() && !st.MPravd.Executed) return {};
    QString html = heading(sections.next(QStringLiteral("Предупреждения")));
    if (st.Warnings.empty()) return html + QStringLiteral("<p>Предупреждений нет</p>");
    html += QStringLiteral("<ul>");
    for (const ModelWarning& w : st.Warnings)
        html += QStringLiteral("<li>%1</li>").arg(esc(WarningMemoLine(w)));
    return html + QStringLiteral("</ul>");
}

QString histogramHtml(const ReportFigures& f) {
    const HistogramTable& h = f.histogram;
    const char sep = f.form.decimalSeparator;
    QString html =
        QStringLiteral("<p>Отказов в каждом столбце гистограммы по причинам; столбец ограничен справа "
                       "указанной наработкой, причины — по номерам перечня в разделе 1.</p>");
    // a wide cause list is split over several tables so that none runs off the page
    constexpr size_t kCausesPerTable = 10;
    const size_t parts = std::max<size_t>(1, (h.causes.size() + kCausesPerTable - 1) / kCausesPerTable);
    for (size_t part = 0; part < parts; ++part) {
        const size_t from = part * kCausesPerTable;
        const size_t to = std::min(h.causes.size(), from + kCausesPerTable);
        if (parts > 1)
            html += QStringLiteral("<p>Причины %1–%2 из %3</p>").arg(from + 1).arg(to).arg(h.causes.size());
        HtmlTable t(true, false, 8);
        std::vector<QString> head{QString::fromUtf8(kHistEdgeTitle)};
        for (size_t i = from; i < to; ++i)
            head.push_back(QStringLiteral("Причина %1").arg(h.causes[i]));
        head.push_back(QString::fromUtf8(kHistTotalTitle));
        t.header(head);
        for (const auto& row : h.rows) {
            std::vector<QString> cells{esc(FloatToStr(row.edge, sep))};
            for (size_t i = from; i < to; ++i)
                cells.push_back(QString::number(row.counts[i]));
            cells.push_back(QString::number(row.total));
            t.row(cells);
        }
        std::vector<QString> totals{QStringLiteral("<b>Всего</b>")};
        for (size_t i = from; i < to; ++i)
            totals.push_back(QStringLiteral("<b>%1</b>").arg(h.causeTotals[i]));
        totals.push_back(QStringLiteral("<b>%1</b>").arg(h.total));
        t.row(totals);
        html += t.html();
    }
    return html;
}

// A chart with its caption above it, as large as the text width allows while
// it keeps to a share of the page's height.
void insertChart(QTextCursor& cursor, ReportChartObjects& charts, const QString& caption,
                 const ChartPlan& design, const ChartPlan& plan, QSizeF drawSize, QSizeF page,
                 const QString& note = QString()) {
    QTextBlockFormat center;
    center.setAlignment(Qt::AlignHCenter);
    center.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    center.setTopMargin(10);
    QTextBlockFormat captionFormat = center;
    captionFormat.setProperty(kKeepWithNext, true);
    cursor.insertBlock(captionFormat);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(caption, bold);
    QTextBlockFormat picture = center;
    picture.setTopMargin(2);
    cursor.insertBlock(picture);
    const double scale = std::min(page.width() / drawSize.width(), 0.62 * page.height() / drawSize.height());
    charts.insert(cursor, design, plan, drawSize, drawSize * scale);
    if (!note.isEmpty()) {
        cursor.insertBlock(center);
        cursor.insertText(note, QTextCharFormat());
    }
}

} // namespace

void KeepWithNext(QTextDocument& doc, double pageHeight) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    const auto inTable = [](const QTextBlock& b) { return QTextCursor(b).currentTable() != nullptr; };
    // The top of a block's first line: a line that would cross the page's end
    // is moved down inside its block, the block itself stays where it began.
    const auto top = [&](const QTextBlock& b) {
        if (inTable(b) || b.layout()->lineCount() == 0) return layout->blockBoundingRect(b).top();
        return b.layout()->position().y() + b.layout()->lineAt(0).y();
    };
    // a line moved to a page's top sits there up to rounding
    const auto page = [&](double y) { return static_cast<long>(std::floor((y + 0.5) / pageHeight)); };
    const auto introducesTable = [&](const QTextBlock& b) {
        return !inTable(b) && b.next().isValid() && inTable(b.next());
    };
    const auto keeps = [&](const QTextBlock& b) {
        const QTextBlockFormat f = b.blockFormat();
        return !inTable(b) && (f.headingLevel() > 0 || f.boolProperty(kKeepWithNext) || introducesTable(b));
    };
    // Each move shifts what follows, so the rules are checked again until none applies.
    for (bool moved = true; moved;) {
        moved = false;
        for (QTextBlock b = doc.begin(); b.isValid() && !moved; b = b.next()) {
            if (!keeps(b) || !b.next().isValid()) continue;
            // the headings and captions just before it go along
            QTextBlock first = b;
            while (first.previous().isValid() && keeps(first.previous()))
                first = first.previous();
            const double start = top(first);
            const double nextTop = top(b.next()) + 1;
            // a table that fits on a page with what introduces it is kept whole:
            // a row of several lines would otherwise be split between pages
            double end = nextTop;
            if (introducesTable(b)) {
                const QRectF table = layout->frameBoundingRect(QTextCursor(b.next()).currentTable());
                if (table.bottom() - start < pageHeight) end = table.bottom() - 1;
            }
            if (page(start) == page(end)) continue;
            if (first.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
            QTextBlockFormat broken = first.blockFormat();
            broken.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(first).setBlockFormat(broken);
            moved = true;
        }
    }
}

ReportFigures ComputeReportFigures(const AnalysisState& st, const MainForm& form) {
    ReportFigures f{st, form, {}, {}, {}, {}, {}};
    const char sep = form.decimalSeparator;
    RefreshResultFigures(f.st);
    f.charts = BuildResultCharts(f.st, sep, ChartGroupSeparator(sep));
    StoreChartTotals(f.st, f.charts);
    // measured in the window's font, so that a figure its cell cannot show is
    // a dash here as it is there
    const QFontMetrics metrics(ResultGridFont());
    f.table = FillResultTable(f.st, sep, [&](const std::string& s) {
        return metrics.horizontalAdvance(QString::fromStdString(s));
    });
    f.logLog = BuildLogLogChart(f.st, sep);
    f.histogram = BuildHistogramTable(f.st);
    return f;
}

std::string WarrantyLawOrigin(const MainForm& form, const ReportSource& source) {
    const char sep = form.decimalSeparator;
    if (!form.MaskEdit1.empty()) {
        const auto mean = ParseFloat(form.MaskEditSrednee, sep), sd = ParseFloat(form.MaskEditSKO, sep);
        // the times file puts its law into the edits with three significant digits
        if (mean && sd && FloatToStrFixed(*mean, 3, 1, sep) == form.meSred &&
            FloatToStrFixed(*sd, 3, 1, sep) == form.meSKO)
            return "по файлу времен окончания гарантии " + form.Edit4 + " (" + form.MaskEdit1 + " значений)";
    }
    if (source.dataMean && source.dataSd && FloatToStr(*source.dataMean, sep) == form.meSred &&
        FloatToStr(*source.dataSd, sep) == form.meSKO)
        return "по файлу исходных данных";
    return "задан вручную";
}

void BuildReportDocument(QTextDocument& doc, ReportChartObjects& charts, const ReportFigures& f,
                         const ReportSource& source, const QString& createdAt, QSizeF page) {
    QTextCursor cursor(&doc);
    const std::string fileName = source.dataFile.substr(source.dataFile.find_last_of("/\\") + 1);

    QString html =
        QStringLiteral("<p style=\"font-size: 9pt; color: #555555;\">Анализ надежности · отчёт</p>");
    html += QStringLiteral("<h1>%1</h1>").arg(esc(f.st.Comment.empty() ? fileName : f.st.Comment));
    HtmlTable title(false);
    title.row({QStringLiteral("Файл исходных данных"), esc(fileName)});
    title.row({QStringLiteral("Дата и время отчёта"), createdAt.toHtmlEscaped()});
    title.row({QStringLiteral("Версия программы"), QStringLiteral("Tovimo " TOVIMO_VERSION)});
    html += title.html();
    SectionNumbers sections;
    html += summaryHtml(f, source, sections);
    html += modelsHtml(f, sections);
    html += resultsHtml(f, sections);
    html += boundsHtml(f, sections);
    html += causesHtml(f, sections);
    html += forecastHtml(f, sections);
    html += warningsHtml(f, sections);
    html += heading(sections.next(QStringLiteral("Диаграммы")));
    cursor.insertHtml(html);

    const ResultCharts design = ResultChartsDesign();
    // the window's log-log axes, with their values: a figure on paper has no hover to read them by
    LogLogChart logDesign = LogLogChartDesign();
    logDesign.chart.leftLabels = true;
    insertChart(cursor, charts, QStringLiteral("Рисунок 1. ") + QString::fromStdString(f.charts.chart1.title),
                design.chart1, f.charts.chart1, kChart1Size, page);
    insertChart(cursor, charts, QStringLiteral("Рисунок 2. ") + QString::fromStdString(f.charts.chart2.title),
                design.chart2, f.charts.chart2, {800, 533}, page);
    insertChart(cursor, charts, QStringLiteral("Рисунок 3. ") + QString::fromStdString(f.charts.chart3.title),
                design.chart3, f.charts.chart3, {922, 420}, page);
    insertChart(cursor, charts, QStringLiteral("Рисунок 4. ") + QString::fromStdString(f.logLog.chart.title),
                logDesign.chart, f.logLog.chart, kLogLogPanelSize, page,
                QStringLiteral("ln N = A · ln t + B:  ") + QString::fromStdString(f.logLog.slopeText) +
                    QStringLiteral(",  ") + QString::fromStdString(f.logLog.interceptText));

    // a heading of its own: inserted HTML would merge into the block before it
    QTextBlockFormat headingFormat;
    headingFormat.setHeadingLevel(2);
    headingFormat.setTopMargin(14);
    headingFormat.setBottomMargin(6);
    QTextCharFormat headingChars;
    headingChars.setFontWeight(QFont::Bold);
    headingChars.setProperty(QTextFormat::FontSizeAdjustment, 2); // as <h2>
    cursor.insertBlock(headingFormat, headingChars);
    cursor.insertText(sections.next(QStringLiteral("Гистограмма отказов")), headingChars);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertHtml(histogramHtml(f));
}

} // namespace tovimo
