// The search for the fundamental root. The rigid-body roots of a free barrel
// lie at zero, below the starting value, so the first sign change above it
// belongs to the first elastic mode. Bracketing steps geometrically because
// barrels differ by orders of magnitude; halving then pins the root down to
// far below the four digits reported.
#include "eigen/eigen_search.h"

#include "model/barrel_model.h"
#include "model/constants.h"
#include "model/run_output.h"

namespace {

constexpr double FIRST_TRIAL = 1e-9;
constexpr int BRACKETING_STEPS = 200;  // the last trial value is about 1.1e26
constexpr double GROWTH = 1.5;
constexpr double SHRINK = 0.6666666666666666;  // back to the previous trial value
constexpr int HALVINGS = 50;

// Steps eigen up until the determinant's sign flips; false when it never does.
bool bracket_root(double &lo, double &hi)
{
    barrel_record &m = barrel_model;
    m.eigen = FIRST_TRIAL;
    double previous = 0;
    for (int k = 1; k <= BRACKETING_STEPS && !m.run_ended; ++k) {
        evaluate_determinant();
        if (k > 1 && signs_differ(previous, m.det)) {
            hi = m.eigen;
            lo = m.eigen * SHRINK;
            return true;
        }
        m.eigen = m.eigen * GROWTH;  // rounded at every step, never a fresh power
        previous = m.det;
    }
    return false;
}

// Halves the bracket: each pass tries its lower half first, so when both
// halves would qualify the lower root wins. A pass that finds no change keeps
// the bracket, and the next pass repeats the same trial values.
void refine_root(double lo, double hi)
{
    barrel_record &m = barrel_model;
    for (int pass = 0; pass < HALVINGS && !m.run_ended; ++pass) {
        const double step = (hi - lo) * 0.5;
        m.eigen = lo;
        evaluate_determinant();
        double previous = m.det;
        for (int half = 0; half < 2; ++half) {
            m.eigen = m.eigen + step;
            evaluate_determinant();
            if (signs_differ(previous, m.det)) {
                hi = m.eigen;
                lo = m.eigen - step;
                break;
            }
            previous = m.det;
        }
    }
}

}  // namespace

void search_fundamental()
{
    barrel_record &m = barrel_model;
    double lo = 0, hi = 0;
    if (!bracket_root(lo, hi)) {
        if (m.run_ended) return;
        raise_exit_status(EXIT_BARREL);
        console_print("\n No fundamental frequency was found in the range searched. \n");
        file_print(m.report_file, "\n No fundamental frequency was found in the range searched. \n");
        return;
    }
    refine_root(lo, hi);
    if (m.run_ended) return;  // a failed write cut the halving short: no result
    // The root is the last trial value: the upper end of the final bracket.
    m.fundamental_frequency = std::sqrt(m.scale_ratio * m.eigen) / (2.0 * pi());
    if (!std::isfinite(m.fundamental_frequency)) raise_exit_status(EXIT_BARREL);
    console_print("\n fundamental frequency =%8.4g Hz \n", m.fundamental_frequency);
    file_print(m.report_file, "\n fundamental frequency =%8.4g Hz \n", m.fundamental_frequency);
}
