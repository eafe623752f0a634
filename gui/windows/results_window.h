// The results window: the header line, the results table and the three charts
// of a calculation run. Created hidden at program start, shown by every
// results refresh, hidden again when the user leaves it.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"
#include "gui/charts/chart_view.h"
#include "gui/report/report_pdf.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace tovimo {

class TBoundsPanel;
class TCausesWindow;
class TForecastWindow;

class TForm5 : public QWidget {
    Q_OBJECT

  public:
    explicit TForm5(AnalysisState& st, QWidget* parent = nullptr);

    // The main window shown again when the user leaves, and the source of the
    // main window's control values (burn-in time, decimal separator).
    void setMainWindow(QWidget* mainWindow, std::function<const MainForm&()> form);

    // Where the report finds the data file and the law it gave.
    void setReportSource(std::function<ReportSource()> source) { reportSource_ = std::move(source); }

    // The results refresh: figures, charts, header, table; then the window shows.
    void DiaStart();

    // After a load: when the state holds no executed model any more (the load
    // forgot them), the window drops everything the last refresh showed: the
    // header, the table, the charts, the warnings, the bounds panel, and the
    // report and the saved table are offered again only after the next run.
    void forgetStaleResults();

    // Text of a table cell, row 0 being the header row.
    QString cellText(int row, int column) const;

    QLabel* Label10 = nullptr;
    QTableWidget* Result_Grid = nullptr;
    ChartView* Chart1 = nullptr;
    ChartView* Chart2 = nullptr;
    ChartView* Chart3 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Prodolgenie = nullptr;
    QPushButton* btnReport = nullptr;
    QPushButton* btnSaveTable = nullptr;
    // "Границы": the bounds panel of model 3 and the warnings on every model.
    QPushButton* btnBounds = nullptr;
    // The count of the run's warnings, their texts in its tooltip.
    QLabel* WarningsLine = nullptr;
    // Where the last table or report was written ("Таблица сохранена: …"),
    // right of the warnings.
    QLabel* SaveStatus = nullptr;
    TBoundsPanel* boundsPanel() const { return bounds_; }
    // "По причинам" and "Прогноз": model 3 by cause and the warranty forecast,
    // offered once model 3 has been fitted.
    QPushButton* btnCauses = nullptr;
    QPushButton* btnForecast = nullptr;
    TCausesWindow* causesWindow() const { return causes_; }
    TForecastWindow* forecastWindow() const { return forecast_; }

  public slots:
    void Button1Click();
    void ProdolgenieClick();
    void btnReportClick();
    void btnSaveTableClick();
    void btnBoundsClick();
    void btnCausesClick();
    void btnForecastClick();

  protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FormCreate();
    void buildGrid();
    // The table's item at a row of cellText's numbering.
    QTableWidgetItem* cell(int row, int column) const;
    // Places every part for the window's size and the table's column widths.
    void layOut();
    // The window's minimum: every column, the whole header and the buttons.
    void keepEverythingShown(QSize grid, int titleWidth);
    void leave();
    // The file-save dialog for something made of the shown results.
    std::optional<QString> chooseOutput(const QString& filter, const QString& extension);
    // Says in the status line that `what` went to `file`, and keeps its folder for the next save.
    void savedTo(const QString& what, const QString& file);
    QString savedWhat_, savedFile_;
    QString lastSaveFolder_;
    void showWarnings(char decimalSeparator);

    AnalysisState& st_;
    QPointer<QWidget> mainWindow_;
    std::function<const MainForm&()> form_;
    MainForm ownForm_; // used while no main window is attached
    QString title_;    // the header's whole text; the label may show it elided
    std::function<ReportSource()> reportSource_;
    // What the last refresh showed, for the report and the saved table.
    struct Shown {
        AnalysisState st;
        MainForm form;
        ReportSource source;
    };
    std::unique_ptr<Shown> shown_;
    QStringList warningsTexts_;
    TBoundsPanel* bounds_ = nullptr;
    TCausesWindow* causes_ = nullptr;
    TForecastWindow* forecast_ = nullptr;
    // Whether the shown results hold a fitted model 3.
    bool model3Shown() const;
    // What "Причины отказов" and "Прогноз" computed on the shown results.
    ReportModel3Extras model3Extras() const;
    // Forgets it: the results it was computed on are gone.
    void forgetModel3Extras();
};

} // namespace tovimo
