// The fundamental root of det(K - lambda M) = 0 of the normalised system, found
// by watching the determinant's sign.
#pragma once

#include <cmath>

// Whether two values count as a sign change: not when either is zero, always
// when either is not a number. Decided from the sign bits themselves, so two
// tiny values whose product would underflow still count.
inline bool signs_differ(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) return true;
    if (a == 0 || b == 0) return false;
    return std::signbit(a) != std::signbit(b);
}

// Determinant of K - eigen*M and the number of pivot sign changes, with one
// line in the determinant log. Works inside the band that half_bandwidth
// gives wherever that yields the same bits as whole rows; with half_bandwidth
// 0 it always works on whole rows.
void evaluate_determinant();

// Steps lambda geometrically to the first sign change, halves the bracket, and
// reports the fundamental frequency.
void search_fundamental();
