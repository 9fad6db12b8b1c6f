#include "analysis/modal_analysis.h"

#include "analysis/band_eigensolver.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

constexpr double TARGET_ERROR = 1e-7;  // relative, in every frequency

// Hermite elements converge as the fourth power of the element length. The
// Timoshenko element holds the shear strain constant along each element, so
// its frequencies converge only as the square, and it needs finer meshes.
int convergence_rate(beam_theory theory) { return theory == beam_theory::timoshenko ? 2 : 4; }

// Past these, round-off in the factors outgrows what refinement gains.
int most_elements(beam_theory theory) { return theory == beam_theory::timoshenko ? 1600 : 400; }

struct solution {
    mesh grid;
    beam_system<double> system;
    std::vector<eigenpair<double>> pairs;
};

solution solve(const barrel &b, beam_theory theory, int elements, int modes)
{
    solution s;
    s.grid = build_mesh(b, elements);
    s.system = assemble<double>(b, s.grid, theory);
    auto energy = [&](const std::vector<double> &x) { return strain_energy(b, s.grid, theory, s.system, x); };
    s.pairs = lowest_eigenpairs<double>(s.system.stiffness, s.system.mass, s.system.rigid_body_modes, modes, energy);
    return s;
}

double frequency_of(double eigenvalue) { return std::sqrt(std::max(eigenvalue, 0.0)) / (2 * pi()); }

// Relative error of the frequencies on a mesh, from the same problem on half
// as many elements: with errors falling as the rate-th power of the element
// length, the finer answer is off by the change over 2^rate - 1.
double richardson_error(const solution &fine, const solution &coarse, int rate)
{
    double worst = 0;
    for (std::size_t i = 0; i < fine.pairs.size(); ++i) {
        const double f = frequency_of(fine.pairs[i].value), g = frequency_of(coarse.pairs[i].value);
        worst = std::max(worst, std::fabs(f - g) / (((1 << rate) - 1) * f));
    }
    return worst;
}

// Displacement inside element e at xi, from its own interpolation.
double displacement_in(const solution &s, const barrel &b, beam_theory theory, const std::vector<double> &full,
                       std::size_t e, double xi)
{
    const element_geometry &g = s.grid.elements[e];
    const element_interpolation<double> f(xi, g.length, shear_parameter(b, g, theory));
    double w = 0;
    for (int i = 0; i < 4; ++i) w += f.w[i] * full[2 * e + i];
    return w;
}

mode shape_of(const solution &s, const barrel &b, beam_theory theory, const std::vector<double> &x)
{
    const std::size_t nodes = s.grid.node_x.size();
    std::vector<double> full(2 * nodes, 0.0);
    for (std::size_t r = 0; r < s.system.free_dof.size(); ++r) full[s.system.free_dof[r]] = x[r];
    // Largest displacement 1, muzzle moving the positive way (or, with the
    // muzzle held, the largest displacement positive).
    std::size_t largest = 0;
    for (std::size_t k = 0; k < nodes; ++k)
        if (std::fabs(full[2 * k]) > std::fabs(full[2 * largest])) largest = k;
    const double muzzle = full[2 * (nodes - 1)];
    double scale = std::fabs(full[2 * largest]);
    if (muzzle < 0 || (muzzle == 0 && full[2 * largest] < 0)) scale = -scale;
    for (double &value : full) value /= scale;

    mode result;
    for (std::size_t k = 0; k < nodes; ++k) result.shape.push_back({s.grid.node_x[k], full[2 * k], full[2 * k + 1]});
    result.muzzle_displacement = full[2 * (nodes - 1)];
    result.muzzle_slope = full[2 * (nodes - 1) + 1];

    // Nodes: sign changes of the displacement, sampled finely within each
    // element and then found by bisection. Values within round-off of zero
    // count as zero, so that a held end is not taken for a node.
    const double tiny = 1e-9;
    auto sign_of = [&](double w) { return w > tiny ? 1 : (w < -tiny ? -1 : 0); };
    int last_sign = 0;
    double last_x = 0;
    for (std::size_t e = 0; e < s.grid.elements.size(); ++e) {
        const element_geometry &g = s.grid.elements[e];
        constexpr int SAMPLES = 8;
        for (int j = 0; j <= SAMPLES; ++j) {
            const double xi = double(j) / SAMPLES, w = displacement_in(s, b, theory, full, e, xi);
            const int sign = sign_of(w);
            if (sign != 0 && last_sign != 0 && sign != last_sign) {
                double lo = (last_x - g.x0) / g.length, hi = xi;
                if (lo < 0) lo = 0;  // the change began in the element before, at its end
                for (int step = 0; step < 60; ++step) {
                    const double mid = 0.5 * (lo + hi);
                    (sign_of(displacement_in(s, b, theory, full, e, mid)) == last_sign ? lo : hi) = mid;
                }
                result.nodes.push_back(g.x0 + 0.5 * (lo + hi) * g.length);
            }
            if (sign != 0) {
                last_sign = sign;
                last_x = g.x0 + xi * g.length;
            }
        }
    }
    return result;
}

}  // namespace

