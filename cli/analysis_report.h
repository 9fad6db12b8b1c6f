// What "boreflex analyze" prints: a short text for people, or JSON with
// every number at full precision for scripts.
#pragma once

#include "analysis/modal_analysis.h"
#include "cli/units.h"

#include <string>

namespace cli {

const char *theory_name(analysis::beam_theory theory);

// result in the program's units; the reports give it in units.
std::string text_report(const analysis::analysis_result &result, unit_system units);

std::string json_report(const analysis::analysis_result &result, unit_system units);

}  // namespace cli
