// Which value marks of a line to show when they are too many for the room:
// neighbouring marks never overlap. The values left out stay in the line's
// tooltip.
#pragma once

#include <QList>
#include <QRectF>

namespace tovimo {

// `boxes`: where each mark would be drawn, in point order; an empty box is a
// mark with no place (its point outside the plot). Shown: the last placed
// mark (the line's final value), then from the first on every mark clear of
// those already shown by at least `gap` pixels.
QList<bool> ThinMarks(const QList<QRectF>& boxes, double gap = 2);

// Which of `count` column labels to show when a label needs `room` pixels
// along the axis and a column is `column` pixels wide: every column where
// they fit, else every second, fourth, eighth… column; the first and the
// last always, the one before the last left out where the two would meet.
QList<bool> ThinColumnLabels(int count, double column, double room);

} // namespace tovimo
