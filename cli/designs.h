// Many designs made from one barrel file, analysed on all cores, and written
// as CSV or JSON in the order they were asked for.
#pragma once

#include "analysis/modal_analysis.h"
#include "cli/barrel_file.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

// One design: the values it sets, with their text as they are to be shown.
struct design {
    std::vector<override_value> values;
    std::vector<std::string> shown;  // one per value
};

// What became of a design: its analysis, or the message why there is none.
struct design_outcome {
    std::optional<analysis::analysis_result> result;
    std::string error;
};

// Analyses every design, in parallel; the outcomes are in the designs' order
// whatever the scheduling. With progress, a bar on standard error once the
// run has taken half a second.
// common, the --set overrides, come before each design's own values.
std::vector<design_outcome> run_designs(const barrel_template &base, const std::vector<override_value> &common,
                                        const std::vector<design> &designs, const analysis::analysis_options &options,
                                        bool progress);

// Throws file_error, naming where, when a design's paths are not in the
// file: tried on the first design, before anything is computed.
void check_paths(const barrel_template &base, const std::vector<override_value> &common, const design &first,
                 const std::string &where);

// The grid of a sweep: every combination of the values of each varied path,
// the first path varying slowest. FROM:TO:STEP includes TO when the steps
// reach it within rounding. Throws file_error for a malformed --vary.
struct varied_path {
    std::string path;
    std::vector<double> values;
};
varied_path parse_vary(const std::string &text);
std::vector<design> sweep_grid(const std::vector<varied_path> &varied);

// A batch's designs: the header names the paths, each row one design. Throws
// file_error, naming the line, for a malformed file.
struct design_table {
    std::vector<std::string> paths;
    std::vector<design> designs;
};
design_table read_design_table(const std::string &path);

// The designs and their outcomes as CSV (the paths, then f1 .. fN in Hz, then
// error) or as a JSON array of objects (the values, and the modes as
// analyze gives them without shapes, or the error).
std::string designs_csv(const std::vector<std::string> &paths, const std::vector<design> &designs,
                        const std::vector<design_outcome> &outcomes, int modes);
std::string designs_json(const std::vector<std::string> &paths, const std::vector<design> &designs,
                         const std::vector<design_outcome> &outcomes, unit_system units);

// The shortest text that reads back as the same double.
std::string number_text(double value);

}  // namespace cli
