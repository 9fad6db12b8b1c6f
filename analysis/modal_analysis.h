// Modal analysis of a barrel: the lowest elastic bending modes with their
// frequencies, shapes and nodes, and the barrel's mass and balance. Values
// in, values out: no state, no I/O.
#pragma once

#include "analysis/barrel.h"
#include "analysis/finite_elements.h"

#include <array>
#include <vector>

namespace analysis {

struct analysis_options {
    int modes = 3;
    beam_theory theory = beam_theory::euler_bernoulli;
    int elements = 0;    // 0: the program chooses, for 1e-7 in every frequency asked for
    bool shapes = true;  // shapes and nodes; without them only frequencies
};

struct mode {
    double frequency = 0;  // Hz
    double period = 0;     // ms
    std::vector<std::array<double, 3>> shape;  // (x, displacement, slope) at the nodes, max |w| = 1
    std::vector<double> nodes;                 // interior zeros of the displacement, inches from the breech
    double muzzle_displacement = 0, muzzle_slope = 0;
};

struct barrel_properties {
    double length = 0;             // in
    double mass = 0;               // lb, the steel alone
    double attached_mass = 0;      // lb
    double center_of_gravity = 0;  // in from the breech, steel and attachments
};

struct analysis_result {
    beam_theory theory = beam_theory::euler_bernoulli;
    int elements = 0;
    double estimated_error = 0;  // relative, the largest over the modes
    int rigid_body_modes = 0;
    barrel_properties barrel;
    std::vector<mode> modes;
};

// Throws invalid_barrel when the barrel cannot exist.
analysis_result analyze(const barrel &b, const analysis_options &options);

barrel_properties properties_of(const barrel &b);

// The lowest elastic eigenvalues (rad^2/s^2) of the barrel on a mesh of about
// elements elements, in the real type Real: the core of analyze, open to
// tests and benchmarks that compare it with other solvers.
template <class Real>
std::vector<Real> elastic_eigenvalues(const barrel &b, beam_theory theory, int elements, int modes);

}  // namespace analysis
