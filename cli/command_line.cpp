#include "cli/command_line.h"

#include "cli/analysis_report.h"
#include "cli/barrel_file.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <map>

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

struct analyze_request {
    std::string file;
    int modes = 3;
    std::string format = "text";
    std::string theory;
    int elements = 0;
    std::vector<std::string> overrides;
};

int run_analyze(const analyze_request &request)
{
    std::vector<override_value> overrides;
    for (const std::string &text : request.overrides) overrides.push_back(parse_override(text));
    const barrel_file file = read_barrel_file(request.file, overrides);
    analysis::analysis_options options;
    options.modes = request.modes;
    options.elements = request.elements;
    options.theory = file.theory.value_or(analysis::beam_theory::euler_bernoulli);
    if (request.theory == "timoshenko") options.theory = analysis::beam_theory::timoshenko;
    if (request.theory == "euler-bernoulli") options.theory = analysis::beam_theory::euler_bernoulli;
    const analysis::analysis_result result = analysis::analyze(file.barrel, options);
    for (const analysis::mode &m : result.modes)
        if (!std::isfinite(m.frequency) || m.frequency <= 0)
            throw analysis::invalid_barrel("the model gave no finite frequency");
    std::cout << (request.format == "json" ? json_report(result) : text_report(result));
    std::cout.flush();
    if (!std::cout) return report_error(EXIT_USAGE, "standard output could not be written");
    return EXIT_DONE;
}

}  // namespace

int run_command_line(int argc, char **argv)
{
    CLI::App app{"boreflex: bending vibration of rifle barrels. With no arguments, the classic dialogue."};
    app.set_version_flag("--version", std::string("boreflex ") + BOREFLEX_VERSION);
    app.require_subcommand(1);
    app.allow_windows_style_options(false);  // "/path/to/barrel.toml" is a file, not an option

    analyze_request request;
    CLI::App *analyze = app.add_subcommand("analyze", "Modal analysis of the barrel described in a TOML file");
    analyze->add_option("FILE", request.file, "Barrel file (TOML, inches)")->required();
    analyze->add_option("--modes", request.modes, "Elastic modes to report")->check(CLI::Range(1, 50));
    analyze->add_option("--format", request.format, "Output format")->check(CLI::IsMember({"text", "json"}));
    analyze->add_option("--theory", request.theory, "Beam theory, overriding the file's")
        ->check(CLI::IsMember({"euler-bernoulli", "timoshenko"}));
    analyze->add_option("--elements", request.elements, "Elements of the mesh (default: enough for 1e-7)")
        ->check(CLI::Range(1, 2000));
    analyze->add_option("--set", request.overrides, "Override one value of the file: PATH=VALUE");

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
        if (analyze->parsed()) return run_analyze(request);
    } catch (const file_error &e) {
        return report_error(EXIT_USAGE, e.what());
    } catch (const analysis::invalid_barrel &e) {
        return report_error(EXIT_BARREL, request.file + ": " + e.what());
    }
    return EXIT_USAGE;
}

}  // namespace cli
