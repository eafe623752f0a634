// Copying the main window's controls into the core's view of them and back,
// the record grid and the small log-log chart.
#include "gui/windows/main_window.h"

#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tovimo {

namespace {

std::string text(const QLineEdit* e) {
    return e->text().toStdString();
}
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

void setText(QLineEdit* e, const std::string& s) {
    const QString t = qs(s);
    if (e->text() != t) e->setText(t);
}

// Axis range around the values with a small margin; a single value gets a unit span.
std::pair<double, double> paddedRange(double lo, double hi) {
    if (!(lo <= hi)) return {0, 1};
    if (hi - lo < 1e-12) return {lo - 0.5, hi + 0.5};
    const double pad = (hi - lo) * 0.05;
    return {lo - pad, hi + pad};
}

} // namespace

char TForm1::localeSeparator() const {
    const QString dp = QLocale().decimalPoint();
    return dp == QStringLiteral(",") ? ',' : '.';
}

void TForm1::readControls() {
    MainForm& f = form_;
    f.decimalSeparator = localeSeparator();
    f.FilePath = text(FilePath);
    f.Label10 = Label10->text().toStdString();
    f.Label15 = Label15->text().toStdString();
    f.meKolAll = text(meKolAll);
    f.meKolOtk = text(meKolOtk);
    f.meSred = text(meSred);
    f.meSKO = text(meSKO);
    f.LabeledEdit2 = text(LabeledEdit2);
    f.LabeledEdit3 = text(LabeledEdit3);
    f.CheckBox1 = CheckBox1->isChecked();
    f.Edit4 = text(Edit4);
    f.MaskEdit1 = text(MaskEdit1);
    f.MaskEditSrednee = text(MaskEditSrednee);
    f.MaskEditSKO = text(MaskEditSKO);
    f.Edit1 = text(Edit1);
    f.Edit6 = text(Edit6);
    f.Edit5 = text(Edit5);
    f.SpirSpusk = SpirSpusk->isChecked();
    f.BoxNewton = BoxNewton->isChecked();
    f.BoxSmirnow = BoxSmirnow->isChecked();
    f.Sred_flag = Sred_flag->isChecked();
    f.SKO_Flag = SKO_Flag->isChecked();
    f.RadioGroup1 = RadioGroup1Buttons->checkedId();
    f.Edit2 = text(Edit2);
    f.Edit3 = text(Edit3);
    f.NPokoleny = text(NPokoleny);
    f.LabeledEdit1 = text(LabeledEdit1);
    f.TrackBar1 = TrackBar1->value();
    f.TrackBar2 = TrackBar2->value();
    f.ProgressBar2 = ProgressBar2->value();
}

void TForm1::showForm() {
    const MainForm& f = form_;
    setText(FilePath, f.FilePath);
    Label10->setText(qs(f.Label10));
    Label15->setText(qs(f.Label15));
    setText(meKolAll, f.meKolAll);
    setText(meKolOtk, f.meKolOtk);
    setText(meSred, f.meSred);
    setText(meSKO, f.meSKO);
    setText(LabeledEdit2, f.LabeledEdit2);
    setText(LabeledEdit3, f.LabeledEdit3);
    setText(Edit4, f.Edit4);
    setText(MaskEdit1, f.MaskEdit1);
    setText(MaskEditSrednee, f.MaskEditSrednee);
    setText(MaskEditSKO, f.MaskEditSKO);
    setText(Edit1, f.Edit1);
    setText(Edit6, f.Edit6);
    setText(Edit5, f.Edit5);
    setText(Edit2, f.Edit2);
    setText(Edit3, f.Edit3);
    setText(NPokoleny, f.NPokoleny);
    setText(LabeledEdit1, f.LabeledEdit1);
    TrackBar1->setValue(f.TrackBar1);
    TrackBar2->setValue(f.TrackBar2);
    ProgressBar2->setValue(std::clamp(f.ProgressBar2, 0, 100));
    appendMemoLines();
}

void TForm1::appendMemoLines() {
    for (; memoShown_ < form_.Memo2.size(); ++memoShown_)
        Memo2->appendPlainText(qs(form_.Memo2[memoShown_]));
}

void TForm1::showGrid() {
    const auto& rows = form_.Mass_List;
    if (rows.empty()) return;
    Mass_List->clearContents();
    QStringList header;
    for (const auto& cell : rows[0])
        header << qs(cell);
    Mass_List->setHorizontalHeaderLabels(header);
    Mass_List->setRowCount(static_cast<int>(rows.size()) - 1);
    for (size_t r = 1; r < rows.size(); ++r)
        for (int c = 0; c < 4; ++c)
            Mass_List->setItem(static_cast<int>(r) - 1, c,
                               new QTableWidgetItem(qs(rows[r][static_cast<size_t>(c)])));
    for (int c = 0; c < 4; ++c)
        Mass_List->setColumnWidth(c, form_.Mass_List_widths[static_cast<size_t>(c)]);
}

void TForm1::showChart() {
    double xlo = INFINITY, xhi = -INFINITY, ylo = INFINITY, yhi = -INFINITY;
    auto fill = [&](QLineSeries* series, const std::vector<ChartPoint>& points) {
        QList<QPointF> list;
        list.reserve(static_cast<qsizetype>(points.size()));
        for (const ChartPoint& p : points) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
            list.append(QPointF(p.x, p.y));
            xlo = std::min(xlo, p.x);
            xhi = std::max(xhi, p.x);
            ylo = std::min(ylo, p.y);
            yhi = std::max(yhi, p.y);
        }
        series->replace(list);
        if (!points.empty()) series->setColor(QColor::fromRgb(static_cast<QRgb>(points.front().color)));
    };
    fill(Series1, form_.Chart2_Series1);
    fill(Series2, form_.Chart2_Series2);
    const auto [x0, x1] = paddedRange(xlo, xhi);
    const auto [y0, y1] = paddedRange(ylo, yhi);
    Chart2Bottom->setRange(x0, x1);
    Chart2Left->setRange(y0, y1);
}

void TForm1::setRunControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{OpenFileStart, btnImportTable, SpeedButton1, bbRaschet,
                                                      Button1, ToolBRunGenOptim, Edit3})
        w->setEnabled(enabled);
}

} // namespace tovimo
