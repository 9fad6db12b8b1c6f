#include "analysis/finite_elements.h"

#include <algorithm>

namespace analysis {

mesh build_mesh(const barrel &b, int target_elements)
{
    const double length = barrel_length(b);
    std::vector<double> points;
    for (const contour_point &p : b.contour) points.push_back(p.x);
    for (const attachment &a : b.attachments) points.push_back(attachment_point(b, a));
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());

    const double spacing = length / target_elements;
    mesh result;
    result.node_x.push_back(points.front());
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double from = points[i - 1], to = points[i];
        const int count = std::max(1, static_cast<int>(std::lround((to - from) / spacing)));
        for (int k = 1; k <= count; ++k) {
            const double x0 = result.node_x.back();
            const double x1 = k == count ? to : from + (to - from) * k / count;
            // Just past x0 the contour point at x0 starts a new segment: the
            // diameter after a step; just before x1, the one before a step.
            result.elements.push_back({x0, x1 - x0, outside_diameter(b, x0, true), outside_diameter(b, x1, false)});
            result.node_x.push_back(x1);
        }
    }
    return result;
}

int rigid_body_modes(const barrel &b)
{
    // A rigid motion w = a + b x meets three kinds of restraint: w held at
    // the breech (a), w held at the muzzle (a + bL), a rotation held at
    // either end (b). Any two kinds remove both parameters.
    bool breech_w = false, muzzle_w = false, rotation = false;
    auto restrain = [&](const support &s, bool &w) {
        const bool springs = s.kind == support_kind::springs;
        w = w || s.kind == support_kind::pinned || s.kind == support_kind::clamped || (springs && s.translational > 0);
        rotation = rotation || s.kind == support_kind::clamped || (springs && s.rotational > 0);
    };
    restrain(b.breech, breech_w);
    restrain(b.muzzle, muzzle_w);
    return 2 - std::min(2, breech_w + muzzle_w + rotation);
}

}  // namespace analysis
