#include "gui/charts/mark_thinning.h"

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

} // namespace tovimo
