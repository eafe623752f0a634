// The text of a PDF the program wrote, as pdftotext reads it, every run of
// blanks and line ends squeezed to one space.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>

namespace tovimo::test {

inline QString pdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput())
        .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

} // namespace tovimo::test
