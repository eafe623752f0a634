// Helpers of the tests of number texts under either decimal separator.
#pragma once

#include <limits>
#include <string>

namespace tovimo::text_test {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A text written with '.' as it reads under `sep`.
inline std::string Dec(std::string s, char sep) {
    for (char& c : s)
        if (c == '.') c = sep;
    return s;
}

} // namespace tovimo::text_test
