// The main window's view of a loaded series, filled from the state after a
// load: the record grid (with the notes of the threshold times) and the small
// log-log chart with its regression line.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/main_form.h"

#include <array>
#include <cstddef>
#include <string>

namespace tovimo {

void FillSeriesControls(const AnalysisState& st, MainForm& form);

// The record grid shows a header and one row per record of the series, in
// time order. Its cells are made when they are shown, not kept: a million
// records would otherwise hold four texts each twice over.
inline constexpr int kRecordGridColumns = 4;
inline constexpr std::array<const char*, kRecordGridColumns> kRecordGridHeader = {
    " № отказа", "Наработка, ч", "Источник отказа", "Описание отказа"};

// Text of a record's cell: `row` 0-based in time order, `column` 0..3: the
// failure number, the time (general notation, `sep` for the decimal
// separator), the ranked cause (with the note of the last threshold the
// record reached) and the description. Empty outside the series.
std::string RecordGridCell(const AnalysisState& st, size_t row, int column, char sep);

} // namespace tovimo
