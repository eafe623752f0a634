#include "gui/windows/forecast_window.h"

#include "core/data/warranty_file.h"
#include "core/fit/causes_table.h"
#include "core/text/number_format.h"
#include "gui/charts/chart_fonts.h"
#include "gui/charts/model3_chart.h"
#include "gui/platform/ui_seams.h"
#include "gui/workers/task_thread.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <cmath>
#include <memory>

namespace tovimo {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// The value of an edit; empty: `fallback`. Throws ConvertError for a text
// that is not a number.
double EditValue(const QLineEdit* e, char sep, double fallback) {
    const std::string text = e->text().trimmed().toStdString();
    return text.empty() ? fallback : StrToFloat(text, sep);
}

// A band between two sides of the intervals; a side without a value is left out.
QAreaSeries* Band(const std::vector<ForecastFigure>& rows, bool prediction, const QColor& color,
                  const QString& name) {
    auto* upper = new QLineSeries;
    auto* lower = new QLineSeries;
    upper->append(0, 0); // nothing has failed before the fleet starts
    lower->append(0, 0);
    for (const ForecastFigure& f : rows) {
        const LikInterval& in = prediction ? f.prediction : f.confidence;
        if (!std::isfinite(in.lower) || !std::isfinite(in.upper)) continue;
        upper->append(f.time, in.upper);
        lower->append(f.time, in.lower);
    }
    auto* area = new QAreaSeries(upper, lower);
    area->setName(name);
    QColor fill = color;
    fill.setAlpha(70);
    area->setBrush(fill);
    area->setPen(QPen(color, 1));
    return area;
}

} // namespace

