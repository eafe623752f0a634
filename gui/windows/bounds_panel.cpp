#include "gui/windows/bounds_panel.h"

#include "core/results/likelihood_bounds_table.h"
#include "core/results/model_warnings.h"
#include "gui/charts/chart_fonts.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tovimo {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TBoundsPanel::TBoundsPanel(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("BoundsPanel"));
    setWindowTitle(QStringLiteral("Границы"));
    setFont(UiFont(QStringLiteral("Segoe UI"), 12));

    auto* v = new QVBoxLayout(this);
    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(Summary);

    Bounds_Grid = new QTableWidget(0, kBoundsColumns, this);
    Bounds_Grid->setObjectName(QStringLiteral("Bounds_Grid"));
    Bounds_Grid->verticalHeader()->setVisible(false);
    Bounds_Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Bounds_Grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    QStringList header;
    for (const char* h : kBoundsHeader)
        header << QString::fromUtf8(h);
    Bounds_Grid->setHorizontalHeaderLabels(header);
    Bounds_Grid->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(Bounds_Grid, 3);

    WarningsLabel = new QLabel(QStringLiteral("Предупреждения"), this);
    WarningsLabel->setObjectName(QStringLiteral("WarningsLabel"));
    QFont bold = WarningsLabel->font();
    bold.setBold(true);
    WarningsLabel->setFont(bold);
    v->addWidget(WarningsLabel);

    Warnings_List = new QListWidget(this);
    Warnings_List->setObjectName(QStringLiteral("Warnings_List"));
    Warnings_List->setWordWrap(true);
    v->addWidget(Warnings_List, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnCauses = new QPushButton(QStringLiteral("По причинам"), this);
    btnCauses->setObjectName(QStringLiteral("btnCauses"));
    btnForecast = new QPushButton(QStringLiteral("Прогноз"), this);
    btnForecast->setObjectName(QStringLiteral("btnForecast"));
    CloseButton = new QPushButton(QStringLiteral("Закрыть"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::hide);
    for (QPushButton* b : {btnCauses, btnForecast, CloseButton})
        buttons->addWidget(b);
    v->addLayout(buttons);

    // the summary, a few rows of the table and of the warnings stay readable
    setMinimumSize(kSmallestSize);
    resize(kReadableSize);
}

void TBoundsPanel::showReadable() {
    if (!isVisible()) {
        QSize size = this->size().expandedTo(kReadableSize);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            size = size.boundedTo(screen->availableSize()).expandedTo(minimumSize());
        resize(size);
    }
    show();
    raise();
    activateWindow();
}

void TBoundsPanel::fill(const AnalysisState& st, char sep) {
    QStringList summary;
    for (const std::string& line : LikelihoodSummaryLines(st.Pravd, st.MPravd.Executed, sep))
        summary << qs(line);
    Summary->setText(summary.join(QLatin1Char('\n')));

    const std::vector<BoundsRow> rows = ShownBoundsRows(st, sep);
    Bounds_Grid->clearContents();
    Bounds_Grid->setRowCount(static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < kBoundsColumns; ++c) {
            auto* item = new QTableWidgetItem(qs(rows[r][static_cast<size_t>(c)]));
            if (c > 0 && c < 4) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Bounds_Grid->setItem(static_cast<int>(r), c, item);
        }
    Bounds_Grid->resizeColumnsToContents();

    Warnings_List->clear();
    for (const ModelWarning& w : st.Warnings) {
        auto* item = new QListWidgetItem(qs(WarningMemoLine(w)), Warnings_List);
        item->setData(Qt::UserRole, qs(w.code));
        item->setToolTip(qs(w.model + " / " + w.code));
    }
    if (st.Warnings.empty()) new QListWidgetItem(QStringLiteral("Предупреждений нет"), Warnings_List);
    WarningsLabel->setText(QStringLiteral("Предупреждения (%1)").arg(st.Warnings.size()));
}

} // namespace tovimo
