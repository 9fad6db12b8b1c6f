// The question-and-answer input. Menus come back until an accepted number is
// typed; a dimension is taken when it is a number of zero or more (a zero
// bore is a solid rod, a zero length a profile without that segment). The
// wall test made when the barrel is cut into elements checks the rest.
#include "app/dialogue.h"

#include "app/input_scanner.h"
#include "model/barrel_model.h"
#include "model/constants.h"
#include "model/run_output.h"
#include "platform/file_names.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

// Shows prompt until an integer from first to last is typed; subject names
// the question in messages. False when the run has ended instead.
bool ask_menu(const char *prompt, const char *subject, int &choice, int first, int last)
{
    for (;;) {
        if (barrel_model.run_ended) return false;
        console_print("%s", prompt);
        flush_console();
        switch (scan_int(choice)) {
        case scan_result::value:
            if (choice >= first && choice <= last) return true;
            break;
        case scan_result::out_of_range:  // too large for any menu
            break;
        case scan_result::not_a_number:
            console_print("\n That answer is not a number; please type one of the numbers shown. \n");
            break;
        case scan_result::trailing_text:
        case scan_result::decimal_comma:
            console_print("\n %.40s is not a whole number; please type one of the numbers shown for the %s. \n",
                          last_token(), subject);
            break;
        case scan_result::end_of_input:
            input_ended();
            return false;
        }
    }
}

// Shows prompt until a number of zero or more is typed, stores it in
// dimension and echoes it into the report; subject names the dimension in
// messages. False when the run has ended instead.
bool ask_dimension(const char *prompt, const char *subject, double &dimension, const char *echo)
{
    for (;;) {
        if (barrel_model.run_ended) return false;
        console_print("%s", prompt);
        flush_console();
        switch (scan_real(dimension)) {
        case scan_result::value:
            if (dimension < 0) {
                console_print("\n The %s cannot be negative; please type it again. \n", subject);
                break;
            }
            file_print(barrel_model.report_file, echo, dimension);
            return !barrel_model.run_ended;
        case scan_result::out_of_range:
            console_print("\n That number is too large or too small; please type the dimension again. \n");
            break;
        case scan_result::not_a_number:
            console_print("\n That answer is not a number; please type the dimension again. \n");
            break;
        case scan_result::trailing_text:
            console_print("\n %.40s is not a number; please type the %s again as a plain number of inches. \n",
                          last_token(), subject);
            break;
        case scan_result::decimal_comma:
            console_print("\n %.40s has a decimal comma; please type the %s again with a decimal point. \n",
                          last_token(), subject);
            break;
        case scan_result::end_of_input:
            input_ended();
            return false;
        }
    }
}

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
    if (!same_file_name(file, side)) return false;
    return fs::equivalent(folder, ".", error);
}

}  // namespace

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
        for (const char *side : SIDE_FILE_NAMES)
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

void input_ended()
{
    end_run(EXIT_IO, "\n The input ended before every question was answered. \n");
}

void read_inputs()
{
    barrel_record &m = barrel_model;
    std::FILE *report = m.report_file;

    console_print("\n\n The breech is the aft end.");
    console_print("\n The muzzle is the forward or discharge end. \n");

    if (!ask_menu("\n Enter the boundary conditions. \n"
                  " 1=Free-Free                  \n"
                  " 2=Breech Fixed & Muzzle Free \n",
                  "boundary conditions", m.bc_type, BC_FREE_FREE, BC_BREECH_FIXED))
        return;
    file_print(report, m.bc_type == BC_FREE_FREE ? "\n Free-Free\n" : "\n Breech Fixed & Muzzle Free\n");

    if (!ask_menu("\n\n Enter the profile. \n"
                  " 2=two-taper    3=three-taper \n",
                  "profile", m.profile, PROFILE_TWO_TAPER, PROFILE_THREE_TAPER))
        return;
    if (!ask_menu("\n\n Enter the material. \n"
                  " 1=416R stainless steel    2=4140 chrome moly steel\n",
                  "material", m.material, MATERIAL_416R, MATERIAL_4140))
        return;
    m.modulus = STEELS[m.material - 1].modulus;
    m.density = STEELS[m.material - 1].density;
    file_print(report, "\n\n");

    if (!ask_dimension("\n Enter the groove diameter H\n", "groove diameter H", m.diameter_h,
                       "          groove diameter H=%8.4g inch\n") ||
        !ask_dimension("\n Enter the breech diameter A \n", "breech diameter A", m.diameter_a,
                       "          breech diameter A=%8.4g inch\n") ||
        !ask_dimension("\n Enter the reinforce large diameter B \n", "reinforce large diameter B", m.diameter_b,
                       " reinforce large diameter B=%8.4g inch\n"))
        return;
    if (m.profile == PROFILE_TWO_TAPER) {
        if (!ask_dimension("\n Enter the muzzle diameter C \n", "muzzle diameter C", m.diameter_c,
                           "          muzzle diameter C=%8.4g inch\n"))
            return;
    } else if (!ask_dimension("\n Enter the reinforce small diameter C \n", "reinforce small diameter C", m.diameter_c,
                              " reinforce small diameter C=%8.4g inch\n") ||
               !ask_dimension("\n Enter the muzzle diameter D \n", "muzzle diameter D", m.diameter_d,
                              "          muzzle diameter D=%8.4g inch\n")) {
        return;
    }
    file_print(report, "\n\n");

    if (!ask_dimension("\n Enter length of reinforce AB\n", "reinforce length AB", m.length_ab,
                       "        reinforce length AB=%8.4g inch\n") ||
        !ask_dimension("\n Enter length of reinforce taper BC\n", "reinforce taper length BC", m.length_bc,
                       "  reinforce taper length BC=%8.4g inch\n"))
        return;
    if (m.profile == PROFILE_THREE_TAPER &&
        !ask_dimension("\n Enter the length of the main taper CD \n", "main taper length CD", m.length_cd,
                       "       main taper length CD=%8.4g inch\n"))
        return;
    file_print(report, "\n\n");

    m.total_length = (m.length_cd + m.length_bc) + m.length_ab;
    console_print("\n total_length=%8.4g \n", m.total_length);
    file_print(report, "\n total_length=%8.4g inch\n\n", m.total_length);
    // No segment has a length: there is no beam to cut into elements.
    if (m.total_length == 0) end_run(EXIT_BARREL, "\n The barrel has no length: every segment length is zero. \n");
}