TForecastWindow::TForecastWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ForecastWindow"));
    setWindowTitle(QStringLiteral("Прогноз"));
    setFont(UiFont(QStringLiteral("Segoe UI"), 11));
    auto* v = new QVBoxLayout(this);
    Source = new QLabel(this);
    Source->setObjectName(QStringLiteral("Source"));
    v->addWidget(Source);

    auto* inputs = new QHBoxLayout;
    auto* form = new QFormLayout;
    auto edit = [&](const QString& name, const QString& label, QFormLayout* f) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setMaximumWidth(140);
        f->addRow(label, e);
        return e;
    };
    edFleet = edit(QStringLiteral("edFleet"), QStringLiteral("Парк, изд."), form);
    edMean = edit(QStringLiteral("edMean"), QStringLiteral("Среднее время гарантии, ч"), form);
    edSd = edit(QStringLiteral("edSd"), QStringLiteral("СКО времени гарантии, ч"), form);
    auto* form2 = new QFormLayout;
    edHorizon = edit(QStringLiteral("edHorizon"), QStringLiteral("Горизонт, ч"), form2);
    edHorizon->setPlaceholderText(QStringLiteral("среднее + 3 СКО"));
    edExtend = edit(QStringLiteral("edExtend"), QStringLiteral("Продлить гарантию на, ч"), form2);
    edExtend->setPlaceholderText(QStringLiteral("не продлевать"));
    cbLevel = new QComboBox(this);
    cbLevel->setObjectName(QStringLiteral("cbLevel"));
    for (double level : kLikelihoodLevels)
        cbLevel->addItem(qs(FloatToStr(level, '.')).replace(QLatin1Char('.'), QLocale().decimalPoint()));
    cbLevel->setCurrentIndex(1);
    form2->addRow(QStringLiteral("Уровень"), cbLevel);
    inputs->addLayout(form);
    inputs->addLayout(form2);
    auto* right = new QVBoxLayout;
    btnUnits = new QPushButton(QStringLiteral("Файл времён гарантии…"), this);
    btnUnits->setObjectName(QStringLiteral("btnUnits"));
    connect(btnUnits, &QPushButton::clicked, this, &TForecastWindow::btnUnitsClick);
    UnitsLabel = new QLabel(this);
    UnitsLabel->setObjectName(QStringLiteral("UnitsLabel"));
    btnCalc = new QPushButton(QStringLiteral("Рассчитать"), this);
    btnCalc->setObjectName(QStringLiteral("btnCalc"));
    connect(btnCalc, &QPushButton::clicked, this, &TForecastWindow::btnCalcClick);
    right->addWidget(btnUnits);
    right->addWidget(UnitsLabel);
    right->addWidget(btnCalc);
    Busy = new QProgressBar(this);
    Busy->setObjectName(QStringLiteral("Busy"));
    Busy->setRange(0, 0); // no share of the work is known: a moving bar
    Busy->setTextVisible(false);
    Busy->hide();
    right->addWidget(Busy);
    right->addStretch(1);
    inputs->addLayout(right);
    inputs->addStretch(1);
    v->addLayout(inputs);

    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    v->addWidget(Summary);

    auto* h = new QHBoxLayout;
    Forecast_Grid = new QTableWidget(0, kForecastColumns, this);
    Forecast_Grid->setObjectName(QStringLiteral("Forecast_Grid"));
    Forecast_Grid->verticalHeader()->setVisible(false);
    Forecast_Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList header;
    for (const char* t : kForecastHeader)
        header << QString::fromUtf8(t);
    Forecast_Grid->setHorizontalHeaderLabels(header);
    // the rows' names as wide as they need, the figures share the rest
    Forecast_Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Forecast_Grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    h->addWidget(Forecast_Grid, 0);
    Forecast_Chart = Model3ChartView(
        this, QStringLiteral("Forecast_Chart"),
        QStringLiteral("Ожидаемое число отказов за гарантию, нарастающим итогом"), Qt::AlignBottom);
    h->addWidget(Forecast_Chart, 1);
    v->addLayout(h, 1);

    CloseButton = new QPushButton(QStringLiteral("Закрыть"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    v->addWidget(CloseButton, 0, Qt::AlignRight);
    // the table as wide as its widest rows need, fixed so that a refill never
    // moves the chart; the chart takes the rest
    const QFontMetrics metrics(Forecast_Grid->font());
    const char* const widest[kForecastColumns] = {"Продление на 5000 ч: дополнительно", "00000,0",
                                                  "00000,0–00000,0", "00000–00000"};
    int width = 2 * Forecast_Grid->frameWidth() + Forecast_Grid->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < kForecastColumns; ++c)
        width += std::max(metrics.horizontalAdvance(QString::fromUtf8(widest[c])),
                          Forecast_Grid->horizontalHeader()->sectionSizeHint(c)) +
                 16;
    Forecast_Grid->setFixedWidth(width);
    QSize size(1560, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
}

void TForecastWindow::setSource(const AnalysisState& st, const LikelihoodSettings& settings, int cause,
                                const std::string& causeName, char sep) {
    st_ = st;
    settings_ = settings;
    dropTask();
    cause_ = cause;
    causeName_ = cause > 0 ? causeName : std::string();
    sep_ = sep;
    units_.clear();
    UnitsLabel->clear();
    Source->setText(
        cause > 0
            ? QStringLiteral("По причине «%1» (модель 3 по этой причине, K подбирается)").arg(qs(causeName))
            : QStringLiteral("По модели 3 всего ряда"));
    // the fitted fleet as the data give it, to a tenth of a product
    edFleet->setText(qs(FloatToStr(std::round(st.Izd_Prived * 10) / 10, sep)));
    edMean->setText(qs(FloatToStr(st.Sred, sep)));
    edSd->setText(qs(FloatToStr(st.SKO, sep)));
    edHorizon->clear();
    edExtend->clear();
    result_ = ForecastResult{};
    fill();
}

void TForecastWindow::dropTask() {
    task_ = nullptr; // the thread deletes itself when it has finished
    Busy->hide();
    btnCalc->setEnabled(true);
}

void TForecastWindow::clear() {
    dropTask();
    result_ = ForecastResult{};
    fill();
}

void TForecastWindow::btnUnitsClick() {
    const auto path =
        Ui().openFile(this, QStringLiteral("Файл времен гарантии (gar*.txt);;Все файлы (*)"), {});
    if (!path) return;
    AnalysisState units;
    MainForm form;
    std::vector<std::string> messages;
    if (!LoadWarrantyFile(units, form, path->toStdString(),
                          [&](const std::string& m) { messages.push_back(m); }) ||
        units.MasTGarant.empty()) {
        Ui().message(this, messages.empty() ? QStringLiteral("Файл времён гарантии не прочитан")
                                            : qs(messages.front()));
        return;
    }
    units_ = units.MasTGarant;
    UnitsLabel->setText(QStringLiteral("по файлу: %1 времён").arg(units_.size()));
    edMean->setEnabled(false);
    edSd->setEnabled(false);
}

void TForecastWindow::btnCalcClick() {
    ForecastSettings f;
    try {
        f.fleet = EditValue(edFleet, sep_, 0);
        f.mean = EditValue(edMean, sep_, 0);
        f.sd = EditValue(edSd, sep_, 0);
        f.horizon = EditValue(edHorizon, sep_, 0);
        f.extend = EditValue(edExtend, sep_, 0);
    } catch (const ConvertError& e) {
        Ui().error(this, qs(e.what()));
        return;
    }
    if (!units_.empty()) {
        f.law = WarrantyLawKind::Empirical;
        f.exitTimes = units_;
    }
    f.level = kLikelihoodLevels[std::clamp(cbLevel->currentIndex(), 0, 2)];
    auto input = std::make_shared<const AnalysisState>(st_);
    auto result = std::make_shared<ForecastResult>();
    auto* task = new TaskThread(
        [input, result, settings = settings_, cause = cause_, f, sep = sep_](const std::atomic<bool>&,
                                                                             const TaskThread::Progress&) {
            *result = ForecastFromState(*input, settings, cause, f, sep);
        },
        this);
    task_ = task;
    connect(task, &QThread::finished, this, [this, task, result] {
        task->deleteLater();
        if (task != task_) return; // superseded, or the source changed
        dropTask();
        result_ = *result;
        if (!task->error().empty()) {
            result_ = ForecastResult{};
            result_.refusal = "Прогноз не рассчитан: " + task->error();
        }
        if (!result_.done) Ui().message(this, qs(result_.refusal));
        fill();
    });
    result_ = ForecastResult{};
    fill();
    Summary->setText(QStringLiteral("Прогноз: расчёт…"));
    Busy->show();
    btnCalc->setEnabled(false);
    task->start();
}

void TForecastWindow::fill() {
    Summary->setText(result_.done ? qs(ForecastSummaryLine(result_, sep_)) : qs(result_.refusal));
    const std::vector<ForecastRow> rows =
        result_.done ? ForecastRows(result_, sep_) : std::vector<ForecastRow>{};
    Forecast_Grid->clearContents();
    Forecast_Grid->setRowCount(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t k = 0; k < kForecastColumns; ++k)
            Forecast_Grid->setItem(static_cast<int>(i), static_cast<int>(k),
                                   new QTableWidgetItem(qs(rows[i][k])));
    fillChart();
}

void TForecastWindow::fillChart() {
    QChart* chart = Forecast_Chart->chart();
    const auto axes = EmptiedHoursChart(chart, QStringLiteral("Отказов"));
    QValueAxis* const x = axes.first; // plain values: lambdas below capture them
    QValueAxis* const y = axes.second;
    if (!result_.done || result_.rows.empty()) return;
    double top = 0;
    for (const ForecastFigure& f : result_.rows)
        for (double v : {f.expected, f.confidence.upper, f.prediction.upper})
            if (std::isfinite(v)) top = std::max(top, v);
    auto add = [&](QAbstractSeries* s) {
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    };
    add(Band(result_.rows, true, QColor(0x64, 0x95, 0xED), QStringLiteral("Интервал предсказания")));
    add(Band(result_.rows, false, QColor(0x80, 0x00, 0x40), QStringLiteral("Доверительный интервал")));
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("Ожидаемое число отказов"));
    line->setPen(QPen(QColor(0x80, 0x00, 0x40), 2));
    line->append(0, 0);
    for (const ForecastFigure& f : result_.rows)
        if (std::isfinite(f.expected)) line->append(f.time, f.expected);
    add(line);
    const double end = result_.rows.back().time;
    SetHoursRange(x, end);
    y->setRange(0, top > 0 ? top * 1.05 : 1);
    y->applyNiceNumbers();
    y->setLabelFormat(y->max() >= 20 ? QStringLiteral("%.0f")
                                     : QStringLiteral("%.1f")); // whole failures on a tall axis
}

} // namespace tovimo
