// Text of every line the program writes: a literal format with printf-style
// conversions, of which the program uses only %d, %ld, %s and %W.Pg.
#pragma once

#include <cstdarg>
#include <cstddef>

// Longest text one call may produce; a report name is at most 259 characters.
constexpr std::size_t LINE_CAPACITY = 1024;

// Writes value as "%<width>.<precision>g" would, except that an exponent always
// carries a sign and three digits (1e-009) and non-finite values read inf, -inf
// and nan. Returns the length written into out (at least 32 bytes).
std::size_t format_general(char *out, double value, int width, int precision);

// Expands format into out (LINE_CAPACITY bytes); returns the text's length.
std::size_t format_line(char *out, const char *format, std::va_list args);
