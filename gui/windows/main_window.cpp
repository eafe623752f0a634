// The main window's controls, their arrangement, captions and defaults.
#include "gui/windows/main_window.h"
#include "gui/windows/record_grid_model.h"

#include "gui/charts/chart_fonts.h"
#include "gui/platform/settings_file.h"
#include "gui/platform/ui_call_queue.h"
#include "gui/workers/gen_thread.h"

#include <QApplication>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtMath>

namespace tovimo {

namespace {

QFont pixelFont(const QString& family, int pixels, bool bold = false) {
    return UiFont(family, pixels, bold);
}

QLabel* namedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QLineEdit* namedEdit(const QString& name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

// An edit with its caption label, the label named "<edit>Label".
QLineEdit* labeledEdit(const QString& name, const QString& caption, QWidget* parent,
                       QLabel** label = nullptr) {
    auto* e = namedEdit(name, parent);
    auto* l = namedLabel(name + QStringLiteral("Label"), caption, parent);
    l->setBuddy(e);
    if (label) *label = l;
    return e;
}

QLineEdit* displayEdit(const QString& name, QWidget* parent) {
    auto* e = namedEdit(name, parent);
    e->setReadOnly(true);
    return e;
}

QCheckBox* namedCheck(const QString& name, const QString& text, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    return c;
}

// Captions of the data summary wider than this take two lines.
constexpr int kCaptionWidth = 170;

// Lines of the progress memo shown at the smallest window size.
constexpr int kMemoLeastLines = 6;

// "Expand" keeps this far from the chart's frame.
constexpr int kExpandInset = 2;

// A chart view that asks for no more than its minimum: a graphics view's size
// hint is its scene's size, which follows the view, so that the layout would
// give the chart the size it had last (after a maximised window, the tall row
// of the summary).
class SteadyChartView final : public QChartView {
  public:
    using QChartView::QChartView;
    QSize sizeHint() const override { return minimumSize(); }
};

QPushButton* namedButton(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QSlider* trackBar(const QString& name, QWidget* parent) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(0, 100);
    s->setTickInterval(5);
    s->setTickPosition(QSlider::TicksBelow);
    return s;
}

} // namespace

TForm1::TForm1(AnalysisState& st, const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent), st_(st),
      settingsFile_(settingsFile.isEmpty() ? SettingsFilePath() : settingsFile) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Анализ цензурированного временного ряда отказов."));
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    resize(1420, 816);
    calls_ = new UiCallQueue(this);
    buildUi();
    bindFields();
    showForm(); // the controls' defaults
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1() {
    stopCalculationRun();
    stopGeneticRun();
}

void TForm1::FormCreate() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
    FilePath->setText(
        ReadComStr(settingsFile_, QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
}

void TForm1::buildUi() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    // The data summary across the top, the log-log chart at the top right,
    // the pages and the memo on the left, the record grid on the right; on a
    // narrow screen the chart stands over the record grid (arrange()).
    auto* grid = new QGridLayout(central);
    grid_ = grid;
    grid->setContentsMargins(4, 4, 4, 4);
    topArea_ = buildTopArea();
    grid->addWidget(topArea_, 0, 0, 1, 3);

    PageControl = new QTabWidget(central);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    // both page tabs stay readable: the column is as wide as they need
    PageControl->setUsesScrollButtons(false);
    PageControl->tabBar()->setElideMode(Qt::ElideNone);
    PageControl->tabBar()->setExpanding(false);
    PageControl->addTab(buildTabSheet1(), QStringLiteral("1. Основной подбор параметров распределения"));
    PageControl->addTab(buildTabSheet2(), QStringLiteral("2. Генетический алгоритм"));
    PageControl->setMinimumWidth(443);

    Memo2 = new QPlainTextEdit(central);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setMinimumWidth(443);
    // six lines of progress at the smallest window size
    Memo2->setMinimumHeight(kMemoLeastLines * QFontMetrics(Memo2->font()).lineSpacing() +
                            2 * qCeil(Memo2->document()->documentMargin()) + 2 * Memo2->frameWidth() +
                            Memo2->horizontalScrollBar()->sizeHint().height());
    appendMemoLines();

    auto* left = new QVBoxLayout;
    left->addWidget(PageControl);
    left->addWidget(Memo2, 1);
    grid->addLayout(left, 1, 0);

    Mass_List = new QTableView(central);
    gridModel_ = new RecordGridModel(st_, 25 - 1, Mass_List); // the header row is the table's header
    Mass_List->setModel(gridModel_);
    Mass_List->setObjectName(QStringLiteral("Mass_List"));
    Mass_List->setToolTip(QStringLiteral("Данные из файла об отказах изделий"));
    Mass_List->verticalHeader()->setVisible(false);
    Mass_List->verticalHeader()->setSectionsMovable(true);
    Mass_List->horizontalHeader()->setSectionsMovable(false);
    Mass_List->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Mass_List->horizontalHeader()->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 12, true));
    Mass_List->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: palette(tool-tip-base); }"));
    fitGridColumns();
    rightColumn_ = new QVBoxLayout;
    rightColumn_->addWidget(buildChart2(), 1);
    rightColumn_->addWidget(Mass_List, 1);
    grid->addLayout(rightColumn_, 1, 1, 1, 2);

    RunStatus = namedLabel(QStringLiteral("RunStatus"), QString(), this);
    RunBusy = new QProgressBar(this);
    RunBusy->setObjectName(QStringLiteral("RunBusy"));
    RunBusy->setRange(0, 0); // busy without a known end
    RunBusy->setMaximumWidth(160);
    statusBar()->addWidget(RunBusy);
    statusBar()->addWidget(RunStatus, 1);
    RunCancel = namedButton(QStringLiteral("RunCancel"), QStringLiteral("Отмена"), this);
    RunCancel->setToolTip(QStringLiteral("Прервать расчет"));
    statusBar()->addPermanentWidget(RunCancel);
    connect(RunCancel, &QPushButton::clicked, this, &TForm1::cancelCalculationRun);
    RunStatus->hide();
    RunBusy->hide();
    RunCancel->hide();

    // the chart's column takes half of what the window has beyond its minimum
    grid->setColumnStretch(0, 0);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);
}

