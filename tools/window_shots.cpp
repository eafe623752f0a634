// Takes the screenshots of docs/screenshots: drives the program's windows on
// a data file and photographs the whole screen with ImageMagick's `import` at
// each step. Run it under a virtual X server, on one command line:
//
//   LANG=ru_RU.UTF-8 xvfb-run -s "-screen 0 1600x1000x24"
//       build/gui/window_shots docs/screenshots data/sample.txt
//
// With `--model3 NAME` after the data file it takes only model 3's own
// windows, "Причины отказов" and "Прогноз", each cut to its frame, as
// causes_NAME.png, forecast_NAME.png and forecast_cause_NAME.png.
#include "gui/windows/app_windows.h"
#include "gui/windows/causes_window.h"
#include "gui/windows/forecast_window.h"
#include "gui/windows/lnview.h"
#include "gui/windows/results_layout.h"
#include "gui/windows/table_import_dialog.h"
#include "tests/gui/window_controls.h"
#include "tools/scripted_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>

#include <clocale>
#include <cstdio>
#include <functional>

using namespace tovimo;
using namespace tovimo::tools;

namespace {

void shoot(const QDir& out, const QString& name) {
    settle();
    const QString file = out.filePath(name + QStringLiteral(".png"));
    const int rc = QProcess::execute(QStringLiteral("import"),
                                     {QStringLiteral("-window"), QStringLiteral("root"), file});
    std::printf("%s %s\n", rc == 0 ? "wrote" : "FAILED", qPrintable(file));
}

// The screen cut to the window's frame.
void shootWindow(QWidget* w, const QDir& out, const QString& name) {
    w->move(0, 0);
    w->raise();
    settle(800);
    const QRect r = w->frameGeometry();
    const QString file = out.filePath(name + QStringLiteral(".png"));
    const int rc = QProcess::execute(
        QStringLiteral("import"),
        {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
         QStringLiteral("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y()), file});
    std::printf("%s %s\n", rc == 0 ? "wrote" : "FAILED", qPrintable(file));
}

// Model 3 alone, then its windows from the bounds panel's buttons: the
// causes, the forecast of model 3 with a longer warranty, a cause's forecast.
int shootModel3Windows(TForm1& main, TForm5& results, const QDir& out, const QString& name) {
    tovimo::test::Child<QCheckBox>(main, "SpirSpusk")->setChecked(false);
    tovimo::test::Child<QCheckBox>(main, "BoxPravd")->setChecked(true);
    main.bbRaschetClick();
    if (!waitFor([&] { return !main.runActive() && results.isVisible(); }, 600)) return 1;
    main.hide();
    results.hide();
    TCausesWindow* causes = results.causesWindow();
    results.btnCauses->click();
    if (!waitFor([&] { return !causes->busy(); }, 600)) return 1;
    shootWindow(causes, out, QStringLiteral("causes_") + name);

    TForecastWindow* forecast = results.forecastWindow();
    causes->hide();
    results.btnForecast->click();
    if (!waitFor([&] { return !forecast->busy(); }, 600)) return 1;
    forecast->edExtend->setText(QStringLiteral("500"));
    forecast->btnCalcClick();
    if (!waitFor([&] { return !forecast->busy(); }, 600)) return 1;
    shootWindow(forecast, out, QStringLiteral("forecast_") + name);

    forecast->hide();
    causes->show();
    causes->Causes_Grid->selectRow(0);
    causes->btnForecastCause->click();
    causes->hide();
    if (!waitFor([&] { return !forecast->busy(); }, 600)) return 1;
    shootWindow(forecast, out, QStringLiteral("forecast_cause_") + name);
    return 0;
}

void only(QWidget* shown, const QList<QWidget*>& all) {
    for (QWidget* w : all)
        if (w != shown) w->hide();
    shown->show();
    shown->raise();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Анализ надежности"));
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_shots OUTPUT_DIR DATA_FILE [--model3 NAME]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    ScriptedUi ui(QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath());
    SetUi(&ui);
    QTemporaryDir settings;
    AppWindows windows(settings.filePath(QStringLiteral("rel.txt")));
    TForm1& main = windows.Form1;
    TForm5& results = windows.Form5;
    main.show();
    main.OpenFileStartClick();
    if (argc >= 5 && QString::fromLocal8Bit(argv[3]) == QStringLiteral("--model3")) {
        const int rc = shootModel3Windows(main, results, out, QString::fromLocal8Bit(argv[4]));
        SetUi(nullptr);
        return rc;
    }
    settle();
    shoot(out, QStringLiteral("main_loaded"));

    // A deterministic run of the three step-search fits, caught while it runs.
    tovimo::test::Child<QCheckBox>(main, "SpirSpusk")->setChecked(true);
    tovimo::test::Child<QCheckBox>(main, "BoxNewton")->setChecked(true);
    tovimo::test::Child<QCheckBox>(main, "BoxSmirnow")->setChecked(true);
    const int before = tovimo::test::Child<QPlainTextEdit>(main, "Memo2")->blockCount();
    main.bbRaschetClick();
    waitFor([&] { return tovimo::test::Child<QPlainTextEdit>(main, "Memo2")->blockCount() > before + 3; },
            60);
    if (main.runActive())
        shoot(out, QStringLiteral("main_run"));
    else
        std::printf("the run ended before its screenshot\n");
    waitFor([&] { return !main.runActive() && results.isVisible(); }, 300);
    shoot(out, QStringLiteral("results_three_fits"));

    // The genetic model, small enough to be quick, makes four model columns.
    results.hide();
    main.show();
    tovimo::test::Child<QTabWidget>(main, "PageControl")->setCurrentIndex(1);
    tovimo::test::Child<QLineEdit>(main, "Edit3")->setText(QStringLiteral("1000"));
    tovimo::test::Child<QLineEdit>(main, "NPokoleny")->setText(QStringLiteral("150"));
    main.ToolBRunGenOptimClick();
    waitFor([&] { return tovimo::test::Child<QProgressBar>(main, "ProgressBar2")->value() >= 20; }, 120);
    if (main.runActive()) shoot(out, QStringLiteral("main_genetic_run"));
    waitFor([&] { return !main.runActive() && results.isVisible(); }, 300);
    results.showMaximized();
    shoot(out, QStringLiteral("results_four_models"));

    // Model 3 alone adds the fifth; its progress shows in the status line.
    results.hide();
    main.show();
    tovimo::test::Child<QTabWidget>(main, "PageControl")->setCurrentIndex(0);
    tovimo::test::Child<QCheckBox>(main, "SpirSpusk")->setChecked(false);
    tovimo::test::Child<QCheckBox>(main, "BoxNewton")->setChecked(false);
    tovimo::test::Child<QCheckBox>(main, "BoxSmirnow")->setChecked(false);
    tovimo::test::Child<QCheckBox>(main, "BoxPravd")->setChecked(true);
    main.bbRaschetClick();
    waitFor(
        [&] {
            return tovimo::test::Child<QLabel>(main, "RunStatus")->text().contains(QStringLiteral(" из ")) ||
                   !main.runActive();
        },
        300);
    if (main.runActive()) shoot(out, QStringLiteral("main_model3_progress"));
    waitFor([&] { return !main.runActive() && results.isVisible(); }, 600);
    results.showMaximized();
    shoot(out, QStringLiteral("results_five_models"));

    // Each window at its smallest allowed size.
    const QList<QWidget*> all{&main, &results};
    only(&results, all);
    results.showNormal();
    results.resize(1, 1);
    shoot(out, QStringLiteral("results_smallest"));

    only(&main, all);
    main.showNormal();
    for (int step = 0; step < 2; ++step) { // the wide arrangement's minimum first, then the narrow one's
        main.resize(1, 1);
        settle();
    }
    shoot(out, QStringLiteral("main_smallest"));

    main.showMaximized();
    main.Button2Click();
    settle();
    if (LNview) {
        LNview->move(0, 0);
        shoot(out, QStringLiteral("lnview"));
        LNview->resize(1, 1);
        shoot(out, QStringLiteral("lnview_smallest"));
        LNview->close();
    }
    // The table import's preview with doubtful rows: a negative time and one
    // past the warranty law's end.
    only(&main, all);
    main.showMaximized();
    QTemporaryDir tables;
    const QString table = tables.filePath(QStringLiteral("отказы.csv"));
    QFile f(table);
    if (f.open(QIODevice::WriteOnly)) {
        f.write("Наработка, ч;Причина отказа;Описание\n-15,5;Насос;течь\n120,5;Двигатель;перегрев\n"
                "455;Насос;\n99999999;Двигатель;обрыв\n2400;Блок питания;\nн/д;Насос;\n");
        f.close();
    }
    ui.setFile(table);
    ui.onDialog = [&](QDialog* dialog) {
        auto* d = qobject_cast<TableImportDialog*>(dialog);
        if (!d) return int(QDialog::Rejected);
        d->fleetEdit->setText(QStringLiteral("1117"));
        d->meanEdit->setText(QStringLiteral("3000"));
        d->sdEdit->setText(QStringLiteral("700"));
        d->doubtfulList->item(0)->setCheckState(Qt::Unchecked);
        d->move(60, 40);
        d->show();
        shoot(out, QStringLiteral("import_doubtful_rows"));
        d->hide();
        return int(QDialog::Rejected);
    };
    main.ImportTableClick();
    SetUi(nullptr);
    return 0;
}
