#include "cli/units.h"

namespace cli {

namespace {

constexpr double INCH = 25.4;                    // mm
constexpr double POUND = 0.45359237;             // kg
constexpr double POUND_FORCE = 4.4482216152605;  // N

}  // namespace

double to_program_units(double value, quantity kind, unit_system units)
{
    if (units == unit_system::inch) return value;
    switch (kind) {
    case quantity::length: return value / INCH;
    case quantity::mass: return value / POUND;
    case quantity::inertia: return value / (POUND * INCH * INCH);
    case quantity::stiffness: return value * INCH / POUND_FORCE;
    case quantity::turning_stiffness: return value / (POUND_FORCE * INCH);
    case quantity::modulus: return value * INCH * INCH / POUND_FORCE;  // N/mm² to lbf/in²
    case quantity::weight_density: return value / POUND * 1e-9 * INCH * INCH * INCH;  // kg/m³ to lb/in³
    case quantity::pure: return value;
    }
    return value;
}

const char *length_unit(unit_system units) { return units == unit_system::mm ? "mm" : "in"; }
const char *mass_unit(unit_system units) { return units == unit_system::mm ? "kg" : "lb"; }

std::string unit_of(const std::string &path, unit_system units)
{
    auto ends = [&](const char *tail) {
        const std::string t = tail;
        return path.size() >= t.size() && path.compare(path.size() - t.size(), t.size(), t) == 0;
    };
    const bool mm = units == unit_system::mm;
    if (ends("mass")) return mass_unit(units);
    if (ends("inertia")) return mm ? "kg·mm²" : "lb·in²";
    if (ends("translational")) return mm ? "N/mm" : "lbf/in";
    if (ends("rotational")) return mm ? "N·mm/rad" : "lbf·in/rad";
    if (ends("modulus")) return mm ? "MPa" : "psi";
    if (ends("density")) return mm ? "kg/m³" : "lb/in³";
    if (ends("poisson")) return "";
    return length_unit(units);
}

analysis::barrel to_file_units(analysis::barrel b, unit_system units)
{
    const double f = units == unit_system::mm ? INCH : 1;
    b.bore *= f;
    for (analysis::contour_point &p : b.contour) p.x *= f, p.diameter *= f;
    for (analysis::attachment &a : b.attachments) {
        if (a.at) *a.at *= f;
        a.overhang *= f;
        if (units == unit_system::mm) a.mass *= POUND;
    }
    return b;
}

analysis::analysis_result to_file_units(analysis::analysis_result r, unit_system units)
{
    if (units == unit_system::inch) return r;
    r.barrel.length *= INCH;
    r.barrel.center_of_gravity *= INCH;
    r.barrel.mass *= POUND;
    r.barrel.attached_mass *= POUND;
    for (analysis::mode &m : r.modes) {
        for (auto &point : m.shape) point[0] *= INCH, point[2] /= INCH;  // slope per unit of length
        for (double &node : m.nodes) node *= INCH;
        m.muzzle_slope /= INCH;
    }
    return r;
}

}  // namespace cli