void TForm1::arrange(bool wide) {
    if (wide == wide_) return;
    wide_ = wide;
    for (QWidget* w : {topArea_, static_cast<QWidget*>(Chart2), static_cast<QWidget*>(Mass_List)}) {
        grid_->removeWidget(w);
        rightColumn_->removeWidget(w);
    }
    if (wide) {
        grid_->addWidget(topArea_, 0, 0, 1, 2);
        grid_->addWidget(Chart2, 0, 2);
        grid_->addWidget(Mass_List, 1, 1, 1, 2);
    } else {
        grid_->addWidget(topArea_, 0, 0, 1, 3);
        rightColumn_->addWidget(Chart2, 1);
        rightColumn_->addWidget(Mass_List, 1);
    }
    // the window's minimum follows the arrangement now, not a round of events
    // later, so that the size asked for next is the size it takes
    grid_->activate();
    layout()->activate();
}

void TForm1::resizeEvent(QResizeEvent* event) {
    // A window pushed against its minimum takes the narrow arrangement too,
    // whose minimum is smaller, so that it can go on shrinking.
    const int w = event->size().width();
    arrange(w >= kMainWideFrom && !(wide_ && w <= minimumSizeHint().width()));
    QMainWindow::resizeEvent(event);
}

QWidget* TForm1::buildTopArea() {
    auto* top = new QWidget(this);
    auto* v = new QVBoxLayout(top);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(3);

    Label10 = namedLabel(QStringLiteral("Label10"), QString(), top);
    Label10->setFont(pixelFont(QStringLiteral("Arial Black"), 17));
    v->addWidget(Label10);

    // One row: the caption, "Путь", "Импорт таблицы…", the path and the warranty file's comment,
    // so that the rows below keep their height on a small screen.
    auto* pathRow = new QHBoxLayout;
    Label1 = namedLabel(QStringLiteral("Label1"), QStringLiteral("Файл исходных данных:"), top);
    pathRow->addWidget(Label1);
    OpenFileStart = namedButton(QStringLiteral("OpenFileStart"), QStringLiteral("Путь"), top);
    OpenFileStart->setToolTip(
        QStringLiteral("Файл содержит строки комментария, среднего времени окончания "
                       "гарантии, СКО гарантии, парка, числа всех отказов и массив времен "
                       "отказов"));
    OpenFileStart->setDefault(true);
    pathRow->addWidget(OpenFileStart);
    btnImportTable = namedButton(QStringLiteral("btnImportTable"), QStringLiteral("Импорт таблицы…"), top);
    btnImportTable->setToolTip(QStringLiteral("Таблица отказов (CSV, TSV) со столбцами наработки, причины "
                                              "и описания отказа: в файл исходных данных"));
    pathRow->addWidget(btnImportTable);
    FilePath = namedEdit(QStringLiteral("FilePath"), top);
    FilePath->setMinimumWidth(300);
    FilePath->setMaximumWidth(922);
    pathRow->addWidget(FilePath, 1);
    Label15 = namedLabel(QStringLiteral("Label15"), QString(), top);
    Label15->setWordWrap(true);
    pathRow->addWidget(Label15, 0);
    pathRow->addStretch(0); // what the path's greatest width leaves stays empty
    v->addLayout(pathRow);

    v->addWidget(buildPanel1());
    v->addStretch(1); // a taller row leaves the title, the path and the summary where they are
    return top;
}

