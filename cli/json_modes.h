// The modes as the JSON reports give them, shared by analyze and the sweeps.
#pragma once

#include "analysis/modal_analysis.h"

#include <nlohmann/json.hpp>

#include <vector>

namespace cli {

// [{"mode", "frequency", "period", "nodes", "muzzle": {"displacement",
// "slope"}, and "shape" when with_shapes}].
nlohmann::ordered_json modes_json(const std::vector<analysis::mode> &modes, bool with_shapes);

}  // namespace cli
