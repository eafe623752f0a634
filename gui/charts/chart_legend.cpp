#include "gui/charts/chart_legend.h"

#include "gui/charts/chart_fonts.h"

#include <QBrush>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QPen>

namespace tovimo {

namespace {

constexpr qreal kSymbolWidth = 25;
constexpr qreal kSymbolHeight = 10;
constexpr qreal kGap = 4;
constexpr qreal kEntryGap = 14;
constexpr qreal kSide = 8;

} // namespace

QColor PlanColor(std::uint32_t rgb, int transparency) {
    QColor c(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
             static_cast<int>(rgb & 0xFF));
    c.setAlpha(qRound(255.0 * (100 - transparency) / 100.0));
    return c;
}

ChartLegend::ChartLegend(QChart* chart, bool visible) : QObject(chart), chart_(chart), visible_(visible) {
    connect(chart, &QGraphicsWidget::geometryChanged, this, &ChartLegend::layout);
}

void ChartLegend::fill(const ChartPlan& plan) {
    for (const Entry& e : entries_) {
        delete e.symbol;
        delete e.text;
    }
    entries_.clear();
    members_.clear();
    texts_.clear();

    const QFont font = UiFont(QStringLiteral("Segoe UI"), 11);
    const QFontMetricsF metrics(font);
    auto add = [&](QGraphicsItem* symbol, const QString& text) {
        texts_ << text;
        if (!visible_) {
            delete symbol;
            return;
        }
        auto* label = new QGraphicsSimpleTextItem(text, chart_);
        label->setFont(font);
        symbol->setParentItem(chart_);
        entries_ << Entry{symbol, label, kSymbolWidth + kGap + metrics.horizontalAdvance(text) + kEntryGap};
    };

    for (const SeriesPlan& s : plan.series) {
        if (!s.active || !s.inLegend) continue;
        members_ << QString::fromStdString(s.name);
        QGraphicsItem* symbol = nullptr;
        if (s.kind == SeriesKind::Area) {
            auto* r = new QGraphicsRectItem(0, 0, kSymbolWidth, kSymbolHeight);
            r->setBrush(PlanColor(s.color, s.transparency));
            r->setPen(Qt::NoPen);
            symbol = r;
        } else {
            auto* l = new QGraphicsLineItem(0, kSymbolHeight / 2, kSymbolWidth, kSymbolHeight / 2);
            QPen pen(PlanColor(s.pointColor, s.transparency), qMin(s.width, 4));
            if (s.dashed) pen.setStyle(Qt::DashLine);
            l->setPen(pen);
            symbol = l;
        }
        add(symbol, QString::fromStdString(s.legend));
    }
    for (const BarSetPlan& b : plan.bars) {
        auto* r = new QGraphicsRectItem(0, 0, kSymbolWidth, kSymbolHeight);
        r->setBrush(PlanColor(b.color, b.transparency));
        r->setPen(Qt::NoPen);
        add(r, QString::fromStdString(b.title));
    }
    layout();
}

void ChartLegend::layout() {
    if (!visible_) return;
    const QFont font = UiFont(QStringLiteral("Segoe UI"), 11);
    const qreal rowHeight = QFontMetricsF(font).height() + 2;
    const qreal width = chart_->size().width() - 2 * kSide;

    // Rows first, to know the room the legend takes under the plot.
    QList<int> rowOf;
    int rows = entries_.isEmpty() ? 0 : 1;
    qreal x = 0;
    for (const Entry& e : entries_) {
        if (x > 0 && x + e.width > width) {
            ++rows;
            x = 0;
        }
        rowOf << rows - 1;
        x += e.width;
    }
    // Many long cause names must not squeeze the plot away: the legend keeps to
    // half the chart's height and the rows beyond that are not drawn.
    const int shownRows = qMin(rows, qMax(1, int(chart_->size().height() / 2 / rowHeight)));
    const int bottom = qCeil(shownRows * rowHeight) + 6;
    QMargins m = chart_->margins();
    if (m.bottom() != bottom) {
        m.setBottom(bottom);
        chart_->setMargins(m);
    }

    const qreal top = chart_->size().height() - bottom + 2;
    x = 0;
    int row = 0;
    for (int i = 0; i < entries_.size(); ++i) {
        if (rowOf[i] != row) {
            row = rowOf[i];
            x = 0;
        }
        const Entry& e = entries_[i];
        e.symbol->setVisible(row < shownRows);
        e.text->setVisible(row < shownRows);
        const qreal y = top + row * rowHeight;
        e.symbol->setPos(kSide + x, y + (rowHeight - kSymbolHeight) / 2);
        e.text->setPos(kSide + x + kSymbolWidth + kGap, y);
        x += e.width;
    }
}

} // namespace tovimo
