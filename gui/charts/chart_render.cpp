#include "gui/charts/chart_render.h"

#include "gui/charts/chart_fonts.h"
#include "gui/charts/chart_legend.h"
#include "gui/charts/mark_thinning.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBrush>
#include <QCursor>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLineSeries>
#include <QLinearGradient>
#include <QLocale>
#include <QPainter>
#include <QPen>
#include <QSplineSeries>
#include <QStackedBarSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tovimo {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// A small cross, the point mark of the log-log accumulation.
QImage crossImage(const QColor& color, int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(QPen(color, 1));
    p.drawLine(QPointF(0, size / 2.0), QPointF(size, size / 2.0));
    p.drawLine(QPointF(size / 2.0, 0), QPointF(size / 2.0, size));
    return img;
}

QValueAxis* valueAxis(const std::string& title, bool labels) {
    auto* a = new QValueAxis;
    if (!title.empty()) {
        a->setTitleText(qs(title));
        a->setTitleFont(UiFont(QStringLiteral("Segoe UI"), 12, true));
    }
    // Hidden value labels are drawn transparent: with no labels at all the axis
    // gives its title no room and the title shrinks to an ellipsis.
    if (!labels) a->setLabelsBrush(Qt::transparent);
    a->setLabelsFont(UiFont(QStringLiteral("Segoe UI"), 11));
    return a;
}

QXYSeries* lineOf(QAbstractSeries* s) {
    if (auto* area = qobject_cast<QAreaSeries*>(s)) return area->upperSeries();
    return qobject_cast<QXYSeries*>(s);
}

// Category labels must be unique for the axis; a repeated label gets an
// invisible zero-width space so that it still reads the same.
QStringList uniqueLabels(const std::vector<std::string>& labels) {
    QStringList out;
    for (const auto& l : labels) {
        QString s = qs(l);
        while (out.contains(s))
            s += QChar(0x200B);
        out << s;
    }
    return out;
}

} // namespace

PlannedChart::PlannedChart(const ChartPlan& design, QGraphicsItem* parent) : QChart(parent) {
    setTheme(QChart::ChartThemeLight); // first: a theme re-decorates everything set before it
    setObjectName(qs(design.name));
    setBackgroundBrush(Qt::white);
    setBackgroundPen(Qt::NoPen);
    setBackgroundRoundness(0);
    setDropShadowEnabled(false);
    setAnimationOptions(QChart::NoAnimation);
    setLocalizeNumbers(true);
    setTitle(qs(design.title));
    setTitleFont(UiFont(QStringLiteral("Segoe UI"), titlePixels_, true));
    setTitleBrush(Qt::black);
    layout()->setContentsMargins(0, 0, 0, 0);
    setMargins(QMargins(4, 4, 4, 4));

    // The legend is drawn by the chart itself (legend_), in rows under the plot.
    legend()->setVisible(false);
    legend_ = new ChartLegend(this, design.legendVisible);

    buildAxes(design);
    for (const SeriesPlan& s : design.series)
        if (s.active) named_.insert(qs(s.name), addSeries(s));

    // The cause bars come last so that the legend lists them after the curves.
    if (design.causeBars) {
        bars_ = design.stackedBars ? static_cast<QAbstractBarSeries*>(new QStackedBarSeries)
                                   : static_cast<QAbstractBarSeries*>(new QBarSeries);
        bars_->setLabelsVisible(false);
        bars_->setBarWidth(design.stackedBars ? 0.8 : 0.9);
        QChart::addSeries(bars_);
        bars_->attachAxis(categories_);
        bars_->attachAxis(left_);
        connect(bars_, &QAbstractBarSeries::hovered, this, [this](bool state, int index, QBarSet* set) {
            if (state) QToolTip::showText(QCursor::pos(), barTip(index, set));
        });
    }
    fill(design);
    connect(this, &QChart::plotAreaChanged, this, [this] {
        fitAxisTitles();
        fitColumnLabels();
        placeColumnLabels();
        placeMarks();
    });
    connect(this, &QGraphicsWidget::geometryChanged, this, &PlannedChart::fitTitle);
}