QWidget* TForm1::buildPanel1() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto* g = new QGridLayout(Panel1);
    g->setContentsMargins(6, 4, 6, 4);
    g->setVerticalSpacing(2);

    QLabel* l = nullptr;
    meKolAll = displayEdit(QStringLiteral("meKolAll"), Panel1);
    g->addWidget(namedLabel(QStringLiteral("Label2"),
                            QStringLiteral("Среднее количество объектов в гарантийный период"), Panel1),
                 0, 0);
    g->addWidget(meKolAll, 0, 1);
    meKolOtk = displayEdit(QStringLiteral("meKolOtk"), Panel1);
    g->addWidget(namedLabel(QStringLiteral("Label3"),
                            QStringLiteral("Количество независимых отказов 2-3 групп сложности"), Panel1),
                 1, 0);
    g->addWidget(meKolOtk, 1, 1);
    CheckBox1 = namedCheck(QStringLiteral("CheckBox1"), QStringLiteral("Контроль ИД"), Panel1);
    g->addWidget(CheckBox1, 2, 0);

    meSred = labeledEdit(QStringLiteral("meSred"), QStringLiteral(" Среднее время гарантии"), Panel1, &l);
    l->setToolTip(QStringLiteral("Среднее время наблюдений"));
    g->addWidget(meSred, 0, 2);
    g->addWidget(l, 0, 3);
    meSKO = labeledEdit(QStringLiteral("meSKO"), QStringLiteral(" СКО времени гарантии"), Panel1, &l);
    g->addWidget(meSKO, 1, 2);
    g->addWidget(l, 1, 3);
    LabeledEdit2 = labeledEdit(QStringLiteral("LabeledEdit2"),
                               QStringLiteral("T fin временного ряда отказов"), Panel1, &l);
    l->setToolTip(QStringLiteral("Среднее время наблюдений"));
    g->addWidget(LabeledEdit2, 2, 2);
    g->addWidget(l, 2, 3);
    LabeledEdit3 =
        labeledEdit(QStringLiteral("LabeledEdit3"), QStringLiteral(" Расч. время приработки"), Panel1, &l);
    g->addWidget(LabeledEdit3, 3, 2);
    g->addWidget(l, 3, 3);

    auto* warranty = new QGridLayout;
    warranty->setVerticalSpacing(3);
    warranty->addWidget(
        namedLabel(QStringLiteral("Label9"), QStringLiteral("Файл данных времен окончания гарантии"), Panel1),
        0, 0, 1, 3);
    SpeedButton1 = namedButton(QStringLiteral("SpeedButton1"), QStringLiteral("File"), Panel1);
    warranty->addWidget(SpeedButton1, 1, 0);
    Edit4 = namedEdit(QStringLiteral("Edit4"), Panel1);
    warranty->addWidget(Edit4, 1, 1, 1, 2);
    warranty->addWidget(namedLabel(QStringLiteral("Label14"),
                                   QStringLiteral("Результат расчета массива времен окончания гарантии"),
                                   Panel1),
                        2, 0, 1, 3);
    MaskEdit1 = displayEdit(QStringLiteral("MaskEdit1"), Panel1);
    MaskEditSrednee = displayEdit(QStringLiteral("MaskEditSrednee"), Panel1);
    MaskEditSKO = displayEdit(QStringLiteral("MaskEditSKO"), Panel1);
    warranty->addWidget(
        namedLabel(QStringLiteral("Label11"), QStringLiteral("Количество объектов анализа"), Panel1), 3, 0);
    warranty->addWidget(
        namedLabel(QStringLiteral("Label12"), QStringLiteral("Среднее время гарантии, ч."), Panel1), 3, 1);
    warranty->addWidget(
        namedLabel(QStringLiteral("Label13"), QStringLiteral("СКО времени гарантии, ч."), Panel1), 3, 2);
    warranty->addWidget(MaskEdit1, 4, 0);
    warranty->addWidget(MaskEditSrednee, 4, 1);
    warranty->addWidget(MaskEditSKO, 4, 2);
    g->addLayout(warranty, 0, 4, 5, 1);
    g->setColumnStretch(5, 1);

    // Each figure shows whole; the longer captions take two lines rather
    // than widen the window.
    const int figure = QFontMetrics(Panel1->font()).horizontalAdvance(QStringLiteral("0000000,000")) + 12;
    for (QLineEdit* e : {meKolAll, meKolOtk, meSred, meSKO, LabeledEdit2, LabeledEdit3})
        e->setMinimumWidth(figure);
    for (QLabel* caption : Panel1->findChildren<QLabel*>()) {
        const bool warrantyFigure = caption->objectName().startsWith(QStringLiteral("Label1"));
        const int width = warrantyFigure ? kCaptionWidth * 5 / 6 : kCaptionWidth;
        if (QFontMetrics(caption->font()).horizontalAdvance(caption->text()) > width) {
            caption->setWordWrap(true);
            // the layout's minimum then holds every line of it
            caption->setMinimumSize(width, caption->heightForWidth(width));
        }
    }
    return Panel1;
}

