// Constants that every part of the program shares: the two steels of the
// material menu and pi.
#pragma once

#include <cmath>

// The two steels the material menu offers, in its order.
struct steel {
    const char *name;  // as a barrel file names it
    double modulus;    // psi
    double density;    // lbf*s^2/in^4: weight density divided by 386
    double poisson;    // Poisson's ratio, for the shear modulus
};
constexpr steel STEELS[] = {
    {"416R", 29000000.0, 0.00073049, 0.28},  // 1: 416R stainless steel
    {"4140", 29700000.0, 0.00073568, 0.29},  // 2: 4140 chrome moly steel
};

// Pi to double precision, taken from the arc tangent as the formulas expect.
inline double pi() { return 4.0 * std::atan(1.0); }
