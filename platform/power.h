// Whole powers for the section properties and the element stiffness, from
// the C library's pow, called at run time: the compiler may not turn a
// square into a product, since the two can differ in the last bit, and the
// printed digits depend on every bit. On Windows, where MinGW's pow differs
// from glibc's in a quarter of all cubes, the powers are computed rounded
// once from exact products, which is what glibc's pow gives in all but about
// one case in a thousand.
#pragma once

// x to the power n, for n from 2 to 4.
double whole_power(double x, int n);

// x to the power n (2, 3 or 4) rounded once, from exact products of doubles.
// Where the intermediate products would overflow or leave the normal range,
// it falls back on the library's pow.
double correctly_rounded_power(double x, int n);
