#include "gui/windows/causes_window.h"

#include "core/fit/causes_table.h"
#include "core/stats/distributions.h"
#include "gui/charts/chart_fonts.h"
#include "gui/charts/chart_legend.h"
#include "gui/charts/model3_chart.h"
#include "gui/platform/ui_seams.h"
#include "gui/workers/task_thread.h"

#include <QChart>
#include <QChartView>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <tuple>

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

    // the table above the chart: its ten columns need the window's width, the
    // chart's legend of every cause its own column on the right
    split_ = new QSplitter(Qt::Vertical, this);
    auto* split = split_;
    split->setChildrenCollapsible(false);
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
    // long captions wrap onto a second line rather than widen a column of short figures
    Causes_Grid->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    Causes_Grid->horizontalHeader()->setFixedHeight(2 * Causes_Grid->fontMetrics().height() + 10);
    Causes_Grid->setWordWrap(false);
    split->addWidget(Causes_Grid);

    Causes_Chart =
        Model3ChartView(this, QStringLiteral("Causes_Chart"),
                        QStringLiteral("Ожидаемое число отказов на изделие по причинам"), Qt::AlignRight);
    Causes_Chart->setMinimumHeight(260);
    auto* charts = new QWidget(split);
    auto* row = new QHBoxLayout(charts);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Causes_Chart, 3);
    Total_Chart = Model3ChartView(this, QStringLiteral("Total_Chart"),
                                  QStringLiteral("Сумма причин и модель 3"), Qt::AlignBottom);
    row->addWidget(Total_Chart, 2);
    split->addWidget(charts);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    v->addWidget(split, 1);

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
    QSize size(1560, 860);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
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
    constexpr int kCaptionWidth = 120; // a caption wider than this wraps
    const QFontMetrics metrics(Causes_Grid->font());
    for (int c = 0; c < kCausesColumns; ++c) {
        int width = std::min(kCaptionWidth, Causes_Grid->horizontalHeader()->sectionSizeHint(c));
        for (int r = 0; r < Causes_Grid->rowCount(); ++r)
            width = std::max(width, metrics.horizontalAdvance(Causes_Grid->item(r, c)->text()) + 14);
        Causes_Grid->setColumnWidth(c, width);
    }
    // every row shown when the charts keep their least height
    int rowsHeight = Causes_Grid->horizontalHeader()->height() + 2 * Causes_Grid->frameWidth() + 2;
    for (int r = 0; r < Causes_Grid->rowCount(); ++r)
        rowsHeight += Causes_Grid->rowHeight(r);
    const int whole = split_->height() > 0 ? split_->height() : split_->sizeHint().height();
    const int table = std::min(rowsHeight, whole - Causes_Chart->minimumHeight());
    if (table > 0) split_->setSizes({table, whole - table});
    btnForecastCause->setEnabled(false);
    fillChart(st);
}

namespace {

// A chart given its two axes, operating time and failures per product, and
// emptied; series go on both.
class ChartFiller {
  public:
    explicit ChartFiller(QChart* chart) : chart_(chart) {}
    void axes() { std::tie(x_, y_) = EmptiedHoursChart(chart_, QStringLiteral("Отказов на изделие")); }
    // A curve over [0, end]; points that are not numbers left out.
    void curve(const QString& name, const QPen& pen, double end, const std::function<double(double)>& f) {
        auto* line = new QLineSeries;
        line->setName(name);
        line->setPen(pen);
        for (int i = 0; i <= kPoints; ++i) {
            const double t = end * i / kPoints;
            const double v = f(t);
            if (!std::isfinite(v)) continue;
            line->append(t, v);
            top_ = std::max(top_, v);
        }
        add(line);
    }
    // Observed marks, without a legend entry of their own.
    void marks(const std::vector<double>& times, const std::vector<double>& values, const QColor& color) {
        auto* marks = new QScatterSeries;
        marks->setMarkerSize(5);
        marks->setColor(color);
        marks->setBorderColor(color.darker(150));
        for (size_t i = 0; i < times.size() && i < values.size(); ++i)
            if (std::isfinite(values[i])) {
                marks->append(times[i], values[i]);
                top_ = std::max(top_, values[i]);
            }
        add(marks);
        for (QLegendMarker* m : chart_->legend()->markers(marks))
            m->setVisible(false);
    }
    void ranges(double end) {
        SetHoursRange(x_, end);
        y_->setRange(0, top_ > 0 ? top_ * 1.05 : 1);
        y_->applyNiceNumbers();
    }
    static constexpr int kPoints = 80;

  private:
    void add(QAbstractSeries* s) {
        chart_->addSeries(s);
        s->attachAxis(x_);
        s->attachAxis(y_);
    }
    QChart* chart_;
    QValueAxis* x_ = nullptr;
    QValueAxis* y_ = nullptr;
    double top_ = 0;
};

} // namespace

void TCausesWindow::fillChart(const AnalysisState& st) {
    ChartFiller causes(Causes_Chart->chart()), total(Total_Chart->chart());
    causes.axes();
    total.axes();
    if (!result_.done) return;
    double end = 4000;
    for (const CauseFit& c : result_.causes)
        if (!c.observedTimes.empty()) end = std::max(end, c.observedTimes.back());
    end = std::min(end, result_.windowEnd > 0 ? result_.windowEnd : end);
    for (const CauseFit& c : result_.causes) {
        if (!c.fitted) continue;
        causes.curve(qs(c.name), QPen(CauseColor(c.cause), 2), end,
                     [&](double t) { return CauseFailuresPerProduct(c, t); });
        causes.marks(c.observedTimes, c.observedPerProduct, CauseColor(c.cause));
    }
    total.curve(QStringLiteral("Сумма причин"), QPen(Qt::black, 2), end, [&](double t) {
        double sum = 0;
        for (const CauseFit& c : result_.causes)
            if (c.fitted) sum += CauseFailuresPerProduct(c, t);
        return sum;
    });
    const ObservedAccumulation observed = ObservedTotalPerProduct(result_);
    total.marks(observed.times, observed.perProduct, QColor(0x70, 0x70, 0x70));
    if (st.MPravd.Executed && st.Pravd.fitted)
        total.curve(QStringLiteral("Модель 3"), QPen(QColor(0x80, 0x00, 0x40), 2, Qt::DashLine), end,
                    [&](double t) { return PerProduct(st.Pravd.A, st.Pravd.B, st.Pravd.K, t); });
    causes.ranges(end);
    total.ranges(end);
}

} // namespace tovimo
