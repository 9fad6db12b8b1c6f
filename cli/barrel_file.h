// Barrel files: TOML in inch units, read into the analysis library's barrel,
// with "--set PATH=VALUE" overrides applied to the file's values first.
#pragma once

#include "analysis/barrel.h"
#include "analysis/finite_elements.h"
#include "cli/units.h"

#include <memory>
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
    analysis::barrel barrel;                      // in the program's units, whatever the file's
    std::optional<analysis::beam_theory> theory;  // as the file asks, if it does
    unit_system units = unit_system::inch;        // the file's, for the results
};

// One override: the path as typed ("attachment[0].mass", or "length" to cut
// the barrel at the muzzle end) and the value, either a number or the text
// of a TOML value ("0.3", "\"pinned\"") or else a plain word.
struct override_value {
    std::string path;
    std::string text;
    std::optional<double> number;  // set: the value is this number, and text is ignored
};

// Splits "PATH=VALUE"; throws file_error when there is no '='.
override_value parse_override(const std::string &text);

// A barrel file read and parsed once, from which any number of designs are
// made by overriding its values: the parse is the costly part.
class barrel_template {
public:
    // Throws file_error when the file cannot be read or is not TOML.
    static barrel_template read(const std::string &path);
    static barrel_template parse(const std::string &text, const std::string &name);

    // The barrel with the overrides applied in order. Throws file_error for
    // what is wrong with the file or an override, analysis::invalid_barrel
    // for an unknown steel or support, or a length the barrel cannot be cut to.
    barrel_file with(const std::vector<override_value> &overrides = {}) const;

    const std::string &name() const { return name_; }

private:
    struct document;
    barrel_template(std::shared_ptr<const document> root, std::string name);
    std::shared_ptr<const document> root_;
    std::string name_;
};

}  // namespace cli
