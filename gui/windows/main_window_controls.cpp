// Copying the main window's controls into the core's view of them and back,
// the record grid and the small log-log chart.
#include "gui/windows/main_window.h"
#include "gui/windows/record_grid_model.h"

#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tovimo {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// Axis range around the values with a small margin; a single value gets a unit span.
std::pair<double, double> paddedRange(double lo, double hi) {
    if (!(lo <= hi)) return {0, 1};
    if (hi - lo < 1e-12) return {lo - 0.5, hi + 0.5};
    const double pad = (hi - lo) * 0.05;
    return {lo - pad, hi + pad};
}

// The chart tells points apart to a 1/4096 of its axes' spans, finer than
// any size the window can take draws them.
constexpr double kChartResolution = 4096;

// The points a series draws: a point nearer the last one drawn than dx and dy
// would fall on its pixel, so a series of a million failures draws only the
// points that can be seen apart (and always its last one).
QList<QPointF> VisibleChartPoints(const std::vector<ChartPoint>& points, double dx, double dy) {
    QList<QPointF> list;
    QPointF last;
    for (size_t i = 0; i < points.size(); ++i) {
        const ChartPoint& p = points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        const bool final = i + 1 == points.size();
        if (!list.isEmpty() && !final && std::abs(p.x - last.x()) < dx && std::abs(p.y - last.y()) < dy)
            continue;
        last = QPointF(p.x, p.y);
        list.append(last);
    }
    return list;
}

} // namespace

char TForm1::localeSeparator() const {
    const QString dp = QLocale().decimalPoint();
    return dp == QStringLiteral(",") ? ',' : '.';
}

void TForm1::bindFields() {
    using Edit = FormField<QLineEdit, std::string>;
    using Check = FormField<QCheckBox, bool>;
    fields_ = {
        Edit{FilePath, &MainForm::FilePath},
        FormField<QLabel, std::string>{Label10, &MainForm::Label10},
        FormField<QLabel, std::string>{Label15, &MainForm::Label15},
        Edit{meKolAll, &MainForm::meKolAll},
        Edit{meKolOtk, &MainForm::meKolOtk},
        Edit{meSred, &MainForm::meSred},
        Edit{meSKO, &MainForm::meSKO},
        Edit{LabeledEdit2, &MainForm::LabeledEdit2},
        Edit{LabeledEdit3, &MainForm::LabeledEdit3},
        Check{CheckBox1, &MainForm::CheckBox1},
        Edit{Edit4, &MainForm::Edit4},
        Edit{MaskEdit1, &MainForm::MaskEdit1},
        Edit{MaskEditSrednee, &MainForm::MaskEditSrednee},
        Edit{MaskEditSKO, &MainForm::MaskEditSKO},
        Edit{Edit1, &MainForm::Edit1},
        Edit{Edit6, &MainForm::Edit6},
        Edit{Edit5, &MainForm::Edit5},
        Check{SpirSpusk, &MainForm::SpirSpusk},
        Check{BoxNewton, &MainForm::BoxNewton},
        Check{BoxSmirnow, &MainForm::BoxSmirnow},
        Check{BoxPravd, &MainForm::BoxPravd},
        Check{PravdOnce, &MainForm::PravdOnce},
        FormField<QComboBox, int>{PravdLevel, &MainForm::PravdLevel},
        FormField<QComboBox, int>{PravdLaw, &MainForm::PravdLaw},
        Edit{PravdWindow, &MainForm::PravdWindow},
        Check{Sred_flag, &MainForm::Sred_flag},
        Check{SKO_Flag, &MainForm::SKO_Flag},
        FormField<QButtonGroup, int>{RadioGroup1Buttons, &MainForm::RadioGroup1},
        Edit{Edit2, &MainForm::Edit2},
        Edit{Edit3, &MainForm::Edit3},
        Edit{NPokoleny, &MainForm::NPokoleny},
        Edit{LabeledEdit1, &MainForm::LabeledEdit1},
        FormField<QSlider, int>{TrackBar1, &MainForm::TrackBar1},
        FormField<QSlider, int>{TrackBar2, &MainForm::TrackBar2},
        FormField<QProgressBar, int>{ProgressBar2, &MainForm::ProgressBar2},
    };
}

void TForm1::readControls() {
    form_.decimalSeparator = localeSeparator();
    for (const AnyFormField& f : fields_)
        ReadField(f, form_);
}

void TForm1::showForm() {
    for (const AnyFormField& f : fields_)
        ShowField(f, form_);
    setPravdLawChoices(!st_.MasTGarant.empty(), form_.PravdLaw);
    appendMemoLines();
}

void TForm1::appendMemoLine(const std::string& line) {
    form_.Memo2.push_back(line);
    appendMemoLines();
}

void TForm1::appendMemoLines() {
    for (; memoShown_ < form_.Memo2.size(); ++memoShown_)
        Memo2->appendPlainText(qs(form_.Memo2[memoShown_]));
}

void TForm1::showGrid() {
    if (st_.uk)
        gridModel_->showRecords(form_.decimalSeparator);
    else
        gridModel_->followRecords();
    fitGridColumns();
}

// The record grid's columns take the widths the form gives them, widened
// where a header's text would not fit in them.
void TForm1::fitGridColumns() {
    const QHeaderView* header = Mass_List->horizontalHeader();
    for (int c = 0; c < 4; ++c)
        Mass_List->setColumnWidth(
            c, std::max(form_.Mass_List_widths[static_cast<size_t>(c)], header->sectionSizeHint(c)));
}

void TForm1::showChart() {
    double xlo = INFINITY, xhi = -INFINITY, ylo = INFINITY, yhi = -INFINITY;
    for (const auto* points : {&form_.Chart2_Series1, &form_.Chart2_Series2})
        for (const ChartPoint& p : *points) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
            xlo = std::min(xlo, p.x);
            xhi = std::max(xhi, p.x);
            ylo = std::min(ylo, p.y);
            yhi = std::max(yhi, p.y);
        }
    const auto [x0, x1] = paddedRange(xlo, xhi);
    const auto [y0, y1] = paddedRange(ylo, yhi);
    // the resolution as plain values: a lambda may not capture structured bindings under clang 14
    const double xStep = (x1 - x0) / kChartResolution, yStep = (y1 - y0) / kChartResolution;
    auto fill = [&](QLineSeries* series, const std::vector<ChartPoint>& points) {
        series->replace(VisibleChartPoints(points, xStep, yStep));
        if (!points.empty()) series->setColor(QColor::fromRgb(static_cast<QRgb>(points.front().color)));
    };
    fill(Series1, form_.Chart2_Series1);
    fill(Series2, form_.Chart2_Series2);
    Chart2Bottom->setRange(x0, x1);
    Chart2Left->setRange(y0, y1);
}

void TForm1::setRunControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{OpenFileStart, btnImportTable, SpeedButton1, bbRaschet,
                                                      Button1, ToolBRunGenOptim, Edit3})
        w->setEnabled(enabled);
}

} // namespace tovimo
