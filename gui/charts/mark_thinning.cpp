#include "gui/charts/mark_thinning.h"

#include <algorithm>

namespace tovimo {

QList<bool> ThinMarks(const QList<QRectF>& boxes, double gap) {
    QList<bool> shown(boxes.size(), false);
    QList<QRectF> taken;
    auto clear = [&](const QRectF& box) {
        const QRectF padded = box.adjusted(-gap / 2, -gap / 2, gap / 2, gap / 2);
        for (const QRectF& t : taken)
            if (padded.intersects(t.adjusted(-gap / 2, -gap / 2, gap / 2, gap / 2))) return false;
        return true;
    };
    qsizetype last = boxes.size() - 1;
    while (last >= 0 && boxes[last].isEmpty())
        --last;
    if (last < 0) return shown;
    shown[last] = true;
    taken << boxes[last];
    for (qsizetype i = 0; i < last; ++i) {
        if (boxes[i].isEmpty() || !clear(boxes[i])) continue;
        shown[i] = true;
        taken << boxes[i];
    }
    return shown;
}

QList<bool> ThinColumnLabels(int count, double column, double room) {
    QList<bool> shown(std::max(count, 0), false);
    if (count <= 0) return shown;
    int step = 1;
    while (step < count && step * column < room)
        step *= 2;
    int previous = 0;
    for (int i = 0; i < count; i += step) {
        shown[i] = true;
        previous = i;
    }
    const int last = count - 1;
    if (previous != last && previous > 0 && (last - previous) * column < room) shown[previous] = false;
    shown[last] = true;
    return shown;
}

} // namespace tovimo
