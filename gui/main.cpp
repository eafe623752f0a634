// Tovimo_2024: the program start.
#include "gui/platform/settings_file.h"
#include "gui/windows/app_windows.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    // the version is asked for without a display too
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::puts("tovimo " TOVIMO_VERSION);
            return 0;
        }

    QApplication app(argc, argv);
    // Qt set the C library to the user's locale; numbers keep the point there and
    // the windows put the user's separator in themselves
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Анализ надежности"));
    QApplication::setApplicationVersion(QStringLiteral(TOVIMO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tovimo"));

    // the toolkit's own dialogs (file choice, buttons) in the user's language
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QCommandLineParser parser;
    const QCommandLineOption sample(QStringLiteral("sample"),
                                    QStringLiteral("Файл данных, который предлагается при первом открытии"),
                                    QStringLiteral("FILE"));
    parser.addOption(sample);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Файл исходных данных, открываемый при запуске"),
                                 QStringLiteral("[FILE]"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    tovimo::AppWindows windows;
    // an installed program offers its sample at the first opening
    const QString offered = parser.isSet(sample) ? parser.value(sample) : tovimo::InstalledSample();
    if (!offered.isEmpty()) windows.Form1.setSampleFile(QFileInfo(offered).absoluteFilePath());
    windows.Form1.showMaximized();
    if (!parser.positionalArguments().isEmpty())
        windows.Form1.openDataFile(QFileInfo(parser.positionalArguments().front()).absoluteFilePath());
    return QApplication::exec();
}