void PlannedChart::buildAxes(const ChartPlan& design) {
    bool categoryAxes = design.causeBars, topRight = false, bottomLeft = false,
         right = !design.rightTitle.empty();
    for (const SeriesPlan& s : design.series) {
        if (!s.active) continue;
        categoryAxes |= s.axis == SeriesAxis::Left || s.axis == SeriesAxis::Right;
        topRight |= s.axis == SeriesAxis::TopRight;
        bottomLeft |= s.axis == SeriesAxis::BottomLeft;
        right |= s.axis == SeriesAxis::Right;
    }
    if (categoryAxes || bottomLeft) {
        left_ = valueAxis(design.leftTitle, design.leftLabels);
        addAxis(left_, Qt::AlignLeft);
    }
    if (categoryAxes) {
        categories_ = new QBarCategoryAxis;
        categories_->setLabelsFont(UiFont(QStringLiteral("Segoe UI"), kColumnLabelPx));
        categories_->setTruncateLabels(false);
        categories_->setLabelsBrush(Qt::transparent); // drawn by placeColumnLabels
        addAxis(categories_, Qt::AlignBottom);
        connect(categories_, &QBarCategoryAxis::rangeChanged, this, &PlannedChart::placeColumnLabels);
    }
    if (bottomLeft) {
        bottom_ = valueAxis(design.bottomTitle, design.leftLabels);
        addAxis(bottom_, Qt::AlignBottom);
    }
    if (topRight) {
        top_ = valueAxis(std::string(), true);
        top_->setVisible(design.topVisible);
        addAxis(top_, Qt::AlignTop);
    }
    if (right || topRight) {
        right_ = valueAxis(design.rightTitle, true);
        addAxis(right_, Qt::AlignRight);
    }
    if (design.dashedAxes)
        for (QValueAxis* axis : {bottom_, left_})
            if (axis) axis->setLinePen(QPen(Qt::black, 1, Qt::DashLine));
}

QAbstractSeries* PlannedChart::addSeries(const SeriesPlan& s) {
    QPen pen(PlanColor(s.pointColor, s.transparency), s.width);
    if (s.dashed) pen.setStyle(Qt::DashLine);
    QAbstractSeries* result = nullptr;
    if (s.kind == SeriesKind::Area) {
        auto* area = new QAreaSeries;
        area->setUpperSeries(new QLineSeries(area));
        area->setPen(pen);
        if (s.hatched) {
            QLinearGradient g(0, 0, 0, 1);
            g.setCoordinateMode(QGradient::ObjectBoundingMode);
            g.setColorAt(0, PlanColor(s.color, s.transparency));
            g.setColorAt(1, PlanColor(0xFFFFFF, s.transparency));
            area->setBrush(QBrush(g));
        } else {
            area->setBrush(PlanColor(s.color, s.transparency));
        }
        result = area;
    } else {
        QXYSeries* xy = s.kind == SeriesKind::Curve ? static_cast<QXYSeries*>(new QSplineSeries)
                                                    : static_cast<QXYSeries*>(new QLineSeries);
        xy->setPen(pen);
        connect(xy, &QXYSeries::hovered, this, [this, xy](const QPointF& point, bool state) {
            if (!state) return;
            if (const QString tip = markTip(xy, point.x()); !tip.isEmpty())
                QToolTip::showText(QCursor::pos(), tip);
        });
        if (s.crossMarkers) {
            xy->setMarkerSize(5);
            xy->setLightMarker(crossImage(PlanColor(s.pointColor), 5));
        }
        if (s.markerSize > 0) {
            xy->setPointsVisible(true);
            xy->setMarkerSize(s.markerSize / 2.0); // a line series' marker size is the radius
        }
        result = xy;
    }
    result->setName(qs(s.legend));
    result->setObjectName(qs(s.name));
    QChart::addSeries(result);
    attach(result, s.axis);

    if (s.hatched) {
        // Horizontal hatching drawn over the gradient, on the same points.
        auto* hatch = new QAreaSeries;
        hatch->setUpperSeries(new QLineSeries(hatch));
        hatch->setPen(Qt::NoPen);
        hatch->setBrush(QBrush(PlanColor(0xFFFF80), Qt::HorPattern));
        QChart::addSeries(hatch);
        attach(hatch, s.axis);
        twins_ << hatch;
    }
    return result;
}

