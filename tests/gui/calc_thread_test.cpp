// The calculation run ("Расчет") on its worker thread: the window stays
// responsive with its run controls locked, memo lines arrive as each fit
// writes them, a status line names the fit in progress, the results refresh
// follows on the user-interface thread, and closing the window ends a run.
#include "tests/gui/main_window_fixture.h"

#include "core/fit/calc_run.h"
#include "core/fit/fit_clock.h"
#include "core/fit/fit_newton.h"
#include "core/fit/fit_smirnov.h"
#include "core/fit/fit_spiral.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <condition_variable>
#include <mutex>

using namespace tovimo;
using namespace tovimo::test;

namespace {

// A step clock that can hold the fits at a chosen reading until the test
// lets them go on; readings advance by the same step as a StepClock.
class GateClock final : public FitClock {
  public:
    explicit GateClock(double step) : step_(step) {}
    double Seconds() override {
        std::unique_lock lock(m_);
        const long long n = readings_++;
        if (n == holdAt_) {
            held_ = true;
            cv_.notify_all();
            cv_.wait(lock, [&] { return !held_; });
        }
        return static_cast<double>(n) * step_;
    }
    // The reading with this index waits for release().
    void holdAt(long long reading) {
        std::lock_guard lock(m_);
        holdAt_ = reading;
    }
    bool held() {
        std::lock_guard lock(m_);
        return held_;
    }
    void release() {
        std::lock_guard lock(m_);
        held_ = false;
        holdAt_ = -1;
        cv_.notify_all();
    }
    long long readings() {
        std::lock_guard lock(m_);
        return readings_;
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    double step_;
    long long readings_ = 0;
    long long holdAt_ = -1;
    bool held_ = false;
};

} // namespace

class CalcThreadTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    QString settings() const { return QDir(tmp_.path()).filePath(QStringLiteral("rel.txt")); }

    struct Window {
        UiScope scope;
        AnalysisState st;
        TForm1 w;
        int diaStarts = 0;
        explicit Window(const QString& settings, FitClock& clock) : w(st, settings) {
            w.setDiaStart([this] { ++diaStarts; });
            w.setClock(&clock);
            scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
            w.OpenFileStartClick();
        }
        QString memo() const { return test::Child<QPlainTextEdit>(w, "Memo2")->toPlainText(); }
        bool runControlsLocked() const {
            for (const char* name :
                 {"OpenFileStart", "SpeedButton1", "bbRaschet", "Button1", "ToolBRunGenOptim", "Button2"})
                if (test::Child<QPushButton>(w, name)->isEnabled()) return false;
            return true;
        }
    };

    // Clock readings of a run of model 1.1 (and model 1.2 when `newton`) on
    // the calling thread: the window's run makes the same readings.
    long long readingsOfRun(bool newton) {
        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        w.OpenFileStartClick();
        test::Child<QCheckBox>(w, "BoxNewton")->setChecked(newton);
        MainForm form = w.form();
        StepClock clock(2);
        if (!RunCalculation(st, form, clock, RunCallbacks{})) return -1;
        return clock.readings();
    }

