#include "core/text/number_format.h"

#include "core/text/text_codec.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tovimo {

std::int64_t Round(double x) {
    const double r = RoundHalfEven(x);
    if (!(r >= -9.2e18 && r <= 9.2e18))
        return r > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}

namespace {

std::string nonFinite(double v) {
    if (std::isnan(v)) return "NAN";
    return v > 0 ? "INF" : "-INF";
}

void replaceDot(std::string& s, char sep) {
    if (sep == '.') return;
    for (char& c : s)
        if (c == '.') c = sep;
}

std::string toFixed(double v, int decimals) {
    if (!std::isfinite(v)) return nonFinite(v);
    return fmt::format("{:.{}f}", v, decimals);
}

// d.ddd with `significant` digits and the exponent as an integer.
std::pair<std::string, int> toScientific(double v, int significant) {
    const std::string s = fmt::format("{:.{}e}", v, significant > 1 ? significant - 1 : 0);
    const auto e = s.find('e');
    int ex = 0;
    std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), ex);
    return {s.substr(0, e), ex};
}

std::string exponentText(int ex, int minDigits, bool plusSign) {
    std::string digits = std::to_string(ex < 0 ? -ex : ex);
    while (static_cast<int>(digits.size()) < minDigits)
        digits.insert(digits.begin(), '0');
    std::string sign = ex < 0 ? "-" : (plusSign ? "+" : "");
    return "E" + sign + digits;
}

std::string formatE(double v, int precision) {
    if (!std::isfinite(v)) return nonFinite(v);
    auto [mant, ex] = toScientific(v, precision);
    return mant + exponentText(ex, 3, true);
}

std::string pad(std::string s, int width, bool left) {
    // width counts characters, not bytes
    const int len = static_cast<int>(CharCount(s));
    if (len >= width) return s;
    std::string blanks(static_cast<size_t>(width - len), ' ');
    return left ? s + blanks : blanks + s;
}

} // namespace

std::string NumberText(double v, char type, int precision, char sep) {
    std::string s = type == 'e'
                        ? formatE(v, precision < 0 ? 15 : precision)
                        : (std::isfinite(v) ? toFixed(v, precision < 0 ? 2 : precision) : nonFinite(v));
    replaceDot(s, sep);
    return s;
}

std::string FloatToStr(double v, char sep) {
    if (!std::isfinite(v)) return nonFinite(v);
    if (v == 0) return "0";
    auto [mant, ex] = toScientific(v, 15);
    // mant: [-]d.dddddddddddddd ; strip trailing zeros of the fraction
    bool neg = mant[0] == '-';
    std::string digits;
    for (char c : mant)
        if (c >= '0' && c <= '9') digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int pointPos = ex + 1; // digits before the decimal point
    std::string s;
    if (pointPos > 15 || pointPos < -3) {
        s = digits.substr(0, 1);
        if (digits.size() > 1) s += "." + digits.substr(1);
        s += exponentText(ex, 0, false);
    } else if (pointPos <= 0) {
        s = "0." + std::string(static_cast<size_t>(-pointPos), '0') + digits;
    } else if (static_cast<int>(digits.size()) <= pointPos) {
        s = digits + std::string(static_cast<size_t>(pointPos) - digits.size(), '0');
    } else {
        s = digits.substr(0, static_cast<size_t>(pointPos)) + "." +
            digits.substr(static_cast<size_t>(pointPos));
    }
    if (neg) s = "-" + s;
    replaceDot(s, sep);
    return s;
}

std::string FloatToStrFixed(double v, int precision, int digits, char sep) {
    if (!std::isfinite(v)) return nonFinite(v);
    std::string s;
    if (v == 0) {
        s = toFixed(0.0, digits);
    } else {
        auto [mant, ex] = toScientific(v, precision);
        if (ex + 1 > precision) {
            s = mant + exponentText(ex, 3, true);
        } else {
            // from_chars: the C library's parsing would follow the process locale
            const std::string text = mant + "e" + std::to_string(ex);
            double rounded = 0;
            std::from_chars(text.data(), text.data() + text.size(), rounded);
            s = toFixed(rounded, digits);
        }
    }
    replaceDot(s, sep);
    return s;
}

