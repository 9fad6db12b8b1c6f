#include "app/input_scanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Runs one conversion per letter of script over input and renders each result:
// d = integer, f = real, w = word of up to 259 characters, W = word of up to 7.
std::vector<std::string> scan_all(const std::string &input, const std::string &script)
{
    std::FILE *source = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), source);
    std::rewind(source);
    begin_input(source);
    std::vector<std::string> results;
    for (char conversion : script) {
        char text[300] = "";
        int integer = 0;
        double real = 0;
        scan_result result;
        if (conversion == 'd') {
            result = scan_int(integer);
            std::snprintf(text, sizeof text, "=%d", integer);
        } else if (conversion == 'f') {
            result = scan_real(real);
            std::snprintf(text, sizeof text, "=%.17g", real);
        } else {
            result = scan_word(text + 1, conversion == 'w' ? 260 : 8);
            text[0] = '=';
        }
        switch (result) {
        case scan_result::value: results.push_back(text); break;
        case scan_result::not_a_number: results.push_back("not a number"); break;
        case scan_result::trailing_text: results.push_back(std::string("glued ") + last_token()); break;
        case scan_result::decimal_comma: results.push_back(std::string("comma ") + last_token()); break;
        case scan_result::out_of_range: results.push_back(conversion == 'W' ? std::string("long") + text : "range"); break;
        case scan_result::end_of_input: results.push_back("end"); break;
        }
    }
    std::fclose(source);
    return results;
}

struct scan_case {
    std::string input;
    std::string script;
    std::vector<std::string> expected;
};

const std::string ONE_WITH_400_ZEROS = "1" + std::string(400, '0') + "e-400";

const scan_case SCAN_CASES[] = {
    {"  42\n", "dd", {"=42", "end"}},
    {"\n\n\n  3", "d", {"=3"}},                            // line ends are blanks
    {"-7 +8", "dd", {"=-7", "=8"}},
    {"1.5 2", "dd", {"glued 1.5", "=2"}},                  // refused whole at a menu
    {"2.0 2", "dd", {"glued 2.0", "=2"}},
    {"1.5", "f", {"=1.5"}},
    {"abc 5", "dd", {"not a number", "=5"}},               // the token goes, the rest stays
    {"- 5", "dd", {"not a number", "=5"}},
    {".5 3", "dd", {"not a number", "=3"}},
    {"99999999999 2", "dd", {"range", "=2"}},
    {"2147483647 -2147483648", "dd", {"=2147483647", "=-2147483648"}},
    {"inf nan 0x10 3", "ffff", {"not a number", "not a number", "glued 0x10", "=3"}},
    {".5 -.25 5. +1e3 2E-2", "fffff", {"=0.5", "=-0.25", "=5", "=1000", "=0.02"}},
    {"1e 7", "ff", {"glued 1e", "=7"}},
    {"1e+x 2", "ff", {"glued 1e+x", "=2"}},
    {"1e-5x", "f", {"glued 1e-5x"}},
    {"0.3in 1", "ff", {"glued 0.3in", "=1"}},
    {"0,3 ,5 1,000 1,2,3 0,3in", "fffff", {"comma 0,3", "comma ,5", "comma 1,000", "glued 1,2,3", "glued 0,3in"}},
    {"0,3 4", "dd", {"glued 0,3", "=4"}},                  // a menu takes no fractions at all
    {". - +.e1", "fff", {"not a number", "not a number", "not a number"}},
    {"1e999 2", "ff", {"range", "=2"}},
    {"1e999x", "f", {"glued 1e999x"}},
    {"12abc", "f", {"glued 12abc"}},
    {"1.2.3", "f", {"glued 1.2.3"}},
    {"0.1", "f", {"=0.10000000000000001"}},                // correctly rounded
    {ONE_WITH_400_ZEROS, "f", {"=1"}},
    {"0.3\t1.0\r\n6", "fff", {"=0.29999999999999999", "=1", "=6"}},
    {"", "dfw", {"end", "end", "end"}},
    {"  report.txt rest", "www", {"=report.txt", "=rest", "end"}},
    {"abcdefghij x", "WW", {"long=abcdefg", "=x"}},
};

TEST(InputScanner, TakesEachAnswerAsAWholeToken)
{
    for (const scan_case &c : SCAN_CASES)
        EXPECT_EQ(scan_all(c.input, c.script), c.expected) << "input \"" << c.input << "\"";
}

TEST(InputScanner, ConsumesAHugeTokenWhole)
{
    std::string input(1 << 20, 'z');
    input += " 7";
    EXPECT_EQ(scan_all(input, "dd"), (std::vector<std::string>{"not a number", "=7"}));
    EXPECT_EQ(scan_all(std::string(10000, '9') + " 1", "ff"), (std::vector<std::string>{"range", "=1"}));
    EXPECT_EQ(scan_all("0." + std::string(10000, '0') + "1 1", "ff"), (std::vector<std::string>{"range", "=1"}));
}

}  // namespace
