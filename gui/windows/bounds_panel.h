// The bounds panel of the results window: the maximum-likelihood model's
// figures with their confidence bounds, how it was fitted and tested, and the
// warnings on every model of the last run.
#pragma once

#include "core/state/analysis_state.h"

#include <QSize>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace tovimo {

class TBoundsPanel : public QWidget {
    Q_OBJECT

  public:
    explicit TBoundsPanel(QWidget* parent = nullptr);

    // Fills the panel from the state of the last refresh.
    void fill(const AnalysisState& st, char decimalSeparator);
    // Shows the panel in front, at least at its readable size.
    void showReadable();

    static constexpr QSize kReadableSize{900, 640};
    static constexpr QSize kSmallestSize{560, 380};

    QLabel* Summary = nullptr;
    QTableWidget* Bounds_Grid = nullptr;
    QLabel* WarningsLabel = nullptr;
    QListWidget* Warnings_List = nullptr;
    QPushButton* CloseButton = nullptr;
    // "По причинам" and "Прогноз": model 3 by cause and the warranty forecast
    // (wired by the results window).
    QPushButton* btnCauses = nullptr;
    QPushButton* btnForecast = nullptr;
};

} // namespace tovimo