QWidget* TForm1::buildChart2() {
    auto* chart = new QChart;
    chart->setObjectName(QStringLiteral("Chart2Chart"));
    chart->setTitle(QStringLiteral("Накопленние отказов по времени наблюдения"));
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->legend()->setVisible(false);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);

    Series1 = new QLineSeries(chart);
    Series1->setObjectName(QStringLiteral("Series1"));
    Series1->setColor(QColor(0x00, 0x80, 0x00));
    Series1->setPointsVisible(true);
    Series1->setMarkerSize(4);
    Series2 = new QLineSeries(chart);
    Series2->setObjectName(QStringLiteral("Series2"));
    Series2->setColor(QColor(0xFF, 0x00, 0x00));
    chart->addSeries(Series1);
    chart->addSeries(Series2);

    Chart2Bottom = new QValueAxis(chart);
    Chart2Bottom->setObjectName(QStringLiteral("Chart2Bottom"));
    Chart2Bottom->setTitleText(QStringLiteral("Log t (часов)"));
    // without labels the axis titles would be elided to dots: the labels stay, unseen
    Chart2Bottom->setLabelsColor(Qt::transparent);
    Chart2Left = new QValueAxis(chart);
    Chart2Left->setObjectName(QStringLiteral("Chart2Left"));
    Chart2Left->setTitleText(QStringLiteral("Log N (отказов)"));
    Chart2Left->setLabelsColor(Qt::transparent);
    auto* right = new QValueAxis(chart);
    right->setObjectName(QStringLiteral("Chart2Right"));
    right->setTitleText(QStringLiteral("Выбывание из гарантии, %"));
    right->setVisible(false);
    chart->addAxis(Chart2Bottom, Qt::AlignBottom);
    chart->addAxis(Chart2Left, Qt::AlignLeft);
    chart->addAxis(right, Qt::AlignRight);
    for (QLineSeries* s : {Series1, Series2}) {
        s->attachAxis(Chart2Bottom);
        s->attachAxis(Chart2Left);
    }

    Chart2 = new SteadyChartView(chart, this);
    Chart2->setObjectName(QStringLiteral("Chart2"));
    Chart2->setRenderHint(QPainter::Antialiasing);
    Chart2->setMinimumSize(260, 180);
    Chart2->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    Button2 = namedButton(QStringLiteral("Button2"), QStringLiteral("Expand"), Chart2);
    // the chart's frame is the view's edge; "Expand" stands in its bottom margin, below the axis titles
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(2, 2, 2, Button2->sizeHint().height() + 2 * kExpandInset));
    Chart2->installEventFilter(this); // keeps "Expand" in the chart's lower left corner
    return Chart2;
}

