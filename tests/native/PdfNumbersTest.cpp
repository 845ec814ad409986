#include "native/PdfNumbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace pq {
namespace {

// The file's numbers are the digits printf gives in the C locale, whatever locale the program runs in.
TEST(PdfNumbers, FixedMatchesPrintfInTheCLocale) {
    const double values[] = {0.0,
                             -0.0,
                             0.5,
                             1.5,
                             2.5,
                             -2.5,
                             1e-7,
                             -1e-7,
                             0.28346518 * 297.0,
                             123456.0000005,
                             -84.1891585,
                             1.0 / 3.0,
                             99999.99995,
                             0.00005,
                             0.00015,
                             4.0000001e6};
    for (int decimals : {1, 2, 4, 6}) {
        for (double v : values) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
            std::string got;
            AppendFixed(got, v, decimals);
            EXPECT_EQ(got, expected) << v << " with " << decimals << " decimals";
        }
    }
    std::string nonFinite;
    AppendFixed(nonFinite, 1.0 / 0.0, 2);
    EXPECT_EQ(nonFinite, "0.00");

    // Seeded floats of every size the writer meets (coordinates, exact binary fractions that fall on
    // ties, tiny and huge), and doubles near ties: the digits printf gives.
    std::mt19937 random(5);
    std::uniform_real_distribution<float> mantissa(-1.0f, 1.0f);
    std::uniform_int_distribution<int> exponent(-30, 40);
    for (int i = 0; i < 200000; ++i) {
        const double v = i % 7 == 0 ? std::ldexp(std::round(mantissa(random) * 4096.0f), -(i % 20))
                                    : std::ldexp(static_cast<double>(mantissa(random)), exponent(random));
        const int decimals = i % 3 == 0 ? 6 : i % 3 == 1 ? 4 : 2;
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
        std::string got;
        AppendFixed(got, v, decimals);
        ASSERT_EQ(got, expected) << v << " with " << decimals << " decimals";
    }
}

TEST(PdfNumbers, IntegersAndZeroPadding) {
    std::string s;
    AppendInt(s, -42);
    s += ' ';
    AppendZeroPadded(s, 1234, 10);
    s += ' ';
    AppendZeroPadded(s, 12345678901LL, 10);
    EXPECT_EQ(s, "-42 0000001234 12345678901");
}

TEST(PdfNumbers, ParseTakesPlainDecimalsOnly) {
    struct Case {
        const char* text;
        std::optional<double> value;
        const char* rest;
    };
    const Case cases[] = {
        {"  12.5 w", 12.5, " w"}, {"-.25]", -0.25, "]"},        {"+3", 3.0, ""},
        {"5. x", 5.0, " x"},      {"inf", std::nullopt, "inf"}, {"nan", std::nullopt, "nan"},
        {"1e5", 1.0, "e5"},       {"-", std::nullopt, "-"},     {"", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        std::string_view s = c.text;
        EXPECT_EQ(ParseNumber(s), c.value) << c.text;
        EXPECT_EQ(s, c.rest) << c.text;
    }
    std::string_view big = "99999999999 0";
    EXPECT_EQ(ParseInt(big), 2147483647);
    std::string_view negative = " -17 0 R";
    EXPECT_EQ(ParseInt(negative), -17);
    EXPECT_EQ(negative, " 0 R");
}

// Every number reads as the correctly rounded double of its text, short or long, as strtod gives it.
TEST(PdfNumbers, ParsedValuesAreTheCorrectlyRoundedOnes) {
    std::vector<std::string> texts = {"0",     "-0",    "5.",        ".5",      "0.1",     "0.3",
                                      "1e5",   "123456789012345", "1234567890123456", "9007199254740993",
                                      "0.000000000000000000000001", "0.1000000000000000055511151231257827",
                                      "00000000000000000000012.5", "-74.610367", "555.583496"};
    std::mt19937_64 random(3);
    char text[64];
    for (int i = 0; i < 20000; ++i) {
        const double value = std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 60));
        std::snprintf(text, sizeof text, "%.*f", static_cast<int>(random() % 12), value);
        texts.emplace_back(text);
    }
    for (const std::string& t : texts) {
        std::string_view rest = t;
        const std::optional<double> parsed = ParseNumber(rest);
        ASSERT_TRUE(parsed.has_value()) << t;
        const std::size_t used = t.size() - rest.size();
        EXPECT_EQ(*parsed, std::strtod(t.substr(0, used).c_str(), nullptr)) << t;
        EXPECT_EQ(std::signbit(*parsed), t[0] == '-') << t;
    }
}

} // namespace
} // namespace pq
