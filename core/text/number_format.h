// Number texts as the user sees them: printf-style formats with the locale's
// decimal separator, the general form with up to 15 significant digits, the
// fixed form with a given precision, rounding with halves to even, and the
// strict parsing of numbers typed into the edits.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tovimo {

// Rounding to the nearest integer, halves to the even neighbour. Below 2^52
// in magnitude, adding and taking away 2^52 rounds in the processor's default
// mode, which sends halves to the even neighbour; above it every double is a
// whole number already. Zero keeps its sign.
inline double RoundHalfEven(double x) {
    if (!(std::fabs(x) < 0x1p52) || x == 0) return x;
    const double shift = std::copysign(0x1p52, x);
    return (x + shift) - shift;
}
// The rounded value as an integer; beyond the 64-bit range, the nearer end.
std::int64_t Round(double x);

using FormatArg = std::variant<double, long long, std::string>;

// printf-style formatting with flags '-', width and precision for the
// conversions f, e, d and s. For %e the precision is the number of significant
// digits and the exponent carries its sign and at least three digits (E+003).
std::string Format(std::string_view fmt, const std::vector<FormatArg>& args, char decimalSeparator);

// General form: shortest text with up to 15 significant digits; exponent form
// for very large or very small magnitudes ("1E15", "1.5E-7").
std::string FloatToStr(double v, char decimalSeparator);

// Fixed form rounded to `precision` significant digits and written with
// `digits` decimals; exponent form when more than `precision` integer digits.
std::string FloatToStrFixed(double v, int precision, int digits, char decimalSeparator);

// Strict number grammar: blanks around, optional sign, digits with the given
// decimal separator, optional exponent. Nothing else (no group separators).
std::optional<double> ParseFloat(std::string_view text, char decimalSeparator);
// Whole number: blanks around, optional sign, decimal digits.
std::optional<long long> ParseInt(std::string_view text);
// A whole number within [lowest, highest]; nullopt for any other text.
std::optional<long long> ParseWhole(std::string_view text, long long lowest, long long highest);
// A whole number an int holds.
std::optional<int> ParseInt32(std::string_view text);

// A text that is not a number, raised where the program would show the
// toolkit's conversion error box.
class ConvertError : public std::runtime_error {
  public:
    explicit ConvertError(std::string text, bool integer = false);
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

// Reads a number from an edit or throws ConvertError.
double StrToFloat(std::string_view text, char decimalSeparator);
long long StrToInt(std::string_view text);

// Elapsed time as a time of day, H:mm:ss (milliseconds dropped).
std::string FormatElapsedDefault(double seconds);

// "#,##0.#": thousands grouped, at most one decimal, none when it is zero.
std::string FormatMark(double v, char decimalSeparator, const std::string& groupSeparator);

// The thousands separator that goes with a decimal separator when the locale
// gives none.
std::string DefaultGroupSeparator(char decimalSeparator);

} // namespace tovimo