  private slots:
    void theRunGoesOnWhileTheWindowResponds() {
        GateClock clock(2);
        Window t(settings(), clock);
        test::Child<QCheckBox>(t.w, "BoxNewton")->setChecked(true);
        test::Child<QCheckBox>(t.w, "BoxSmirnow")->setChecked(true);
        clock.holdAt(0); // the first reading of model 1.1
        QTest::mouseClick(test::Child<QPushButton>(t.w, "bbRaschet"), Qt::LeftButton);

        // the click has returned with the fit still going on
        QTRY_VERIFY(clock.held());
        QVERIFY(t.w.calculationRunning());
        QVERIFY(t.runControlsLocked());
        QVERIFY(t.scope.ui.busy);
        QTRY_VERIFY(test::Child<QLabel>(t.w, "RunStatus")->text().contains(QStringLiteral("модель 1.1")));
        QVERIFY(test::Child<QLabel>(t.w, "RunStatus")->isVisible() || !t.w.isVisible());
        QVERIFY(!test::Child<QProgressBar>(t.w, "RunBusy")->isHidden());
        QCOMPARE(t.diaStarts, 0);
        // the window's own events are served meanwhile
        bool timerRan = false;
        QTimer::singleShot(0, [&] { timerRan = true; });
        QTRY_VERIFY(timerRan);
        // nothing else starts while the run goes on
        t.w.bbRaschetClick();
        t.w.OpenFileStartClick();
        t.w.ToolBRunGenOptimClick();
        QCOMPARE(t.scope.ui.dialogs.size(), size_t(1));
        QVERIFY(!t.w.Gen());

        // model 1.1 ends and writes its lines before model 1.2 has finished
        clock.release();
        QTRY_VERIFY_WITH_TIMEOUT(
            test::Child<QLabel>(t.w, "RunStatus")->text().contains(QStringLiteral("модель 1.2")) ||
                !t.w.calculationRunning(),
            60000);
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.calculationRunning(), 120000);
        QVERIFY2(t.scope.ui.errors.isEmpty(), qPrintable(t.scope.ui.errors.join('\n')));
        QCOMPARE(t.diaStarts, 1);
        QCOMPARE(t.scope.ui.beeps, 1);
        QVERIFY(!t.scope.ui.busy);
        QVERIFY(!t.runControlsLocked());
        QVERIFY(test::Child<QLabel>(t.w, "RunStatus")->isHidden());
        QVERIFY(test::Child<QProgressBar>(t.w, "RunBusy")->isHidden());
        QVERIFY(t.st.MPirsS.Executed && t.st.MPirsN.Executed && t.st.MSmirn.Executed);
        const QString memo = t.memo();
        QVERIFY(memo.indexOf(QString::fromUtf8(kSpiralDone)) < memo.indexOf(QString::fromUtf8(kNewtonDone)));
        QVERIFY(memo.indexOf(QString::fromUtf8(kNewtonDone)) < memo.indexOf(QString::fromUtf8(kSmirnovDone)));
        QCOMPARE(memo.split(QLatin1Char('\n')).size(), int(t.w.form().Memo2.size()));
    }

    void memoLinesArriveAsEachFitWritesThem() {
        // model 1.1 alone takes its first readings; the next one belongs to model 1.2
        const long long spiralReadings = readingsOfRun(false);
        QVERIFY(spiralReadings > 0);
        QVERIFY(spiralReadings < readingsOfRun(true));
        GateClock clock(2);
        Window t(settings(), clock);
        test::Child<QCheckBox>(t.w, "BoxNewton")->setChecked(true);
        clock.holdAt(spiralReadings);
        QTest::mouseClick(test::Child<QPushButton>(t.w, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(clock.held(), 60000);
        QTRY_VERIFY(t.memo().contains(QString::fromUtf8(kSpiralDone)));
        QVERIFY(!t.memo().contains(QString::fromUtf8(kNewtonDone)));
        QTRY_VERIFY(test::Child<QLabel>(t.w, "RunStatus")->text().contains(QStringLiteral("модель 1.2")));
        QVERIFY(t.runControlsLocked());
        clock.release();
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.calculationRunning(), 120000);
        QVERIFY(t.memo().contains(QString::fromUtf8(kNewtonDone)));
        QCOMPARE(t.diaStarts, 1);
    }

    // The same clock readings give the same models as the run on the calling thread.
    void resultsMatchTheRunOnOneThread() {
        StepClock windowClock(2);
        Window t(settings(), windowClock);
        test::Child<QCheckBox>(t.w, "BoxNewton")->setChecked(true);
        QTest::mouseClick(test::Child<QPushButton>(t.w, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.calculationRunning(), 120000);

        UiScope scope;
        AnalysisState st;
        TForm1 w(st, settings());
        scope.ui.answers.push_back(QStringLiteral(TOVIMO_SAMPLE));
        w.OpenFileStartClick();
        test::Child<QCheckBox>(w, "BoxNewton")->setChecked(true);
        MainForm form = w.form();
        StepClock clock(2);
        QVERIFY(RunCalculation(st, form, clock, RunCallbacks{}));
        QCOMPARE(windowClock.readings(), clock.readings());
        for (auto slot : {&AnalysisState::MPirsS, &AnalysisState::MPirsN}) {
            QCOMPARE((t.st.*slot).A, (st.*slot).A);
            QCOMPARE((t.st.*slot).B, (st.*slot).B);
            QCOMPARE((t.st.*slot).Kol_Nakopl, (st.*slot).Kol_Nakopl);
        }
    }

    // A clock this slow would keep the fits going for hours: only the stop
    // flag can end the run when the window closes.
    void closingTheWindowEndsTheRun() {
        GateClock clock(1e-9);
        Window t(settings(), clock);
        test::Child<QCheckBox>(t.w, "BoxNewton")->setChecked(true);
        t.w.show();
        QTest::mouseClick(test::Child<QPushButton>(t.w, "bbRaschet"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(clock.readings() > 2, 60000); // into the search cycles
        QVERIFY(t.w.close());
        QVERIFY(!t.w.calculationRunning());
        QCOMPARE(t.diaStarts, 0); // no refresh for a run cut short
        QVERIFY(!t.st.MPirsN.Executed);
        QVERIFY(t.scope.ui.errors.isEmpty());
    }

    // Model 3 tells what it is doing in the status line (the fit, its bounds,
    // the bootstrap's replicates), and "Отмена" ends it as closing does, with
    // a memo line and no refresh; the window is then ready for another run.
    void modelThreeShowsProgressAndCanBeCancelled() {
        // model 3 reads the clock as it starts and as it ends: held at its
        // end, the run is still going when "Отмена" is pressed, however fast
        // the machine
        GateClock clock(2);
        clock.holdAt(1);
        Window t(settings(), clock);
        test::Child<QCheckBox>(t.w, "SpirSpusk")->setChecked(false);
        test::Child<QCheckBox>(t.w, "BoxPravd")->setChecked(true);
        QVERIFY(test::Child<QPushButton>(t.w, "RunCancel")->isHidden());
        QStringList seen;
        QTest::mouseClick(test::Child<QPushButton>(t.w, "bbRaschet"), Qt::LeftButton);
        QVERIFY(!test::Child<QPushButton>(t.w, "RunCancel")->isHidden());
        QCOMPARE(test::Child<QPushButton>(t.w, "RunCancel")->text(), QStringLiteral("Отмена"));
        // the status texts as they come, until the bounds or the bootstrap count up
        const QRegularExpression counted(QStringLiteral("^Расчет: Модель 3: [^,]+, \\d+ из \\d+$"));
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QString text = test::Child<QLabel>(t.w, "RunStatus")->text();
                if (seen.isEmpty() || seen.last() != text) seen << text;
                return counted.match(text).hasMatch() || !t.w.calculationRunning();
            }(),
            120000);
        QVERIFY2(t.w.calculationRunning(), qPrintable(seen.join('\n')));
        QTRY_VERIFY_WITH_TIMEOUT(clock.held(), 120000);
        QTest::mouseClick(test::Child<QPushButton>(t.w, "RunCancel"), Qt::LeftButton);
        clock.release();
        QTRY_VERIFY_WITH_TIMEOUT(!t.w.calculationRunning(), 60000);
        QCOMPARE(t.diaStarts, 0);
        QVERIFY(!t.st.MPravd.Executed);
        QVERIFY(t.memo().endsWith(QStringLiteral("Расчет прерван")));
        QVERIFY(test::Child<QPushButton>(t.w, "RunCancel")->isHidden());
        QVERIFY(test::Child<QLabel>(t.w, "RunStatus")->isHidden());
        QVERIFY(!t.runControlsLocked());
        QVERIFY(!t.scope.ui.busy);
    }
};

QTEST_MAIN(CalcThreadTest)
#include "calc_thread_test.moc"
