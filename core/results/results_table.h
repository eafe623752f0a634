// The results table: one column of figures per executed model, in the order
// MPirsN, MPirsS, MSmirn, MGenet, MPravd, then the operating-data column, 12 rows.
// The window only measures text and shows these cells.
#pragma once

#include "core/state/analysis_state.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace tovimo {

inline constexpr int kResultRows = 12;
inline constexpr int kResultCols = 7;

// Width in pixels of a text in the grid's font.
using TextWidthFn = std::function<int(const std::string&)>;

struct ResultTable {
    std::array<std::array<std::string, kResultCols>, kResultRows> cells; // [row][column]
    std::array<int, kResultCols> widths{};                               // after AutoSizeGridColumns
    int dataColumn = 1;                                                  // the operating-data column
    // The same results one figure per cell, for spreadsheets: [row][column]
    // with the columns of `cells`, column 0 the row's name with its unit; each
    // other cell one number in the table's format and decimal separator, a dash
    // where the window shows one, empty where the column has no such figure.
    std::vector<std::array<std::string, kResultCols>> figures;
};

// Fills the table from the state after the results refresh figures
// (Potok08, the re-accumulated Kol_Nakopl): sets Num_Col, KolmStr and tfin.
// With `padded` false the values are written as their formats give them,
// without the blanks CntrText adds (for texts read by programs).
ResultTable FillResultTable(AnalysisState& st, char decimalSeparator, const TextWidthFn& textWidth,
                            bool padded = true);

// A figure of a model column at (A, B, K): A, B, K themselves, the
// percentiles weibinv(A, B, p / K) (clamped at p / K >= 1) and the failures per
// product K * weibCDF2(A, B, 0, t).
double TableFigure(LikFigure fig, double A, double B, double K);

// A whole number: rounded with halves to even, no decimals.
std::string WholeNumber(double v, char decimalSeparator);

} // namespace tovimo