QWidget* TForm1::buildTabSheet1() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    auto* g = new QGridLayout(page);
    g->setContentsMargins(6, 4, 6, 4);
    g->setVerticalSpacing(2);

    auto* label4 = namedLabel(QStringLiteral("Label4"), QStringLiteral("Параметры оптимизации"), page);
    QFont bold = label4->font();
    bold.setBold(true);
    label4->setFont(bold);
    g->addWidget(label4, 0, 0, 1, 2);

    const QString placeholder = QStringLiteral("Минимум попадпний в столбец гистограммы");
    Edit1 = namedEdit(QStringLiteral("Edit1"), page);
    Edit1->setPlaceholderText(placeholder);
    Edit6 = namedEdit(QStringLiteral("Edit6"), page);
    Edit6->setPlaceholderText(placeholder);
    Edit5 = namedEdit(QStringLiteral("Edit5"), page);
    g->addWidget(
        namedLabel(QStringLiteral("Label5"), QStringLiteral("Коэф-т уменьшения шага модели 1.1"), page), 1,
        0);
    g->addWidget(Edit1, 1, 1);
    g->addWidget(
        namedLabel(QStringLiteral("Label17"), QStringLiteral("Коэф-т уменьшения шага модели 1.2"), page), 2,
        0);
    g->addWidget(Edit6, 2, 1);
    g->addWidget(
        namedLabel(QStringLiteral("Label16"), QStringLiteral("Коэф-т уменьшения шага модели 2"), page), 3, 0);
    g->addWidget(Edit5, 3, 1);

    bbRaschet = namedButton(QStringLiteral("bbRaschet"), QStringLiteral("Расчет"), page);
    bbRaschet->setFont(pixelFont(bbRaschet->font().family(), 20, true));
    bbRaschet->setMinimumHeight(40);
    // beside the models it runs, so that the page leaves the memo its lines
    g->addWidget(bbRaschet, 4, 1, 3, 1);

    SpirSpusk = namedCheck(QStringLiteral("SpirSpusk"),
                           QStringLiteral("Модель 1.1 по Пирсону, метод спирального спуска "), page);
    BoxNewton = namedCheck(QStringLiteral("BoxNewton"),
                           QStringLiteral("Модель 1.2 по Пирсону, метод Ньютона "), page);
    BoxSmirnow = namedCheck(QStringLiteral("BoxSmirnow"), QStringLiteral("Модель 2 (по Смирнову)"), page);
    Sred_flag = namedCheck(QStringLiteral("Sred_flag"), QStringLiteral("Подбор СВН (мет.1)"), page);
    SKO_Flag = namedCheck(QStringLiteral("SKO_Flag"), QStringLiteral("Подбор СКО (мет.1)"), page);
    g->addWidget(SpirSpusk, 4, 0);
    g->addWidget(BoxNewton, 5, 0);
    g->addWidget(BoxSmirnow, 6, 0);
    g->addWidget(buildPravdBox(page), 8, 0, 1, 2);
    g->addWidget(Sred_flag, 9, 0);
    g->addWidget(SKO_Flag, 9, 1);

    RadioGroup1 = new QGroupBox(QStringLiteral("Способ подбора параметров"), page);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1Buttons = new QButtonGroup(RadioGroup1);
    RadioGroup1Buttons->setObjectName(QStringLiteral("RadioGroup1Buttons"));
    auto* rv = new QHBoxLayout(RadioGroup1); // side by side: the page stays short
    const QString items[3] = {QStringLiteral("Специальный 1 "), QStringLiteral("Стандарт (default)"),
                              QStringLiteral("Специальный 2")};
    for (int i = 0; i < 3; ++i) {
        auto* rb = new QRadioButton(items[i], RadioGroup1);
        rb->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        RadioGroup1Buttons->addButton(rb, i);
        rv->addWidget(rb);
    }
    g->addWidget(RadioGroup1, 10, 0, 1, 2);
    g->setRowStretch(11, 1);
    return page;
}

