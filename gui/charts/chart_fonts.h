// Fonts of the result windows by the names the windows were designed with;
// where such a font is not installed, the nearest installed font that has
// Cyrillic letters takes its place.
#pragma once

#include <QFont>
#include <QString>

namespace tovimo {

// `family` at `pixelSize` pixels; a heavy face ("Arial Black") keeps its weight.
QFont UiFont(const QString& family, int pixelSize, bool bold = false);

// The results table's font: the results window shows the table in it, and
// the report measures the table's cells with it, so both pad and dash alike.
QFont ResultGridFont();

// The installed family used for `family`.
QString InstalledFamily(const QString& family);

} // namespace tovimo