barrel_properties properties_of(const barrel &b)
{
    barrel_properties p;
    p.length = barrel_length(b);
    double moment = 0;
    // Mass and first moment of each linear segment, by Gauss points: area is
    // quadratic in x, its moment cubic.
    for (std::size_t i = 1; i < b.contour.size(); ++i) {
        const contour_point &a = b.contour[i - 1], &c = b.contour[i];
        const double length = c.x - a.x;
        for (std::size_t g = 0; g < GAUSS_POINTS.size(); ++g) {
            const double xi = GAUSS_POINTS[g], x = a.x + xi * length;
            const double d = a.diameter + (c.diameter - a.diameter) * xi;
            const double mass = GAUSS_WEIGHTS[g] * length * section_at(b, d, beam_theory::euler_bernoulli).rho_a;
            p.mass += mass;
            moment += mass * x;
        }
    }
    p.mass *= STANDARD_GRAVITY;
    moment *= STANDARD_GRAVITY;
    for (const attachment &a : b.attachments) {
        p.attached_mass += a.mass;
        moment += a.mass * (attachment_point(b, a) + a.overhang);
    }
    p.center_of_gravity = moment / (p.mass + p.attached_mass);
    return p;
}

template <class Real>
std::vector<Real> elastic_eigenvalues(const barrel &b, beam_theory theory, int elements, int modes)
{
    const mesh grid = build_mesh(b, elements);
    const beam_system<Real> system = assemble<Real>(b, grid, theory);
    auto energy = [&](const std::vector<Real> &x) { return strain_energy(b, grid, theory, system, x); };
    std::vector<Real> values;
    for (const eigenpair<Real> &p :
         lowest_eigenpairs<Real>(system.stiffness, system.mass, system.rigid_body_modes, modes, energy))
        values.push_back(p.value);
    return values;
}

template std::vector<double> elastic_eigenvalues<double>(const barrel &, beam_theory, int, int);
template std::vector<long double> elastic_eigenvalues<long double>(const barrel &, beam_theory, int, int);

analysis_result analyze(const barrel &b, const analysis_options &options)
{
    check_barrel(b);
    if (options.modes < 1) throw invalid_barrel("at least one mode must be asked for");
    analysis_result result;
    result.theory = options.theory;
    result.barrel = properties_of(b);
    result.rigid_body_modes = rigid_body_modes(b);

    // The mesh: as asked, or refined until the estimate meets the target,
    // the convergence rate telling how far to refine.
    const int rate = convergence_rate(options.theory), most = most_elements(options.theory);
    int elements = options.elements > 0 ? options.elements : std::max(32, 16 * (options.modes + 1));
    solution fine = solve(b, options.theory, elements, options.modes);
    double error = richardson_error(fine, solve(b, options.theory, std::max(1, elements / 2), options.modes), rate);
    while (options.elements == 0 && error > TARGET_ERROR && elements < most) {
        const double factor = std::pow(error / (0.5 * TARGET_ERROR), 1.0 / rate);
        elements = std::min(most, static_cast<int>(std::ceil(elements * std::max(factor, 1.25))));
        fine = solve(b, options.theory, elements, options.modes);
        error = richardson_error(fine, solve(b, options.theory, elements / 2, options.modes), rate);
    }
    result.elements = static_cast<int>(fine.grid.elements.size());
    result.estimated_error = error;

    for (const eigenpair<double> &p : fine.pairs) {
        // Numbers past the range of a double (a modulus of 1e300, say) can
        // leave no finite frequency: that barrel has no answer to give.
        if (!(std::isfinite(p.value) && p.value > 0)) throw invalid_barrel("the model gave no finite frequency");
        mode m = options.shapes ? shape_of(fine, b, options.theory, p.vector) : mode{};
        m.frequency = frequency_of(p.value);
        m.period = 1000 / m.frequency;
        result.modes.push_back(std::move(m));
    }
    return result;
}

}  // namespace analysis