QWidget* TForm1::buildPravdBox(QWidget* page) {
    auto* box = new QWidget(page);
    box->setObjectName(QStringLiteral("PravdBox"));
    auto* g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    BoxPravd =
        namedCheck(QStringLiteral("BoxPravd"), QStringLiteral("Модель 3 (максимум правдоподобия)"), box);
    PravdOnce = namedCheck(QStringLiteral("PravdOnce"),
                           QStringLiteral("Отказ изделия не более одного раза (K = 1)"), box);
    g->addWidget(BoxPravd, 0, 0, 1, 4);
    g->addWidget(PravdOnce, 1, 1, 1, 2);

    PravdLevel = new QComboBox(box);
    PravdLevel->setObjectName(QStringLiteral("PravdLevel"));
    for (double level : kLikelihoodLevels)
        PravdLevel->addItem(QLocale().toString(level, 'f', 2));
    PravdLaw = new QComboBox(box);
    PravdLaw->setObjectName(QStringLiteral("PravdLaw"));
    PravdLaw->addItems({QStringLiteral("нормальный"), QStringLiteral("по файлу")});
    auto* levelLabel =
        namedLabel(QStringLiteral("LabelPravdLevel"), QStringLiteral("Доверит. вероятность"), box);
    levelLabel->setBuddy(PravdLevel);
    auto* lawLabel = namedLabel(QStringLiteral("LabelPravdLaw"), QStringLiteral("Закон гарантии"), box);
    lawLabel->setBuddy(PravdLaw);
    g->addWidget(levelLabel, 2, 1);
    g->addWidget(PravdLevel, 2, 2);
    g->addWidget(lawLabel, 2, 4);
    g->addWidget(PravdLaw, 2, 5);
    PravdWindow = new QLineEdit(box);
    PravdWindow->setObjectName(QStringLiteral("PravdWindow"));
    PravdWindow->setPlaceholderText(QStringLiteral("конец закона"));
    PravdWindow->setToolTip(QStringLiteral("Пусто: наблюдение до конца закона гарантии"));
    auto* windowLabel =
        namedLabel(QStringLiteral("LabelPravdWindow"), QStringLiteral("Конец наблюдения, ч"), box);
    windowLabel->setBuddy(PravdWindow);
    g->addWidget(windowLabel, 1, 4);
    g->addWidget(PravdWindow, 1, 5);
    g->setColumnMinimumWidth(0, 18); // the settings stand under the model's box
    g->setColumnMinimumWidth(3, 12);
    g->setColumnStretch(6, 1);
    return box;
}

void TForm1::setPravdLawChoices(bool fileLoaded, int law) {
    // "по файлу" only once warranty-end times are loaded
    if (auto* model = qobject_cast<QStandardItemModel*>(PravdLaw->model()))
        if (QStandardItem* item = model->item(1)) item->setEnabled(fileLoaded);
    PravdLaw->setCurrentIndex(fileLoaded && law == 1 ? 1 : 0);
}

