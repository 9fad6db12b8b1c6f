#include "platform/file_names.h"

#include "platform/platform.h"

#include <algorithm>

bool same_file_name(const std::string &a, const std::string &b)
{
    if constexpr (!WINDOWS_BUILD) return a == b;
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](unsigned char x, unsigned char y) { return lower(x) == lower(y); });
}
