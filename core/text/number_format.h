// Number texts as the user sees them: {fmt} formats with the locale's
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
#include <type_traits>

#include <fmt/format.h>

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

// A number as a format shows it: with the locale's decimal separator, or as
// a dash when `dash` is set (a figure its cell cannot show).
struct ShownNumber {
    double v;
    char sep;
    bool dash = false;
};

// The text of one conversion: 'f' with `precision` decimals, 'e' with
// `precision` significant digits and an exponent of at least three digits
// with its sign (E+003); "NAN", "INF", "-INF" for what is not finite.
std::string NumberText(double v, char type, int precision, char decimalSeparator);

template <class T> struct FormatArgOf { using type = T; };
template <> struct FormatArgOf<double> { using type = ShownNumber; };
template <class T> using FormatArgOfT = typename FormatArgOf<std::decay_t<T>>::type;

template <class T> const T& ToFormatArg(const T& v, char) {
    return v;
}
inline ShownNumber ToFormatArg(double v, char sep) {
    return {v, sep};
}

// {fmt} formatting with the locale's decimal separator in every floating
// point conversion; the format is checked when the program is compiled.
// A double takes "[<|>][width][.precision](f|e)": left or right in its
// field (right by default), 'f' fixed with two decimals by default, 'e' in
// the exponent form of NumberText (15 significant digits by default).
// Without arguments the separator has nothing to apply to.
template <class... T>
std::string Format([[maybe_unused]] char decimalSeparator, fmt::format_string<FormatArgOfT<T>...> format,
                   const T&... args) {
    return fmt::vformat(format, fmt::make_format_args(ToFormatArg(args, decimalSeparator)...));
}

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

template <> struct fmt::formatter<tovimo::ShownNumber> {
    char align = '>';
    int width = 0;
    int precision = -1;
    char type = 'f';

    constexpr auto parse(format_parse_context& ctx) -> decltype(ctx.begin()) {
        auto it = ctx.begin();
        const auto end = ctx.end();
        if (it != end && (*it == '<' || *it == '>')) align = *it++;
        while (it != end && *it >= '0' && *it <= '9')
            width = width * 10 + (*it++ - '0');
        if (it != end && *it == '.') {
            ++it;
            precision = 0;
            if (it == end || *it < '0' || *it > '9') throw format_error("a number's precision expected");
            while (it != end && *it >= '0' && *it <= '9')
                precision = precision * 10 + (*it++ - '0');
        }
        if (it != end && (*it == 'f' || *it == 'e')) type = *it++;
        if (it != end && *it != '}') throw format_error("a number takes [<|>][width][.precision](f|e)");
        return it;
    }

    auto format(const tovimo::ShownNumber& n, format_context& ctx) const -> decltype(ctx.out()) {
        return fmt::format_to(ctx.out(), "{}", Padded(n));
    }

  private:
    std::string Padded(const tovimo::ShownNumber& n) const;
};
