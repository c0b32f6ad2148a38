#include "kelvarn/common/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "test_locales.h"

namespace kelvarn::common {
namespace {

using testing::DecimalCommaLocale;
using testing::DecimalPointLocale;

// Expected texts are written with "." and "," and translated for the comma
// locale by swapping the two characters.
std::string InComma(std::string text) {
    for (char& c : text) {
        c = c == '.' ? ',' : (c == ',' ? '.' : c);
    }
    return text;
}

struct FormCase {
    double value;
    std::string expected;  // in the decimal-point locale
};

class BothLocales : public ::testing::TestWithParam<bool> {
  protected:
    std::locale Loc() const { return GetParam() ? DecimalCommaLocale() : DecimalPointLocale(); }
    std::string Expect(const std::string& text) const { return GetParam() ? InComma(text) : text; }
};

INSTANTIATE_TEST_SUITE_P(Locales, BothLocales, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "DecimalComma" : "DecimalPoint"; });

TEST_P(BothLocales, PrintFormOfProjectFileNumbers) {
    const std::vector<FormCase> cases = {
        {0, " 0 "},
        {100, " 100 "},
        {0.05, " .05 "},
        {0.05f, " .05 "},  // the float's binary value still prints as 7 digits
        {-0.3f, "-.3 "},
        {2.5, " 2.5 "},
        {200000, " 200000 "},
        {1e7, " 1E+07 "},
        {-1e7, "-1E+07 "},
        {9999999, " 9999999 "},
        {12345678, " 1.234568E+07 "},
        {9999999.6, " 1E+07 "},  // rounding to 7 digits moves it into exponent form
        {1234.5678, " 1234.568 "},
        {304.8f, " 304.8 "},
        {0.0001, " .0001 "},
        {0.00001, " 1E-05 "},
        {0.000015, " 1.5E-05 "},
        {3.4e38, " 3.4E+38 "},
        {1e-30, " 1E-30 "},
        {45.73f, " 45.73 "},
    };
    for (const FormCase& c : cases) {
        EXPECT_EQ(PrintForm(c.value, Loc()), Expect(c.expected)) << c.value;
    }
}

TEST_P(BothLocales, ShortestTextRoundTripsEveryFloat) {
    const std::vector<std::pair<float, std::string>> cases = {
        {0.05f, "0.05"},
        {100, "100"},
        {1e7f, "1E+07"},
        {2.5f, "2.5"},
        {-0.3f, "-0.3"},
        {0, "0"},
        {123456792.f, "1.2345679E+08"},
        {1e-5f, "1E-05"},
        {0.0001f, "0.0001"},
        {1234567.9f, "1234567.9"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(ShortestText(value, Loc()), Expect(expected));
    }
    for (float v : {0.1f, 1.0f / 3.0f, 16777217.0f, 3.4028235e38f, 1.1754944e-38f, 6.0811e6f}) {
        std::string text = ShortestText(v, Loc());
        ASSERT_EQ(ParseFloat(text, Loc()), v) << text;
    }
}

// Opening a project and saving it again must give the same bytes: the print
// form of a float, read back and printed again, is the same text (so it reads
// back within its seven digits); the shortest text reads back as the very same
// float. Floats are drawn over every exponent from a fixed seed.
TEST_P(BothLocales, NumberFormsAreStableForAnyFloat) {
    std::mt19937 bits(20261206);
    int checked = 0;
    while (checked < 20000) {
        const float v = std::bit_cast<float>(static_cast<std::uint32_t>(bits()));
        if (!std::isfinite(v)) {
            continue;
        }
        ++checked;
        const std::string printed = PrintForm(v, Loc());
        const std::optional<float> back = ParseFloat(printed, Loc());
        ASSERT_TRUE(back.has_value()) << printed;
        ASSERT_EQ(PrintForm(*back, Loc()), printed) << v;
        const std::string shortest = ShortestText(v, Loc());
        ASSERT_EQ(ParseFloat(shortest, Loc()), v) << shortest;
    }
}

TEST_P(BothLocales, DisplayPatterns) {
    const std::vector<FormCase> thousands = {
        {6081128, "6,081,128"}, {419000, "419,000"}, {999.5, "1,000"}, {0.4, ""}, {-0.4, ""}, {0, ""},
        {-1234.6, "-1,235"},    {12, "12"},          {2.5, "3"},  // half away from zero, unlike RoundHalfEven
    };
    for (const FormCase& c : thousands) {
        EXPECT_EQ(FormatThousands(c.value, Loc()), Expect(c.expected)) << c.value;
    }
    const std::vector<FormCase> fixed = {
        {30.4449, "30.44"}, {0, "0.00"},         {-0.001, "0.00"},
        {-2.5, "-2.50"},    {1234.5, "1234.50"}, {0.996, "1.00"},
    };
    for (const FormCase& c : fixed) {
        EXPECT_EQ(FormatFixed2(c.value, Loc()), Expect(c.expected)) << c.value;
    }
}

TEST_P(BothLocales, NumericTextTest) {
    struct Case {
        std::string text;
        std::optional<double> value;
    };
    const std::vector<Case> cases = {
        {"100", 100},
        {" 2.5 ", 2.5},
        {".05", 0.05},
        {"-.3", -0.3},
        {"+4", 4},
        {"1E+07", 1e7},
        {"1e-5", 1e-5},
        {"1,234.5", 1234.5},
        {"5.", 5},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {".", std::nullopt},
        {"1E", std::nullopt},
        {"--1", std::nullopt},
        {",5", std::nullopt},
        {"1 2", std::nullopt},
        {"1e999", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::string text = Expect(c.text);
        EXPECT_EQ(IsNumericText(text, Loc()), c.value.has_value()) << text;
        EXPECT_EQ(ParseNumber(text, Loc()), c.value) << text;
    }
}

TEST(NumberFormat, TheOtherLocalesSeparatorIsNotADecimalSeparator) {
    // A decimal typed with the other locale's separator must not become a
    // number twenty-five times too big: separators stand only between groups of three.
    EXPECT_EQ(ParseNumber("2,5", DecimalPointLocale()), std::nullopt);
    EXPECT_EQ(ParseNumber("2.5", DecimalCommaLocale()), std::nullopt);
    EXPECT_EQ(ParseNumber("1,2345", DecimalPointLocale()), std::nullopt);
    EXPECT_EQ(ParseNumber("1234,567", DecimalPointLocale()), std::nullopt);
    EXPECT_EQ(ParseNumber("12,345,678.5", DecimalPointLocale()), 12345678.5);
    EXPECT_EQ(ParseNumber("2.500", DecimalCommaLocale()), 2500.0);
    EXPECT_EQ(ParseNumber("2,5", DecimalCommaLocale()), 2.5);
}

TEST(NumberFormat, FloatParsingRejectsWhatAFloatCannotHold) {
    EXPECT_EQ(ParseFloat("1E+39", DecimalPointLocale()), std::nullopt);
    EXPECT_EQ(ParseFloat(" INF ", DecimalPointLocale()), std::numeric_limits<float>::infinity());
    EXPECT_EQ(ParseFloat("-INF ", DecimalPointLocale()), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(*ParseFloat(" NAN ", DecimalPointLocale())));
    EXPECT_FALSE(IsNumericText("INF", DecimalPointLocale()));
    EXPECT_EQ(PrintForm(-std::numeric_limits<float>::infinity(), DecimalPointLocale()), "-INF ");
}

TEST_P(BothLocales, LeadingValue) {
    const std::vector<FormCase> cases = {
        {12.5, "12.5 m"}, {0, "abc"}, {0, ""},    {-3, "  -3x"}, {0.5, ".5.5"},
        {100, "1E2E3"},   {1, "1E"},  {7, "7,5"},  // no thousands separators at the start of a text
    };
    for (const FormCase& c : cases) {
        EXPECT_EQ(LeadingValue(Expect(c.expected), Loc()), c.value) << c.expected;
    }
}

TEST(NumberFormat, RoundHalfEven) {
    const std::vector<std::pair<double, double>> cases = {
        {100.5, 100}, {101.5, 102}, {2.5, 2},   {3.5, 4}, {-2.5, -2}, {-3.5, -4},
        {2.4999, 2},  {2.5001, 3},  {-0.5, -0}, {0.5, 0}, {7, 7},     {1e15 + 0.5, 1e15},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
    }
    EXPECT_EQ(ToInt32HalfEven(2147483647.4), 2147483647);
    EXPECT_EQ(ToInt32HalfEven(2147483647.5), std::nullopt);
    EXPECT_EQ(ToInt32HalfEven(-2147483648.5), -2147483648);
    EXPECT_EQ(ToInt32HalfEven(std::nan("")), std::nullopt);
}

TEST(NumberFormat, DefaultsFollowTheGlobalLocale) {
    const std::locale old = std::locale::global(DecimalCommaLocale());
    const std::string print = PrintForm(2.5);
    const std::string shown = FormatThousands(1234567);
    const std::optional<double> parsed = ParseNumber("0,25");
    std::locale::global(old);
    EXPECT_EQ(print, " 2,5 ");
    EXPECT_EQ(shown, "1.234.567");
    EXPECT_EQ(parsed, 0.25);
}

}  // namespace
}  // namespace kelvarn::common

namespace kelvarn::common {
namespace {

// The machine's own German locale, when it has one, behaves like the facet.
TEST(NumberFormat, InstalledDecimalCommaLocale) {
    std::locale de;
    try {
        de = std::locale("de_DE.UTF-8");
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed; the facet-built locale covers the decimal comma";
    }
    EXPECT_EQ(PrintForm(0.05, de), " ,05 ");
    EXPECT_EQ(ParseNumber("2,5", de), 2.5);
    EXPECT_EQ(ShortestText(1.5f, de), "1,5");
}

}  // namespace
}  // namespace kelvarn::common
