// The barrel as beam elements: a mesh with a node at every contour point and
// attachment point, Hermite cubic elements whose section is integrated along
// the element (a linear diameter makes area and second moment polynomials in
// x), and the assembled, constrained mass and stiffness matrices in band form.
//
// Degrees of freedom: node k carries 2k (displacement w) and 2k+1 (rotation of
// the section, radians). For Euler-Bernoulli the rotation is the slope w'.
// For Timoshenko the element takes the interdependent interpolation of
// Friedman and Kosmatka (1993), exact for a uniform element in statics, with
// shear (Cowper's coefficient for a hollow circle) and rotary inertia.
//
// Everything numeric is a template on the real type, so that a long double
// model of the same mesh can serve as a reference.
#pragma once

#include "analysis/barrel.h"
#include "model/constants.h"

#include <array>
#include <cmath>
#include <vector>

namespace analysis {

enum class beam_theory { euler_bernoulli, timoshenko };

// One element: its place and the outside diameter at its two ends.
struct element_geometry {
    double x0 = 0, length = 0;
    double diameter0 = 0, diameter1 = 0;
};

struct mesh {
    std::vector<double> node_x;
    std::vector<element_geometry> elements;  // element e joins nodes e and e+1
};

// About target elements of near-equal length, with a node at every contour
// point and every attachment point; at least one element between two of them.
mesh build_mesh(const barrel &b, int target_elements);

// Symmetric band matrix, lower half: entry(i, k) is A(i, i - k), k = 0..3.
template <class Real>
struct band_matrix {
    static constexpr int HALF_BANDWIDTH = 3;
    static constexpr int WIDTH = HALF_BANDWIDTH + 1;
    int n = 0;
    std::vector<Real> entries;

    explicit band_matrix(int order = 0) : n(order), entries(static_cast<std::size_t>(order) * WIDTH, Real(0)) {}
    Real &entry(int i, int k) { return entries[static_cast<std::size_t>(i) * WIDTH + k]; }
    Real entry(int i, int k) const { return entries[static_cast<std::size_t>(i) * WIDTH + k]; }
    // A(i, j) for |i - j| <= 3.
    Real at(int i, int j) const { return i >= j ? entry(i, i - j) : entry(j, j - i); }
};

// Section and material at one point of an element.
struct section {
    double ei, ga_shear, rho_a, rho_i;  // EI, kGA, rho*A, rho*I
};

inline section section_at(const barrel &b, double diameter, beam_theory theory)
{
    const double d2 = diameter * diameter, h2 = b.bore * b.bore;
    const double area = pi() / 4 * (d2 - h2), inertia = pi() / 64 * (d2 * d2 - h2 * h2);
    const material &m = b.steel;
    section s{m.modulus * inertia, 0, m.density * area, 0};
    if (theory == beam_theory::timoshenko) {
        const double r = b.bore / diameter, r2 = (1 + r * r) * (1 + r * r), nu = m.poisson;
        const double shear_coefficient = 6 * (1 + nu) * r2 / ((7 + 6 * nu) * r2 + (20 + 12 * nu) * r * r);
        s.ga_shear = shear_coefficient * m.modulus / (2 * (1 + nu)) * area;
        s.rho_i = m.density * inertia;
    }
    return s;
}

// Five-point Gauss-Legendre on [0, 1]: exact to degree 9, more than the
// products of section properties (degree 4) and shape functions need.
constexpr std::array<double, 5> GAUSS_POINTS = {
    0.046910077030668004, 0.23076534494715845, 0.5, 0.76923465505284155, 0.953089922969332};
constexpr std::array<double, 5> GAUSS_WEIGHTS = {
    0.11846344252809454, 0.23931433524968324, 0.28444444444444444, 0.23931433524968324, 0.11846344252809454};

// The interpolation of one element at xi in [0, 1]: displacement and
// rotation shape functions, the derivative of the rotation (curvature) and the
// shear strain, each as coefficients of (w0, theta0, w1, theta1).
template <class Real>
struct element_interpolation {
    std::array<Real, 4> w, theta, curvature, shear;

