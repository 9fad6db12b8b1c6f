// The analysis library against references that share no code with it: the
// closed-form roots of the uniform beam, the tip-mass frequency equation,
// the Timoshenko closed form for a simply supported beam, a tapered tube
// integrated as a differential equation, and LAPACK on the same matrices.
#include "analysis/modal_analysis.h"
#include "tests/support/lapack_band.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

using namespace analysis;

namespace {

const double PI = 4.0 * std::atan(1.0);

// The classic reference tube: 24 in, 1.0 outside, 0.3 bore, 416R.
barrel tube(double length = 24, support breech = {support_kind::clamped}, support muzzle = {})
{
    barrel b;
    b.bore = 0.3;
    b.contour = {{0, 1.0}, {length, 1.0}};
    b.steel = *named_steel("416R");
    b.breech = breech;
    b.muzzle = muzzle;
    return b;
}

double area_of(const barrel &b) { return PI / 4 * (1.0 - b.bore * b.bore); }
double inertia_of(const barrel &b) { return PI / 64 * (1.0 - std::pow(b.bore, 4)); }

// Frequency in Hz of a uniform Euler-Bernoulli beam for the root beta*L.
double uniform_frequency(const barrel &b, double beta_l)
{
    const double length = barrel_length(b);
    return beta_l * beta_l / (length * length) * std::sqrt(b.steel.modulus * inertia_of(b) / (b.steel.density * area_of(b))) /
           (2 * PI);
}

struct closed_form_case {
    const char *name;
    support breech, muzzle;
    std::vector<double> beta_l;       // roots of the frequency equation, modes 1 to 5
    std::size_t nodes_of_mode_one;    // each higher mode has one more
    int mode_with_nodes;              // a mode whose nodes are checked (from 1)
    std::vector<double> node_ratios;  // its nodes, as fractions of the length
};

const closed_form_case CLOSED_FORM_CASES[] = {
    {"clamped-free",
     {support_kind::clamped},
     {support_kind::free},
     {1.87510406871196, 4.69409113297418, 7.85475743823761, 10.9955407348755, 14.1371683910465},
     0,
     2,
     {0.7834}},
    {"free-free",
     {support_kind::free},
     {support_kind::free},
     {4.73004074486270, 7.85320462409584, 10.9956078380017, 14.1371654912575, 17.2787596573995},
     2,
     1,
     {0.2242, 0.7758}},
    {"pinned-pinned", {support_kind::pinned}, {support_kind::pinned}, {PI, 2 * PI, 3 * PI, 4 * PI, 5 * PI}, 0, 3,
     {1.0 / 3, 2.0 / 3}},
};

TEST(ModalAnalysis, UniformTubeMatchesTheClosedFormRootsAndNodes)
{
    for (const closed_form_case &c : CLOSED_FORM_CASES) {
        SCOPED_TRACE(c.name);
        const barrel b = tube(24, c.breech, c.muzzle);
        analysis_options options;
        options.modes = 5;
        const analysis_result result = analyze(b, options);
        ASSERT_EQ(result.modes.size(), 5u);
        for (int i = 0; i < 5; ++i) {
            const double expected = uniform_frequency(b, c.beta_l[i]);
            EXPECT_NEAR(result.modes[i].frequency, expected, 1e-6 * expected) << "mode " << i + 1;
            EXPECT_EQ(result.modes[i].nodes.size(), c.nodes_of_mode_one + i) << "mode " << i + 1;
        }
        const std::vector<double> &nodes = result.modes[c.mode_with_nodes - 1].nodes;
        ASSERT_EQ(nodes.size(), c.node_ratios.size());
        for (std::size_t k = 0; k < nodes.size(); ++k) EXPECT_NEAR(nodes[k] / 24, c.node_ratios[k], 5e-5);
        EXPECT_LE(result.estimated_error, 1e-7);
    }
}

TEST(ModalAnalysis, RigidBodyModesAreCountedFromTheSupportsAndLeftOut)
{
    const support free{}, pinned{support_kind::pinned}, clamped{support_kind::clamped};
    const support rotation_spring{support_kind::springs, 0, 1e5}, both_springs{support_kind::springs, 1e5, 1e5};
    const struct {
        support breech, muzzle;
        int rigid;
    } cases[] = {{free, free, 2}, {pinned, free, 1}, {clamped, free, 0}, {pinned, pinned, 0},
                 {rotation_spring, rotation_spring, 1}, {both_springs, free, 0}, {rotation_spring, pinned, 0}};
    for (const auto &c : cases) {
        const barrel b = tube(24, c.breech, c.muzzle);
        EXPECT_EQ(rigid_body_modes(b), c.rigid);
        const analysis_result result = analyze(b, {});
        EXPECT_EQ(result.rigid_body_modes, c.rigid);
        EXPECT_GT(result.modes[0].frequency, 10.0) << "a rigid-body mode reported as elastic";
    }
}

// A cantilever carrying a tip mass equal to its own: the roots lambda^2 of
// 1 + cos cosh + mu lambda (cos sinh - sin cosh) = 0 with mu = 1.
TEST(ModalAnalysis, TipMassEqualToTheBeamsOwnMatchesItsFrequencyEquation)
{
    barrel b = tube();
    const double beam_mass = b.steel.density * area_of(b) * 24 * STANDARD_GRAVITY;  // lb
    b.attachments.push_back({"tip", std::nullopt, beam_mass, 0, 0});
    const analysis_result result = analyze(b, {});
    const double lambda_squared[] = {1.557298, 16.25009, 50.89584};
    for (int i = 0; i < 3; ++i) {
        const double expected = uniform_frequency(b, std::sqrt(lambda_squared[i]));
        EXPECT_NEAR(result.modes[i].frequency, expected, 2e-6 * expected) << "mode " << i + 1;
    }
    EXPECT_DOUBLE_EQ(result.barrel.attached_mass, beam_mass);
    EXPECT_NEAR(result.barrel.center_of_gravity, (12 + 24) / 2.0, 1e-12);
    EXPECT_NEAR(result.barrel.mass, beam_mass, 1e-12 * beam_mass);
}

// A short, thick tube simply supported at both ends, where shear and rotary
// inertia matter: for wave number k = n pi / L the Timoshenko frequencies
// solve (rho I rho A / kGA) w^4 - (rho A + rho I k^2 + EI rho A k^2 / kGA) w^2
// + EI k^4 = 0.
TEST(ModalAnalysis, TimoshenkoPinnedPinnedMatchesTheClosedForm)
{
    const barrel b = tube(6, {support_kind::pinned}, {support_kind::pinned});
    analysis_options options;
    options.theory = beam_theory::timoshenko;
    const analysis_result result = analyze(b, options);
    const double e = b.steel.modulus, nu = b.steel.poisson, rho = b.steel.density, a = area_of(b), i = inertia_of(b);
    const double m = b.bore, m2 = (1 + m * m) * (1 + m * m);
    const double k_shear = 6 * (1 + nu) * m2 / ((7 + 6 * nu) * m2 + (20 + 12 * nu) * m * m);
    const double kga = k_shear * e / (2 * (1 + nu)) * a;
    for (int n = 1; n <= 3; ++n) {
        const double k = n * PI / 6;
        const double qa = rho * i * rho * a / kga, qb = rho * a + rho * i * k * k + e * i * rho * a * k * k / kga;
        const double qc = e * i * std::pow(k, 4);
        const double omega2 = (qb - std::sqrt(qb * qb - 4 * qa * qc)) / (2 * qa);
        const double expected = std::sqrt(omega2) / (2 * PI);
        EXPECT_NEAR(result.modes[n - 1].frequency, expected, 1e-5 * expected) << "mode " << n;
        EXPECT_LT(result.modes[n - 1].frequency, uniform_frequency(b, n * PI)) << "shear must soften the beam";
    }
}

// The tapered tube as a differential equation, integrated by fourth-order
// Runge-Kutta: state (w, w', EI w'', (EI w'')'), clamped at the breech; the
// frequencies are where the moment and shear at the free muzzle can both
// vanish.
std::vector<double> tapered_cantilever_frequencies(const barrel &b, int modes)
{
    const double length = barrel_length(b);
    auto section = [&](double x) {
        const double d = outside_diameter(b, x), h = b.bore;
        return std::pair<double, double>{b.steel.modulus * PI / 64 * (std::pow(d, 4) - std::pow(h, 4)),
                                         b.steel.density * PI / 4 * (d * d - h * h)};
    };
    auto end_determinant = [&](double omega) {
        double ends[2][2];
        for (int start = 0; start < 2; ++start) {
            std::array<double, 4> y = {0, 0, start == 0 ? 1.0 : 0.0, start == 1 ? 1.0 : 0.0};
            const int steps = 4000;
            const double h = length / steps;
            auto slope = [&](double x, const std::array<double, 4> &s) {
                const auto [ei, rho_a] = section(x);
                return std::array<double, 4>{s[1], s[2] / ei, s[3], rho_a * omega * omega * s[0]};
            };
            for (int i = 0; i < steps; ++i) {
                const double x = i * h;
                auto add = [](const std::array<double, 4> &s, const std::array<double, 4> &d, double f) {
                    return std::array<double, 4>{s[0] + f * d[0], s[1] + f * d[1], s[2] + f * d[2], s[3] + f * d[3]};
                };
                const auto k1 = slope(x, y), k2 = slope(x + h / 2, add(y, k1, h / 2));
                const auto k3 = slope(x + h / 2, add(y, k2, h / 2)), k4 = slope(x + h, add(y, k3, h));
                for (int j = 0; j < 4; ++j) y[j] += h / 6 * (k1[j] + 2 * k2[j] + 2 * k3[j] + k4[j]);
            }
            ends[start][0] = y[2];
            ends[start][1] = y[3];
        }
        return ends[0][0] * ends[1][1] - ends[1][0] * ends[0][1];
    };
    std::vector<double> frequencies;
    double previous = end_determinant(1.0);
    for (double omega = 1.0; frequencies.size() < static_cast<std::size_t>(modes); omega *= 1.02) {
        const double next = end_determinant(omega * 1.02);
        if ((previous < 0) != (next < 0)) {
            double lo = omega, hi = omega * 1.02;
            for (int i = 0; i < 60; ++i) {
                const double mid = 0.5 * (lo + hi);
                ((end_determinant(mid) < 0) == (previous < 0) ? lo : hi) = mid;
            }
            frequencies.push_back(0.5 * (lo + hi) / (2 * PI));
        }
        previous = next;
    }
    return frequencies;
}

TEST(ModalAnalysis, TaperedTubeMatchesAnIntegrationOfTheBeamEquation)
{
    barrel b = tube();
    b.contour = {{0, 1.2}, {26, 0.7}};
    const analysis_result result = analyze(b, {});
    const std::vector<double> expected = tapered_cantilever_frequencies(b, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(result.modes[i].frequency, expected[i], 1e-6 * expected[i]) << "mode " << i + 1;
}

// The same matrices given to LAPACK's banded solver, and the same model
// computed in long double. LAPACK reduces the problem to standard form, whose
// eigenvalues carry an absolute error of about eps times the largest one: on
// 200 elements that is some 1e-5 of the lowest. The library's eigenvalues
// agree with the long double ones far below that.
TEST(ModalAnalysis, EigenvaluesAgreeWithLapackAndWithLongDouble)
{
    barrel b = tube(26);
    b.contour = {{0, 1.2}, {3, 1.2}, {26, 0.75}};
    b.attachments.push_back({"suppressor", std::nullopt, 0.9, 3.8, 3.5});
    for (support_kind breech : {support_kind::clamped, support_kind::free}) {
        b.breech.kind = breech;
        const mesh grid = build_mesh(b, 200);
        const beam_system<double> system = assemble<double>(b, grid, beam_theory::euler_bernoulli);
        const std::vector<double> ours = elastic_eigenvalues<double>(b, beam_theory::euler_bernoulli, 200, 3);
        const std::vector<long double> reference =
            elastic_eigenvalues<long double>(b, beam_theory::euler_bernoulli, 200, 3);
        const int first = system.rigid_body_modes + 1;
        const std::vector<double> lapack = lapack_band_eigenvalues(system.stiffness, system.mass, first, first + 2);
        ASSERT_EQ(lapack.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(ours[i], lapack[i], 1e-4 * lapack[i]) << "mode " << i + 1;
            EXPECT_NEAR(ours[i], static_cast<double>(reference[i]), 1e-10 * ours[i]) << "mode " << i + 1;
        }
    }
}

TEST(ModalAnalysis, ShapesAreNormalisedWithTheMuzzleMovingUp)
{
    analysis_options options;
    options.modes = 4;
    for (support_kind muzzle : {support_kind::free, support_kind::pinned}) {
        const analysis_result result = analyze(tube(24, {support_kind::clamped}, {muzzle}), options);
        for (const mode &m : result.modes) {
            double largest = 0, signed_largest = 0;
            for (const auto &point : m.shape)
                if (std::fabs(point[1]) > largest) largest = std::fabs(point[1]), signed_largest = point[1];
            EXPECT_DOUBLE_EQ(largest, 1.0);
            if (muzzle == support_kind::free) EXPECT_GT(m.muzzle_displacement, 0);
            else EXPECT_GT(signed_largest, 0);
            EXPECT_EQ(m.shape.front()[0], 0);
            EXPECT_EQ(m.shape.back()[0], 24);
        }
    }
}

}  // namespace

namespace {

// SI data of the published benchmarks, in the library's inch-pound units.
constexpr double METRE = 1 / 0.0254;                      // inches
constexpr double PASCAL = 1 / 6894.757293168;             // psi
constexpr double KILOGRAM = 1 / 0.45359237;               // pounds
constexpr double KG_PER_M3 = KILOGRAM / (METRE * METRE * METRE) / STANDARD_GRAVITY;  // lbf*s^2/in^4

// Within one unit of the reference's last printed digit.
void expect_to_the_digit(double actual, double reference, double last_digit)
{
    EXPECT_LT(std::fabs(actual - reference), last_digit) << actual << " against " << reference;
}

// Code_Aster SDLL15 (AFNOR SDLL15/89): a 10 m steel tube, 350 mm outside,
// 15 mm wall, clamped, with a 1000 kg point mass at its free end.
TEST(PublishedBenchmarks, CantileverTubeWithATonAtItsEnd)
{
    barrel b;
    b.bore = 0.320 * METRE;
    b.contour = {{0, 0.350 * METRE}, {10 * METRE, 0.350 * METRE}};
    b.steel = {2.1e11 * PASCAL, 7800 * KG_PER_M3, 0.3};
    b.attachments.push_back({"mass", std::nullopt, 1000 * KILOGRAM, 0, 0});
    analysis_options options;
    options.modes = 4;
    const analysis_result result = analyze(b, options);
    const struct {
        double hz, last_digit;
    } reference[] = {{1.65, 0.01}, {16.07, 0.01}, {50.02, 0.01}, {103.2, 0.1}};
    for (int i = 0; i < 4; ++i) expect_to_the_digit(result.modes[i].frequency, reference[i].hz, reference[i].last_digit);
}

// Code_Aster SDLL09 (AFNOR SDLL09/89): a 1 m cantilever of solid square
// section tapering linearly from 40 mm to 10 mm, E = 200 GPa, 7800 kg/m^3.
// Any solid section that scales the same way along the beam has frequencies
// in the ratio of the square roots of its I/A: a cone's are sqrt(12/16) of
// the square's.
TEST(PublishedBenchmarks, TaperedCantileverScaledToACone)
{
    barrel b;
    b.bore = 0;
    b.contour = {{0, 0.040 * METRE}, {1 * METRE, 0.010 * METRE}};
    b.steel = {2.0e11 * PASCAL, 7800 * KG_PER_M3, 0.3};
    analysis_options options;
    options.modes = 5;
    const analysis_result result = analyze(b, options);
    const double square[] = {54.18, 171.94, 384.40, 697.24, 1112.28};
    for (int i = 0; i < 5; ++i) {
        const double expected = square[i] * std::sqrt(12.0 / 16);
        EXPECT_NEAR(result.modes[i].frequency, expected, 1e-3 * expected) << "mode " << i + 1;
    }
}

}  // namespace
