// Barrel files: TOML in inch units, read into the analysis library's barrel,
// with "--set PATH=VALUE" overrides applied to the file's values first.
#pragma once

#include "analysis/barrel.h"
#include "analysis/finite_elements.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// A file that cannot be read or understood: unreadable, not TOML, an unknown
// key, a value of the wrong type, an override whose path is not in the file.
// The message names the file, the line and column where there is one, and
// the field.
class file_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct barrel_file {
    analysis::barrel barrel;
    std::optional<analysis::beam_theory> theory;  // as the file asks, if it does
};

// One "--set" override: the path as typed ("attachment[0].mass") and the
// value's text, read as TOML (a number, a quoted string, ...) or else as a
// plain string.
struct override_value {
    std::string path;
    std::string value;
};

// Splits "PATH=VALUE"; throws file_error when there is no '='.
override_value parse_override(const std::string &text);

// Reads the file named path, applies the overrides in order, and converts
// it. Throws file_error for what is wrong with the file, and
// analysis::invalid_barrel for an unknown steel or support.
barrel_file read_barrel_file(const std::string &path, const std::vector<override_value> &overrides = {});

// The same for text already read; name is used in messages.
barrel_file parse_barrel_file(const std::string &text, const std::string &name,
                              const std::vector<override_value> &overrides = {});

}  // namespace cli
