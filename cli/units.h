// The units a barrel file is written in. The analysis works in inch, pound
// and second; a file with units = "mm" gives lengths in millimetres, masses
// in kilograms, inertias in kg·mm², springs in N/mm and N·mm/rad, a custom
// steel's modulus in MPa and its density in kg/m³, and gets its results
// back in the same units.
#pragma once

#include "analysis/modal_analysis.h"

#include <string>

namespace cli {

enum class unit_system { inch, mm };

// Units of a kind of quantity, for messages, reports and axis labels.
const char *length_unit(unit_system units);
const char *mass_unit(unit_system units);

// The unit a path's value is given in ("attachment[0].mass" is a mass).
std::string unit_of(const std::string &path, unit_system units);

// What a number of the file measures.
enum class quantity {
    length,
    mass,
    inertia,          // rotary inertia
    stiffness,        // translational spring
    turning_stiffness,  // rotational spring
    modulus,
    weight_density,   // a steel's, into lb/in³
    pure,             // no unit
};

// A number of the file in the program's units.
double to_program_units(double value, quantity kind, unit_system units);

// The barrel's geometry and attachments in the file's units, for drawing.
analysis::barrel to_file_units(analysis::barrel b, unit_system units);

// Lengths, masses and slopes of the results in the file's units; frequencies
// and periods stay as they are.
analysis::analysis_result to_file_units(analysis::analysis_result result, unit_system units);

}  // namespace cli
