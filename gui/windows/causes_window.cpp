#include "gui/windows/causes_window.h"

#include "core/fit/causes_table.h"
#include "core/stats/distributions.h"
#include "gui/charts/chart_fonts.h"
#include "gui/charts/chart_legend.h"
#include "gui/platform/ui_seams.h"
#include "gui/workers/task_thread.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <memory>

namespace tovimo {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QColor CauseColor(int cause) {
    return PlanColor(ColorArray[static_cast<size_t>(std::clamp(cause, 0, static_cast<int>(CauseSlots) - 1))]);
}

// Expected failures per product: K times the Weibull law.
double PerProduct(double A, double B, double K, double t) {
    return K * weibCDF(A, B, t);
}

} // namespace

TCausesWindow::TCausesWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("CausesWindow"));
    setWindowTitle(QStringLiteral("Причины отказов"));
    setFont(UiFont(QStringLiteral("Segoe UI"), 11));
    auto* v = new QVBoxLayout(this);
    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(Summary);

    auto* h = new QHBoxLayout;
    Causes_Grid = new QTableWidget(0, kCausesColumns, this);
    Causes_Grid->setObjectName(QStringLiteral("Causes_Grid"));
    Causes_Grid->verticalHeader()->setVisible(false);
    Causes_Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Causes_Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Causes_Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList header;
    for (const char* t : kCausesHeader)
        header << QString::fromUtf8(t);
    Causes_Grid->setHorizontalHeaderLabels(header);
    Causes_Grid->horizontalHeader()->setStretchLastSection(true);
    Causes_Grid->setWordWrap(false);
    h->addWidget(Causes_Grid, 3);

    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Ожидаемое число отказов на изделие по причинам"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    Causes_Chart = new QChartView(chart, this);
    Causes_Chart->setObjectName(QStringLiteral("Causes_Chart"));
    Causes_Chart->setRenderHint(QPainter::Antialiasing);
    h->addWidget(Causes_Chart, 2);
    v->addLayout(h, 1);

    auto* buttons = new QHBoxLayout;
    Busy = new QProgressBar(this);
    Busy->setObjectName(QStringLiteral("Busy"));
    Busy->setRange(0, 0); // no share of the work is known: a moving bar
    Busy->setTextVisible(false);
    Busy->setMaximumWidth(240);
    Busy->hide();
    buttons->addWidget(Busy);
    buttons->addStretch(1);
    btnForecastCause = new QPushButton(QStringLiteral("Прогноз по причине"), this);
    btnForecastCause->setObjectName(QStringLiteral("btnForecastCause"));
    btnForecastCause->setEnabled(false);
    connect(btnForecastCause, &QPushButton::clicked, this, [this] {
        const int cause = selectedCause();
        if (cause == 0 || !onForecast) return;
        for (const CauseFit& c : result_.causes)
            if (c.cause == cause) onForecast(cause, c.name);
    });
    connect(Causes_Grid, &QTableWidget::itemSelectionChanged, this,
            [this] { btnForecastCause->setEnabled(selectedCause() != 0); });
    CloseButton = new QPushButton(QStringLiteral("Закрыть"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    buttons->addWidget(btnForecastCause);
    buttons->addWidget(CloseButton);
    v->addLayout(buttons);
    resize(1400, 640);
}

void TCausesWindow::compute(const AnalysisState& st, const LikelihoodSettings& settings, char sep) {
    if (task_) task_->requestStop(); // its result is no longer wanted
    auto input = std::make_shared<const AnalysisState>(st);
    auto result = std::make_shared<CausesResult>();
    auto* task = new TaskThread(
        [input, result, settings, sep](const std::atomic<bool>& stop, const TaskThread::Progress& progress) {
            LikelihoodHooks hooks;
            hooks.stop = [&stop] { return stop.load(std::memory_order_relaxed); };
            hooks.progress = progress;
            *result = FitByCause(*input, settings, sep, hooks);
        },
        this);
    task_ = task;
    connect(task, &TaskThread::progressed, this, [this, task](const QString& text) {
        if (task == task_) Summary->setText(text + QStringLiteral(": расчёт…"));
    });
    connect(task, &QThread::finished, this, [this, task, input, result, sep] {
        task->deleteLater();
        if (task != task_) return; // stopped for a newer computation
        task_ = nullptr;
        Busy->hide();
        if (!task->error().empty()) {
            *result = CausesResult{};
            result->refusal = "Модель 3 по причинам не рассчитана: " + task->error();
        }
        if (!result->done) Ui().message(this, qs(result->refusal));
        fill(*result, *input, sep);
    });
    // the last result stays out of reach until the new one replaces it
    fill(CausesResult{}, st, sep);
    Summary->setText(QStringLiteral("Модель 3 по причинам: расчёт…"));
    Busy->show();
    task->start();
}

void TCausesWindow::clear() {
    if (task_) task_->requestStop();
    task_ = nullptr;
    Busy->hide();
    fill(CausesResult{}, AnalysisState{}, '.');
    Summary->clear();
}

int TCausesWindow::selectedCause() const {
    const auto rows =
        Causes_Grid->selectionModel() ? Causes_Grid->selectionModel()->selectedRows() : QModelIndexList{};
    if (rows.isEmpty()) return 0;
    const int row = rows.front().row();
    if (row < 0 || row >= static_cast<int>(result_.causes.size())) return 0;
    const CauseFit& c = result_.causes[static_cast<size_t>(row)];
    return c.fitted ? c.cause : 0;
}

void TCausesWindow::fill(const CausesResult& r, const AnalysisState& st, char sep) {
    result_ = r;
    Summary->setText(r.done ? qs(ShapeTestLine(r, sep)) : qs(r.refusal));
    const std::vector<CausesRow> rows = r.done ? CausesRows(r, sep) : std::vector<CausesRow>{};
    Causes_Grid->clearContents();
    Causes_Grid->setRowCount(static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t k = 0; k < kCausesColumns; ++k) {
            auto* item = new QTableWidgetItem(qs(rows[i][k]));
            if (k == 0) item->setForeground(CauseColor(r.causes[i].cause).darker(130));
            Causes_Grid->setItem(static_cast<int>(i), static_cast<int>(k), item);
        }
    Causes_Grid->resizeColumnsToContents();
    btnForecastCause->setEnabled(false);
    fillChart(st);
}

void TCausesWindow::fillChart(const AnalysisState& st) {
    QChart* chart = Causes_Chart->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* a : chart->axes())
        chart->removeAxis(a);
    if (!result_.done) return;
    double end = 4000;
    for (const CauseFit& c : result_.causes)
        if (!c.observedTimes.empty()) end = std::max(end, c.observedTimes.back());
    end = std::min(end, result_.windowEnd > 0 ? result_.windowEnd : end);
    auto* x = new QValueAxis;
    x->setTitleText(QStringLiteral("Наработка, ч"));
    x->setLabelFormat(QStringLiteral("%.0f"));
    auto* y = new QValueAxis;
    y->setTitleText(QStringLiteral("Отказов на изделие"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    double top = 0;
    auto attach = [&](QAbstractSeries* s) {
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    };
    constexpr int kPoints = 80;
    std::vector<double> total(kPoints + 1, 0.0);
    for (const CauseFit& c : result_.causes) {
        if (!c.fitted) continue;
        auto* line = new QLineSeries;
        line->setName(qs(c.name));
        line->setPen(QPen(CauseColor(c.cause), 2));
        for (int i = 0; i <= kPoints; ++i) {
            const double t = end * i / kPoints;
            const double v = PerProduct(c.fit.A, c.fit.B, c.fit.K, t);
            if (!std::isfinite(v)) continue;
            line->append(t, v);
            total[static_cast<size_t>(i)] += v;
            top = std::max(top, v);
        }
        attach(line);
        auto* marks = new QScatterSeries;
        marks->setMarkerSize(5);
        marks->setColor(CauseColor(c.cause));
        marks->setBorderColor(CauseColor(c.cause).darker(150));
        for (size_t i = 0; i < c.observedTimes.size(); ++i)
            if (std::isfinite(c.observedPerProduct[i])) {
                marks->append(c.observedTimes[i], c.observedPerProduct[i]);
                top = std::max(top, c.observedPerProduct[i]);
            }
        attach(marks);
        for (QLegendMarker* m : chart->legend()->markers(marks))
            m->setVisible(false);
    }
    auto* sum = new QLineSeries;
    sum->setName(QStringLiteral("Сумма причин"));
    sum->setPen(QPen(Qt::black, 3));
    for (int i = 0; i <= kPoints; ++i) {
        sum->append(end * i / kPoints, total[static_cast<size_t>(i)]);
        top = std::max(top, total[static_cast<size_t>(i)]);
    }
    attach(sum);
    if (st.MPravd.Executed && st.Pravd.fitted) {
        auto* m3 = new QLineSeries;
        m3->setName(QStringLiteral("Модель 3"));
        m3->setPen(QPen(QColor(0x80, 0x00, 0x40), 2, Qt::DashLine));
        for (int i = 0; i <= kPoints; ++i) {
            const double t = end * i / kPoints;
            const double v = PerProduct(st.Pravd.A, st.Pravd.B, st.Pravd.K, t);
            if (!std::isfinite(v)) continue;
            m3->append(t, v);
            top = std::max(top, v);
        }
        attach(m3);
    }
    x->setRange(0, end);
    y->setRange(0, top > 0 ? top * 1.05 : 1);
}

} // namespace tovimo
