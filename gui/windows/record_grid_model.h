// The record grid of the main window as a view over the loaded series: a
// table model whose cells are made from the analysis state's records when
// the view asks for them, so a series of a million failures costs the window
// no copy of its texts.
#pragma once

#include "core/state/analysis_state.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>

namespace tovimo {

class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // Before any series is shown the grid has `blankRows` empty rows under
    // an empty header.
    RecordGridModel(const AnalysisState& st, int blankRows, QObject* parent = nullptr);

    // The records the state holds now, in its order, with `sep` as the
    // decimal separator of the times; the header gets its texts. Cells the
    // user edited are forgotten.
    void showRecords(char sep);
    // The state's records changed in number without a new series to show (a
    // load that stopped part way): the rows follow the records left.
    void followRecords();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The user may edit a cell; the edit stays in the grid and changes no record.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  private:
    static quint64 key(int row, int column) { return (quint64(unsigned(row)) << 8) | unsigned(column); }

    const AnalysisState& st_;
    int rows_;
    bool records_ = false; // the rows are the state's records (else blank rows)
    char sep_ = '.';
    QHash<quint64, QString> edited_;
};

} // namespace tovimo
