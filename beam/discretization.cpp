// The barrel as a stepped beam: equal elements, each with the constant section
// found at its centre on the piecewise-linear outside profile, less the bore.
#include "beam/beam_model.h"

#include "model/barrel_model.h"
#include "model/constants.h"
#include "model/run_output.h"
#include "platform/power.h"

void discretize_barrel()
{
    barrel_record &m = barrel_model;
    // Element tables hold MAX_ELEMENTS, and 2 * count + 2 degrees of freedom
    // must fit the square stores.
    if (m.element_count < 1 || m.element_count > MAX_ELEMENTS || 2 * m.element_count + 2 > MAX_DOF) {
        end_run(EXIT_BARREL, "\n The barrel cannot be divided into %d elements. \n", m.element_count);
        return;
    }
    const double le = m.total_length / m.element_count;
    m.element_length = le;
    const double q4 = pi() * 0.25;       // area of a circle per diameter squared
    const double q64 = pi() * 0.015625;  // second moment per diameter to the 4th

    const double ab = m.length_ab, bc = m.length_bc, cd = m.length_cd;
    for (int e = 0; e < m.element_count; ++e) {
        double diameter = 0;  // a station that no segment covers keeps 0 and fails the wall check
        const double x = e * le + le * 0.5;
        // A station on a joint takes the later segment: each test that holds overwrites.
        if (x >= 0 && x <= ab) {
            double r = x / ab;
            diameter = m.diameter_a * (1.0 - r) + m.diameter_b * r;
        }
        if (x >= ab && (bc + ab) >= x) {
            double r = (x - ab) / bc;
            diameter = m.diameter_b * (1.0 - r) + m.diameter_c * r;
        }
        if ((bc + ab) <= x && ((cd + bc) + ab) >= x && m.profile == PROFILE_THREE_TAPER) {
            double r = ((x - ab) - bc) / cd;
            diameter = m.diameter_d * r + m.diameter_c * (1.0 - r);
        }
        m.station_diameter[e] = diameter;

        if (!(diameter > m.diameter_h)) {  // equal to the bore, or not a number
            end_run(EXIT_BARREL, "\n diameter error \n");
            return;
        }
        const double h = m.diameter_h;
        m.station_area[e] = (whole_power(diameter, 2) - whole_power(h, 2)) * q4;
        m.station_inertia[e] = (whole_power(diameter, 4) - whole_power(h, 4)) * q64;
        m.total_mass = m.station_area[e] * m.density * le + m.total_mass;
    }
    file_print(m.report_file, " total_mass=%8.4g lbm\n", m.total_mass * 386);
}
