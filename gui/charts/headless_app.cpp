#include "gui/charts/headless_app.h"

#include <clocale>

namespace tovimo {

std::unique_ptr<QApplication> EnsureApplication() {
    if (QCoreApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tovimo-cli";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QApplication>(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // the rest of the program formats numbers itself
    return app;
}

} // namespace tovimo