std::optional<double> ParseFloat(std::string_view text, char sep) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    std::string s;
    size_t i = b;
    if (i < e && (text[i] == '+' || text[i] == '-')) s += text[i++];
    int mantDigits = 0;
    while (i < e && text[i] >= '0' && text[i] <= '9')
        s += text[i++], ++mantDigits;
    if (i < e && text[i] == sep) {
        s += '.';
        ++i;
        while (i < e && text[i] >= '0' && text[i] <= '9')
            s += text[i++], ++mantDigits;
    }
    if (mantDigits == 0) return std::nullopt;
    if (i < e && (text[i] == 'e' || text[i] == 'E')) {
        s += 'e';
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-')) s += text[i++];
        int expDigits = 0;
        while (i < e && text[i] >= '0' && text[i] <= '9')
            s += text[i++], ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (i != e) return std::nullopt;
    const char* first = s.data();
    if (*first == '+') ++first;
    double v = 0;
    auto r = std::from_chars(first, s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // overflow gives an infinity, underflow zero, as the toolkit's conversion does
        return std::nullopt;
    }
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

std::optional<long long> ParseInt(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    if (b < e && text[b] == '+') ++b;
    if (b == e) return std::nullopt;
    long long v = 0;
    auto r = std::from_chars(text.data() + b, text.data() + e, v);
    if (r.ec != std::errc() || r.ptr != text.data() + e) return std::nullopt;
    return v;
}

std::optional<long long> ParseWhole(std::string_view text, long long lowest, long long highest) {
    const auto v = ParseInt(text);
    if (!v || *v < lowest || *v > highest) return std::nullopt;
    return v;
}

std::optional<int> ParseInt32(std::string_view text) {
    const auto v = ParseWhole(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!v) return std::nullopt;
    return static_cast<int>(*v);
}

ConvertError::ConvertError(std::string text, bool integer)
    : std::runtime_error(
          "'" + text +
          (integer ? "' is not a valid integer value" : "' is not a valid floating point value")),
      text_(std::move(text)) {}

double StrToFloat(std::string_view text, char sep) {
    auto v = ParseFloat(text, sep);
    if (!v) throw ConvertError(std::string(text));
    return *v;
}

long long StrToInt(std::string_view text) {
    auto v = ParseInt(text);
    if (!v) throw ConvertError(std::string(text), true);
    return *v;
}

std::string FormatElapsedDefault(double seconds) {
    if (!(seconds >= 0)) seconds = 0;
    long long total = static_cast<long long>(seconds);
    long long h = (total / 3600) % 24, m = (total / 60) % 60, s = total % 60;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", h, m, s);
    return buf;
}

std::string DefaultGroupSeparator(char decimalSeparator) {
    return decimalSeparator == ',' ? "\u00A0" : ",";
}

std::string FormatMark(double v, char decimalSeparator, const std::string& groupSeparator) {
    if (!std::isfinite(v)) return {};
    const double r = std::round(std::abs(v) * 10) / 10;
    std::string s = toFixed(r, 1);
    const auto dot = s.find('.');
    std::string whole = s.substr(0, dot);
    const std::string frac = s.substr(dot + 1);
    std::string grouped;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += groupSeparator;
        grouped += whole[i];
    }
    if (frac != "0") grouped += decimalSeparator + frac;
    if (v < 0 && r != 0) grouped.insert(grouped.begin(), '-');
    return grouped;
}

} // namespace tovimo

std::string fmt::formatter<tovimo::ShownNumber>::Padded(const tovimo::ShownNumber& n) const {
    // a dash keeps the conversion's field; width counts characters, not bytes
    return tovimo::pad(n.dash ? "—" : tovimo::NumberText(n.v, type, precision, n.sep), width, align == '<');
}