    element_interpolation(Real xi, Real length, Real phi)
    {
        const Real c = 1 / (1 + phi), l = length, x2 = xi * xi, x3 = x2 * xi;
        w = {c * (2 * x3 - 3 * x2 - phi * xi + 1 + phi), c * l * (x3 - (2 + phi / 2) * x2 + (1 + phi / 2) * xi),
             c * (-2 * x3 + 3 * x2 + phi * xi), c * l * (x3 - (1 - phi / 2) * x2 - phi / 2 * xi)};
        theta = {6 * c / l * (x2 - xi), c * (3 * x2 - (4 + phi) * xi + 1 + phi), -6 * c / l * (x2 - xi),
                 c * (3 * x2 - (2 - phi) * xi)};
        curvature = {6 * c / (l * l) * (2 * xi - 1), c / l * (6 * xi - 4 - phi), -6 * c / (l * l) * (2 * xi - 1),
                     c / l * (6 * xi - 2 + phi)};
        shear = {-c * phi / l, -c * phi / 2, c * phi / l, -c * phi / 2};
    }
};

// The shear parameter phi = 12 EI / (kGA l^2) of an element, from its middle.
inline double shear_parameter(const barrel &b, const element_geometry &e, beam_theory theory)
{
    if (theory == beam_theory::euler_bernoulli) return 0;
    const section s = section_at(b, 0.5 * (e.diameter0 + e.diameter1), theory);
    return 12 * s.ei / (s.ga_shear * e.length * e.length);
}

// The constrained system: stiffness and mass in band form over the degrees
// of freedom the supports leave free.
template <class Real>
struct beam_system {
    band_matrix<Real> stiffness, mass;
    std::vector<int> free_dof;  // global degree of freedom of each row
    int rigid_body_modes = 0;
};

// Number of rigid-body modes the supports leave: w = a + b x has two
// parameters, and each restraint (a displacement or a rotation held, by a
// support or a spring) removes one, up to two.
int rigid_body_modes(const barrel &b);

template <class Real>
beam_system<Real> assemble(const barrel &b, const mesh &mesh, beam_theory theory)
{
    const int node_count = static_cast<int>(mesh.node_x.size());
    const int dofs = 2 * node_count;
    band_matrix<Real> k(dofs), m(dofs);
    auto add = [](band_matrix<Real> &a, int i, int j, Real value) {
        if (i >= j) a.entry(i, i - j) += value;
    };
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        const element_geometry &g = mesh.elements[e];
        const Real phi = shear_parameter(b, g, theory), length = g.length;
        std::array<std::array<Real, 4>, 4> ke{}, me{};
        for (std::size_t p = 0; p < GAUSS_POINTS.size(); ++p) {
            const double xi = GAUSS_POINTS[p];
            const section s = section_at(b, g.diameter0 + (g.diameter1 - g.diameter0) * xi, theory);
            const element_interpolation<Real> f(xi, length, phi);
            const Real weight = GAUSS_WEIGHTS[p] * length;
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j) {
                    ke[i][j] += weight * (Real(s.ei) * f.curvature[i] * f.curvature[j] +
                                          Real(s.ga_shear) * f.shear[i] * f.shear[j]);
                    me[i][j] += weight * (Real(s.rho_a) * f.w[i] * f.w[j] + Real(s.rho_i) * f.theta[i] * f.theta[j]);
                }
        }
        const int first = 2 * static_cast<int>(e);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                add(k, first + i, first + j, ke[i][j]);
                add(m, first + i, first + j, me[i][j]);
            }
    }
    for (const attachment &a : b.attachments) {
        const double x = attachment_point(b, a);
        int node = 0;
        while (node + 1 < node_count && std::fabs(mesh.node_x[node + 1] - x) <= std::fabs(mesh.node_x[node] - x))
            ++node;
        const Real mass = a.mass / STANDARD_GRAVITY, inertia = a.inertia / STANDARD_GRAVITY, e = a.overhang;
        m.entry(2 * node, 0) += mass;
        m.entry(2 * node + 1, 1) += mass * e;
        m.entry(2 * node + 1, 0) += mass * e * e + inertia;
    }
    const support *ends[] = {&b.breech, &b.muzzle};
    const int end_nodes[] = {0, node_count - 1};
    std::vector<bool> held(dofs, false);
    for (int side = 0; side < 2; ++side) {
        const support &s = *ends[side];
        const int w = 2 * end_nodes[side];
        if (s.kind == support_kind::clamped || s.kind == support_kind::pinned) held[w] = true;
        if (s.kind == support_kind::clamped) held[w + 1] = true;
        if (s.kind == support_kind::springs) {
            k.entry(w, 0) += s.translational;
            k.entry(w + 1, 0) += s.rotational;
        }
    }
    beam_system<Real> system;
    for (int i = 0; i < dofs; ++i)
        if (!held[i]) system.free_dof.push_back(i);
    const int n = static_cast<int>(system.free_dof.size());
    system.stiffness = band_matrix<Real>(n);
    system.mass = band_matrix<Real>(n);
    for (int r = 0; r < n; ++r)
        for (int c = r; c >= 0 && c >= r - band_matrix<Real>::HALF_BANDWIDTH; --c) {
            const int i = system.free_dof[r], j = system.free_dof[c];
            if (i - j > band_matrix<Real>::HALF_BANDWIDTH) continue;
            system.stiffness.entry(r, r - c) = k.at(i, j);
            system.mass.entry(r, r - c) = m.at(i, j);
        }
    system.rigid_body_modes = rigid_body_modes(b);
    return system;
}

