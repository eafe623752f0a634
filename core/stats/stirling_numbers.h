// Stirling numbers of the second kind S(n, k): the n-th derivative of
// exp(-exp(z)) in z is exp(-y) sum_{k=1..n} S(n, k) (-y)^k with
// y = exp(z). The Weibull survival exp(-(t/B)^A) is that function of
// z = A (ln t - ln B), so its Taylor series in ln t, ln B or A is built from
// these numbers.
#pragma once

#include <array>

namespace tovimo {

inline constexpr int kStirlingOrder = 12;

using StirlingTable = std::array<std::array<double, kStirlingOrder + 1>, kStirlingOrder + 1>;

// S(n, k) = k S(n - 1, k) + S(n - 1, k - 1), S(0, 0) = 1; exact in doubles.
constexpr StirlingTable MakeStirlingTable() {
    StirlingTable s{};
    s[0][0] = 1;
    for (int n = 1; n <= kStirlingOrder; ++n)
        for (int k = 1; k <= n; ++k)
            s[n][k] = k * s[n - 1][k] + s[n - 1][k - 1];
    return s;
}

inline constexpr StirlingTable kStirling = MakeStirlingTable();

static_assert(kStirling[8][4] == 1701 && kStirling[9][5] == 6951);

} // namespace tovimo
