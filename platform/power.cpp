#include "platform/power.h"

#include "platform/platform.h"

#include <cmath>

namespace {

struct double_double {
    double high, low;  // value = high + low exactly, |low| below half an ulp of high
};

// Dekker's exact product without fused multiply-add: a * b = high + low.
double_double exact_product(double a, double b)
{
    auto split = [](double value) {
        const double scaled = 134217729.0 * value;  // 2^27 + 1
        const double high = scaled - (scaled - value);
        return double_double{high, value - high};
    };
    const double product = a * b;
    const double_double x = split(a), y = split(b);
    const double error = ((x.high * y.high - product) + x.high * y.low + x.low * y.high) + x.low * y.low;
    return {product, error};
}

}  // namespace

double correctly_rounded_power(double x, int n)
{
    // Dekker's split overflows near the top of the range and the error terms
    // lose bits near the bottom: there the library has to do.
    const double magnitude = std::fabs(x);
    if (!(magnitude > 0x1p-200 && magnitude < 0x1p+200) || n < 2 || n > 4) return std::pow(x, n);
    if (n == 2) return x * x;  // one product, already rounded once
    const double_double square = exact_product(x, x);
    if (n == 3) {
        const double_double cube = exact_product(square.high, x);
        return cube.high + (cube.low + square.low * x);
    }
    const double_double fourth = exact_product(square.high, square.high);
    return fourth.high + (fourth.low + 2.0 * square.high * square.low);
}

double whole_power(double x, int n)
{
    if constexpr (WINDOWS_BUILD) return correctly_rounded_power(x, n);
    return std::pow(x, n);
}
