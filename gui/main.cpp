// Tovimo_2024: the program start.
#include "gui/windows/app_windows.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Qt set the C library to the user's locale; numbers keep the point there and
    // the windows put the user's separator in themselves
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Анализ надежности"));

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
    parser.addHelpOption();
    parser.process(app);

    tovimo::AppWindows windows;
    if (parser.isSet(sample)) windows.Form1.setSampleFile(QFileInfo(parser.value(sample)).absoluteFilePath());
    windows.Form1.showMaximized();
    return QApplication::exec();
}
