// Charts inside the report's text: each chart is one object of the text
// document, drawn from its scene at print time, so the PDF gets vectors.
#pragma once

#include "core/results/chart_data.h"

#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QTextObjectInterface>

#include <memory>
#include <vector>

class QTextCursor;

namespace tovimo {

class ChartView;
class PlannedChart;

class ReportChartObjects : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

  public:
    static constexpr int kObjectType = QTextFormat::UserObject + 14;

    ReportChartObjects();
    ~ReportChartObjects() override;

    // Draws `plan` (made from `design`) at `drawSize` pixels with no title of
    // its own, and puts it at the cursor as an object `shownSize` large.
    void insert(QTextCursor& cursor, const ChartPlan& design, const ChartPlan& plan, QSizeF drawSize,
                QSizeF shownSize);

    // The charts inserted so far, in order, and the size each is shown at.
    size_t count() const { return views_.size(); }
    PlannedChart* chart(size_t i) const;
    QSizeF shownSize(size_t i) const { return shown_[i]; }

    // The page being drawn: objects outside it are left for their own page.
    void setPageRect(const QRectF& rect) { page_ = rect; }

    QSizeF intrinsicSize(QTextDocument* doc, int pos, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int pos,
                    const QTextFormat& format) override;

  private:
    std::vector<std::unique_ptr<ChartView>> views_;
    std::vector<QSizeF> shown_;
    QRectF page_;
};

} // namespace tovimo
