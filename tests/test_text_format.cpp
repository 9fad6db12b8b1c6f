#include "model/text_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

std::string general(double value, int width)
{
    char text[64];
    format_general(text, value, width, 4);
    return text;
}

std::string line(const char *format, ...)
{
    char text[LINE_CAPACITY];
    std::va_list args;
    va_start(args, format);
    format_line(text, format, args);
    va_end(args);
    return text;
}

struct general_case {
    double value;
    int width;
    const char *expected;
};

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

const general_case GENERAL_CASES[] = {
    {0.0, 8, "       0"},
    {-0.0, 8, "      -0"},
    {24.0, 8, "      24"},
    {4.83712, 8, "   4.837"},
    {156.0, 12, "         156"},
    {-6.5, 12, "        -6.5"},
    {0.0001, 8, "  0.0001"},         // the last value without an exponent
    {0.00001, 8, "  1e-005"},        // two-digit exponent padded to three
    {1e-9, 12, "      1e-009"},      // one-digit exponent padded to three
    {-2.5e-10, 12, "   -2.5e-010"},
    {2.9e7, 8, "2.9e+007"},          // exactly fills the width
    {123456.0, 8, "1.235e+005"},     // wider than the field: no truncation
    {1.5e-300, 8, "1.5e-300"},       // three-digit exponent kept as it is
    {1e100, 12, "      1e+100"},
    {9.99995, 8, "      10"},        // rounding carries into a new digit
    {99999.0, 8, "  1e+005"},        // carry pushes it into exponent form
    {-0.0001234, 8, "-0.0001234"},
    {inf, 8, "     inf"},
    {-inf, 8, "    -inf"},
    {inf, 12, "         inf"},
    {nan, 8, "     nan"},
    {-nan, 12, "         nan"},      // never "-nan"
};

TEST(FormatGeneral, MatchesTheTable)
{
    for (const general_case &c : GENERAL_CASES)
        EXPECT_EQ(general(c.value, c.width), c.expected) << "value " << c.value << " width " << c.width;
}

TEST(FormatLine, ExpandsEveryConversionTheProgramUses)
{
    EXPECT_EQ(line("eigen= %12.4g  det= %12.4g  nzc=%d\n", 1e-9, -3.25e-120, 81),
              "eigen=       1e-009  det=   -3.25e-120  nzc=81\n");
    EXPECT_EQ(line(" j=%ld\n", 5L), " j=5\n");
    EXPECT_EQ(line("\n diagonal term  %d %d equals zero ", 4, 4), "\n diagonal term  4 4 equals zero ");
    EXPECT_EQ(line(" written to file: %s \n", "report.txt"), " written to file: report.txt \n");
    EXPECT_EQ(line("[%.3s]", "abcdef"), "[abc]");
    EXPECT_EQ(line("100%% plain"), "100% plain");
}

TEST(FormatLine, CutsTextThatWouldOverflowTheLine)
{
    std::string long_word(3 * LINE_CAPACITY, 'x');
    std::string text = line("<%s>", long_word.c_str());
    EXPECT_EQ(text.size(), LINE_CAPACITY - 1);
    EXPECT_EQ(text.front(), '<');
}

}  // namespace
