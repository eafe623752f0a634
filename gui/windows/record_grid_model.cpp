#include "gui/windows/record_grid_model.h"

#include "core/data/series_controls.h"

#include <algorithm>
#include <climits>

namespace tovimo {

RecordGridModel::RecordGridModel(const AnalysisState& st, int blankRows, QObject* parent)
    : QAbstractTableModel(parent), st_(st), rows_(blankRows) {}

void RecordGridModel::showRecords(char sep) {
    beginResetModel();
    records_ = true;
    sep_ = sep;
    rows_ = static_cast<int>(std::min<size_t>(st_.MasProbl.size(), INT_MAX));
    edited_.clear();
    endResetModel();
}

void RecordGridModel::followRecords() {
    if (!records_) return;
    const int rows = static_cast<int>(std::min<size_t>(st_.MasProbl.size(), INT_MAX));
    if (rows == rows_) return;
    beginResetModel();
    rows_ = rows;
    edited_.clear();
    endResetModel();
}

int RecordGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RecordGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kRecordGridColumns;
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    if (auto it = edited_.constFind(key(index.row(), index.column())); it != edited_.constEnd()) return *it;
    if (!records_) return QString();
    // the state is read as it is now: a row past its records is empty
    return QString::fromStdString(
        RecordGridCell(st_, static_cast<size_t>(index.row()), index.column(), sep_));
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= kRecordGridColumns) return {};
    return records_ ? QString::fromUtf8(kRecordGridHeader[static_cast<size_t>(section)]) : QString();
}

Qt::ItemFlags RecordGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool RecordGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    edited_.insert(key(index.row(), index.column()), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

} // namespace tovimo
