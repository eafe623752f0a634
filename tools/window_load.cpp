// Measures the main window on a large data file: starts the program's windows
// as the program does (maximised), loads the file as "Путь" does, lets the
// window draw it, prints the load's time and the memo's last line, and quits.
// With a second argument it photographs the screen (ImageMagick's `import`)
// before quitting. Run under a virtual X server or offscreen, e.g.:
//
//   /usr/bin/time -f "%e s %M KB" xvfb-run -s "-screen 0 1600x1000x24"
//       build/gui/window_load /tmp/big/big.txt docs/screenshots/main_million.png
#include "gui/windows/app_windows.h"
#include "tests/gui/window_controls.h"
#include "tools/scripted_ui.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <clocale>
#include <cstdio>
#include <ctime>

using namespace tovimo;
using namespace tovimo::tools;

namespace {

// The process's resident memory now and at its peak, in MB (Linux).
QString memoryText() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("?");
    QString rss, peak;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const auto kb = [&] {
            return QString::number(line.simplified().split(' ').value(1).toLongLong() / 1024);
        };
        if (line.startsWith("VmRSS:")) rss = kb();
        if (line.startsWith("VmHWM:")) peak = kb();
    }
    return QStringLiteral("resident %1 MB, peak %2 MB").arg(rss, peak);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Анализ надежности"));
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_load DATA_FILE [SCREENSHOT.png]\n");
        return 2;
    }
    ScriptedUi ui(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    SetUi(&ui);
    QTemporaryDir settings;
    AppWindows windows(settings.filePath(QStringLiteral("rel.txt")));
    TForm1& main = windows.Form1;
    main.showMaximized();
    settle(300);
    std::printf("before loading: %s\n", qPrintable(memoryText()));

    QElapsedTimer shown;
    shown.start();
    const std::clock_t cpu = std::clock();
    main.OpenFileStartClick();
    main.repaint(); // the grid, chart and memo of the series drawn once
    const double seconds = double(shown.elapsed()) / 1000;
    // on a shared machine the processor time tells the work apart from the waiting
    std::printf("records %zu, loaded and drawn in %.2f s (processor time %.2f s)\n",
                main.state().MasProbl.size(), seconds, double(std::clock() - cpu) / CLOCKS_PER_SEC);
    std::printf("after loading: %s\n", qPrintable(memoryText()));
    std::printf("memo: %s\n", qPrintable(tovimo::test::Child<QPlainTextEdit>(main, "Memo2")
                                             ->toPlainText()
                                             .split(QLatin1Char('\n'))
                                             .last()));
    if (argc > 2) {
        settle(500);
        const int rc =
            QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                                         QString::fromLocal8Bit(argv[2])});
        std::printf("%s %s\n", rc == 0 ? "wrote" : "FAILED", argv[2]);
    }
    return 0;
}
