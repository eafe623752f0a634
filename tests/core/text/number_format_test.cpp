#include "core/text/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tovimo;

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    struct Case {
        double in;
        std::int64_t out;
    };
    for (auto c : {Case{2.5, 2}, Case{3.5, 4}, Case{-2.5, -2}, Case{-3.5, -4}, Case{0.5, 0}, Case{1.5, 2},
                   Case{2.4999, 2}, Case{2.5001, 3}, Case{445.54, 446}, Case{1633.66, 1634}})
        EXPECT_EQ(Round(c.in), c.out) << c.in;
}

// The rounding by floor and comparison with the half, the definition the fast
// form must agree with bit for bit.
double RoundHalfEvenByFloor(double x) {
    if (!std::isfinite(x)) return x;
    const double f = std::floor(x);
    const double diff = x - f;
    if (diff < 0.5) return f;
    if (diff > 0.5) return f + 1;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

TEST(RoundHalfEven, AgreesWithTheFloorDefinitionBitForBit) {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.49999999999999994,
                                  -0.49999999999999994,
                                  0x1p52 - 0.5,
                                  -(0x1p52 - 0.5),
                                  0x1p52,
                                  0x1p52 + 1,
                                  0x1p53 + 2,
                                  -0x1p60,
                                  1e300,
                                  std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity()};
    for (int k = -2000; k <= 2000; ++k) {
        values.push_back(k / 4.0); // every quarter: halves and their neighbours
        values.push_back(std::nextafter(k / 2.0, 1e9));
        values.push_back(std::nextafter(k / 2.0, -1e9));
        values.push_back(k * 1234.5678901);
    }
    for (double v : values) {
        const double want = RoundHalfEvenByFloor(v);
        const double got = RoundHalfEven(v);
        EXPECT_EQ(std::signbit(got), std::signbit(want)) << v;
        EXPECT_EQ(got, want) << v;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

TEST(Format, FmtWithTheLocaleSeparator) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = INFINITY;
    struct Case {
        std::string got;
        const char* expected;
    } cases[] = {
        {Format('.', "{:6.3f} / {:7.2f}", 1.23456, 8123.456), " 1.235 / 8123.46"},
        {Format(',', "{:6.3f} / {:7.2f}", 1.23456, 8123.456), " 1,235 / 8123,46"},
        {Format('.', "{:4.0f} / {:4.0f} ч.", 2500.5, 3501.5), "2500 / 3502 ч."}, // ties go to even
        {Format(',', "{:4.0f} / {:4.0f} ч.", 2500.5, 3501.5), "2500 / 3502 ч."}, // a dot of the text stays
        {Format(',', "= {:6.4f},  СКО= {:6.4f}", 0.98, 0.5), "= 0,9800,  СКО= 0,5000"},
        {Format('.', "{:12.10e}", -2.5e-5), "-2.500000000E-005"},
        {Format(',', "{:12.10e}", 1234.5), "1,234500000E+003"},
        {Format('.', "{:14.3e}", 1234.5), "     1.23E+003"},
        {Format('.', "{:e}", 0.0), "0.00000000000000E+000"},
        {Format('.', "{:e}", 1e-300), "1.00000000000000E-300"},
        {Format('.', "{:f}", 2.0), "2.00"},
        {Format('.', "  ЦФ={:<30.7f}|", 12.5), "  ЦФ=12.5000000                    |"},
        {Format('.', "{:5.2f} / {:5.2f} / {:5.2e}", nan, inf, -inf), "  NAN /   INF /  -INF"},
        {Format(',', "{} шт.{}", 42LL, std::string("!")), "42 шт.!"},
        {Format(',', "{:>12}  {:6}", std::string("12,5"), 7LL), "        12,5       7"},
        {Format('.', "100%"), "100%"},
        {Format('.', "{{}}"), "{}"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

// A figure its cell cannot show is a dash in the conversion's field.
TEST(Format, DashKeepsTheField) {
    EXPECT_EQ(fmt::format("[{:6.3f}]", ShownNumber{1e9, ',', true}), "[     —]");
    EXPECT_EQ(fmt::format("[{:<4.1f}]", ShownNumber{INFINITY, ',', true}), "[—   ]");
    EXPECT_EQ(fmt::format("[{:4.1f}]", ShownNumber{2.25, ',', false}), "[ 2,2]");
}

TEST(NumberText, FixedAndExponentForms) {
    EXPECT_EQ(NumberText(0.125, 'f', 2, ','), "0,12");
    EXPECT_EQ(NumberText(-0.5, 'f', 0, '.'), "-0");
    EXPECT_EQ(NumberText(9.99e99, 'e', 3, '.'), "9.99E+099");
    EXPECT_EQ(NumberText(1e100, 'e', 1, '.'), "1E+100");
    EXPECT_EQ(NumberText(std::numeric_limits<double>::quiet_NaN(), 'e', 3, '.'), "NAN");
}

TEST(FloatToStr, GeneralFormWithFifteenDigits) {
    struct Case {
        double v;
        const char* dot;
        const char* comma;
    };
    const Case cases[] = {
        {3500, "3500", "3500"},
        {120.5, "120.5", "120,5"},
        {0.1, "0.1", "0,1"},
        {-5, "-5", "-5"},
        {0, "0", "0"},
        {1.0 / 3, "0.333333333333333", "0,333333333333333"},
        {1003.68115942029, "1003.68115942029", "1003,68115942029"},
        {1e15, "1E15", "1E15"},
        {123456789012345, "123456789012345", "123456789012345"},
        {1e-9, "1E-9", "1E-9"},
        {1.5e-7, "1.5E-7", "1,5E-7"},
        {0.0001, "0.0001", "0,0001"},
        {0.00001, "1E-5", "1E-5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FloatToStr(c.v, '.'), c.dot) << c.v;
        EXPECT_EQ(FloatToStr(c.v, ','), c.comma) << c.v;
    }
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN(), '.'), "NAN");
    EXPECT_EQ(FloatToStr(-INFINITY, '.'), "-INF");
}

TEST(FloatToStrFixed, SignificantDigitsThenDecimals) {
    struct Case {
        double v;
        int prec, digits;
        const char* expected;
    };
    const Case cases[] = {
        {812.04, 3, 1, "812.0"},
        {550, 3, 1, "550.0"},
        {141.42135623731, 3, 1, "141.0"},
        {3000, 3, 1, "3.00E+003"},
        {3456.7, 3, 1, "3.46E+003"},
        {999.5, 3, 1, "1.00E+003"},
        {999.4, 3, 1, "999.0"},
        {12.345, 3, 1, "12.3"},
        {3456.7, 6, 3, "3456.700"},
        {141.42135623731, 6, 3, "141.421"},
        {0, 3, 1, "0.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStrFixed(c.v, c.prec, c.digits, '.'), c.expected) << c.v;
    EXPECT_EQ(FloatToStrFixed(3456.7, 6, 3, ','), "3456,700");
    EXPECT_EQ(FloatToStrFixed(3456.7, 3, 1, ','), "3,46E+003");
}

TEST(ParseFloat, StrictGrammarWithTheGivenSeparator) {
    struct Case {
        const char* text;
        char sep;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"12.5", '.', 12.5}, {"12,5", ',', 12.5},  {" 12.5 ", '.', 12.5},  {"-3", '.', -3.0},
        {"+3", '.', 3.0},    {"1e3", '.', 1000.0}, {"1.5E-2", '.', 0.015}, {".5", '.', 0.5},
        {"5.", '.', 5.0},    {"12,5", '.', {}},    {"12.5", ',', {}},      {"1.234,5", '.', {}},
        {"", '.', {}},       {"   ", '.', {}},     {"abc", '.', {}},       {"1e", '.', {}},
        {"1 000", '.', {}},  {"nan", '.', {}},     {"inf", '.', {}},       {"1e999", '.', {}},
        {"0x10", '.', {}},   {"--1", '.', {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseFloat(c.text, c.sep), c.expected) << c.text;
}

TEST(StrToFloat, ErrorTextNamesTheText) {
    try {
        StrToFloat("1,5", '.');
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_STREQ(e.what(), "'1,5' is not a valid floating point value");
        EXPECT_EQ(e.text(), "1,5");
    }
    EXPECT_THROW(StrToInt("12a"), ConvertError);
    EXPECT_EQ(StrToInt(" 3000 "), 3000);
}

TEST(FormatElapsed, HoursMinutesSeconds) {
    EXPECT_EQ(FormatElapsedDefault(0.4), "0:00:00");
    EXPECT_EQ(FormatElapsedDefault(11.9), "0:00:11");
    EXPECT_EQ(FormatElapsedDefault(3725), "1:02:05");
}
