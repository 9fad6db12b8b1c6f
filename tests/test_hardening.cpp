// Runs that meet what real machines and careless input do: files and consoles
// that cannot be written, signals in the middle of the dialogue, and answers
// far larger than any barrel needs.
#include "run_harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string REFERENCE = " 2 2 1 0.3 1 1 1 6 18\n";
const std::string PRESS_ANY_KEY = "\n Press any key to exit.\n\n";

void link_to_full_device(const fs::path &folder, const char *name)
{
    fs::create_symlink("/dev/full", folder / name);
}

struct io_fault_case {
    const char *name;
    std::string answers;
    std::function<void(const fs::path &)> prepare;
    console_target console;
    std::string console_tail;  // how the console ends; unchecked when it cannot be read
    std::string report;        // what the report holds afterwards
    std::string matrix_file;   // what "jacobi.in" holds afterwards ("<missing>" if never created)
};

TEST(IoFaults, EveryFailedWriteEndsTheRunWithStatusTwo)
{
    const std::string report_head = "\n\n boreflex  ver 1.2 \n February 22, 2004\n by the boreflex developers \n";
    const io_fault_case cases[] = {
        {"report on a full device", "/dev/full" + REFERENCE, {}, console_target::file,
         "\n The file /dev/full could not be written: No space left on device \n" + PRESS_ANY_KEY, "<missing>", ""},
        {"matrix file on a full device", "r.txt" + REFERENCE,
         [](const fs::path &folder) { link_to_full_device(folder, "jacobi.in"); }, console_target::file,
         "\n total_length=      24 \n\n The file jacobi.in could not be written: No space left on device \n" +
             PRESS_ANY_KEY,
         "<unchecked>", "<unchecked>"},
        {"determinant log on a full device", "r.txt" + REFERENCE,
         [](const fs::path &folder) { link_to_full_device(folder, "bf_det.in"); }, console_target::file,
         "\n total_length=      24 \n\n The file bf_det.in could not be written: No space left on device \n" +
             PRESS_ANY_KEY,
         "<unchecked>", "<unchecked>"},
        {"console on a full device", "r.txt" + REFERENCE, {}, console_target::full_device, "", "<missing>",
         "<missing>"},
        {"console closed", "r.txt" + REFERENCE, {}, console_target::closed, "", "<missing>", "<missing>"},
        {"console a pipe nobody reads", "r.txt" + REFERENCE, {}, console_target::broken_pipe, "", "<missing>",
         "<missing>"},
    };
    for (const io_fault_case &c : cases) {
        SCOPED_TRACE(c.name);
        program_run run = run_program(c.answers, c.prepare, c.console);
        EXPECT_EQ(run.status, 2);
        if (c.console == console_target::file) {
            EXPECT_TRUE(ends_with(run.console, c.console_tail)) << run.console;
        }
        if (c.report != "<unchecked>") {
            EXPECT_EQ(run.file("r.txt"), c.report);
        }
        if (c.matrix_file != "<unchecked>") {
            EXPECT_EQ(run.file("jacobi.in"), c.matrix_file);
        }
    }
}

TEST(IoFaults, ALogThatCannotBeWrittenLeavesTheReportWithoutAFrequency)
{
    program_run run = run_program("r.txt" + REFERENCE,
                                  [](const fs::path &folder) { link_to_full_device(folder, "bf_det.in"); });
    EXPECT_EQ(run.status, 2);
    std::string report = run.file("r.txt");
    EXPECT_NE(report.find(" total_mass=   4.837 lbm\n"), std::string::npos);
    EXPECT_EQ(report.find("fundamental frequency"), std::string::npos);
    EXPECT_EQ(run.console.find("output data written"), std::string::npos);
}

// Starts the program with a pipe for its answers, to be fed a little at a time.
struct live_run {
    pid_t pid = -1;
    int answers = -1;
    fs::path folder;

    live_run()
    {
        folder = make_scratch_folder();
        int pipe_ends[2];
        if (pipe2(pipe_ends, O_CLOEXEC) != 0) std::abort();
        int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
        pid = start_program(folder, pipe_ends[0], quiet, STDERR_FILENO);
        close(quiet);
        close(pipe_ends[0]);
        answers = pipe_ends[1];
    }

    void type(const std::string &text) { ASSERT_EQ(write(answers, text.data(), text.size()), ssize_t(text.size())); }

    bool await_report_line(const std::string &line)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            if (read_text(folder / "r.txt").find(line) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    int end_with(int signal_number)
    {
        kill(pid, signal_number);
        int status = 0;
        waitpid(pid, &status, 0);
        close(answers);
        return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    }
};

TEST(Interrupts, ASignalDuringTheDialogueKeepsEveryLineEchoedBeforeIt)
{
    for (int signal_number : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(strsignal(signal_number));
        live_run run;
        run.type("r.txt\n2\n2\n1\n0.3\n1.0\n");
        const std::string last_echo = "          breech diameter A=       1 inch\n";
        ASSERT_TRUE(run.await_report_line(last_echo));
        EXPECT_EQ(run.end_with(signal_number), 128 + signal_number);
        std::string report = read_text(run.folder / "r.txt");
        EXPECT_TRUE(ends_with(report, "          groove diameter H=     0.3 inch\n" + last_echo)) << report;
        EXPECT_EQ(read_text(run.folder / "jacobi.in"), "");
    }
}

TEST(HugeInput, LongTokensAreRefusedWithinBoundedMemory)
{
    program_run baseline = run_program("r.txt" + REFERENCE);
    const std::string megabyte(1 << 20, 'x');
    const std::string answers = megabyte + "\nr.txt " + megabyte + " 2 2 1 " + std::string(10000, '9') + " 3" +
                                std::string(9999, '0') + "e-10000 1 1 1 6 18\n";
    program_run run = run_program(answers);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.console.find("The file name beginning xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx is too long"),
              std::string::npos);
    EXPECT_NE(run.console.find("\n That answer is not a number; please type one of the numbers shown. \n"),
              std::string::npos);
    EXPECT_NE(run.console.find("\n That number is too large or too small; please type the dimension again. \n"),
              std::string::npos);
    EXPECT_NE(run.file("r.txt").find("groove diameter H=     0.3 inch"), std::string::npos);
    EXPECT_NE(run.console.find(" fundamental frequency =   50.52 Hz \n"), std::string::npos);
    EXPECT_LT(run.peak_memory_kb - baseline.peak_memory_kb, 16 * 1024) << "a megabyte token kept in memory";
}

}  // namespace
