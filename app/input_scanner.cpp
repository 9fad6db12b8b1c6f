#include "app/input_scanner.h"

#include <charconv>
#include <string>

namespace {

struct {
    std::FILE *source;
    std::string token;  // the last token read, whole
} input;

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads the next token into input.token, consuming the blank that ends it;
// false at the end of the input.
bool read_token()
{
    input.token.clear();
    int c;
    while ((c = std::getc(input.source)) != EOF && is_blank(c)) {
    }
    while (c != EOF && !is_blank(c)) {
        input.token.push_back(static_cast<char>(c));
        c = std::getc(input.source);
    }
    return !input.token.empty();
}

std::size_t digits_from(const std::string &text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && is_digit(text[end])) ++end;
    return end - at;
}

std::size_t sign_length(const std::string &text, std::size_t at)
{
    return at < text.size() && (text[at] == '+' || text[at] == '-') ? 1 : 0;
}

// Length of the longest prefix of text that forms an integer: optional sign,
// then digits. 0 when there is none.
std::size_t integer_prefix(const std::string &text)
{
    std::size_t sign = sign_length(text, 0);
    std::size_t digits = digits_from(text, sign);
    return digits ? sign + digits : 0;
}

// The same for a real: optional sign, digits with at most one decimal point
// (at least one digit), then e or E with an optional sign and digits.
std::size_t real_prefix(const std::string &text)
{
    std::size_t at = sign_length(text, 0);
    std::size_t whole = digits_from(text, at);
    at += whole;
    std::size_t fraction = 0;
    if (at < text.size() && text[at] == '.') {
        fraction = digits_from(text, at + 1);
        if (whole || fraction) at += 1 + fraction;
    }
    if (!whole && !fraction) return 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t sign = sign_length(text, at + 1);
        std::size_t exponent = digits_from(text, at + 1 + sign);
        if (exponent) at += 1 + sign + exponent;
    }
    return at;
}

// Converts a whole token that has the number syntax. from_chars takes no '+'.
template <class Number>
scan_result convert(const std::string &text, Number &value)
{
    const char *first = text.data() + (text[0] == '+' ? 1 : 0);
    auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? scan_result::value : scan_result::out_of_range;
}

// Why a token that is not a number as a whole was refused.
scan_result refusal(std::size_t number_prefix) { return number_prefix ? scan_result::trailing_text : scan_result::not_a_number; }

}  // namespace

void begin_input(std::FILE *source)
{
    input.source = source;
    input.token.clear();
}

const char *last_token() { return input.token.c_str(); }

scan_result scan_int(int &value)
{
    if (!read_token()) return scan_result::end_of_input;
    std::size_t prefix = integer_prefix(input.token);
    if (prefix != input.token.size()) return refusal(prefix);
    return convert(input.token, value);
}

scan_result scan_real(double &value)
{
    if (!read_token()) return scan_result::end_of_input;
    const std::string &token = input.token;
    std::size_t prefix = real_prefix(token);
    if (prefix == token.size()) return convert(token, value);
    std::size_t comma = token.find(',');
    if (comma != std::string::npos && token.find(',', comma + 1) == std::string::npos) {
        std::string pointed = token;
        pointed[comma] = '.';
        if (real_prefix(pointed) == pointed.size()) return scan_result::decimal_comma;
    }
    return refusal(prefix);
}

scan_result scan_word(char *word, std::size_t capacity)
{
    if (!read_token()) return scan_result::end_of_input;
    std::size_t length = input.token.copy(word, capacity - 1);
    word[length] = '\0';
    return length == input.token.size() ? scan_result::value : scan_result::out_of_range;
}
