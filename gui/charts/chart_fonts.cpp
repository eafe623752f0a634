#include "gui/charts/chart_fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace tovimo {

namespace {

bool hasCyrillic(const QString& family) {
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic);
}

} // namespace

QString InstalledFamily(const QString& family) {
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(family, Qt::CaseInsensitive) && hasCyrillic(family)) return family;
    // Sans-serif faces first: all three designed fonts are sans-serif.
    for (const QString& near : {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Nimbus Sans"), QStringLiteral("FreeSans")})
        if (installed.contains(near) && hasCyrillic(near)) return near;
    for (const QString& f : installed)
        if (hasCyrillic(f)) return f;
    return family;
}

QFont UiFont(const QString& family, int pixelSize, bool bold) {
    QFont f(InstalledFamily(family));
    f.setPixelSize(pixelSize);
    if (family.contains(QStringLiteral("Black"), Qt::CaseInsensitive))
        f.setWeight(QFont::Black);
    else if (bold)
        f.setWeight(QFont::Bold);
    return f;
}

QFont ResultGridFont() {
    return UiFont(QStringLiteral("MS Sans Serif"), 12);
}

} // namespace tovimo
