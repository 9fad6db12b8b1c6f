// A barrel as the modal analysis sees it: a value that describes the steel,
// the bore, the outside contour, the supports and whatever is attached. Units
// are inch, pound-force and second; masses and inertias are typed in pounds
// and converted with standard gravity.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace analysis {

constexpr double STANDARD_GRAVITY = 386.08858;  // in/s^2: pounds-mass per lbf*s^2/in

struct material {
    double modulus = 0;  // Young's modulus, psi
    double density = 0;  // mass density, lbf*s^2/in^4
    double poisson = 0;  // Poisson's ratio
};

// One of the classic steels by name ("416R", "4140"); nothing if unknown.
std::optional<material> named_steel(const std::string &name);

// A point of the outside contour: x from the breech face, outside diameter.
struct contour_point {
    double x = 0;
    double diameter = 0;
};

enum class support_kind { free, clamped, pinned, springs };

// An end of the barrel. Springs stand for an action or a bedding.
struct support {
    support_kind kind = support_kind::free;
    double translational = 0;  // lbf/in, springs only
    double rotational = 0;     // lbf*in/rad, springs only
};

// A rigid body fixed to the barrel: muzzle device, tuner, sight block.
struct attachment {
    std::string name;
    std::optional<double> at;  // x of the attachment point; none: the muzzle, wherever it is
    double mass = 0;           // lb
    double inertia = 0;        // lb*in^2, about its own centre of gravity, transverse axis
    double overhang = 0;       // in, its centre of gravity ahead of the attachment point
};

struct barrel {
    double bore = 0;                     // groove diameter, constant; 0 is a solid rod
    std::vector<contour_point> contour;  // x non-decreasing; two points at one x make a step
    material steel;
    support breech{support_kind::clamped};
    support muzzle{support_kind::free};
    std::vector<attachment> attachments;
};

// A barrel that cannot exist: negative or zero length, a contour going
// backwards, no wall, a negative mass, an attachment off the barrel.
class invalid_barrel : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The muzzle's x: the last contour point's.
double barrel_length(const barrel &b);

// Where an attachment's point is: its own x, or the muzzle.
double attachment_point(const barrel &b, const attachment &a);

// Throws invalid_barrel with a message that names what is wrong.
void check_barrel(const barrel &b);

// The outside diameter at x, linear between contour points; at a step, the
// diameter after it when after_step, before it otherwise.
double outside_diameter(const barrel &b, double x, bool after_step = true);

// The barrel cut at the muzzle end to length: the contour ends there with its
// diameter interpolated; attachments without an explicit point move with the
// muzzle. Throws invalid_barrel for an attachment whose point lies beyond.
barrel cut_to_length(const barrel &b, double length);

}  // namespace analysis
