#include "cli/analysis_report.h"

#include "cli/json_modes.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace cli {

namespace {

std::string format(const char *pattern, auto... values)
{
    char line[256];
    std::snprintf(line, sizeof line, pattern, values...);
    return line;
}

}  // namespace

const char *theory_name(analysis::beam_theory theory)
{
    return theory == analysis::beam_theory::timoshenko ? "timoshenko" : "euler-bernoulli";
}

std::string text_report(const analysis::analysis_result &result, unit_system units)
{
    const analysis::analysis_result r = to_file_units(result, units);
    const char *length = length_unit(units), *mass = mass_unit(units);
    std::string text;
    text += format("Barrel: %.4g %s long, %.4g %s of steel", r.barrel.length, length, r.barrel.mass, mass);
    if (r.barrel.attached_mass > 0) text += format(" and %.4g %s attached", r.barrel.attached_mass, mass);
    text += format(", centre of gravity %.4g %s from the breech\n", r.barrel.center_of_gravity, length);
    text += format("Model: %s beam, %d elements, frequencies within about %.1e", theory_name(r.theory), r.elements,
                   r.estimated_error);
    if (r.rigid_body_modes > 0) text += format("; %d rigid-body modes not listed", r.rigid_body_modes);
    text += format("\n\n mode   frequency Hz   period ms   muzzle slope   nodes (%s from the breech)\n", length);
    for (std::size_t i = 0; i < r.modes.size(); ++i) {
        const analysis::mode &m = r.modes[i];
        text += format("%5zu %14.2f %11.4f %14.4g   ", i + 1, m.frequency, m.period, m.muzzle_slope);
        if (m.nodes.empty()) text += "none";
        for (std::size_t k = 0; k < m.nodes.size(); ++k) text += format(k ? ", %.2f" : "%.2f", m.nodes[k]);
        text += "\n";
    }
    return text;
}

nlohmann::ordered_json modes_json(const std::vector<analysis::mode> &modes, bool with_shapes)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const analysis::mode &m = modes[i];
        nlohmann::ordered_json entry = {{"mode", i + 1},
                                        {"frequency", m.frequency},
                                        {"period", m.period},
                                        {"nodes", m.nodes},
                                        {"muzzle", {{"displacement", m.muzzle_displacement}, {"slope", m.muzzle_slope}}}};
        if (with_shapes) {
            nlohmann::ordered_json shape = nlohmann::ordered_json::array();
            for (const auto &point : m.shape) shape.push_back({point[0], point[1], point[2]});
            entry["shape"] = shape;
        }
        list.push_back(entry);
    }
    return list;
}

std::string json_report(const analysis::analysis_result &result, unit_system units)
{
    const analysis::analysis_result r = to_file_units(result, units);
    nlohmann::ordered_json report = {{"units", units == unit_system::mm ? "mm" : "inch"},
                                     {"theory", theory_name(r.theory)},
                                     {"elements", r.elements},
                                     {"estimated_error", r.estimated_error},
                                     {"rigid_body_modes", r.rigid_body_modes},
                                     {"barrel",
                                      {{"length", r.barrel.length},
                                       {"mass", r.barrel.mass},
                                       {"attached_mass", r.barrel.attached_mass},
                                       {"center_of_gravity", r.barrel.center_of_gravity}}},
                                     {"modes", modes_json(r.modes, true)}};
    return report.dump(2) + "\n";
}

}  // namespace cli
