// The run sequence. Everything happens in one fixed order: greet, name the
// report, create the files, then let each stage work once on the model. A
// stage that meets a problem reports it and ends the run; the stages after it
// are skipped, and the files keep what was written to them so far.
#include "driver.h"

#include "barrel_model.h"
#include "dialogue.h"
#include "input_scanner.h"
#include "run_output.h"
#include "../beam/beam_model.h"
#include "../eigen/eigen_search.h"
#include "../platform/console.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

// Forty elements put the discretisation error far below the four digits
// printed; the stores hold the problem they make.
constexpr int ELEMENT_COUNT = 40;
static_assert(ELEMENT_COUNT <= MAX_ELEMENTS && 2 * ELEMENT_COUNT + 2 <= MAX_DOF);

constexpr const char *SIDE_FILES[] = {"jacobi.in", "bf_det.in"};
constexpr const char *CREDIT_LINE = " by the boreflex developers \n";

// Whether name would open one of the side files, also through another path to
// it ("./jacobi.in", a link, a different case on Windows).
bool names_side_file(const char *name, const char *side)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(name, error) && fs::exists(side, error)) return fs::equivalent(name, side, error);
    fs::path path(name);
    fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    std::string file = path.filename().string();
#if defined(_WIN32)
    if (_stricmp(file.c_str(), side) != 0) return false;
#else
    if (file != side) return false;
#endif
    return fs::equivalent(folder, ".", error);
}

// Asks for the report's name until one can be created; false when the run
// has ended instead.
bool create_report()
{
    barrel_record &m = barrel_model;
    for (;;) {
        console_print("\n Enter the name of the output file \n");
        flush_console();
        if (m.run_ended) return false;
        switch (scan_word(m.report_name, sizeof m.report_name)) {
        case scan_result::end_of_input:
            input_ended();
            return false;
        case scan_result::out_of_range:
            console_print("\n The file name beginning %.40s is too long: at most %d characters are allowed. \n",
                          m.report_name, REPORT_NAME_CAPACITY - 1);
            continue;
        default:
            break;
        }
        const char *clash = nullptr;
        for (const char *side : SIDE_FILES)
            if (names_side_file(m.report_name, side)) clash = side;
        if (clash) {
            console_print("\n The output file cannot be %s: the program writes that file itself. \n", clash);
            continue;
        }
        m.report_file = std::fopen(m.report_name, "w");
        if (m.report_file) return true;
        console_print("\n The file %s cannot be created: %s \n", m.report_name, std::strerror(errno));
    }
}

// The two side files, created (or emptied) before the first question so that
// no stale matrices survive from an earlier run.
bool create_side_files()
{
    barrel_record &m = barrel_model;
    std::FILE **files[] = {&m.matrix_file, &m.log_file};
    for (int i = 0; i < 2; ++i) {
        *files[i] = std::fopen(SIDE_FILES[i], "w");
        if (!*files[i]) {
            end_run(EXIT_IO, "\n The file %s cannot be created: %s \n", SIDE_FILES[i], std::strerror(errno));
            return false;
        }
    }
    return true;
}

}  // namespace

void reset_model()
{
    barrel_record &m = barrel_model;
    // Row by row: each row is small enough to be cleared with vector stores.
    for (int i = 0; i < MAX_DOF; ++i) {
        std::memset(m.mass_matrix[i], 0, sizeof m.mass_matrix[i]);
        std::memset(m.stiffness_matrix[i], 0, sizeof m.stiffness_matrix[i]);
    }
    m.diameter_a = m.diameter_b = m.diameter_c = m.diameter_d = 0;
    m.length_ab = m.length_bc = m.length_cd = 0;  // a two-taper barrel has no CD
    m.total_mass = 0;
}

int run_calculation()
{
    barrel_record &m = barrel_model;
    m.element_count = ELEMENT_COUNT;
    begin_input(stdin);
    if (!secure_standard_streams()) end_run(EXIT_IO, "\n Standard output is closed. \n");

    console_print("\n\n boreflex  ver 1.3 \n December 13, 2005\n");
    console_print(CREDIT_LINE);
    console_print("\n Note: all length dimension are in inches. \n");

    if (create_report() && create_side_files()) {
        file_print(m.report_file, "\n\n boreflex  ver 1.2 \n February 22, 2004\n");
        file_print(m.report_file, CREDIT_LINE);

        // The stages, each run once in this order; each reads what the earlier
        // ones left in the model.
        void (*const stages[])() = {
            reset_model,              // inputs and sums start from zero
            read_inputs,              // the dialogue, echoed into the report
            discretize_barrel,        // 40 stepped sections, wall check, mass
            build_element_mass,       // consistent mass of each element
            build_element_stiffness,  // bending stiffness of each element
            assemble_system,          // global, constrained, normalised; jacobi.in
            search_fundamental,       // first root of det(K - lambda M); bf_det.in
        };
        for (auto stage : stages)
            if (!m.run_ended) stage();

        if (!m.run_ended) close_file(m.report_file);
        if (!m.run_ended && m.exit_status != EXIT_IO)
            console_print("\n\n output data written to file: %s \n", m.report_name);
    }
    console_print("\n Press any key to exit.\n\n");
    flush_console();
    wait_key();

    close_file(m.report_file);
    close_file(m.matrix_file);
    close_file(m.log_file);
    flush_console();
    return m.exit_status;
}
