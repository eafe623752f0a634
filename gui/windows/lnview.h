// The log-log accumulation window: every failure on logarithmic axes with the
// straight line fitted when the data were loaded. Made anew on every "Expand",
// released when the user leaves it.
#pragma once

#include "core/state/analysis_state.h"
#include "gui/charts/loglog_panel.h"

#include <QPointer>
#include <QWidget>

class QPushButton;

namespace tovimo {

class TLNview : public QWidget {
    Q_OBJECT

  public:
    explicit TLNview(QWidget* mainWindow = nullptr);

    LogLogPanel* Panel = nullptr; // the chart and its labels, under the buttons
    QPushButton* Button2 = nullptr;
    QPushButton* Prodolgenie = nullptr;

  public slots:
    void Button2Click();
    void ProdolgenieClick();

  protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layOut();

    QPointer<QWidget> mainWindow_;
};

// The window's smallest size: the chart title, the buttons, the comment and
// the line's texts still clear of each other.
inline constexpr QSize kLnViewMinimumSize{640, 420};

// The window open at present, if any.
extern QPointer<TLNview> LNview;

// "Expand": a new log-log window from the state; the main window hides
// until the user leaves it.
TLNview* OpenLnView(QWidget* mainWindow, const AnalysisState& st, char decimalSeparator);

} // namespace tovimo
