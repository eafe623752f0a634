// The main window driven through its controls' names: defaults, the settings
// file, loading, the record grid and chart, and the checks of the main run.
#include "tests/gui/layout_check.h"
#include "tests/gui/main_window_fixture.h"

#include "gui/windows/app_windows.h"
#include "gui/windows/lnview.h"

#include "core/fit/fit_clock.h"
#include "core/stats/criteria.h"
#include "core/stats/histogram.h"

#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>
#include <QValueAxis>
#include <QtMath>

using namespace tovimo;
using namespace tovimo::test;

namespace {

// A slot with fixed parameters and its per-column arrays, as a fit leaves it.
void fitForDisplay(AnalysisState& st, Mod_Weib& m) {
    SizeModelArrays(m, st.Hist_Stol.size());
    m.A = 1.3;
    m.B = 9000;
    m.K_powtor = 1.4;
    m.Sred = st.Sred;
    m.SKO = st.SKO;
    Pirson(st, 1, m.A, m.B, m.K_powtor, st.Sred, st.SKO, m);
    Sigmas(st, m, st.T_Prirab);
    m.Executed = true;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString settings() const { return QDir(tmp_.path()).filePath(QStringLiteral("rel.txt")); }

    template <class W> static W* child(QWidget& w, const char* name) {
        auto* c = w.findChild<W*>(QString::fromLatin1(name));
        if (!c) qWarning("no control %s", name);
        return c;
    }

    // A window on a fresh settings file with the data file loaded.
    struct Loaded {
        UiScope scope;
        AnalysisState st;
        TForm1 w;
        int diaStarts = 0;
        Loaded(const QString& settings, const QString& data) : w(st, settings) {
            w.setDiaStart([this] { ++diaStarts; });
            scope.ui.answers.push_back(data);
            w.OpenFileStartClick();
        }
    };

  private slots:
    void cleanup() { QFile::remove(settings()); }

    void editDefaults_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("placeholder");
        const QString none;
        const QString minHits = QStringLiteral("Минимум попадпний в столбец гистограммы");
        QTest::newRow("meSred") << "meSred"
                                << "" << none;
        QTest::newRow("meSKO") << "meSKO"
                               << "" << none;
        QTest::newRow("meKolAll") << "meKolAll"
                                  << "" << none;
        QTest::newRow("meKolOtk") << "meKolOtk"
                                  << "" << none;
        QTest::newRow("LabeledEdit2") << "LabeledEdit2"
                                      << "" << none;
        QTest::newRow("LabeledEdit3") << "LabeledEdit3"
                                      << "300" << none;
        QTest::newRow("Edit4") << "Edit4"
                               << "c:\\" << none;
        QTest::newRow("MaskEdit1") << "MaskEdit1"
                                   << "" << none;
        QTest::newRow("MaskEditSrednee") << "MaskEditSrednee"
                                         << "" << none;
        QTest::newRow("MaskEditSKO") << "MaskEditSKO"
                                     << "" << none;
        QTest::newRow("Edit1") << "Edit1"
                               << "1.00025" << minHits;
        QTest::newRow("Edit6") << "Edit6"
                               << "1.00025" << minHits;
        QTest::newRow("Edit5") << "Edit5"
                               << "1.00025" << none;
        QTest::newRow("Edit2") << "Edit2"
                               << "0.0000001" << none;
        QTest::newRow("Edit3") << "Edit3"
                               << "3000" << none;
        QTest::newRow("NPokoleny") << "NPokoleny"
                                   << "1500" << none;
        QTest::newRow("LabeledEdit1")
            << "LabeledEdit1"
            << "50"
            << "Скопировать из популяции лучшие варианты и убрать столько же худших";
    }

