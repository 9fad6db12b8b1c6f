// Reading the answers. An answer is a whole token, a maximal run of non-blank
// characters: a number glued to anything else ("0.3in", "0,3", "1.5" at a
// menu) is refused where it was typed rather than read in part, which would
// leave the rest to be misread as the answer to the next question. Tokens
// typed ahead on one line feed the following questions in turn. No words for
// infinity or not-a-number, no hexadecimal forms and no undefined overflow.
#pragma once

#include <cstddef>
#include <cstdio>

enum class scan_result {
    value,           // a number (or word) was read
    not_a_number,    // the token does not begin like a number
    trailing_text,   // the token begins with a number but goes on with other characters
    decimal_comma,   // the token would be a number with its one comma written as a point
    out_of_range,    // a number whose value does not fit
    end_of_input,    // nothing but white space was left
};

// Starts reading answers from source.
void begin_input(std::FILE *source);

// The token the last scan consumed, for messages that quote it.
const char *last_token();

// Optional sign and decimal digits, into a 32-bit integer.
scan_result scan_int(int &value);

// Optional sign, digits with at most one decimal point, optional exponent;
// the value is the correctly rounded double.
scan_result scan_real(double &value);

// One word. A word that does not fit in capacity - 1 characters has its first
// characters kept and is reported as out_of_range.
scan_result scan_word(char *word, std::size_t capacity);