void PlannedChart::attach(QAbstractSeries* s, SeriesAxis axis) {
    switch (axis) {
    case SeriesAxis::Left:
        s->attachAxis(categories_);
        s->attachAxis(left_);
        break;
    case SeriesAxis::Right:
        s->attachAxis(categories_);
        s->attachAxis(right_);
        break;
    case SeriesAxis::TopRight:
        s->attachAxis(top_);
        s->attachAxis(right_);
        break;
    case SeriesAxis::BottomLeft:
        s->attachAxis(bottom_);
        s->attachAxis(left_);
        break;
    }
}

void PlannedChart::fill(const ChartPlan& plan) {
    zoomReset();
    for (const SeriesPlan& s : plan.series) {
        QAbstractSeries* series = named_.value(qs(s.name));
        if (!series) continue;
        QList<QPointF> pts;
        for (size_t i = 0; i < s.values.size(); ++i)
            if (std::isfinite(s.values[i])) pts << QPointF(static_cast<double>(i), s.values[i]);
        for (const XYPoint& p : s.points)
            if (std::isfinite(p.x) && std::isfinite(p.y)) pts << QPointF(p.x, p.y);
        lineOf(series)->replace(pts);
        if (s.hatched)
            for (QAbstractSeries* twin : twins_)
                lineOf(twin)->replace(pts);
    }
    fillBars(plan);
    columnLabels_ = uniqueLabels(plan.categories);
    shownLabels_.clear();
    if (categories_) categories_->setCategories(columnLabels_);
    if (categories_ && !fitColumnLabels_) categories_->setLabelsAngle(plan.categories.size() > 16 ? -90 : 0);
    fitColumnLabels();
    setRanges(plan);
    legend_->fill(plan);

    for (const Mark& m : marks_)
        delete m.item;
    marks_.clear();
    for (const SeriesPlan& s : plan.series) {
        auto* xy = lineOf(named_.value(qs(s.name)));
        if (!xy || s.marks.empty()) continue;
        for (size_t i = 0; i < s.marks.size() && i < s.values.size(); ++i) {
            if (!std::isfinite(s.values[i]) || s.marks[i].empty()) continue;
            auto* item = new QGraphicsSimpleTextItem(qs(s.marks[i]), this);
            item->setFont(UiFont(QStringLiteral("Segoe UI"), 10));
            item->setBrush(Qt::black);
            item->setZValue(100);
            const QString label =
                std::cmp_less(i, columnLabels_.size()) ? columnLabels_[static_cast<qsizetype>(i)] : QString();
            marks_ << Mark{item, QPointF(static_cast<double>(i), s.values[i]), xy, label};
        }
    }
    placeMarks();
}

void PlannedChart::fillBars(const ChartPlan& plan) {
    if (!bars_) return;
    bars_->clear(); // deletes the sets of the previous refresh
    QList<QBarSet*> sets;
    for (const BarSetPlan& b : plan.bars) {
        auto* set = new QBarSet(qs(b.title));
        const QColor c = PlanColor(b.color, b.transparency);
        set->setColor(c);
        set->setBorderColor(c);
        QList<qreal> values;
        for (double v : b.values)
            values << (std::isfinite(v) ? v : 0.0); // a bar without value is left out
        set->append(values);
        sets << set;
    }
    bars_->append(sets);
}

void PlannedChart::setRanges(const ChartPlan& plan) {
    // Round limits and steps, except where the range is fixed.
    auto apply = [](QValueAxis* axis, const AxisRange& r, bool fixed) {
        if (!axis) return;
        axis->setRange(r.min, r.max);
        if (fixed) return;
        axis->setTickCount(5); // nice numbers change the tick count; start from the same one every time
        axis->applyNiceNumbers();
    };
    apply(left_, plan.left, false);
    apply(right_, plan.right, plan.rightFixed);
    apply(top_, plan.top, false);
    apply(bottom_, plan.bottom, false);
    if (categories_ && !plan.categories.empty())
        categories_->setRange(categories_->categories().first(), categories_->categories().last());
}

void PlannedChart::setTitlePixels(int px) {
    titlePixels_ = px;
    fitTitle();
}

void PlannedChart::setTitleInset(int px) {
    titleInset_ = px;
    fitTitle();
}

