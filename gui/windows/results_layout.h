// Where the results window puts its parts for a given client size: the
// buttons at the top right, the header line left of them, the table as wide
// as its columns, and the three charts sharing the rest. Chart3 stands right
// of the table while it has room there, else under Chart2 beside Chart1.
#pragma once

#include <QRect>
#include <QSize>

namespace tovimo {

struct ResultsLayout {
    QRect title, grid, chart1, chart2, chart3, print, leave;
    QRect bounds;            // "Границы", left of "Печать"
    QRect report, saveTable; // "Отчёт" and "Сохранить таблицу", left of "Границы"
    QRect warnings;          // the warnings line, left of the header (empty when no room)
    bool gridScrolls = false; // the table is wider than the window allows
};

// The window's smallest client size whatever it shows: below it the parts
// would overlap.
inline constexpr QSize kResultsMinimumSize{1200, 700};

// The smallest client size at which every column of a table of
// `gridContent`'s width, a header of `titleWidth` (up to a long comment's
// share; a longer one is elided) and the buttons all show.
QSize ResultsMinimumSize(QSize gridContent, int titleWidth);

// `gridContent`: the table's full size (all columns and rows); `titleWidth`:
// the header text's width in its font; `scrollBar`: the height of the
// table's scroll bar, shown when the window is narrower than the table.
ResultsLayout LayOutResults(QSize client, QSize gridContent, int titleWidth, int scrollBar = 0);

} // namespace tovimo
