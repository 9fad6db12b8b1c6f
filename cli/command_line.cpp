#include "cli/command_line.h"

#include "cli/analysis_report.h"
#include "cli/barrel_file.h"
#include "cli/designs.h"
#include "cli/svg_plots.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>

namespace cli {

namespace {

constexpr int EXIT_DONE = 0;
constexpr int EXIT_BARREL = 1;
constexpr int EXIT_USAGE = 2;

// The one error reporter of the commands: a line on standard error.
int report_error(int status, const std::string &message)
{
    std::cerr << "boreflex: " << message << "\n";
    return status;
}

// Writes text to the file named path, or to standard output when path is
// empty. Throws file_error when it cannot.
void write_output(const std::string &path, const std::string &text)
{
    if (path.empty()) {
        std::cout << text;
        std::cout.flush();
        if (!std::cout) throw file_error("standard output could not be written");
        return;
    }
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) throw file_error(path + ": could not be written");
}

struct request {
    std::string file;
    int modes = 3;
    std::string format;
    std::string theory;
    int elements = 0;
    std::vector<std::string> overrides;
    std::string plot, output;
    std::vector<std::string> varied;  // sweep
    std::string designs;              // batch
};

std::vector<override_value> overrides_of(const request &r)
{
    std::vector<override_value> overrides;
    for (const std::string &text : r.overrides) overrides.push_back(parse_override(text));
    return overrides;
}

analysis::analysis_options options_of(const request &r, const barrel_file &file, bool shapes)
{
    analysis::analysis_options options;
    options.modes = r.modes;
    options.elements = r.elements;
    options.shapes = shapes;
    options.theory = file.theory.value_or(analysis::beam_theory::euler_bernoulli);
    if (r.theory == "timoshenko") options.theory = analysis::beam_theory::timoshenko;
    if (r.theory == "euler-bernoulli") options.theory = analysis::beam_theory::euler_bernoulli;
    return options;
}

int run_analyze(const request &r)
{
    const barrel_file file = barrel_template::read(r.file).with(overrides_of(r));
    const analysis::analysis_result result = analysis::analyze(file.barrel, options_of(r, file, true));
    if (!r.plot.empty()) write_output(r.plot, barrel_plot(file.barrel, result, file.units));
    write_output(r.output, r.format == "json" ? json_report(result, file.units) : text_report(result, file.units));
    return EXIT_DONE;
}

// What sweeps and batches share: run the designs, write them, and say 1 if
// any of them failed.
// where names the designs' source in messages about their paths.
int run_designs_and_write(const request &r, const barrel_template &base, const std::vector<std::string> &paths,
                          const std::vector<design> &designs, const std::string &where,
                          const std::vector<varied_path> *plotted)
{
    const std::vector<override_value> common = overrides_of(r);
    const barrel_file file = base.with(common);  // the options' theory, and the errors of the file and --set first
    if (!designs.empty()) check_paths(base, common, designs.front(), where);
    const bool json = r.format == "json";
    const std::vector<design_outcome> outcomes = run_designs(base, common, designs, options_of(r, file, json), true);
    if (plotted && !r.plot.empty()) write_output(r.plot, sweep_plot(*plotted, outcomes, r.modes, file.units));
    write_output(r.output, json ? designs_json(paths, designs, outcomes, file.units)
                                : designs_csv(paths, designs, outcomes, r.modes));
    for (const design_outcome &o : outcomes)
        if (!o.result) return EXIT_BARREL;
    return EXIT_DONE;
}

int run_sweep(const request &r)
{
    const barrel_template base = barrel_template::read(r.file);
    std::vector<varied_path> varied;
    std::vector<std::string> paths;
    for (const std::string &text : r.varied) {
        varied.push_back(parse_vary(text));
        paths.push_back(varied.back().path);
    }
    double designs = 1;
    for (const varied_path &v : varied) designs *= static_cast<double>(v.values.size());
    if (designs > 1e7) throw file_error("the --vary grid has " + number_text(designs) + " designs, more than ten million");
    if (!r.plot.empty() && varied.size() > 2)
        throw file_error("--plot draws a sweep of one or two --vary, not " + std::to_string(varied.size()));
    return run_designs_and_write(r, base, paths, sweep_grid(varied), "--vary ", &varied);
}

int run_batch(const request &r)
{
    const barrel_template base = barrel_template::read(r.file);
    const design_table table = read_design_table(r.designs);
    return run_designs_and_write(r, base, table.paths, table.designs, r.designs + ":1: ", nullptr);
}

// The options every command that analyses takes.
void add_analysis_options(CLI::App *command, request &r, bool with_theory)
{
    command->add_option("--modes", r.modes, "Elastic modes to report (default 3)")->check(CLI::Range(1, 50));
    if (with_theory) {
        command->add_option("--theory", r.theory, "Beam theory, overriding the file's")
            ->check(CLI::IsMember({"euler-bernoulli", "timoshenko"}));
        command->add_option("--elements", r.elements, "Elements of the mesh (default: enough for 1e-7)")
            ->check(CLI::Range(1, 2000));
    }
    command->add_option("--set", r.overrides, "Override one value of the file: PATH=VALUE");
    command->add_option("--output", r.output, "Write the results to this file instead of standard output");
}

}  // namespace

