#include "barrel_setup.h"

#include "app/barrel_model.h"
#include "app/dialogue.h"
#include "beam/beam_model.h"

#include <initializer_list>

void load_barrel(const barrel_spec &spec)
{
    barrel_record &m = barrel_model;
    m.bc_type = spec.bc_type;
    m.profile = spec.profile;
    m.material = spec.material;
    m.modulus = STEELS[spec.material - 1].modulus;
    m.density = STEELS[spec.material - 1].density;
    m.diameter_h = spec.h, m.diameter_a = spec.a, m.diameter_b = spec.b;
    m.diameter_c = spec.c, m.diameter_d = spec.d;
    m.length_ab = spec.ab, m.length_bc = spec.bc, m.length_cd = spec.cd;
    m.total_length = (m.length_cd + m.length_bc) + m.length_ab;
}

void build_beam()
{
    for (void (*stage)() : {discretize_barrel, build_element_mass, build_element_stiffness, assemble_system})
        if (!barrel_model.run_ended) stage();  // as the driver runs them
}