    void editDefaults() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, placeholder);
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        auto* e = w.findChild<QLineEdit*>(name);
        QVERIFY(e);
        QCOMPARE(e->text(), text);
        QCOMPARE(e->placeholderText(), placeholder);
    }

    void captionsAndOtherDefaults() {
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        QCOMPARE(w.windowTitle(), QStringLiteral("Анализ цензурированного временного ряда отказов."));
        QCOMPARE(w.font().pixelSize(), 11);

        const std::pair<const char*, const char*> buttons[] = {
            {"OpenFileStart", "Путь"},
            {"SpeedButton1", "File"},
            {"Button2", "Expand"},
            {"bbRaschet", "Расчет"},
            {"ToolBRunGenOptim", "Подбор параметров генетическим алгоритмом"},
            {"btnCopyBest", "Скопировать лучших"},
            {"StopBtn", "Стоп"},
            {"Button1", "Тест"},
        };
        for (const auto& [name, caption] : buttons) {
            auto* b = child<QPushButton>(w, name);
            QVERIFY(b);
            QCOMPARE(b->text(), QString::fromUtf8(caption));
        }
        QVERIFY(child<QPushButton>(w, "OpenFileStart")
                    ->toolTip()
                    .startsWith(QStringLiteral("Файл содержит строки")));
        QCOMPARE(child<QPushButton>(w, "bbRaschet")->font().pixelSize(), 20);
        QVERIFY(child<QPushButton>(w, "bbRaschet")->font().bold());
        QVERIFY(child<QPushButton>(w, "StopBtn")->font().bold());

        const std::pair<const char*, bool> checks[] = {{"CheckBox1", false}, {"SpirSpusk", true},
                                                       {"BoxNewton", false}, {"BoxSmirnow", false},
                                                       {"Sred_flag", false}, {"SKO_Flag", false}};
        for (const auto& [name, checked] : checks) {
            auto* c = child<QCheckBox>(w, name);
            QVERIFY(c);
            QCOMPARE(c->isChecked(), checked);
        }
        QCOMPARE(child<QCheckBox>(w, "SpirSpusk")->text(),
                 QStringLiteral("Модель 1.1 по Пирсону, метод спирального спуска "));

        auto* radio = child<QGroupBox>(w, "RadioGroup1");
        QCOMPARE(radio->title(), QStringLiteral("Способ подбора параметров"));
        const auto items = radio->findChildren<QRadioButton*>();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->text(), QStringLiteral("Специальный 1 "));
        QCOMPARE(items[1]->text(), QStringLiteral("Стандарт (default)"));
        QCOMPARE(items[2]->text(), QStringLiteral("Специальный 2"));
        QVERIFY(items[1]->isChecked());

        const std::pair<const char*, int> bars[] = {{"TrackBar1", 55}, {"TrackBar2", 15}};
        for (const auto& [name, pos] : bars) {
            auto* s = child<QSlider>(w, name);
            QCOMPARE(s->value(), pos);
            QCOMPARE(s->minimum(), 0);
            QCOMPARE(s->maximum(), 100);
            QCOMPARE(s->tickInterval(), 5);
        }
        QCOMPARE(child<QProgressBar>(w, "ProgressBar2")->maximum(), 100);

        auto* pages = child<QTabWidget>(w, "PageControl");
        QCOMPARE(pages->count(), 2);
        QCOMPARE(pages->tabText(0), QStringLiteral("1. Основной подбор параметров распределения"));
        QCOMPARE(pages->tabText(1), QStringLiteral("2. Генетический алгоритм"));
        QCOMPARE(pages->widget(0)->objectName(), QStringLiteral("TabSheet1"));
        QCOMPARE(pages->widget(1)->objectName(), QStringLiteral("TabSheet2"));

        QCOMPARE(child<QPlainTextEdit>(w, "Memo2")->toPlainText(), QStringLiteral("Ход решения"));
        auto* grid = child<QTableView>(w, "Mass_List");
        QCOMPARE(grid->model()->columnCount(), 4);
        QCOMPARE(grid->model()->rowCount() + 1, 25); // the header row is the table's header
        QCOMPARE(grid->columnWidth(0), 90);
        QCOMPARE(grid->toolTip(), QStringLiteral("Данные из файла об отказах изделий"));

        auto* chart = child<QChartView>(w, "Chart2")->chart();
        QCOMPARE(chart->title(), QStringLiteral("Накопленние отказов по времени наблюдения"));
        QVERIFY(!chart->legend()->isVisible());
        QStringList axisTitles;
        for (QAbstractAxis* a : chart->axes())
            axisTitles << a->titleText();
        QVERIFY(axisTitles.contains(QStringLiteral("Log t (часов)")));
        QVERIFY(axisTitles.contains(QStringLiteral("Log N (отказов)")));
        QVERIFY(axisTitles.contains(QStringLiteral("Выбывание из гарантии, %")));

        const std::pair<const char*, const char*> labels[] = {
            {"Label1", "Файл исходных данных:"},
            {"Label2", "Среднее количество объектов в гарантийный период"},
            {"Label3", "Количество независимых отказов 2-3 групп сложности"},
            {"meSredLabel", " Среднее время гарантии"},
            {"meSKOLabel", " СКО времени гарантии"},
            {"LabeledEdit2Label", "T fin временного ряда отказов"},
            {"LabeledEdit3Label", " Расч. время приработки"},
            {"Label9", "Файл данных времен окончания гарантии"},
            {"Label14", "Результат расчета массива времен окончания гарантии"},
            {"Label11", "Количество объектов анализа"},
            {"Label12", "Среднее время гарантии, ч."},
            {"Label13", "СКО времени гарантии, ч."},
            {"Label4", "Параметры оптимизации"},
            {"Label5", "Коэф-т уменьшения шага модели 1.1"},
            {"Label17", "Коэф-т уменьшения шага модели 1.2"},
            {"Label16", "Коэф-т уменьшения шага модели 2"},
            {"Label19", "Отображение после основного расчета, для нового файла перегрузить!"},
            {"Edit2Label", "Точность подбора"},
            {"Edit3Label", "Размер популяции"},
            {"NPokolenyLabel", "Число поколений"},
            {"Label18", "Ход расчета"},
            {"LabeledEdit1Label", "шт."},
            {"Label7", "Вероятность скрещивания"},
            {"Label8", "Вероятность мутаций"},
        };
        for (const auto& [name, caption] : labels) {
            auto* l = child<QLabel>(w, name);
            QVERIFY2(l, name);
            QCOMPARE(l->text(), QString::fromUtf8(caption));
        }
        QCOMPARE(child<QLabel>(w, "meSredLabel")->toolTip(), QStringLiteral("Среднее время наблюдений"));
    }

    void settingsFileOnFirstAndSecondStart() {
        const QString sample = QStringLiteral(TOVIMO_SAMPLE);
        {
            UiScope scope;
            AnalysisState st;
            TForm1 w(st, settings());
            w.setSampleFile(sample);
            QCOMPARE(child<QLineEdit>(w, "FilePath")->text(),
                     QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
            QVERIFY(!QFile::exists(settings()));
            scope.ui.answers.push_back(sample);
            w.OpenFileStartClick();
            QCOMPARE(scope.ui.dialogs.size(), size_t(1));
            QCOMPARE(scope.ui.dialogs[0].start, sample); // the first start offers the sample
            QCOMPARE(scope.ui.dialogs[0].filter, QStringLiteral("файлы данных (txt,rel) (*.txt *.rel)"));
            QVERIFY(st.uk);
        }
        QSettings s(settings(), QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("Path/ComStr")).toString(), sample);
        {
            UiScope scope;
            AnalysisState st;
            TForm1 w(st, settings());
            QCOMPARE(child<QLineEdit>(w, "FilePath")->text(), sample);
            w.OpenFileStartClick(); // cancelled
            QCOMPARE(scope.ui.dialogs.at(0).start, sample);
        }
    }

    void unwritableSettingsFileDoesNotStopLoading() {
        QFile blocker(QDir(tmp_.path()).filePath(QStringLiteral("plain_file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString impossible = blocker.fileName() + QStringLiteral("/rel.txt"); // parent is a file
        Loaded l(impossible, QStringLiteral(TOVIMO_SAMPLE));
        QVERIFY(l.st.uk);
        QVERIFY(l.st.Kol_izw > 300);
        QVERIFY(l.scope.ui.errors.isEmpty());
    }

    void enterInAnEditOpensTheDataFile_data() {
        QTest::addColumn<QString>("edit");
        for (const char* name : {"FilePath", "meSred", "LabeledEdit3", "Edit1", "Edit2", "NPokoleny"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void enterInAnEditOpensTheDataFile() {
        QFETCH(QString, edit);
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        auto* e = w.findChild<QLineEdit*>(edit);
        const QString before = e->text();
        QTest::keyClick(e, Qt::Key_Return);
        QCOMPARE(scope.ui.dialogs.size(), size_t(1));
        // the dialog was cancelled: nothing changed
        QCOMPARE(e->text(), before);
        QVERIFY(!st.uk);
        QVERIFY(scope.ui.messages.isEmpty());
    }

    void loadFillsHeaderGridAndChart() {
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        TForm1& w = l.w;
        QVERIFY(l.scope.ui.messages.isEmpty());
        QCOMPARE(child<QLabel>(w, "Label10")->text(),
                 QStringLiteral("Насосная станция НС-2, гарантийный период 2023 г."));
        QCOMPARE(child<QLineEdit>(w, "FilePath")->text(), QStringLiteral(TOVIMO_SAMPLE));
        QCOMPARE(child<QLineEdit>(w, "meSred")->text(), QStringLiteral("3000"));
        QCOMPARE(child<QLineEdit>(w, "meSKO")->text(), QStringLiteral("700"));
        QCOMPARE(child<QLineEdit>(w, "meKolAll")->text(), QStringLiteral("1117"));
        QCOMPARE(child<QLineEdit>(w, "meKolOtk")->text(), QStringLiteral("345"));
        QCOMPARE(child<QLineEdit>(w, "Edit5")->text(), num(QStringLiteral("1.0005")));
        QCOMPARE(child<QLineEdit>(w, "Edit2")->text(), num(QStringLiteral("0.0000002")));
        QVERIFY(!child<QLineEdit>(w, "LabeledEdit2")->text().isEmpty());

        auto* grid = child<QTableView>(w, "Mass_List");
        QCOMPARE(grid->model()->rowCount(), l.st.Kol_izw);
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" № отказа"));
        QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Описание отказа"));
        QCOMPARE(cellText(grid, 0, 0), QStringLiteral("1"));
        QCOMPARE(grid->columnWidth(3), 1010);
        // The form's widths, widened where a header would be cut.
        const int formWidths[] = {65, 85, 200, 1010};
        for (int c = 0; c < 4; ++c) {
            QVERIFY2(grid->columnWidth(c) >= formWidths[c], qPrintable(QString::number(c)));
            QVERIFY2(grid->columnWidth(c) >= grid->horizontalHeader()->sectionSizeHint(c),
                     qPrintable(grid->model()->headerData(c, Qt::Horizontal).toString()));
        }

        QLineSeries* series1 = nullptr;
        QLineSeries* series2 = nullptr;
        for (QAbstractSeries* s : child<QChartView>(w, "Chart2")->chart()->series()) {
            if (s->objectName() == QLatin1String("Series1")) series1 = qobject_cast<QLineSeries*>(s);
            if (s->objectName() == QLatin1String("Series2")) series2 = qobject_cast<QLineSeries*>(s);
        }
        QVERIFY(series1 && series2);
        int positive = 0;
        for (const Problems& p : l.st.MasProbl)
            positive += p.time > 0;
        QCOMPARE(series1->count(), positive);
        QCOMPARE(series1->color(), QColor(0x00, 0x80, 0x00));
        QCOMPARE(series2->count(), 2);
        QCOMPARE(series2->color(), QColor(0xFF, 0x00, 0x00));
        QVERIFY(qAbs(series2->at(0).y() - (l.st.A_ln * series2->at(0).x() + l.st.B_ln)) < 1e-9);
    }

    void gridKeepsNoRowsOfALongerSeries() {
        const QDir dir(tmp_.path());
        Loaded l(settings(), writeDataFile(dir, QStringLiteral("long.txt"), 40, records(40)));
        auto* grid = child<QTableView>(l.w, "Mass_List");
        QCOMPARE(grid->model()->rowCount(), 40);
        l.scope.ui.answers.push_back(writeDataFile(dir, QStringLiteral("short.txt"), 5, records(5)));
        l.w.OpenFileStartClick();
        QCOMPARE(grid->model()->rowCount(), 5);
        QCOMPARE(cellText(grid, 4, 1), QStringLiteral("500"));
    }

    void missingFileClearsTheLoadedFlag() {
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        l.scope.ui.answers.push_back(QDir(tmp_.path()).filePath(QStringLiteral("nowhere.txt")));
        l.w.OpenFileStartClick();
        QCOMPARE(l.scope.ui.messages, QStringList{QStringLiteral("Указанный файл не существует")});
        QVERIFY(!l.st.uk);
        QVERIFY(!l.w.GettingData());
    }

    void generationsPresetByTheFailureCount_data() {
        QTest::addColumn<int>("kolOtk");
        QTest::addColumn<QString>("generations");
        QTest::newRow("500") << 500 << "1500";
        QTest::newRow("501") << 501 << "2000";
        QTest::newRow("999") << 999 << "2000";
        QTest::newRow("1000") << 1000 << "4000";
        QTest::newRow("99999") << 99999 << "4000";
        QTest::newRow("100000 leaves it") << 100000 << "777";
    }

    void generationsPresetByTheFailureCount() {
        QFETCH(int, kolOtk);
        QFETCH(QString, generations);
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        child<QLineEdit>(w, "NPokoleny")->setText(QStringLiteral("777"));
        scope.ui.answers.push_back(
            writeDataFile(QDir(tmp_.path()), QStringLiteral("n.txt"), kolOtk, records(3)));
        w.OpenFileStartClick();
        QVERIFY(st.uk);
        QCOMPARE(child<QLineEdit>(w, "NPokoleny")->text(), generations);
    }

    void warrantyFileFillsTheLaw() {
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        const QString gar = QStringLiteral(TOVIMO_TEST_DATA "/gar_two.txt");
        l.scope.ui.answers.push_back(gar);
        l.w.SpeedButton1Click();
        QCOMPARE(l.scope.ui.dialogs.back().filter, QStringLiteral("Файл времен гарантии (gar*.txt)"));
        QCOMPARE(child<QLineEdit>(l.w, "Edit4")->text(), QStringLiteral("/..gar_two.txt"));
        QCOMPARE(child<QLineEdit>(l.w, "MaskEdit1")->text(), QStringLiteral("2"));
        QCOMPARE(child<QLineEdit>(l.w, "meSred")->text(), num(QStringLiteral("550.0")));
        QCOMPARE(child<QLineEdit>(l.w, "MaskEditSKO")->text(), num(QStringLiteral("141.421")));
        // a cancelled dialog changes nothing
        l.w.SpeedButton1Click();
        QCOMPARE(child<QLineEdit>(l.w, "Edit4")->text(), QStringLiteral("/..gar_two.txt"));
    }

    void badPrecisionNamesItsField() {
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        test::Child<QLineEdit>(l.w, "Edit2")->setText(QStringLiteral("abc"));
        QTest::mouseClick(test::Child<QPushButton>(l.w, "ToolBRunGenOptim"), Qt::LeftButton);
        QCOMPARE(l.scope.ui.errors,
                 QStringList{QStringLiteral("Поле «Точность подбора»: введите число\n'abc' is "
                                            "not a valid floating point value")});
        QVERIFY(!l.w.Gen());
    }

    // "Контроль ИД" on a long series: every finding in one list, not a box each.
    void dataCheckFindingsComeInOneList() {
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        QStringList recs;
        for (int i = 1; i <= 300; ++i)
            recs << QStringLiteral("%1\tнеизвестно").arg(i * 10);
        recs << QStringLiteral("0\tдвигатель");
        const QString file = writeDataFile(QDir(tmp_.path()), QStringLiteral("many.txt"), 301, recs);
        test::Child<QCheckBox>(w, "CheckBox1")->setChecked(true);
        scope.ui.answers.push_back(file);
        // the grid behind the list shows the file being checked, not the one before
        QString gridWhileListed;
        scope.ui.onList = [&] { gridWhileListed = cellText(test::Child<QTableView>(w, "Mass_List"), 0, 1); };
        w.OpenFileStartClick();
        QVERIFY(st.uk);
        QCOMPARE(gridWhileListed, QStringLiteral("0"));
        QVERIFY(scope.ui.messages.isEmpty());
        QCOMPARE(scope.ui.lists.size(), size_t(1));
        const QStringList& lines = scope.ui.lists.front();
        QCOMPARE(lines.size(), 301); // 300 undetermined failures and the events without operating time
        QCOMPARE(lines.front(), QStringLiteral("Неопределенный отказ при t=10 ч"));
        QCOMPARE(lines[299], QStringLiteral("Неопределенный отказ при t=3000 ч"));
        QVERIFY(lines.back().startsWith(QStringLiteral("События без наработки - не отказы")));
        // a single finding stays the ordinary box
        scope.ui.answers.push_back(
            writeDataFile(QDir(tmp_.path()), QStringLiteral("one.txt"), 2,
                          {QStringLiteral("100\tдвигатель"), QStringLiteral("200\tнечто")}));
        w.OpenFileStartClick();
        QCOMPARE(scope.ui.messages, QStringList{QStringLiteral("Неопределенный отказ при t=200 ч")});
        QCOMPARE(scope.ui.lists.size(), size_t(1));
    }

    // The warranty dialog opens where warranty files are, never on the data file.
    void warrantyDialogStartsInTheRightFolder() {
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        l.w.SpeedButton1Click(); // cancelled
        QCOMPARE(l.scope.ui.dialogs.back().start, QFileInfo(QStringLiteral(TOVIMO_SAMPLE)).absolutePath());
        QVERIFY(QFileInfo(l.scope.ui.dialogs.back().start).isDir());
        const QString gar = QStringLiteral(TOVIMO_TEST_DATA "/gar_two.txt");
        l.scope.ui.answers.push_back(gar);
        l.w.SpeedButton1Click();
        // a data file opened since does not move it away from the last warranty file
        l.scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        l.w.OpenFileStartClick();
        l.w.SpeedButton1Click();
        QCOMPARE(l.scope.ui.dialogs.back().start, gar);
        QCOMPARE(l.scope.ui.dialogs.back().filter, QStringLiteral("Файл времен гарантии (gar*.txt)"));
    }

    // Another data file: the warranty group and the genetic model of the last
    // file are gone; the other models stay on display.
    void loadingAnotherFileClearsWhatNoLongerApplies() {
        UiScope scope;
        AppWindows app(settings());
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        app.Form1.OpenFileStartClick();
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_TEST_DATA "/gar_two.txt"));
        app.Form1.SpeedButton1Click();
        QVERIFY(!test::Child<QLineEdit>(app.Form1, "MaskEdit1")->text().isEmpty());
        app.state.MPirsS.Executed = true;
        app.state.MGenet.Executed = true;
        app.state.MGenet.K_powtor = 1.4;
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        app.Form1.OpenFileStartClick();
        for (QLineEdit* e :
             {test::Child<QLineEdit>(app.Form1, "Edit4"), test::Child<QLineEdit>(app.Form1, "MaskEdit1"),
              test::Child<QLineEdit>(app.Form1, "MaskEditSrednee"),
              test::Child<QLineEdit>(app.Form1, "MaskEditSKO")})
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
        QVERIFY(test::Child<QLabel>(app.Form1, "Label15")->text().isEmpty());
        QVERIFY(!app.state.MGenet.Executed);
        QVERIFY(!app.state.MPirsS.Executed); // every model belonged to the first file
        hist_Format(app.state);
        fitForDisplay(app.state, app.state.MPirsS);
        app.Form5.DiaStart();
        QCOMPARE(app.Form5.cellText(0, 1), QStringLiteral("Пирсона/спир.спуск"));
        QCOMPARE(app.Form5.cellText(0, 2), QStringLiteral("Данные эксплуатации"));
        for (int c = 0; c < app.Form5.Result_Grid->columnCount(); ++c)
            QVERIFY(app.Form5.cellText(0, c) != QStringLiteral("Генетическая"));
    }

    void emptyPathStopsTheRun() {
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        child<QLineEdit>(l.w, "FilePath")->clear();
        QTest::mouseClick(child<QPushButton>(l.w, "bbRaschet"), Qt::LeftButton);
        QCOMPARE(l.scope.ui.messages, QStringList{QStringLiteral("Не указан путь к файлу исходных данных")});
        QCOMPARE(l.diaStarts, 0);
        QCOMPARE(l.scope.ui.beeps, 0);
        QVERIFY(!l.scope.ui.busy);
        QVERIFY(!l.st.MPirsS.Executed);
    }

    // Before any data file, both runs ask for one in Russian, whatever the
    // (still empty) edits hold; after a failed opening a run stops silently.
    void noDataStopsTheRun_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("editsFilled");
        QTest::newRow("Расчет, edits empty") << "bbRaschet" << false;
        QTest::newRow("Расчет, edits filled") << "bbRaschet" << true;
        QTest::newRow("genetic, edits empty") << "ToolBRunGenOptim" << false;
    }

    void noDataStopsTheRun() {
        QFETCH(QString, button);
        QFETCH(bool, editsFilled);
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        int diaStarts = 0;
        w.setDiaStart([&] { ++diaStarts; });
        if (editsFilled) {
            child<QLineEdit>(w, "meSred")->setText(QStringLiteral("3000"));
            child<QLineEdit>(w, "meSKO")->setText(QStringLiteral("700"));
            child<QLineEdit>(w, "LabeledEdit2")->setText(QStringLiteral("5000"));
        }
        QTest::mouseClick(w.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(scope.ui.messages,
                 QStringList{QStringLiteral("Сначала выберите файл исходных данных кнопкой «Путь»")});
        QVERIFY(scope.ui.errors.isEmpty());
        QCOMPARE(diaStarts, 0);
        QVERIFY(!scope.ui.busy);
        QVERIFY(!w.runActive());
    }

    // A loaded series with no failure above 0 h: both runs say so in Russian,
    // not with a conversion error of the empty T fin edit.
    void seriesWithoutOperatingTimeStopsTheRun_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QString>("message");
        const QString noRecord = QStringLiteral("В ряду отказов нет ни одной записи: расчет невозможен");
        const QString noTime =
            QStringLiteral("В ряду отказов нет отказов с наработкой больше 0: расчет невозможен");
        const QStringList zeroTimes{QStringLiteral("0\tдвигатель"), QStringLiteral("-5\tнасос")};
        QTest::newRow("Расчет, no record") << "bbRaschet" << QStringList() << noRecord;
        QTest::newRow("Расчет, times 0 and below") << "bbRaschet" << zeroTimes << noTime;
        QTest::newRow("genetic, no record") << "ToolBRunGenOptim" << QStringList() << noRecord;
        QTest::newRow("genetic, times 0 and below") << "ToolBRunGenOptim" << zeroTimes << noTime;
    }

    void seriesWithoutOperatingTimeStopsTheRun() {
        QFETCH(QString, button);
        QFETCH(QStringList, records);
        QFETCH(QString, message);
        const QString file = writeDataFile(QDir(tmp_.path()), QStringLiteral("no_time.txt"), 2, records);
        Loaded l(settings(), file);
        QVERIFY(l.st.uk);
        l.scope.ui.messages.clear();
        child<QCheckBox>(l.w, "BoxPravd")->setChecked(true);
        QTest::mouseClick(l.w.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(l.scope.ui.messages, QStringList{message});
        QVERIFY2(l.scope.ui.errors.isEmpty(), qPrintable(l.scope.ui.errors.join('\n')));
        QCOMPARE(l.diaStarts, 0);
        QVERIFY(!l.scope.ui.busy);
        QVERIFY(!l.w.runActive());
    }

    void afterAFailedOpeningTheRunStopsSilently() {
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        l.scope.ui.answers.push_back(QDir(tmp_.path()).filePath(QStringLiteral("nowhere.txt")));
        l.w.OpenFileStartClick();
        l.scope.ui.messages.clear();
        QTest::mouseClick(test::Child<QPushButton>(l.w, "bbRaschet"), Qt::LeftButton);
        QVERIFY(l.scope.ui.messages.isEmpty());
        QVERIFY(l.scope.ui.errors.isEmpty());
        QCOMPARE(l.diaStarts, 0);
    }

    void badNumberInEachRunEdit_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("field");
        QTest::newRow("meSred") << "meSred"
                                << "3000x"
                                << "Среднее время гарантии";
        QTest::newRow("meSKO") << "meSKO"
                               << "7OO"
                               << "СКО времени гарантии";
        QTest::newRow("LabeledEdit2") << "LabeledEdit2"
                                      << ""
                                      << "T fin временного ряда отказов";
        QTest::newRow("LabeledEdit3") << "LabeledEdit3"
                                      << "1 000"
                                      << "Расч. время приработки";
    }

    void badNumberInEachRunEdit() {
        QFETCH(QString, edit);
        QFETCH(QString, bad);
        QFETCH(QString, field);
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        // the edits before the bad one hold new values, which the run keeps
        child<QLineEdit>(l.w, "meSred")->setText(num(QStringLiteral("2500.5")));
        child<QLineEdit>(l.w, "meSKO")->setText(num(QStringLiteral("650.25")));
        child<QLineEdit>(l.w, "LabeledEdit2")->setText(QStringLiteral("5000"));
        l.w.findChild<QLineEdit*>(edit)->setText(bad);
        QTest::mouseClick(child<QPushButton>(l.w, "bbRaschet"), Qt::LeftButton);
        // a Russian first line names the field; the conversion text follows as it is
        QCOMPARE(l.scope.ui.errors,
                 QStringList{QStringLiteral("Поле «%1»: введите число\n'%2' is not a valid "
                                            "floating point value")
                                 .arg(field, bad)});
        QVERIFY(l.scope.ui.messages.isEmpty());
        QCOMPARE(l.diaStarts, 0);
        QVERIFY(!l.scope.ui.busy);
        if (edit != QLatin1String("meSred")) QCOMPARE(l.st.Sred, 2500.5);
        if (edit == QLatin1String("LabeledEdit3")) QCOMPARE(l.st.SKO, 650.25);
    }

    void calculationRunPresentsAndBeeps() {
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        child<QCheckBox>(l.w, "BoxNewton")->setChecked(true); // the two quick fits
        QTest::mouseClick(child<QPushButton>(l.w, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!l.w.calculationRunning(), 120000);
        QVERIFY2(l.scope.ui.errors.isEmpty(), qPrintable(l.scope.ui.errors.join('\n')));
        QCOMPARE(l.diaStarts, 1);
        QCOMPARE(l.scope.ui.beeps, 1);
        QCOMPARE(l.scope.ui.busyTimes, 1);
        QVERIFY(!l.scope.ui.busy);
        QVERIFY(l.st.MPirsS.Executed && l.st.MPirsN.Executed);
        QVERIFY(!l.st.MSmirn.Executed);
        // every line of the run reached the memo
        const QStringList memo = child<QPlainTextEdit>(l.w, "Memo2")->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(memo.size(), int(l.w.form().Memo2.size()));
        QVERIFY(memo.size() > 3);
    }

    void timingTestShowsTheElapsedTime() {
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        StepClock clock(3725.0); // 1 h 2 min 5 s between the two readings
        w.setClock(&clock);
        w.setTimingCount(1000);
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
        // on a worker: the click returns at once, the run controls wait for it
        QVERIFY(scope.ui.messages.isEmpty());
        QVERIFY(w.runActive());
        QVERIFY(!child<QPushButton>(w, "bbRaschet")->isEnabled());
        QVERIFY(!test::Child<QLabel>(w, "RunStatus")->isHidden());
        QTRY_COMPARE(scope.ui.messages.size(), 1);
        QVERIFY(!w.runActive());
        QVERIFY(child<QPushButton>(w, "bbRaschet")->isEnabled());
        const QString m = scope.ui.messages[0];
        QVERIFY2(m.startsWith(QStringLiteral("Время расчета 100 млн ")), qPrintable(m));
        QVERIFY2(m.contains(QStringLiteral("02:05")), qPrintable(m));
    }

    void expandCallsTheLogLogWindow() {
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        int expands = 0;
        w.setExpand([&] { ++expands; });
        QTest::mouseClick(child<QPushButton>(w, "Button2"), Qt::LeftButton);
        QCOMPARE(expands, 1);
    }

    // From its smallest size up, with the sample loaded, every control of
    // either page shows whole and none lies on another; the smallest size
    // fits a small screen. From the design width on, the log-log chart
    // stands at the top right, right of the data summary.
    void everyControlWholeAtEverySize_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("page");
        QTest::newRow("smallest, page 1") << QSize(1, 1) << 0;
        QTest::newRow("smallest, page 2") << QSize(1, 1) << 1;
        QTest::newRow("1100x760, page 1") << QSize(1100, 760) << 0;
        QTest::newRow("1299x760, page 1") << QSize(kMainWideFrom - 1, 760) << 0;
        QTest::newRow("1300x760, page 1") << QSize(kMainWideFrom, 760) << 0;
        QTest::newRow("1300x760, page 2") << QSize(kMainWideFrom, 760) << 1;
        QTest::newRow("1366x700, page 1") << QSize(1366, 700) << 0;
        QTest::newRow("design, page 1") << QSize(1420, 816) << 0;
        QTest::newRow("design, page 2") << QSize(1420, 816) << 1;
        QTest::newRow("1600x1000, page 1") << QSize(1600, 1000) << 0;
    }

    void everyControlWholeAtEverySize() {
        QFETCH(QSize, size);
        QFETCH(int, page);
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        test::Child<QTabWidget>(l.w, "PageControl")->setCurrentIndex(page);
        l.w.showNormal();
        for (int step = 0; step < 2; ++step) { // as a user drags: once to what the window allows, then on
            l.w.resize(size);
            QCoreApplication::processEvents();
        }
        const QSize shown = l.w.size();
        if (size == QSize(1, 1)) {
            QVERIFY2(shown.width() <= kMainMinimumBound.width() &&
                         shown.height() <= kMainMinimumBound.height(),
                     qPrintable(QStringLiteral("%1x%2").arg(shown.width()).arg(shown.height())));
            QCOMPARE(l.w.minimumSize(), shown);
        } else {
            QCOMPARE(shown, size);
        }
        const QStringList faults = layoutFaults(&l.w);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        const QRect chart = test::Child<QChartView>(l.w, "Chart2")->geometry();
        const QRect panel(test::Child<QFrame>(l.w, "Panel1")->mapTo(l.w.centralWidget(), QPoint(0, 0)),
                          test::Child<QFrame>(l.w, "Panel1")->size());
        QCOMPARE(chart.left() > panel.right() && chart.top() < panel.bottom(),
                 shown.width() >= kMainWideFrom);
    }

    // The layout at a size is the same however the window came to it: shown
    // at that size, back from maximised, grown from its smallest size, or
    // shrunk from a larger one.
    void sameLayoutHoweverTheWindowGotThere_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide 1366x760") << QSize(1366, 760);
        QTest::newRow("narrow 1100x760") << QSize(1100, 760);
        QTest::newRow("design") << QSize(1420, 816);
        QTest::newRow("smallest") << QSize(1, 1);
    }

    void sameLayoutHoweverTheWindowGotThere() {
        QFETCH(QSize, size);
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        auto resizeTo = [&](const QSize& s) {
            for (int step = 0; step < 2; ++step) { // as a user drags: to what the window allows, then on
                l.w.resize(s);
                QCoreApplication::processEvents();
            }
        };
        auto layoutNow = [&] {
            QStringList where;
            where << QStringLiteral("window %1x%2").arg(l.w.width()).arg(l.w.height());
            for (const QWidget* c : l.w.findChildren<QWidget*>())
                if (!c->objectName().isEmpty() && c->isVisibleTo(&l.w))
                    where << QStringLiteral("%1 %2,%3 %4x%5")
                                 .arg(c->objectName())
                                 .arg(c->mapTo(&l.w, QPoint(0, 0)).x())
                                 .arg(c->mapTo(&l.w, QPoint(0, 0)).y())
                                 .arg(c->width())
                                 .arg(c->height());
            return where;
        };
        auto differences = [](const QStringList& a, const QStringList& b) {
            QStringList d;
            for (int i = 0; i < std::max(a.size(), b.size()); ++i)
                if (a.value(i) != b.value(i)) d << a.value(i) + QStringLiteral("  then  ") + b.value(i);
            return d.join(QLatin1Char('\n'));
        };
        l.w.showNormal();
        resizeTo(size);
        const QStringList direct = layoutNow();

        l.w.showMaximized();
        QCoreApplication::processEvents();
        // the whole screen but for the frame
        QTRY_VERIFY(l.w.width() > l.w.screen()->availableSize().width() - 10 &&
                    l.w.height() > l.w.screen()->availableSize().height() - 10);
        l.w.showNormal();
        QCoreApplication::processEvents();
        resizeTo(size);
        const QStringList restored = layoutNow();
        QVERIFY2(restored == direct, qPrintable(differences(direct, restored)));

        resizeTo(QSize(1, 1));
        resizeTo(size);
        const QStringList grown = layoutNow();
        QVERIFY2(grown == direct, qPrintable(differences(direct, grown)));

        resizeTo(QSize(1600, 1000));
        resizeTo(size);
        const QStringList shrunk = layoutNow();
        QVERIFY2(shrunk == direct, qPrintable(differences(direct, shrunk)));
    }

    // At the window's smallest size the progress memo still shows six lines
    // of the run's progress.
    void memoShowsSixLinesAtTheSmallestSize() {
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        l.w.showNormal();
        for (int step = 0; step < 2; ++step) {
            l.w.resize(1, 1);
            QCoreApplication::processEvents();
        }
        const auto* memo = child<QPlainTextEdit>(l.w, "Memo2");
        const int margins = 2 * qCeil(memo->document()->documentMargin());
        const int lines = (memo->viewport()->height() - margins) / QFontMetrics(memo->font()).lineSpacing();
        QVERIFY2(
            lines >= 6,
            qPrintable(QStringLiteral("%1 lines at %2x%3").arg(lines).arg(l.w.width()).arg(l.w.height())));
    }

    // "Expand" stands inside the chart's frame, below its plot and axis
    // titles, at every arrangement of the chart.
    void expandStaysInsideTheChartFrame_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("smallest") << QSize(1, 1);
        QTest::newRow("narrow 1100x760") << QSize(1100, 760);
        QTest::newRow("design") << QSize(1420, 816);
        QTest::newRow("1600x1000") << QSize(1600, 1000);
    }

    void expandStaysInsideTheChartFrame() {
        QFETCH(QSize, size);
        Loaded l(settings(), QStringLiteral(TOVIMO_SAMPLE));
        l.w.showNormal();
        for (int step = 0; step < 2; ++step) {
            l.w.resize(size);
            QCoreApplication::processEvents();
        }
        auto* view = child<QChartView>(l.w, "Chart2");
        QChart* chart = view->chart();
        qreal left, top, right, bottom;
        chart->layout()->getContentsMargins(&left, &top, &right, &bottom);
        // the frame: the chart's background; inside it, the margins around what the chart draws
        const QRectF frame = chart->mapRectToScene(chart->rect()).adjusted(left, top, -right, -bottom);
        const QRectF drawn = frame.adjusted(chart->margins().left(), chart->margins().top(),
                                            -chart->margins().right(), -chart->margins().bottom());
        const QRectF button = view->mapToScene(child<QPushButton>(l.w, "Button2")->geometry()).boundingRect();
        QVERIFY2(frame.adjusted(1, 1, -1, -1).contains(button),
                 qPrintable(QStringLiteral("button %1,%2 %3x%4 in frame %5,%6 %7x%8")
                                .arg(button.x())
                                .arg(button.y())
                                .arg(button.width())
                                .arg(button.height())
                                .arg(frame.x())
                                .arg(frame.y())
                                .arg(frame.width())
                                .arg(frame.height())));
        QVERIFY(!drawn.intersects(button));
        QVERIFY(!chart->plotArea().intersects(button));
    }

    void programWindowsAreWiredTogether() {
        UiScope scope;
        AppWindows app(settings());
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        app.Form1.show();
        app.Form1.OpenFileStartClick();
        QVERIFY(!app.Form5.isVisible());
        QTest::mouseClick(test::Child<QPushButton>(app.Form1, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!app.Form1.calculationRunning(), 120000);
        QVERIFY(app.state.MPirsS.Executed);
        QVERIFY(app.Form5.isVisible()); // the run's results refresh
        QVERIFY(!app.Form5.cellText(0, 1).isEmpty());
        QTest::mouseClick(test::Child<QPushButton>(app.Form1, "Button2"), Qt::LeftButton);
        QVERIFY(LNview); // "Expand"
        LNview->close();
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
