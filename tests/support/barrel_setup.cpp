#include "tests/support/barrel_setup.h"

#include "model/barrel_model.h"
#include "model/constants.h"
#include "beam/beam_model.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

fresh_model::fresh_model(const char *stream_path)
{
    std::memset(&barrel_model, 0, sizeof barrel_model);
    barrel_model.element_count = ELEMENT_COUNT;
    for (std::FILE **stream : {&barrel_model.report_file, &barrel_model.matrix_file, &barrel_model.log_file})
        *stream = stream_path ? std::fopen(stream_path, "w") : std::tmpfile();
}

fresh_model::~fresh_model()
{
    for (std::FILE *file : {barrel_model.report_file, barrel_model.matrix_file, barrel_model.log_file})
        if (file) std::fclose(file);
    std::memset(&barrel_model, 0, sizeof barrel_model);
}

void load_barrel(const barrel_case &shape)
{
    barrel_record &m = barrel_model;
    m.bc_type = shape.bc_type;
    m.profile = shape.profile;
    m.material = shape.material;
    m.modulus = STEELS[shape.material - 1].modulus;
    m.density = STEELS[shape.material - 1].density;
    m.diameter_h = shape.h, m.diameter_a = shape.a, m.diameter_b = shape.b;
    m.diameter_c = shape.c, m.diameter_d = shape.d;
    m.length_ab = shape.ab, m.length_bc = shape.bc, m.length_cd = shape.cd;
    m.total_length = (m.length_cd + m.length_bc) + m.length_ab;
}

void build_beam()
{
    for (void (*stage)() : {discretize_barrel, build_element_mass, build_element_stiffness, assemble_system})
        if (!barrel_model.run_ended) stage();  // as the driver runs them
}
