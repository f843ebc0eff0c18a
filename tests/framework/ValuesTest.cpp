#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "framework/Values.h"

namespace {

const double kInf = std::numeric_limits<double>::infinity();

struct ValCase {
    const char* text;
    double expected;
};

TEST(Val, ReadsTheLongestLeadingNumber) {
    const ValCase cases[] = {
        {"50", 50},       {"  -12.5x", -12.5}, {"+3", 3},      {"0.5", 0.5},       {".5", 0.5},
        {"5.", 5},        {"1e3", 1000},       {"1E-2s", 0.01}, {"2e", 2},          {"2e+", 2},
        {"7 8", 7},       {"", 0},             {"abc", 0},      {"-", 0},           {".", 0},
        {"inf", 0},       {"nan", 0},          {"0x10", 0},     {"\t42", 42},       {"1e999", kInf},
        {"-1e999", -kInf}, {"1e-999", 0},      {"100", 100},    {"-100", -100},
    };
    for (const auto& c : cases) EXPECT_EQ(fw::Val(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Val, IgnoresTheLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale on this machine";
    EXPECT_EQ(fw::Val("0.5"), 0.5);
    EXPECT_EQ(fw::Val("0,5"), 0);
    EXPECT_EQ(fw::Str(-12.5), "-12.5");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(Str, GivesTheShortestTextThatReadsBack) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},         {-0.0, "0"},         {0.3, "0.3"},      {-12.5, "-12.5"},   {2.5e21, "2.5e+21"},
        {1e20, "100000000000000000000"}, {12.7, "12.7"}, {0.1 + 0.2, "0.30000000000000004"},
        {1e-7, "0.0000001"}, {1.5e-8, "1.5e-08"}, {kInf, "inf"},  {-kInf, "-inf"},
        {std::nan(""), "nan"}, {214748364.7, "214748364.7"},
    };
    for (const auto& c : cases) EXPECT_EQ(fw::Str(c.value), c.text) << c.value;
    for (double v : {1.0 / 3, 6.02214076e23, -2.2250738585072014e-308, 123456.789})
        EXPECT_EQ(fw::Val(fw::Str(v)), v);
}

TEST(Pow, SquaresExactlyAndDelegatesTheRest) {
    for (double d : {3.0, 0.1, -1e200, 1e-200, 149600000.0}) EXPECT_EQ(fw::Pow(d, 2), d * d);
    EXPECT_EQ(fw::Pow(10, 8), 1e8);
    EXPECT_EQ(fw::Pow(10, -8), std::pow(10.0, -8.0));
    EXPECT_EQ(fw::Sqrt(9), 3);
    EXPECT_TRUE(std::isnan(fw::Sqrt(-1)));
}

TEST(DoubleToInteger, TruncatesAndSaturates) {
    const struct {
        double value;
        std::int32_t expected;
    } cases[] = {
        {2.9, 2},           {-2.9, -2},          {0.0, 0},          {std::nan(""), 0},
        {kInf, 2147483647}, {-kInf, -2147483647 - 1}, {3e9, 2147483647}, {-3e9, -2147483647 - 1},
        {2147483646.5, 2147483646}, {-2147483648.0, -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(fw::DoubleToInteger(c.value), c.expected) << c.value;
    EXPECT_EQ(fw::IntegerToDouble(-7), -7.0);
}

}  // namespace
