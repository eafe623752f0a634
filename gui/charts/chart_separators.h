// The thousands separator of the charts' value marks.
#pragma once

#include <string>

namespace tovimo {

// The user's locale's group separator when its decimal separator is
// `decimalSeparator`, else the one that goes with `decimalSeparator`.
std::string ChartGroupSeparator(char decimalSeparator);

} // namespace tovimo
