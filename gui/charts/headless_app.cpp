#include "gui/charts/headless_app.h"

#include <clocale>

namespace tovimo {

namespace {

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform's notes on what it cannot do for a window and Qt's
// choice of a runtime folder tell the command line's user nothing: dropped,
// so that the error stream holds only what the program has to say.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && (text.startsWith(QLatin1String("This plugin does not support")) ||
                                 text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))))
        return;
    if (g_previousHandler) g_previousHandler(type, context, text);
}

} // namespace

std::unique_ptr<QApplication> EnsureApplication() {
    if (QCoreApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!g_previousHandler) g_previousHandler = qInstallMessageHandler(quietPlatformNotes);
    static int argc = 1;
    static char name[] = "tovimo-cli";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QApplication>(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // the rest of the program formats numbers itself
    return app;
}

} // namespace tovimo
