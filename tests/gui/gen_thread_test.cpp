// Genetic-algorithm runs from the main window: the worker thread, its
// hand-overs to the user-interface thread, "Стоп", "Скопировать лучших" and
// closing the window while a run goes on. Small populations keep them quick.
#include "tests/gui/main_window_fixture.h"

#include "gui/workers/gen_thread.h"

#include "core/results/model_warnings.h"
#include "core/text/number_format.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <new>

using namespace tovimo;
using namespace tovimo::test;

class GenThreadTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;

    struct Window {
        UiScope scope;
        AnalysisState st;
        TForm1 w;
        int diaStarts = 0;
        explicit Window(const QString& settings) : w(st, settings) {
            w.setDiaStart([this] { ++diaStarts; });
            w.setGeneticThreads(2);
            scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
            w.OpenFileStartClick();
        }
        QString memo() const { return test::Child<QPlainTextEdit>(w, "Memo2")->toPlainText(); }
        void start(const char* population, const char* generations) {
            test::Child<QLineEdit>(w, "Edit3")->setText(QString::fromLatin1(population));
            test::Child<QLineEdit>(w, "NPokoleny")->setText(QString::fromLatin1(generations));
            QTest::mouseClick(test::Child<QPushButton>(w, "ToolBRunGenOptim"), Qt::LeftButton);
        }
        bool waitForGenes() {
            return QTest::qWaitFor([&] { return memo().contains(QStringLiteral("Создано генов")); }, 30000);
        }
    };

    QString settings() const { return QDir(tmp_.path()).filePath(QStringLiteral("rel.txt")); }

  private slots:
    void controlsAreDisabledDuringARunAndEnabledAfter() {
        Window t(settings());
        QVERIFY(t.st.uk);
        t.start("20", "30");
        QVERIFY(t.w.Gen());
        TGen* gen = t.w.Gen();
        QWidget* locked[] = {
            test::Child<QPushButton>(t.w, "OpenFileStart"),    test::Child<QPushButton>(t.w, "SpeedButton1"),
            test::Child<QPushButton>(t.w, "bbRaschet"),        test::Child<QPushButton>(t.w, "Button1"),
            test::Child<QPushButton>(t.w, "ToolBRunGenOptim"), test::Child<QLineEdit>(t.w, "Edit3")};
        for (QWidget* c : locked)
            QVERIFY2(!c->isEnabled(), qPrintable(c->objectName()));
        QVERIFY(test::Child<QPushButton>(t.w, "StopBtn")->isEnabled());
        QVERIFY(test::Child<QPushButton>(t.w, "btnCopyBest")->isEnabled());

        // nothing else may start meanwhile, whatever way it is asked for
        t.w.ToolBRunGenOptimClick();
        QCOMPARE(t.w.Gen(), gen);
        QTest::keyClick(test::Child<QLineEdit>(t.w, "meSred"), Qt::Key_Return);
        t.w.bbRaschetClick();
        t.w.SpeedButton1Click();
        t.w.Button1Click();
        QCOMPARE(t.scope.ui.dialogs.size(), size_t(1)); // the load before the run
        QCOMPARE(t.scope.ui.beeps, 0);
        QVERIFY(t.scope.ui.messages.isEmpty());

        QTRY_VERIFY_WITH_TIMEOUT(!t.w.Gen(), 60000);
        for (QWidget* c : locked)
            QVERIFY2(c->isEnabled(), qPrintable(c->objectName()));
        QCOMPARE(t.diaStarts, 1);
        QVERIFY(t.st.MGenet.Executed);
        QVERIFY(t.memo().contains(QStringLiteral("Создано генов")));
        QVERIFY(t.memo().contains(QStringLiteral("ЦФ=")));
        // the warnings cover the genetic model, in the memo after its lines
        QVERIFY(std::any_of(t.st.Warnings.begin(), t.st.Warnings.end(), [](const ModelWarning& m) {
            return m.model == "MGenet" && m.code == "fixed_K";
        }));
        QVERIFY(t.memo().endsWith(QString::fromStdString(WarningMemoLine(t.st.Warnings.back()))));
        // the bars followed the schedules, which never reach the defaults
        QVERIFY(test::Child<QSlider>(t.w, "TrackBar1")->value() <= 28);
        QVERIFY(test::Child<QSlider>(t.w, "TrackBar2")->value() <= 23);
        QVERIFY(test::Child<QProgressBar>(t.w, "ProgressBar2")->value() > 0);
    }

    void stopEndsTheRunAtTheNextGeneration() {
        Window t(settings());
        t.start("20", "1000000");
        QVERIFY(t.waitForGenes());
        QTest::mouseClick(test::Child<QPushButton>(t.w, "StopBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.Gen(), 30000);
        QCOMPARE(t.diaStarts, 1);
        QVERIFY(t.st.MGenet.Executed);
        QVERIFY(test::Child<QPushButton>(t.w, "ToolBRunGenOptim")->isEnabled());
    }

    void stopBeforeARunIsForgotten() {
        Window t(settings());
        QTest::mouseClick(test::Child<QPushButton>(t.w, "StopBtn"), Qt::LeftButton);
        t.start("20", "20");
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.Gen(), 60000);
        // a full run ends with the progress past the last step
        QCOMPARE(test::Child<QProgressBar>(t.w, "ProgressBar2")->value(), 100);
        QCOMPARE(t.diaStarts, 1);
    }

    void copyBestActsDuringTheRun() {
        Window t(settings());
        t.start("20", "1000000"); // the scheduled copyings lie far beyond this test
        QVERIFY(t.waitForGenes());
        QVERIFY(!t.memo().contains(QStringLiteral("Копирование лучших")));
        QTest::mouseClick(test::Child<QPushButton>(t.w, "btnCopyBest"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(t.memo().contains(QStringLiteral("Копирование лучших")), 30000);
        QTest::mouseClick(test::Child<QPushButton>(t.w, "StopBtn"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.Gen(), 30000);
    }

    void closingDuringARunWaitsForTheWorker() {
        Window t(settings());
        t.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.w));
        t.start("20", "1000000");
        QVERIFY(t.waitForGenes());
        QPointer<TGen> gen = t.w.Gen();
        QVERIFY(gen);
        QVERIFY(t.w.close()); // returns once the worker has ended
        QVERIFY(!gen || gen->isFinished());
        QVERIFY(!t.w.isVisible());
        QCOMPARE(t.diaStarts, 1); // its last hand-over was served while the window waited
        QVERIFY(t.st.MGenet.Executed);
        QCOMPARE(t.scope.ui.beeps, 1);
    }

    void unusablePopulationDoesNotStart() {
        Window t(settings());
        t.start("1", "30");
        QVERIFY(!t.w.Gen());
        QCOMPARE(t.scope.ui.messages.size(), 1);
        QVERIFY(test::Child<QPushButton>(t.w, "ToolBRunGenOptim")->isEnabled());
        t.start("20", "abc");
        QVERIFY(!t.w.Gen());
        QCOMPARE(t.scope.ui.messages.size(), 2);
        QCOMPARE(t.diaStarts, 0);
    }

    // A run that cannot make its population ends at once and says so; the
    // genetic model stays as it was and the controls come back.
    void aSetUpThatFailsIsReported_data() {
        QTest::addColumn<bool>("noMemory");
        QTest::addColumn<QString>("message");
        QTest::newRow("generations changed before the worker read them")
            << false << QString::fromUtf8(kMsgGaNotSetUp);
        QTest::newRow("no memory for the population") << true << QString::fromUtf8(kMsgGaSetUpFailed);
    }

    void aSetUpThatFailsIsReported() {
        QFETCH(bool, noMemory);
        QFETCH(QString, message);
        Window t(settings());
        if (noMemory)
            t.w.setGenerationLoop([](AnalysisState&, GaHost&, GaFlags&, const GaRunOptions&) -> GaRunEnd {
                throw std::bad_alloc();
            });
        test::Child<QLineEdit>(t.w, "Edit3")->setText(QStringLiteral("20"));
        test::Child<QLineEdit>(t.w, "NPokoleny")->setText(QStringLiteral("30"));
        t.w.ToolBRunGenOptimClick();
        QVERIFY(t.w.Gen());
        // the worker reads the edits on this thread's next turn
        if (!noMemory) test::Child<QLineEdit>(t.w, "NPokoleny")->setText(QStringLiteral("abc"));
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.Gen(), 30000);
        QCOMPARE(t.scope.ui.messages, QStringList{message});
        QVERIFY(t.scope.ui.errors.isEmpty());
        QVERIFY(test::Child<QPushButton>(t.w, "ToolBRunGenOptim")->isEnabled());
        QVERIFY(test::Child<QLineEdit>(t.w, "Edit3")->isEnabled());
        QCOMPARE(t.diaStarts, 0);
        QVERIFY(!t.st.MGenet.Executed);
        QVERIFY(!t.memo().contains(QStringLiteral("Создано генов")));
    }

    // An error in the refresh at the end of a run (a run-in time the user
    // spoilt meanwhile) is shown in the standard error box.
    void anErrorAtTheEndOfARunIsShown() {
        Window t(settings());
        t.w.setDiaStart(
            [&] { StrToFloat(test::Child<QLineEdit>(t.w, "LabeledEdit3")->text().toStdString(), '.'); });
        t.start("20", "5");
        test::Child<QLineEdit>(t.w, "LabeledEdit3")->setText(QStringLiteral("abc"));
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.Gen(), 30000);
        QCOMPARE(t.scope.ui.errors, QStringList{QStringLiteral("'abc' is not a valid floating point value")});
        QVERIFY(t.scope.ui.messages.isEmpty());
        QVERIFY(test::Child<QPushButton>(t.w, "ToolBRunGenOptim")->isEnabled());
    }
};

QTEST_MAIN(GenThreadTest)
#include "gen_thread_test.moc"
