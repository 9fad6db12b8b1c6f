#include "analysis/barrel.h"

#include "model/constants.h"

#include <cmath>

namespace analysis {

namespace {

std::string text(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

void check_support(const support &s, const char *end)
{
    if (s.kind != support_kind::springs) return;
    if (!(s.translational >= 0) || !(s.rotational >= 0) || !std::isfinite(s.translational) ||
        !std::isfinite(s.rotational))
        throw invalid_barrel(std::string("the springs at the ") + end + " must be finite and not negative");
}

}  // namespace

std::optional<material> named_steel(const std::string &name)
{
    for (const steel &s : STEELS)
        if (name == s.name) return material{s.modulus, s.density, s.poisson};
    return std::nullopt;
}

double barrel_length(const barrel &b) { return b.contour.empty() ? 0 : b.contour.back().x; }

double attachment_point(const barrel &b, const attachment &a) { return a.at ? *a.at : barrel_length(b); }

void check_barrel(const barrel &b)
{
    if (b.contour.size() < 2) throw invalid_barrel("the contour needs at least two points");
    if (!(b.bore >= 0) || !std::isfinite(b.bore)) throw invalid_barrel("the bore must be a number of zero or more");
    if (b.contour.front().x != 0)
        throw invalid_barrel("the contour must start at the breech face, x = 0 (it starts at " +
                             text(b.contour.front().x) + ")");
    for (std::size_t i = 0; i < b.contour.size(); ++i) {
        const contour_point &p = b.contour[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.diameter))
            throw invalid_barrel("contour point " + std::to_string(i) + " is not a finite number");
        if (i > 0 && p.x < b.contour[i - 1].x)
            throw invalid_barrel("the contour goes backwards at point " + std::to_string(i) + " (x = " +
                                 text(p.x) + " after " + text(b.contour[i - 1].x) + ")");
        if (!(p.diameter > b.bore))
            throw invalid_barrel("the wall is no thicker than the bore at contour point " + std::to_string(i) +
                                 " (x = " + text(p.x) + ", diameter " + text(p.diameter) + ", bore " +
                                 text(b.bore) + ")");
    }
    const double length = barrel_length(b);
    if (!(length > 0)) throw invalid_barrel("the barrel has no length");
    const material &m = b.steel;
    if (!(m.modulus > 0) || !std::isfinite(m.modulus)) throw invalid_barrel("the modulus must be positive");
    if (!(m.density > 0) || !std::isfinite(m.density)) throw invalid_barrel("the density must be positive");
    if (!(m.poisson > -1 && m.poisson < 0.5)) throw invalid_barrel("Poisson's ratio must lie between -1 and 0.5");
    check_support(b.breech, "breech");
    check_support(b.muzzle, "muzzle");
    for (std::size_t i = 0; i < b.attachments.size(); ++i) {
        const attachment &a = b.attachments[i];
        const std::string which = "attachment " + std::to_string(i) + (a.name.empty() ? "" : " (" + a.name + ")");
        const double x = attachment_point(b, a);
        if (!(x >= 0 && x <= length))
            throw invalid_barrel(which + " is at x = " + text(x) + ", off the barrel (0 to " + text(length) + ")");
        if (!(a.mass >= 0) || !std::isfinite(a.mass)) throw invalid_barrel(which + " has a negative mass");
        if (!(a.inertia >= 0) || !std::isfinite(a.inertia))
            throw invalid_barrel(which + " has a negative rotary inertia");
        if (!std::isfinite(a.overhang)) throw invalid_barrel(which + " has an overhang that is not a number");
    }
}

double outside_diameter(const barrel &b, double x, bool after_step)
{
    const std::vector<contour_point> &c = b.contour;
    for (std::size_t i = 1; i < c.size(); ++i) {
        const contour_point &p = c[i - 1], &q = c[i];
        const bool inside = after_step ? (x >= p.x && x < q.x) : (x > p.x && x <= q.x);
        if (inside && q.x > p.x) return p.diameter + (q.diameter - p.diameter) * ((x - p.x) / (q.x - p.x));
    }
    return x <= c.front().x ? c.front().diameter : c.back().diameter;
}

barrel cut_to_length(const barrel &b, double length)
{
    if (!(length > 0) || !(length <= barrel_length(b)))
        throw invalid_barrel("the barrel can only be cut to a length between 0 and " + text(barrel_length(b)));
    barrel cut = b;
    cut.contour.clear();
    for (const contour_point &p : b.contour)
        if (p.x < length) cut.contour.push_back(p);
    cut.contour.push_back({length, outside_diameter(b, length, false)});
    for (const attachment &a : cut.attachments)
        if (a.at && *a.at > length)
            throw invalid_barrel("attachment " + (a.name.empty() ? std::string("without a name") : a.name) +
                                 " at x = " + text(*a.at) + " lies beyond the cut at " + text(length));
    return cut;
}

}  // namespace analysis
