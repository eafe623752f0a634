#include "gui/windows/results_layout.h"

#include "gui/charts/chart_sizes.h"

#include <algorithm>

namespace tovimo {

namespace {

// The design: a 1522 × 818 client area, the table at (8, 30), Chart3 at
// (826, 29) 254 high, Chart1 922 wide at (0, 289), the buttons 73 and 75
// wide at (1214, 1) and (1293, 1), the header from x = 600.
constexpr int kMargin = 8;
constexpr int kGap = 5;
constexpr int kTop = 30;
constexpr int kChart3Top = 29;
constexpr int kChart3Height = kChart3Size.height();
constexpr int kChart3MinWidth = 360;
constexpr int kChart1Width = kChart1Size.width();
constexpr int kTitleX = 600;
constexpr int kTitleHeight = 24;
constexpr int kButtonsRightGap = 154; // right of "Продолж." at the design width
constexpr int kDesignWidth = 1522;
constexpr int kTitleSlack = 4; // the label's own rounding of the text width

constexpr int kSaveTableWidth = 136; // "Сохранить таблицу" whole in the default font
// "Сохранить таблицу", "Отчёт", "Границы", "Печать", "Продолж."
constexpr int kButtonsWidth = kSaveTableWidth + 6 + 73 + 6 + 73 + 6 + 73 + 6 + 75;
constexpr int kLongestWholeTitle = 900; // a longer header is elided at the smallest size

} // namespace

QSize ResultsMinimumSize(QSize gridContent, int titleWidth) {
    const int forGrid = gridContent.width() + 2 * kMargin;
    const int forTitle =
        kMargin + std::min(titleWidth, kLongestWholeTitle) + kTitleSlack + kGap + kButtonsWidth + kMargin;
    return {std::max({kResultsMinimumSize.width(), forGrid, forTitle}), kResultsMinimumSize.height()};
}

ResultsLayout LayOutResults(QSize client, QSize gridContent, int titleWidth, int scrollBar) {
    const int W = client.width();
    const int H = client.height();
    ResultsLayout l;

    // Buttons keep their place at the design width and stay in the window when it is narrower.
    const int rightGap = std::clamp(kButtonsRightGap - (kDesignWidth - W), kMargin, kButtonsRightGap);
    l.leave = QRect(W - rightGap - 75, 1, 75, 22);
    l.print = QRect(l.leave.left() - 6 - 73, 1, 73, 22);
    l.bounds = QRect(l.print.left() - 6 - 73, 1, 73, 22);
    l.report = QRect(l.bounds.left() - 6 - 73, 1, 73, 22);
    l.saveTable = QRect(l.report.left() - 6 - kSaveTableWidth, 1, kSaveTableWidth, 22);

    // The header from x = 600 while it fits before the buttons, further left
    // when it is longer, elided when it is longer than all the room there.
    const int buttonsLeft = l.saveTable.left();
    const int room = buttonsLeft - kGap - kMargin;
    const int w = std::min(titleWidth + kTitleSlack, room);
    const int x = std::clamp(buttonsLeft - kGap - w, kMargin, kTitleX);
    l.title = QRect(x, 0, w, kTitleHeight);
    l.warnings = QRect(kMargin, 0, std::max(0, x - kGap - kMargin), kTitleHeight);

    // The table as wide as its columns; a scroll bar only when the window is narrower.
    const int gridMax = W - 2 * kMargin;
    l.gridScrolls = gridContent.width() > gridMax;
    const int gridW = std::min(gridContent.width(), gridMax);
    l.grid = QRect(kMargin, kTop, gridW, gridContent.height() + (l.gridScrolls ? scrollBar : 0));

    const int topBottom = std::max(l.grid.bottom(), kChart3Top + kChart3Height - 1);
    const int chart3X = l.grid.right() + 1 + kGap;
    const bool chart3Beside = W - kMargin - chart3X >= kChart3MinWidth;
    if (chart3Beside) l.chart3 = QRect(chart3X, kChart3Top, W - kMargin - chart3X, kChart3Height);

    // The charts below share the whole width down to the bottom edge.
    const int y = (chart3Beside ? topBottom : l.grid.bottom()) + 1 + kGap;
    const int h = H - y;
    if (chart3Beside) {
        const int w1 = std::min(kChart1Width, (W - 6) * 7 / 10);
        l.chart1 = QRect(0, y, w1, h);
        l.chart2 = QRect(w1 + 6, y, W - w1 - 6 - 4, h);
    } else {
        // Chart1 on the left half, Chart2 over Chart3 on the right: three in a
        // row would leave no chart the width to label every column
        const int w1 = (W - 6) / 2;
        const int h2 = (h - kGap) / 2;
        l.chart1 = QRect(0, y, w1, h);
        l.chart2 = QRect(w1 + 6, y, W - w1 - 6 - 4, h2);
        l.chart3 = QRect(w1 + 6, y + h2 + kGap, W - w1 - 6 - 4, h - h2 - kGap);
    }
    return l;
}

} // namespace tovimo
