// Barrels for in-process tests and benchmarks: the model filled as the
// dialogue would leave it, without typing.
#pragma once

struct barrel_case {
    int bc_type;  // 1 free-free, 2 breech fixed
    int profile;  // 2 or 3 tapers
    int material; // 1 or 2
    double h, a, b, c, d;  // diameters, inches
    double ab, bc, cd;     // lengths, inches
};

// The barrel of the examples: a straight 24-inch tube, 1.0 outside, 0.3 bore,
// 416R stainless.
constexpr barrel_case reference_barrel(int bc_type) { return {bc_type, 2, 1, 0.3, 1.0, 1.0, 1.0, 0, 6, 18, 0}; }

// Fills the choices, material, dimensions and total length of the model.
void load_barrel(const barrel_case &shape);

// Runs the beam stages: discretisation, element matrices and assembly, each
// only while the run has not ended.
void build_beam();
