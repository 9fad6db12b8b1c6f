// Barrels for in-process tests and benchmarks: the model filled as the
// dialogue would leave it, without typing.
#pragma once

#include "model/barrel_model.h"

struct barrel_case {
    int bc_type;  // BC_FREE_FREE or BC_BREECH_FIXED
    int profile;  // PROFILE_TWO_TAPER or PROFILE_THREE_TAPER
    int material; // MATERIAL_416R or MATERIAL_4140
    double h, a, b, c, d;  // diameters, inches
    double ab, bc, cd;     // lengths, inches
};

// The barrel of the examples: a straight 24-inch tube, 1.0 outside, 0.3 bore,
// 416R stainless unless another steel is named.
constexpr barrel_case reference_barrel(int bc_type, int material = MATERIAL_416R)
{
    return {bc_type, PROFILE_TWO_TAPER, material, 0.3, 1.0, 1.0, 1.0, 0, 6, 18, 0};
}

// A zeroed model for the life of this object, with the run's element count
// and its three streams in temporary files, or all three opened on
// stream_path; closes them and zeroes the model again when it goes. One at a
// time: the model is program-wide.
class fresh_model {
public:
    explicit fresh_model(const char *stream_path = nullptr);
    ~fresh_model();
    fresh_model(const fresh_model &) = delete;
    fresh_model &operator=(const fresh_model &) = delete;
};

// Fills the choices, material, dimensions and total length of the model.
void load_barrel(const barrel_case &shape);

// Runs the beam stages: discretisation, element matrices and assembly, each
// only while the run has not ended.
void build_beam();
