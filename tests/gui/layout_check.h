// What a user sees of a window's controls: every visible control whole inside
// the window and its containers, its text not cut, and no two controls on top
// of each other (a control placed on another one, such as a button on a
// chart, must lie inside it). Returns the faults found, one a line.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPair>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QStringList>
#include <QTabBar>
#include <QWidget>

namespace tovimo::test {

inline bool isControl(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QSlider*>(w) || qobject_cast<const QProgressBar*>(w) ||
           qobject_cast<const QTabBar*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QChartView*>(w) ||
           qobject_cast<const QGroupBox*>(w);
}

// Parts of a compound control (a table's corner button, a combo box's
// edit, a tab bar's scroll arrows) are that control's business.
inline bool insideCompound(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QComboBox*>(p) ||
            qobject_cast<const QTabBar*>(p) || qobject_cast<const QPlainTextEdit*>(p))
            return true;
    return false;
}

inline QString nameOf(const QWidget* w) {
    const QString n = w->objectName();
    if (!n.isEmpty()) return n;
    QString text;
    if (auto* l = qobject_cast<const QLabel*>(w)) text = l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    return QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(" «") + text +
           QStringLiteral("»");
}

// The part of `w` the window shows: its rectangle cut by every container's.
inline QRect shownRect(const QWidget* w, const QWidget* window) {
    QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        r &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
        if (p == window) break;
    }
    return r;
}

// Why the text of `w` does not show whole, or an empty string.
inline QString cutText(const QWidget* w) {
    const QFontMetrics m(w->font());
    const QSize s = w->size();
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->text().isEmpty() || l->textFormat() == Qt::RichText) return {};
        if (l->wordWrap())
            return l->heightForWidth(s.width()) > s.height() ? QStringLiteral("wrapped text cut") : QString();
        const QSize need = l->minimumSizeHint();
        return need.width() > s.width() || m.height() > s.height() ? QStringLiteral("text cut") : QString();
    }
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
        const QSize need = w->sizeHint();
        return need.width() > s.width() || need.height() > s.height() ? QStringLiteral("caption cut")
                                                                      : QString();
    }
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        const int need = m.horizontalAdvance(b->text()) + 6;
        return need > s.width() || m.height() > s.height() ? QStringLiteral("caption cut") : QString();
    }
    if (auto* e = qobject_cast<const QLineEdit*>(w)) {
        const int need = m.horizontalAdvance(e->text()) + 8;
        return need > s.width() || m.height() > s.height() ? QStringLiteral("text cut") : QString();
    }
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->minimumSizeHint().width() > s.width() ? QStringLiteral("items cut") : QString();
    if (auto* t = qobject_cast<const QTabBar*>(w)) {
        for (int i = 0; i < t->count(); ++i) {
            const QRect tab = t->tabRect(i);
            if (!t->rect().contains(tab) || m.horizontalAdvance(t->tabText(i)) > tab.width())
                return QStringLiteral("tab %1 cut").arg(i);
        }
        return {};
    }
    return {};
}

// A control the window puts on another one that is not its parent (a button
// drawn on a chart), and that control.
using PlacedOn = QList<QPair<const QWidget*, const QWidget*>>;

inline QStringList layoutFaults(const QWidget* window, const PlacedOn& placedOn = {}) {
    QList<const QWidget*> controls;
    for (const QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisibleTo(window) && isControl(w) && !insideCompound(w, window)) controls << w;

    QStringList faults;
    for (const QWidget* w : controls) {
        const QRect own(w->mapTo(window, QPoint(0, 0)), w->size());
        if (own.isEmpty()) {
            faults << nameOf(w) + QStringLiteral(": no room");
            continue;
        }
        if (shownRect(w, window) != own) faults << nameOf(w) + QStringLiteral(": partly outside its window");
        if (const QString cut = cutText(w); !cut.isEmpty()) faults << nameOf(w) + QStringLiteral(": ") + cut;
    }
    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j) {
            const QWidget* a = controls[i];
            const QWidget* b = controls[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue; // checked as outside its container
            if (placedOn.contains({a, b}) || placedOn.contains({b, a})) {
                const bool aOnB = placedOn.contains({a, b});
                const QWidget* top = aOnB ? a : b;
                const QWidget* base = aOnB ? b : a;
                if (!shownRect(base, window).contains(shownRect(top, window)))
                    faults << nameOf(top) + QStringLiteral(" reaches beyond ") + nameOf(base);
                continue;
            }
            if (shownRect(a, window).intersects(shownRect(b, window)))
                faults << nameOf(a) + QStringLiteral(" overlaps ") + nameOf(b);
        }
    return faults;
}

} // namespace tovimo::test
