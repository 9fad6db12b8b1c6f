// The run sequence. Everything happens in one fixed order: greet, name the
// report, create the files, then let each stage work once on the model. A
// stage that meets a problem reports it and ends the run; the stages after it
// are skipped, and the files keep what was written to them so far.
#include "app/driver.h"

#include "app/dialogue.h"
#include "app/input_scanner.h"
#include "beam/beam_model.h"
#include "eigen/eigen_search.h"
#include "model/barrel_model.h"
#include "model/run_output.h"
#include "platform/console.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr const char *CREDIT_LINE = " by the boreflex developers \n";

// The two side files, created (or emptied) before the first question so that
// no stale matrices survive from an earlier run.
bool create_side_files()
{
    barrel_record &m = barrel_model;
    std::FILE **files[] = {&m.matrix_file, &m.log_file};
    for (int i = 0; i < 2; ++i) {
        *files[i] = std::fopen(SIDE_FILE_NAMES[i], "w");
        if (!*files[i]) {
            end_run(EXIT_IO, "\n The file %s cannot be created: %s \n", SIDE_FILE_NAMES[i], std::strerror(errno));
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

    // The console and the report carry different versions and dates: both
    // texts are the program's own, and users' scripts look for them as they are.
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