// Twice the strain energy of a displacement vector over the free degrees of
// freedom, summed element by element from curvature and shear strain at the
// Gauss points: a sum of squares, without the cancellation between large
// entries that a product with the assembled stiffness suffers on a fine mesh.
template <class Real>
Real strain_energy(const barrel &b, const mesh &mesh, beam_theory theory, const beam_system<Real> &system,
                   const std::vector<Real> &x)
{
    std::vector<Real> full(2 * mesh.node_x.size(), Real(0));
    for (std::size_t r = 0; r < system.free_dof.size(); ++r) full[system.free_dof[r]] = x[r];
    Real energy = 0;
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        const element_geometry &g = mesh.elements[e];
        const Real phi = shear_parameter(b, g, theory), length = g.length;
        const Real *q = &full[2 * e];
        for (std::size_t p = 0; p < GAUSS_POINTS.size(); ++p) {
            const double xi = GAUSS_POINTS[p];
            const section s = section_at(b, g.diameter0 + (g.diameter1 - g.diameter0) * xi, theory);
            const element_interpolation<Real> f(xi, length, phi);
            Real curvature = 0, shear = 0;
            for (int i = 0; i < 4; ++i) {
                curvature += f.curvature[i] * q[i];
                shear += f.shear[i] * q[i];
            }
            energy += GAUSS_WEIGHTS[p] * length * (Real(s.ei) * curvature * curvature + Real(s.ga_shear) * shear * shear);
        }
    }
    const support *ends[] = {&b.breech, &b.muzzle};
    const std::size_t end_nodes[] = {0, mesh.node_x.size() - 1};
    for (int side = 0; side < 2; ++side)
        if (ends[side]->kind == support_kind::springs) {
            const Real w = full[2 * end_nodes[side]], theta = full[2 * end_nodes[side] + 1];
            energy += Real(ends[side]->translational) * w * w + Real(ends[side]->rotational) * theta * theta;
        }
    return energy;
}

}  // namespace analysis
