// Tovimo_2024: the program start.
#include "main_window.h"

#include "analysis_state.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Анализ надежности"));

    QCommandLineParser parser;
    QCommandLineOption sample(QStringLiteral("sample"), QStringLiteral("Файл данных, предлагаемый при первом открытии"),
                              QStringLiteral("FILE"));
    parser.addOption(sample);
    parser.addHelpOption();
    parser.process(app);

    tovimo::AnalysisState state;
    tovimo::TForm1 Form1(state);
    if (parser.isSet(sample)) Form1.setSampleFile(QFileInfo(parser.value(sample)).absoluteFilePath());
    Form1.showMaximized();
    return QApplication::exec();
}
