#include "input_scanner.h"

#include <charconv>
#include <string>

namespace {

// The longest look-ahead a number needs is "e+" after its digits: both must
// stay unread when no exponent digit follows.
constexpr int LOOKAHEAD = 4;

struct {
    std::FILE *source;
    int pending[LOOKAHEAD];  // characters read from source but not yet consumed
    int pending_count;
} input;

int peek(int offset = 0)
{
    while (input.pending_count <= offset) input.pending[input.pending_count++] = std::getc(input.source);
    return input.pending[offset];
}

int take()
{
    int c = peek();
    for (int i = 1; i < input.pending_count; ++i) input.pending[i - 1] = input.pending[i];
    --input.pending_count;
    return c;
}

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool is_digit(int c) { return c >= '0' && c <= '9'; }

// Skips white space; false at the end of the input.
bool skip_blanks()
{
    while (is_blank(peek())) take();
    return peek() != EOF;
}

void discard_token()
{
    while (peek() != EOF && !is_blank(peek())) take();
}

// Moves characters into text while they are digits.
void take_digits(std::string &text)
{
    while (is_digit(peek())) text.push_back(static_cast<char>(take()));
}

// Takes an optional sign into text, leaving out '+', which the conversion
// does not accept.
void take_sign(std::string &text)
{
    if (peek() == '+') take();
    else if (peek() == '-') text.push_back(static_cast<char>(take()));
}

}  // namespace

void begin_input(std::FILE *source)
{
    input.source = source;
    input.pending_count = 0;
}

scan_result scan_int(int &value)
{
    if (!skip_blanks()) return scan_result::end_of_input;
    int sign_length = peek() == '+' || peek() == '-';
    if (!is_digit(peek(sign_length))) {
        discard_token();
        return scan_result::not_a_number;
    }
    std::string text;
    take_sign(text);
    take_digits(text);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? scan_result::value : scan_result::out_of_range;
}

scan_result scan_real(double &value)
{
    if (!skip_blanks()) return scan_result::end_of_input;
    int sign_length = peek() == '+' || peek() == '-';
    int first = peek(sign_length);
    bool starts_number = is_digit(first) || (first == '.' && is_digit(peek(sign_length + 1)));
    if (!starts_number) {
        discard_token();
        return scan_result::not_a_number;
    }
    std::string text;
    take_sign(text);
    take_digits(text);
    if (peek() == '.') {
        text.push_back(static_cast<char>(take()));
        take_digits(text);
    }
    if (peek() == 'e' || peek() == 'E') {
        int exponent_sign_length = peek(1) == '+' || peek(1) == '-';
        if (is_digit(peek(1 + exponent_sign_length))) {
            text.push_back(static_cast<char>(take()));
            if (peek() == '-' || peek() == '+') text.push_back(static_cast<char>(take()));
            take_digits(text);
        }
    }
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? scan_result::value : scan_result::out_of_range;
}

scan_result scan_word(char *word, std::size_t capacity)
{
    if (!skip_blanks()) return scan_result::end_of_input;
    std::size_t length = 0;
    bool fits = true;
    while (peek() != EOF && !is_blank(peek())) {
        int c = take();
        if (length + 1 < capacity) word[length++] = static_cast<char>(c);
        else fits = false;
    }
    word[length] = '\0';
    return fits ? scan_result::value : scan_result::out_of_range;
}
