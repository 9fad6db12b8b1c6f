#include "model/text_format.h"

#include <cmath>
#include <cstdio>
#include <cstring>

std::size_t format_general(char *out, double value, int width, int precision)
{
    char text[40];
    if (std::isnan(value))
        std::strcpy(text, "nan");  // never "-nan": the sign of a NaN means nothing here
    else if (std::isinf(value))
        std::strcpy(text, value < 0 ? "-inf" : "inf");
    else {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (char *e = std::strchr(text, 'e')) {
            char *digits = e + 2;  // past the exponent's sign
            std::size_t count = std::strlen(digits);
            if (count < 3) {
                std::memmove(digits + (3 - count), digits, count + 1);
                std::memset(digits, '0', 3 - count);
            }
        }
    }
    std::size_t length = std::strlen(text);
    std::size_t pad = width > 0 && length < static_cast<std::size_t>(width) ? width - length : 0;
    std::memset(out, ' ', pad);
    std::memcpy(out + pad, text, length + 1);
    return pad + length;
}

std::size_t format_line(char *out, const char *format, std::va_list args)
{
    std::size_t used = 0;
    auto append = [&](const char *text, std::size_t length) {
        if (length > LINE_CAPACITY - 1 - used) length = LINE_CAPACITY - 1 - used;
        std::memcpy(out + used, text, length);
        used += length;
    };
    for (const char *p = format; *p;) {
        if (*p != '%') {
            const char *next = std::strchr(p, '%');
            std::size_t length = next ? static_cast<std::size_t>(next - p) : std::strlen(p);
            append(p, length);
            p += length;
            continue;
        }
        ++p;
        int width = 0, precision = -1;  // -1: none given
        bool is_long = false;
        while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
        if (*p == '.')
            for (precision = 0, ++p; *p >= '0' && *p <= '9';) precision = precision * 10 + (*p++ - '0');
        if (*p == 'l') is_long = true, ++p;
        if (*p == '\0') break;
        char field[64];
        switch (*p) {
        case 'd': {
            std::size_t length = is_long ? std::snprintf(field, sizeof field, "%ld", va_arg(args, long))
                             : std::snprintf(field, sizeof field, "%d", va_arg(args, int));
            append(field, length);
            break;
        }
        case 'g':
            append(field, format_general(field, va_arg(args, double), width, precision < 0 ? 6 : precision));
            break;
        case 's': {
            const char *text = va_arg(args, const char *);
            std::size_t length = std::strlen(text);
            append(text, precision >= 0 && length > static_cast<std::size_t>(precision) ? precision : length);
            break;
        }
        default:  // "%%" and anything unknown stand for themselves
            append(p, 1);
            break;
        }
        ++p;
    }
    out[used] = '\0';
    return used;
}
