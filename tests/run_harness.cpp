#include "run_harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

std::string read_text(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ends_with(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void write_text(const fs::path &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

fs::path make_scratch_folder()
{
    std::string pattern = (fs::temp_directory_path() / "boreflex-XXXXXX").string();
    return mkdtemp(pattern.data());
}

std::string program_run::file(const std::string &name) const { return read_text(folder / name); }

pid_t start_program(const fs::path &folder, int input, int output, int errors, program_group group,
                    const std::vector<std::string> &arguments)
{
    std::vector<char *> argv = {const_cast<char *>("boreflex")};
    for (const std::string &argument : arguments) argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = fork();
    if (child != 0) return child;
    if (group == program_group::own_session) setsid();
    else setpgid(0, 0);
    const int wanted[] = {input, output, errors};
    for (int fd = 0; fd < 3; ++fd) {
        if (wanted[fd] < 0) close(fd);
        else if (wanted[fd] != fd) dup2(wanted[fd], fd);
    }
    if (chdir(folder.c_str()) != 0) _exit(126);
    execv(BOREFLEX_EXE, argv.data());
    _exit(127);
}

command_run run_command(const std::vector<std::string> &arguments, const fs::path &folder)
{
    const fs::path io = make_scratch_folder();
    int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int output = open((io / "output").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int errors = open((io / "errors").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_t child = start_program(folder, nothing, output, errors, program_group::own_session, arguments);
    close(nothing);
    close(output);
    close(errors);
    int status = 0;
    waitpid(child, &status, 0);
    command_run run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.output = read_text(io / "output");
    run.errors = read_text(io / "errors");
    return run;
}

program_run run_program(const std::string &answers, const std::function<void(const fs::path &)> &prepare,
                        console_target console)
{
    program_run run;
    fs::path io = make_scratch_folder();
    run.folder = io / "work";
    fs::create_directory(run.folder);
    if (prepare) prepare(run.folder);

    // The answers arrive through a pipe, fed while the program reads them; a
    // run that ends before reading them all closes the pipe early, which must
    // not end the test with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    int answer_pipe[2];
    if (pipe2(answer_pipe, O_CLOEXEC) != 0) std::abort();
    int unread_pipe[2] = {-1, -1};
    int output = -1;
    switch (console) {
    case console_target::file:
        output = open((io / "console").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        break;
    case console_target::full_device: output = open("/dev/full", O_WRONLY | O_CLOEXEC); break;
    case console_target::broken_pipe:
        if (pipe2(unread_pipe, O_CLOEXEC) != 0) std::abort();
        close(unread_pipe[0]);  // nobody reads
        output = unread_pipe[1];
        break;
    case console_target::closed: break;
    }
    int error_file = open((io / "errors").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_t child = start_program(run.folder, answer_pipe[0], output, error_file);
    if (output >= 0) close(output);
    close(error_file);
    close(answer_pipe[0]);
    std::thread feeder([&answers, fd = answer_pipe[1]] {
        for (size_t written = 0; written < answers.size();) {
            ssize_t sent = write(fd, answers.data() + written, answers.size() - written);
            if (sent <= 0) break;
            written += static_cast<size_t>(sent);
        }
        close(fd);
    });
    int wait_status = 0;
    rusage usage{};
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (wait4(child, &wait_status, WNOHANG, &usage) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {  // a hang is a failure, not a stuck suite
            kill(child, SIGKILL);
            wait4(child, &wait_status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    run.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
    feeder.join();
    run.peak_memory_kb = usage.ru_maxrss;
    run.console = read_text(io / "console");
    // The program never writes to standard error: anything there is a
    // sanitizer's report or a crash, and fails the test that ran it.
    std::string errors = read_text(io / "errors");
    EXPECT_EQ(errors, "") << "standard error of the run";
    return run;
}
