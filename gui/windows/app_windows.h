// The program's windows wired together: the main window, then the results
// window; the runs' results refresh and "Expand" reach the results side.
#pragma once

#include "core/state/analysis_state.h"
#include "gui/windows/main_window.h"
#include "gui/windows/results_window.h"

#include <QString>

namespace tovimo {

struct AppWindows {
    explicit AppWindows(const QString& settingsFile = QString());
    // A run still going is ended while the results window can take its refresh.
    ~AppWindows() { Form1.stopGeneticRun(); }

    AnalysisState state;
    TForm1 Form1;
    TForm5 Form5;
};

} // namespace tovimo