QWidget* TForm1::buildTabSheet2() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* g = new QGridLayout(page);
    g->setContentsMargins(6, 4, 6, 4);
    g->setVerticalSpacing(2);

    auto* label19 = namedLabel(
        QStringLiteral("Label19"),
        QStringLiteral("Отображение после основного расчета, для нового файла перегрузить!"), page);
    QFont bold = label19->font();
    bold.setBold(true);
    label19->setFont(bold);
    label19->setWordWrap(true);
    g->addWidget(label19, 0, 0, 1, 3);

    QLabel* l = nullptr;
    Edit2 = labeledEdit(QStringLiteral("Edit2"), QStringLiteral("Точность подбора"), page, &l);
    g->addWidget(l, 1, 0);
    g->addWidget(Edit2, 2, 0);
    Edit3 = labeledEdit(QStringLiteral("Edit3"), QStringLiteral("Размер популяции"), page, &l);
    g->addWidget(l, 1, 1);
    g->addWidget(Edit3, 2, 1);
    NPokoleny = labeledEdit(QStringLiteral("NPokoleny"), QStringLiteral("Число поколений"), page, &l);
    g->addWidget(l, 1, 2);
    g->addWidget(NPokoleny, 2, 2);

    ToolBRunGenOptim = namedButton(QStringLiteral("ToolBRunGenOptim"),
                                   QStringLiteral("Подбор параметров генетическим алгоритмом"), page);
    ToolBRunGenOptim->setMinimumHeight(36);
    g->addWidget(ToolBRunGenOptim, 3, 0, 1, 3);

    g->addWidget(namedLabel(QStringLiteral("Label18"), QStringLiteral("Ход расчета"), page), 4, 0, 1, 3);
    ProgressBar2 = new QProgressBar(page);
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    ProgressBar2->setRange(0, 100);
    g->addWidget(ProgressBar2, 5, 0, 1, 3);

    LabeledEdit1 = labeledEdit(QStringLiteral("LabeledEdit1"), QStringLiteral("шт."), page, &l);
    LabeledEdit1->setPlaceholderText(
        QStringLiteral("Скопировать из популяции лучшие варианты и убрать столько же худших"));
    g->addWidget(l, 6, 0);
    g->addWidget(LabeledEdit1, 7, 0);
    btnCopyBest = namedButton(QStringLiteral("btnCopyBest"), QStringLiteral("Скопировать лучших"), page);
    g->addWidget(btnCopyBest, 7, 1);
    Button1 = namedButton(QStringLiteral("Button1"), QStringLiteral("Тест"), page);
    g->addWidget(Button1, 7, 2);

    g->addWidget(namedLabel(QStringLiteral("Label7"), QStringLiteral("Вероятность скрещивания"), page), 8, 0,
                 1, 3);
    TrackBar1 = trackBar(QStringLiteral("TrackBar1"), page);
    g->addWidget(TrackBar1, 9, 0, 1, 3);
    g->addWidget(namedLabel(QStringLiteral("Label8"), QStringLiteral("Вероятность мутаций"), page), 10, 0, 1,
                 3);
    TrackBar2 = trackBar(QStringLiteral("TrackBar2"), page);
    g->addWidget(TrackBar2, 11, 0, 1, 3);

    StopBtn = namedButton(QStringLiteral("StopBtn"), QStringLiteral("Стоп"), page);
    QFont stopFont = StopBtn->font();
    stopFont.setBold(true);
    StopBtn->setFont(stopFont);
    g->addWidget(StopBtn, 12, 0, 1, 3);
    g->setRowStretch(13, 1);
    return page;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Chart2 && event->type() == QEvent::Resize)
        Button2->move(2 * kExpandInset, Chart2->height() - Button2->sizeHint().height() - kExpandInset);
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::connectHandlers() {
    connect(OpenFileStart, &QPushButton::clicked, this, &TForm1::OpenFileStartClick);
    connect(btnImportTable, &QPushButton::clicked, this, &TForm1::ImportTableClick);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(bbRaschet, &QPushButton::clicked, this, &TForm1::bbRaschetClick);
    connect(ToolBRunGenOptim, &QPushButton::clicked, this, &TForm1::ToolBRunGenOptimClick);
    connect(btnCopyBest, &QPushButton::clicked, this, &TForm1::btnCopyBestClick);
    connect(StopBtn, &QPushButton::clicked, this, &TForm1::StopBtnClick);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    // "Путь" is the window's default button: Enter in any edit opens the data file.
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::returnPressed, this, &TForm1::OpenFileStartClick);
}

} // namespace tovimo