void PlannedChart::fitTitle() {
    // A narrow chart takes a smaller title font rather than cutting the title short.
    const int room = qRound(size().width()) - 2 * titleInset_;
    int px = titlePixels_;
    while (px > 8 &&
           QFontMetrics(UiFont(QStringLiteral("Segoe UI"), px, true)).horizontalAdvance(title()) > room)
        --px;
    if (titleFont().pixelSize() != px) setTitleFont(UiFont(QStringLiteral("Segoe UI"), px, true));
}

void PlannedChart::fitAxisTitles() {
    // A short chart takes smaller titles on its side axes rather than cutting them short.
    constexpr int kTitlePx = 12, kSmallestTitlePx = 8;
    const int room = qRound(plotArea().height()) - 4;
    for (QValueAxis* axis : {left_, right_}) {
        if (!axis || axis->titleText().isEmpty()) continue;
        int px = kTitlePx;
        while (
            px > kSmallestTitlePx &&
            QFontMetrics(UiFont(QStringLiteral("Segoe UI"), px, true)).horizontalAdvance(axis->titleText()) >
                room)
            --px;
        if (axis->titleFont().pixelSize() != px)
            axis->setTitleFont(UiFont(QStringLiteral("Segoe UI"), px, true));
    }
}

void PlannedChart::setFitColumnLabels(bool on) {
    fitColumnLabels_ = on;
    if (!on && categories_) categories_->setLabelsAngle(columnLabels_.size() > 16 ? -90 : 0);
    fitColumnLabels();
}

void PlannedChart::setColumnLabelPixels(int px) {
    columnLabelPx_ = px;
    if (categories_) categories_->setLabelsFont(UiFont(QStringLiteral("Segoe UI"), px));
    fitColumnLabels();
}

void PlannedChart::fitColumnLabels() {
    if (!categories_ || columnLabels_.isEmpty()) return;
    // The labels keep a readable size. Level where every one fits its column,
    // else upright (in the windows; the exported images turn them beyond 16
    // columns); where upright labels are still too many for the width only
    // every second, fourth… shows, the first and the last always.
    const QFontMetrics m(UiFont(QStringLiteral("Segoe UI"), columnLabelPx_));
    const qsizetype n = columnLabels_.size();
    const double column = plotArea().width() / static_cast<double>(n);
    int widest = 0;
    for (const QString& l : columnLabels_)
        widest = std::max(widest, m.horizontalAdvance(l));
    constexpr int kSpacing = 5; // the axis adds a margin round each label
    int angle = categories_->labelsAngle();
    if (fitColumnLabels_) angle = widest + kSpacing <= column ? 0 : -90;
    const double room = (angle == 0 ? widest : m.height()) + kSpacing;
    const QList<bool> shown = ThinColumnLabels(static_cast<int>(n), column, room);

    QStringList texts;
    for (qsizetype i = 0; i < n; ++i) // a left-out label: an invisible text of its own
        texts << (shown[i] ? columnLabels_[i] : QString(i + 1, QChar(0x200C)));
    if (categories_->labelsAngle() != angle) categories_->setLabelsAngle(angle);
    if (categories_->labelsFont().pixelSize() != columnLabelPx_)
        categories_->setLabelsFont(UiFont(QStringLiteral("Segoe UI"), columnLabelPx_));
    const bool changed = shownLabels_ != shown || labelItems_.isEmpty();
    shownLabels_ = shown;
    if (changed) {
        qDeleteAll(labelItems_);
        labelItems_.clear();
        labelColumns_.clear();
        for (qsizetype i = 0; i < n; ++i) {
            if (!shown[i]) continue;
            QString text = columnLabels_[i];
            text.remove(QChar(0x200B));
            auto* item = new QGraphicsSimpleTextItem(text, this);
            item->setBrush(Qt::black);
            labelItems_ << item;
            labelColumns_ << static_cast<int>(i);
        }
    }
    const QFont font = UiFont(QStringLiteral("Segoe UI"), columnLabelPx_);
    for (QGraphicsSimpleTextItem* item : labelItems_) {
        if (item->font() != font) item->setFont(font);
        item->setRotation(angle);
    }
    placeColumnLabels();
    if (categories_->categories() == texts) return;
    const QStringList before = categories_->categories();
    const qsizetype from = std::max<qsizetype>(0, before.indexOf(categories_->min()));
    const qsizetype to = before.indexOf(categories_->max());
    categories_->setCategories(texts);
    categories_->setRange(texts[std::min(from, n - 1)], texts[to < 0 ? n - 1 : std::min(to, n - 1)]);
}

