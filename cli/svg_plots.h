// Pictures as self-contained SVG 1.1: the barrel with its mode shapes, and
// the frequencies of a sweep against what it varied.
#pragma once

#include "analysis/modal_analysis.h"
#include "cli/designs.h"
#include "cli/units.h"

#include <string>
#include <vector>

namespace cli {

// The barrel to scale (outside contour and bore, attachments as boxes,
// supports as symbols) and, below it, each mode's shape over the barrel's
// length with its nodes marked and its frequency.
// Both in the program's units; the picture is labelled in units.
std::string barrel_plot(const analysis::barrel &b, const analysis::analysis_result &result, unit_system units);

// One varied path: every frequency against it, a panel a mode. Two: f1
// against the first, one curve for each value of the second.
std::string sweep_plot(const std::vector<varied_path> &varied, const std::vector<design_outcome> &outcomes,
                       int modes, unit_system units);

}  // namespace cli
