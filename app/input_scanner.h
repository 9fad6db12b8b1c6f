// Reading the answers: a number is the longest prefix of the input that forms
// one, and whatever follows it stays for the next question, as with the
// classic formatted-input conversions. Unlike them, no words for infinity or
// not-a-number, no hexadecimal forms and no undefined overflow.
#pragma once

#include <cstddef>
#include <cstdio>

enum class scan_result {
    value,         // a number (or word) was read
    not_a_number,  // the next token is no number; it has been discarded
    out_of_range,  // a number whose value does not fit; it has been consumed
    end_of_input,  // nothing but white space was left
};

// Starts reading answers from source, forgetting any look-ahead.
void begin_input(std::FILE *source);

// Optional sign and decimal digits, into a 32-bit integer.
scan_result scan_int(int &value);

// Optional sign, digits with at most one decimal point, optional exponent;
// the value is the correctly rounded double.
scan_result scan_real(double &value);

// One white-space delimited word. A word that does not fit in capacity - 1
// characters is consumed whole, its first characters kept, and reported as
// out_of_range.
scan_result scan_word(char *word, std::size_t capacity);
