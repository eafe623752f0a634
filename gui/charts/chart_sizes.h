// The sizes the charts were designed at: the results window lays its charts
// out from them and the chart export draws its images at them.
#pragma once

#include <QSize>

namespace tovimo {

inline constexpr QSize kChart1Size{922, 533}; // failure flow, the wide chart under the table
inline constexpr QSize kChart2Size{389, 528}; // integral figures, right of chart 1
inline constexpr QSize kChart3Size{551, 254}; // the flow on logarithmic axes, right of the table
inline constexpr QSize kLogLogPanelSize{838, 546};

} // namespace tovimo
