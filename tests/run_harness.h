// Runs the built program as a user would: in a scratch folder of its own,
// answers piped into standard input, no controlling terminal (so the final
// key wait returns at once), and collects what it leaves behind.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>
#include <sys/types.h>

struct program_run {
    int status = -1;         // exit status, or 128 + signal
    std::string console;     // everything written to standard output
    long peak_memory_kb = 0;  // largest resident size the run reached
    std::filesystem::path folder;  // the working folder, kept for inspection

    // The text of a file the run wrote in its folder; "<missing>" if none.
    std::string file(const std::string &name) const;
};

// Where standard output goes.
enum class console_target { file, full_device, closed, broken_pipe };

// The process group the program starts in: a session of its own, with no
// controlling terminal (so the key wait returns at once), or a new group in
// the caller's session, as a shell starts a background job.
enum class program_group { own_session, background_job };

// The one way the tests start the built program: in folder, with the given
// descriptors as its standard input, output and error (-1 for a closed one).
// The descriptors stay open in the caller; any others the caller wants kept
// from the program must be close-on-exec.
pid_t start_program(const std::filesystem::path &folder, int input, int output, int errors,
                    program_group group = program_group::own_session, const std::vector<std::string> &arguments = {});

// A command run to its end: "boreflex" with arguments, in folder, with no
// input; its status and what it wrote to each stream.
struct command_run {
    int status = -1;
    std::string output, errors;
};
command_run run_command(const std::vector<std::string> &arguments,
                        const std::filesystem::path &folder = std::filesystem::current_path());

// prepare, if given, runs in the fresh folder before the program starts.
program_run run_program(const std::string &answers,
                        const std::function<void(const std::filesystem::path &)> &prepare = {},
                        console_target console = console_target::file);

std::string read_text(const std::filesystem::path &path);
bool ends_with(const std::string &text, const std::string &tail);
void write_text(const std::filesystem::path &path, const std::string &text);

// A scratch folder under the system's temporary folder.
std::filesystem::path make_scratch_folder();
