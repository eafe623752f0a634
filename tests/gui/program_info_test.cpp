// What an installed program shows of itself and where it keeps its things:
// "О программе" from the main window's menu, the settings file and the sample
// of an installed program beside those of one run where it was built, and a
// data file given at the start.
#include "tests/gui/main_window_fixture.h"

#include "gui/platform/settings_file.h"
#include "gui/windows/about_dialog.h"
#include "gui/windows/app_windows.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>

using namespace tovimo;
using namespace tovimo::test;

namespace {

// A file with some text at `path`, its folders made.
void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x\n");
}

} // namespace

class ProgramInfoTest : public QObject {
    Q_OBJECT

  private slots:
    void aboutFromTheMenuNamesVersionLicenceAndLibraries() {
        QTemporaryDir dir;
        UiScope scope;
        AppWindows app(dir.filePath(QStringLiteral("rel.txt")));
        app.Form1.show();
        auto* menu = app.Form1.menuBar()->findChild<QMenu*>(QStringLiteral("HelpMenu"));
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("Справка"));
        auto* about = menu->findChild<QAction*>(QStringLiteral("AboutAction"));
        QVERIFY(about);
        QCOMPARE(about->text(), QStringLiteral("О программе"));
        // the window's caption stays what it is
        QCOMPARE(app.Form1.windowTitle(), QStringLiteral("Анализ цензурированного временного ряда отказов."));

        QStringList shown;
        QString title;
        scope.ui.onDialog = [&](QDialog* d) {
            title = d->windowTitle();
            for (const QLabel* l : d->findChildren<QLabel*>())
                shown << l->text();
            return int(QDialog::Accepted);
        };
        about->trigger();
        QCOMPARE(title, QStringLiteral("О программе"));
        const QString text = shown.join(QLatin1Char('\n'));
        QVERIFY2(text.contains(QStringLiteral("Tovimo")), qPrintable(text));
        QVERIFY2(shown.contains(QStringLiteral("Версия " TOVIMO_VERSION)), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("GPL-3.0-or-later")), qPrintable(text));
        // every library with the version in use
        QVERIFY2(text.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())), qPrintable(text));
        for (const char* library : {"Qt Charts", "ICU", "Boost"}) {
            const QRegularExpression withVersion(QString::fromLatin1(library) +
                                                 QStringLiteral(" \\d+\\.\\d+"));
            QVERIFY2(text.contains(withVersion), library);
        }
        QCOMPARE(ProgramVersion(), QStringLiteral(TOVIMO_VERSION));
    }

    void settingsAndSampleOfAnInstalledProgram() {
        QTemporaryDir prefix, config;
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        QDir().mkpath(bin);
        // no sample beside it: a program where it was built keeps its settings in its folder
        QCOMPARE(InstalledSampleFor(bin), QString());
        QCOMPARE(SettingsFilePathFor(bin, config.path()), QDir(bin).filePath(QStringLiteral("rel.txt")));

        const QString sample = prefix.filePath(QStringLiteral("share/tovimo/sample.txt"));
        touch(sample);
        QCOMPARE(InstalledSampleFor(bin), QFileInfo(sample).canonicalFilePath());
        const QString settings = SettingsFilePathFor(bin, config.path());
        QCOMPARE(settings, QDir(config.path()).filePath(QStringLiteral("tovimo/rel.txt")));
        QVERIFY(QFileInfo(QFileInfo(settings).absolutePath()).isDir()); // its folder is made
        QVERIFY(WriteComStr(settings, QStringLiteral("/data/x.txt")));
        QCOMPARE(ReadComStr(settings, QString()), QStringLiteral("/data/x.txt"));

        // the same sample beside a folder that is no bin folder is a build tree's
        const QString other = prefix.filePath(QStringLiteral("gui"));
        QDir().mkpath(other);
        QCOMPARE(InstalledSampleFor(other), QString());
    }

    void aDataFileGivenAtTheStartIsOpened() {
        QTemporaryDir dir;
        UiScope scope;
        AppWindows app(dir.filePath(QStringLiteral("rel.txt")));
        app.Form1.openDataFile(QStringLiteral(TOVIMO_SAMPLE));
        QVERIFY(scope.ui.dialogs.empty()); // no file dialog
        QVERIFY(app.state.uk);
        QCOMPARE(test::Child<QLineEdit>(app.Form1, "FilePath")->text(), QStringLiteral(TOVIMO_SAMPLE));
        QCOMPARE(ReadComStr(dir.filePath(QStringLiteral("rel.txt")), QString()),
                 QStringLiteral(TOVIMO_SAMPLE));
        QVERIFY(scope.ui.errors.isEmpty());
    }
};

QTEST_MAIN(ProgramInfoTest)
#include "program_info_test.moc"
