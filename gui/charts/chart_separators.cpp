#include "gui/charts/chart_separators.h"

#include "core/results/chart_data.h"

#include <QLocale>

namespace tovimo {

std::string ChartGroupSeparator(char decimalSeparator) {
    const QLocale locale;
    return locale.decimalPoint() == QChar::fromLatin1(decimalSeparator)
               ? locale.groupSeparator().toStdString()
               : DefaultGroupSeparator(decimalSeparator);
}

} // namespace tovimo
