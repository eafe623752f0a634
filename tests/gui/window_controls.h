// The controls of a window, found by their object names: a window keeps its
// widgets to itself, its tests reach them as a user's tools would.
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace tovimo::test {

// The child of `window` named `name`; a missing one ends the test program
// with its name and type.
template <class Control> Control* Child(const QObject& window, const char* name) {
    auto* c = window.findChild<Control*>(QString::fromLatin1(name));
    if (!c) qFatal("no control %s of type %s", name, Control::staticMetaObject.className());
    return c;
}

} // namespace tovimo::test
