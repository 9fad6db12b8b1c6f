// Hermite-cubic beam elements written in the degrees of freedom displacement
// and rotation times Le, so the coefficient templates are pure numbers and all
// length dependence is one scalar factor per element.
#include "beam/beam_model.h"

#include "model/barrel_model.h"
#include "platform/power.h"

namespace {

// Fills a symmetric 4x4 table from its upper triangle, mirrored so that both
// halves are equal bit for bit.
void fill_symmetric(double (&table)[4][4], const double (&upper)[4][4])
{
    for (int i = 0; i < 4; ++i)
        for (int j = i; j < 4; ++j) table[i][j] = table[j][i] = upper[i][j];
}

}  // namespace

void build_element_mass()
{
    barrel_record &m = barrel_model;
    fill_symmetric(m.mass_template, {{156, 22, 54, -13},
                                     {0, 4, 13, -3},
                                     {0, 0, 156, -22},
                                     {0, 0, 0, 4}});
    const double le = m.element_length;
    for (int e = 0; e < m.element_count; ++e)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)  // the last factor is the double nearest 1/420
                m.element_mass[e][i][j] =
                    m.mass_template[i][j] * m.station_area[e] * m.density * le * 0.002380952380952381;
}

void build_element_stiffness()
{
    barrel_record &m = barrel_model;
    fill_symmetric(m.stiffness_template, {{12, 6, -12, 6},
                                          {0, 4, -6, 2},
                                          {0, 0, 12, -6},
                                          {0, 0, 0, 4}});
    const double le_cubed = whole_power(m.element_length, 3);
    for (int e = 0; e < m.element_count; ++e)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                m.element_stiffness[e][i][j] =
                    (m.modulus * m.stiffness_template[i][j] * m.station_inertia[e]) / le_cubed;
}