int run_command_line(int argc, char **argv)
{
    CLI::App app{"boreflex: bending vibration of rifle barrels. With no arguments, the classic dialogue."};
    app.set_version_flag("--version", std::string("boreflex ") + BOREFLEX_VERSION);
    app.require_subcommand(1);
    app.allow_windows_style_options(false);  // "/path/to/barrel.toml" is a file, not an option

    request r;
    CLI::App *analyze = app.add_subcommand("analyze", "Modal analysis of the barrel described in a TOML file");
    analyze->add_option("FILE", r.file, "Barrel file (TOML, inches)")->required();
    add_analysis_options(analyze, r, true);
    analyze->add_option("--format", r.format, "text (default) or json")->check(CLI::IsMember({"text", "json"}));
    analyze->add_option("--plot", r.plot, "Draw the barrel and its mode shapes into this SVG file");

    CLI::App *sweep = app.add_subcommand("sweep", "Frequencies over a grid of designs made from one barrel file");
    sweep->add_option("FILE", r.file, "Barrel file (TOML, inches)")->required();
    sweep->add_option("--vary", r.varied, "PATH=FROM:TO:STEP; several make a grid, the first varying slowest")
        ->required();
    add_analysis_options(sweep, r, true);
    sweep->add_option("--format", r.format, "csv (default) or json")->check(CLI::IsMember({"csv", "json"}));
    sweep->add_option("--plot", r.plot, "Draw the frequencies against the varied values into this SVG file");

    CLI::App *batch = app.add_subcommand("batch", "Frequencies of designs listed in a CSV file");
    batch->add_option("FILE", r.file, "Barrel file (TOML, inches)")->required();
    batch->add_option("DESIGNS", r.designs, "CSV: a header of paths, one design a row")->required();
    add_analysis_options(batch, r, true);
    batch->add_option("--format", r.format, "csv (default) or json")->check(CLI::IsMember({"csv", "json"}));

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion &e) {
        return app.exit(e);
    } catch (const CLI::ParseError &e) {
        return report_error(EXIT_USAGE, e.what() + std::string(" (see boreflex --help)"));
    }

    try {
        if (analyze->parsed()) return run_analyze(r);
        if (sweep->parsed()) return run_sweep(r);
        if (batch->parsed()) return run_batch(r);
    } catch (const file_error &e) {
        return report_error(EXIT_USAGE, e.what());
    } catch (const analysis::invalid_barrel &e) {
        return report_error(EXIT_BARREL, r.file + ": " + e.what());
    }
    return EXIT_USAGE;
}

}  // namespace cli
