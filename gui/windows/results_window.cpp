#include "gui/windows/results_window.h"

#include "core/fit/causes_table.h"
#include "core/fit/likelihood_fit.h"
#include "core/results/chart_data.h"
#include "core/results/csv_export.h"
#include "core/results/model_warnings.h"
#include "core/results/results_refresh.h"
#include "core/results/results_table.h"
#include "core/stats/model_slot.h"
#include "gui/charts/chart_fonts.h"
#include "gui/charts/chart_separators.h"
#include "gui/platform/print_service.h"
#include "gui/platform/ui_seams.h"
#include "gui/windows/bounds_panel.h"
#include "gui/windows/causes_window.h"
#include "gui/windows/forecast_window.h"
#include "gui/windows/results_layout.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>

namespace tovimo {

namespace {

// The window was laid out for this client area; the charts at the bottom
// keep their distances to the edges when it is another size.
constexpr int kDesignWidth = 1522;
constexpr int kDesignHeight = 818;

// The first of the texts that fits in `width`, or the last cut to fit.
QString firstThatFits(const QFontMetrics& metrics, const QStringList& texts, int width) {
    for (const QString& text : texts)
        if (metrics.horizontalAdvance(text) <= width) return text;
    return texts.isEmpty() ? QString() : metrics.elidedText(texts.back(), Qt::ElideRight, width);
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TForm5::TForm5(AnalysisState& st, QWidget* parent) : QWidget(parent, Qt::Window), st_(st) {
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral(
        "Количественный анализ закона распределения отказов. Анализ надежности в эксплуатации."));
    setFont(UiFont(QStringLiteral("Segoe UI"), 12));
    setAutoFillBackground(true);
    ownForm_.decimalSeparator = QLocale().decimalPoint().at(0).toLatin1();
    FormCreate();
}

void TForm5::FormCreate() {
    Label10 = new QLabel(this);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setFont(UiFont(QStringLiteral("Arial Black"), 17));
    Label10->setAlignment(Qt::AlignCenter);

    buildGrid();

    const ResultCharts design = ResultChartsDesign();
    Chart1 = new ChartView(new PlannedChart(design.chart1), this);
    Chart2 = new ChartView(new PlannedChart(design.chart2), this);
    Chart2->setWheelZoom(true);
    Chart3 = new ChartView(new PlannedChart(design.chart3), this);
    for (ChartView* view : {Chart1, Chart2, Chart3})
        view->plannedChart()->setFitColumnLabels(true);

    Button1 = button(QStringLiteral("Печать"), QStringLiteral("Button1"), this);
    Prodolgenie = button(QStringLiteral("Продолж."), QStringLiteral("Prodolgenie"), this);
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(Prodolgenie, &QPushButton::clicked, this, &TForm5::ProdolgenieClick);
    btnReport = button(QStringLiteral("Отчёт"), QStringLiteral("btnReport"), this);
    btnSaveTable = button(QStringLiteral("Сохранить таблицу"), QStringLiteral("btnSaveTable"), this);
    connect(btnReport, &QPushButton::clicked, this, &TForm5::btnReportClick);
    connect(btnSaveTable, &QPushButton::clicked, this, &TForm5::btnSaveTableClick);
    for (QPushButton* b : {btnReport, btnSaveTable})
        b->setEnabled(false); // until a refresh has something to give
    btnBounds = button(QStringLiteral("Границы"), QStringLiteral("btnBounds"), this);
    btnBounds->setToolTip(QStringLiteral("Доверительные границы модели 3 и предупреждения о моделях"));
    connect(btnBounds, &QPushButton::clicked, this, &TForm5::btnBoundsClick);
    WarningsLine = new QLabel(this);
    WarningsLine->setObjectName(QStringLiteral("WarningsLine"));
    WarningsLine->setStyleSheet(QStringLiteral("color: #B00000;"));
    SaveStatus = new QLabel(this);
    SaveStatus->setObjectName(QStringLiteral("SaveStatus"));
    SaveStatus->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bounds_ = new TBoundsPanel(this);
    // model 3's own windows open from its bounds panel: the results window's
    // top row has no room left beside the header and the warnings line
    btnCauses = bounds_->btnCauses;
    btnCauses->setToolTip(QStringLiteral("Модель 3 по каждой причине отказов"));
    btnForecast = bounds_->btnForecast;
    btnForecast->setToolTip(QStringLiteral("Прогноз числа отказов за гарантию по модели 3"));
    connect(btnCauses, &QPushButton::clicked, this, &TForm5::btnCausesClick);
    connect(btnForecast, &QPushButton::clicked, this, &TForm5::btnForecastClick);
    for (QPushButton* b : {btnCauses, btnForecast})
        b->setEnabled(false); // until model 3 has been fitted
    causes_ = new TCausesWindow(this);
    forecast_ = new TForecastWindow(this);
    causes_->onForecast = [this](int cause, const std::string& name) {
        if (!shown_) return;
        const MainForm& f = shown_->form;
        forecast_->setSource(shown_->st, LikelihoodSettingsFromForm(f), cause, name, f.decimalSeparator);
        forecast_->show();
        forecast_->raise();
        forecast_->btnCalcClick();
    };

    keepEverythingShown(QSize(), 0);
    resize(kDesignWidth, kDesignHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
}

void TForm5::buildGrid() {
    Result_Grid = new QTableWidget(kResultRows - 1, kResultCols, this);
    Result_Grid->setObjectName(QStringLiteral("Result_Grid"));
    Result_Grid->setFont(ResultGridFont());
    Result_Grid->setFrameShape(QFrame::NoFrame);
    Result_Grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    Result_Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Result_Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the twelve rows always fit
    Result_Grid->verticalHeader()->setVisible(false);
    Result_Grid->verticalHeader()->setMinimumSectionSize(20);
    Result_Grid->verticalHeader()->setDefaultSectionSize(20);
    // Row 0, the fixed row, is the grid's header: it stays, the columns are resized by dragging it.
    QHeaderView* header = Result_Grid->horizontalHeader();
    header->setFont(Result_Grid->font());
    header->setDefaultSectionSize(170);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setFixedHeight(20);
    // a column the user widens moves the charts, never hides another column
    connect(header, &QHeaderView::sectionResized, this, [this] { layOut(); });
    for (int c = 0; c < kResultCols; ++c)
        Result_Grid->setHorizontalHeaderItem(c, new QTableWidgetItem);
    for (int r = 0; r < kResultRows - 1; ++r)
        for (int c = 0; c < kResultCols; ++c)
            Result_Grid->setItem(r, c, new QTableWidgetItem);
}

void TForm5::setMainWindow(QWidget* mainWindow, std::function<const MainForm&()> form) {
    mainWindow_ = mainWindow;
    form_ = std::move(form);
}

QTableWidgetItem* TForm5::cell(int row, int column) const {
    return row == 0 ? Result_Grid->horizontalHeaderItem(column) : Result_Grid->item(row - 1, column);
}

QString TForm5::cellText(int row, int column) const {
    const QTableWidgetItem* item = cell(row, column);
    return item ? item->text() : QString();
}

void TForm5::DiaStart() {
    const MainForm& form = form_ ? form_() : ownForm_;
    const char sep = form.decimalSeparator;

    RefreshResultFigures(st_);
    const ResultCharts charts = BuildResultCharts(st_, sep, ChartGroupSeparator(sep));
    StoreChartTotals(st_, charts);
    Chart1->plannedChart()->fill(charts.chart1);
    Chart2->plannedChart()->fill(charts.chart2);
    Chart3->plannedChart()->fill(charts.chart3);

    title_ = QString::fromStdString(charts.header);

    const QFontMetrics metrics(Result_Grid->font());
    const ResultTable table = FillResultTable(
        st_, sep, [&](const std::string& s) { return metrics.horizontalAdvance(QString::fromStdString(s)); });
    for (int r = 0; r < kResultRows; ++r)
        for (int c = 0; c < kResultCols; ++c)
            cell(r, c)->setText(
                QString::fromStdString(table.cells[static_cast<size_t>(r)][static_cast<size_t>(c)]));
    for (int c = 0; c < kResultCols; ++c)
        Result_Grid->setColumnWidth(c, table.widths[static_cast<size_t>(c)]);
    showWarnings(sep);
    layOut();

    shown_ = std::make_unique<Shown>(Shown{st_, form, reportSource_ ? reportSource_() : ReportSource{}});
    for (QPushButton* b : {btnReport, btnSaveTable})
        b->setEnabled(true);
    for (QPushButton* b : {btnCauses, btnForecast})
        b->setEnabled(model3Shown());
    forgetModel3Extras(); // computed on the results before this refresh

    showMaximized();
    raise();
    Ui().setWaitCursor(false);
}

void TForm5::forgetStaleResults() {
    if (AnyModelExecuted(st_)) return;
    shown_.reset();
    for (QPushButton* b : {btnReport, btnSaveTable, btnCauses, btnForecast})
        b->setEnabled(false);
    forgetModel3Extras();
    const ResultCharts design = ResultChartsDesign();
    Chart1->plannedChart()->fill(design.chart1);
    Chart2->plannedChart()->fill(design.chart2);
    Chart3->plannedChart()->fill(design.chart3);
    title_.clear();
    for (int r = 0; r < kResultRows; ++r)
        for (int c = 0; c < kResultCols; ++c)
            cell(r, c)->setText(QString());
    showWarnings((form_ ? form_() : ownForm_).decimalSeparator);
    layOut();
}

void TForm5::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void TForm5::layOut() {
    const QFontMetrics titleMetrics(Label10->font());
    QSize grid(0, Result_Grid->horizontalHeader()->height());
    for (int c = 0; c < Result_Grid->columnCount(); ++c)
        grid.rwidth() += Result_Grid->columnWidth(c);
    for (int r = 0; r < Result_Grid->rowCount(); ++r)
        grid.rheight() += Result_Grid->rowHeight(r);
    grid += QSize(2 * Result_Grid->frameWidth(), 2 * Result_Grid->frameWidth());
    const int titleWidth = titleMetrics.horizontalAdvance(title_);
    keepEverythingShown(grid, titleWidth);
    const ResultsLayout l =
        LayOutResults(size(), grid, titleWidth, Result_Grid->horizontalScrollBar()->sizeHint().height());

    const bool titleFits = titleWidth < l.title.width();
    Label10->setText(titleFits ? title_
                               : titleMetrics.elidedText(title_, Qt::ElideRight, l.title.width() - 4));
    Label10->setToolTip(title_);
    Label10->setGeometry(l.title);
    Result_Grid->setHorizontalScrollBarPolicy(l.gridScrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    Result_Grid->setGeometry(l.grid);
    Chart1->setGeometry(l.chart1);
    Chart2->setGeometry(l.chart2);
    Chart3->setGeometry(l.chart3);
    Button1->setGeometry(l.print);
    Prodolgenie->setGeometry(l.leave);
    btnReport->setGeometry(l.report);
    btnSaveTable->setGeometry(l.saveTable);
    btnBounds->setGeometry(l.bounds);
    // the warnings line gives half its width to the last save's line, all of
    // it when there is no warning; the path is cut at its start, the file's
    // name kept
    const QFontMetrics saveMetrics(SaveStatus->font());
    const QString savedPath = QDir::toNativeSeparators(savedFile_);
    const QString prefix = savedWhat_ + QStringLiteral(": ");
    const bool warned = !warningsTexts_.value(0).isEmpty();
    // at least the file's name whole
    const int leastSave =
        saveMetrics.horizontalAdvance(prefix + QStringLiteral("…/") + QFileInfo(savedFile_).fileName()) + 8;
    const int saveWidth =
        savedFile_.isEmpty()
            ? 0
            : std::min({warned ? std::max(l.warnings.width() / 2, leastSave) : l.warnings.width(),
                        l.warnings.width(), saveMetrics.horizontalAdvance(prefix + savedPath) + 8});
    QRect warnings = l.warnings;
    warnings.setWidth(l.warnings.width() - saveWidth);
    WarningsLine->setText(
        firstThatFits(QFontMetrics(WarningsLine->font()), warningsTexts_, std::max(0, warnings.width() - 4)));
    WarningsLine->setGeometry(warnings);
    SaveStatus->setVisible(!savedFile_.isEmpty());
    SaveStatus->setGeometry(QRect(warnings.right() + 1, l.warnings.top(), saveWidth, l.warnings.height()));
    const int pathRoom = std::max(0, saveWidth - 8 - saveMetrics.horizontalAdvance(prefix));
    SaveStatus->setText(savedFile_.isEmpty()
                            ? QString()
                            : prefix + saveMetrics.elidedText(savedPath, Qt::ElideLeft, pathRoom));
}

void TForm5::keepEverythingShown(QSize grid, int titleWidth) {
    // The smallest size still shows every column, the header and the buttons;
    // a screen smaller than that still gets the whole window.
    QSize least = ResultsMinimumSize(grid, titleWidth);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        least = least.boundedTo(screen->availableGeometry().size());
    if (minimumSize() != least) setMinimumSize(least);
}

void TForm5::showWarnings(char sep) {
    const size_t n = st_.Warnings.size();
    QStringList lines;
    for (const ModelWarning& w : st_.Warnings)
        lines << QString::fromStdString(WarningMemoLine(w));
    // The whole line where there is room, shorter forms where there is not.
    warningsTexts_.clear();
    if (n > 0)
        warningsTexts_ << QStringLiteral("Предупреждений: %1 (подробно: кнопка «Границы»)").arg(n)
                       << QStringLiteral("Предупреждений: %1").arg(n)
                       << QStringLiteral("Предупр.: %1").arg(n);
    WarningsLine->setText(warningsTexts_.value(0));
    WarningsLine->setToolTip(lines.join(QLatin1Char('\n')));
    bounds_->fill(st_, sep);
}

void TForm5::btnBoundsClick() {
    bounds_->showReadable();
}

bool TForm5::model3Shown() const {
    return shown_ && shown_->st.MPravd.Executed && shown_->st.Pravd.fitted;
}

ReportModel3Extras TForm5::model3Extras() const {
    ReportModel3Extras e;
    if (causes_->result().done) e.causes = causes_->result();
    if (forecast_->result().done) {
        e.forecast = forecast_->result();
        e.forecastCause = forecast_->causeName();
    }
    return e;
}

void TForm5::forgetModel3Extras() {
    causes_->hide();
    forecast_->hide();
    causes_->clear();
    forecast_->clear();
}

void TForm5::btnCausesClick() {
    if (!model3Shown()) return;
    const MainForm& f = shown_->form;
    causes_->show();
    causes_->raise();
    causes_->compute(shown_->st, LikelihoodSettingsFromForm(f), f.decimalSeparator);
}

void TForm5::btnForecastClick() {
    if (!model3Shown()) return;
    const MainForm& f = shown_->form;
    forecast_->setSource(shown_->st, LikelihoodSettingsFromForm(f), 0, {}, f.decimalSeparator);
    forecast_->show();
    forecast_->raise();
    forecast_->btnCalcClick();
}

void TForm5::hideEvent(QHideEvent* event) {
    // the panel belongs to the results it shows: it leaves with them (a
    // minimised window's spontaneous hide leaves it to the window manager)
    if (!event->spontaneous()) {
        bounds_->hide();
        causes_->hide();
        forecast_->hide();
    }
    QWidget::hideEvent(event);
}

void TForm5::Button1Click() {
    Printing().print(this);
}

std::optional<QString> TForm5::chooseOutput(const QString& filter, const QString& extension) {
    if (!shown_) return std::nullopt;
    // offered under the data file's name, in the folder last saved to, else beside the data file
    const QFileInfo data(QString::fromStdString(shown_->source.dataFile));
    const QDir folder = lastSaveFolder_.isEmpty() ? data.absoluteDir() : QDir(lastSaveFolder_);
    return Ui().saveFile(this, filter, folder.filePath(data.completeBaseName() + extension));
}

void TForm5::savedTo(const QString& what, const QString& file) {
    lastSaveFolder_ = QFileInfo(file).absolutePath();
    savedWhat_ = what;
    savedFile_ = file;
    SaveStatus->setToolTip(what + QStringLiteral(": ") + QDir::toNativeSeparators(file));
    layOut();
}

void TForm5::btnReportClick() {
    const auto chosen = chooseOutput(QStringLiteral("Отчёт PDF (*.pdf)"), QStringLiteral(".pdf"));
    if (!chosen) return;
    try {
        Ui().setWaitCursor(true);
        WriteReportPdf(shown_->st, shown_->form, shown_->source, QFile::encodeName(*chosen).toStdString(),
                       model3Extras());
        Ui().setWaitCursor(false);
        savedTo(QStringLiteral("Отчёт сохранён"), *chosen);
    } catch (const std::exception& e) {
        Ui().setWaitCursor(false);
        Ui().message(this, QString::fromStdString(e.what()));
    }
}

void TForm5::btnSaveTableClick() {
    const auto chosen = chooseOutput(QStringLiteral("Таблица CSV (*.csv)"), QStringLiteral(".csv"));
    if (!chosen) return;
    AnalysisState st = shown_->st;
    const char sep = shown_->form.decimalSeparator;
    const ResultTable table = FillResultTable(
        st, sep, [](const std::string& s) { return static_cast<int>(s.size()); }, false);
    // model 3 by cause and the forecast, when computed, beside the table under its name
    const QFileInfo chosenInfo(*chosen);
    const auto beside = [&](const char* what) {
        return chosenInfo.dir().filePath(chosenInfo.completeBaseName() + QLatin1Char('.') +
                                         QLatin1String(what) + QStringLiteral(".csv"));
    };
    std::vector<std::pair<QString, std::string>> files{{*chosen, ResultTableCsv(table, sep)}};
    const ReportModel3Extras extras = model3Extras();
    if (extras.causes) files.emplace_back(beside("causes"), CausesCsv(*extras.causes, sep));
    if (extras.forecast) files.emplace_back(beside("forecast"), ForecastCsv(*extras.forecast, sep));
    QStringList written;
    for (const auto& [path, csv] : files) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) ||
            f.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size())) {
            Ui().message(this, QStringLiteral("Не удалось записать файл ") + QDir::toNativeSeparators(path));
            return;
        }
        written << QDir::toNativeSeparators(path);
    }
    savedTo(QStringLiteral("Таблица сохранена"), *chosen);
    if (written.size() > 1) SaveStatus->setToolTip(written.join(QLatin1Char('\n')));
}

void TForm5::ProdolgenieClick() {
    leave();
}

void TForm5::closeEvent(QCloseEvent* event) {
    // The window is kept for the next refresh; closing only hides it.
    event->accept();
    if (mainWindow_) mainWindow_->show();
}

void TForm5::leave() {
    hide();
    if (mainWindow_) mainWindow_->show();
}

} // namespace tovimo