void PlannedChart::placeColumnLabels() {
    // Centred under its column, as the axis would place it, but moved inside
    // the chart where an end label would reach past its edge.
    if (!categories_) return;
    const QRectF plot = plotArea();
    const double n = static_cast<double>(std::max<qsizetype>(columnLabels_.size(), 1));
    const double top = plot.bottom() + 6;
    for (qsizetype k = 0; k < labelItems_.size(); ++k) {
        QGraphicsSimpleTextItem* item = labelItems_[k];
        // through the bars where there are any: a zoomed axis moves its columns
        const double centre = bars_ ? mapToPosition(QPointF(labelColumns_[k], 0), bars_).x()
                                    : plot.left() + (labelColumns_[k] + 0.5) * plot.width() / n;
        const QRectF box = item->boundingRect();
        const bool upright = item->rotation() != 0;
        const double across = upright ? box.height() : box.width();
        const double x = std::clamp(centre - across / 2, 0.0, std::max(0.0, size().width() - across));
        item->setPos(upright ? QPointF(x, top + box.width()) : QPointF(x, top));
        item->setVisible(plot.width() > 0 && centre >= plot.left() - 1 && centre <= plot.right() + 1);
    }
}

void PlannedChart::placeMarks() {
    // Over its point; where neighbours would run into each other only some
    // show, every value staying in the line's tooltip.
    const QRectF plot = plotArea();
    QList<QRectF> boxes;
    for (const Mark& m : marks_) {
        const QPointF at = mapToPosition(m.value, m.series);
        const QRectF box = m.item->boundingRect();
        m.item->setPos(at.x() - box.width() / 2, at.y() - box.height() - 4);
        boxes << (plot.contains(at) ? m.item->mapRectToParent(box) : QRectF());
    }
    const QList<bool> shown = ThinMarks(boxes);
    for (qsizetype i = 0; i < marks_.size(); ++i)
        marks_[i].item->setVisible(shown[i]);
}

QString PlannedChart::markTip(const QXYSeries* series, double x) const {
    // The mark of the point nearest to x, under its column's label.
    const Mark* nearest = nullptr;
    for (const Mark& m : marks_)
        if (m.series == series && (!nearest || std::abs(m.value.x() - x) < std::abs(nearest->value.x() - x)))
            nearest = &m;
    if (!nearest) return {};
    QString label = nearest->label;
    label.remove(QChar(0x200B));
    return label.isEmpty() ? nearest->item->text() : label + QStringLiteral(": ") + nearest->item->text();
}

QList<QGraphicsSimpleTextItem*> PlannedChart::markItems() const {
    QList<QGraphicsSimpleTextItem*> out;
    for (const Mark& m : marks_)
        out << m.item;
    return out;
}

QList<QPointF> PlannedChart::pointsOf(const QString& name) const {
    QXYSeries* xy = lineOf(named_.value(name));
    return xy ? xy->points() : QList<QPointF>();
}

QStringList PlannedChart::categories() const {
    return columnLabels_;
}

QString PlannedChart::barTip(int column, const QBarSet* set) const {
    if (!set || column < 0 || column >= set->count()) return {};
    QString label = column < columnLabels_.size() ? columnLabels_[column] : QString();
    label.remove(QChar(0x200B));
    const QString value = QLocale().toString(set->at(column), 'g', 6);
    return (label.isEmpty() ? QString() : label + QStringLiteral(": ")) + set->label() + QStringLiteral(" ") +
           value;
}

QStringList PlannedChart::markTexts() const {
    QStringList out;
    for (const Mark& m : marks_)
        out << m.item->text();
    return out;
}

PlannedChart::~PlannedChart() = default;

bool PlannedChart::inLegend(const QString& name) const {
    return legend_->contains(name);
}

QStringList PlannedChart::legendTexts() const {
    return legend_->texts();
}

} // namespace tovimo
