// The key wait on a real pseudo-terminal: a child process makes the terminal
// its controlling one, as a shell would, and waits for keys that the test
// types on the other side.
#include "platform/console.h"
#include "run_harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

bool same_settings(const termios &a, const termios &b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// A child that calls wait_key once for every key the test presses.
class key_session {
public:
    explicit key_session(int waits)
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        slave_name_ = ptsname(master_);
        keeper_ = open(slave_name_.c_str(), O_RDWR | O_NOCTTY);  // keeps the settings alive
        tcgetattr(keeper_, &before_);
        int report[2];
        if (pipe(report) != 0) std::abort();
        child_ = fork();
        if (child_ == 0) {
            close(report[0]);
            rlimit no_core = {0, 0};  // SIGQUIT would leave a core file behind
            setrlimit(RLIMIT_CORE, &no_core);
            setsid();
            int terminal = open(slave_name_.c_str(), O_RDWR);
            ioctl(terminal, TIOCSCTTY, 0);
            for (int i = 0; i < waits; ++i) {
                int key = wait_key();
                if (write(report[1], &key, sizeof key) != sizeof key) _exit(3);
            }
            termios after;
            tcgetattr(terminal, &after);
            int restored = same_settings(before_, after);
            if (write(report[1], &restored, sizeof restored) != sizeof restored) _exit(3);
            _exit(0);
        }
        close(report[1]);
        reports_ = report[0];
    }

    ~key_session()
    {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        close(reports_);
        close(keeper_);
        close(master_);
    }

    // Waits until the child's terminal is in raw mode, that is, inside wait_key.
    bool await_raw_mode()
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            termios now;
            tcgetattr(keeper_, &now);
            if (!(now.c_lflag & ICANON)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    // Types bytes as one key press and returns what wait_key reported.
    int press(const std::string &bytes)
    {
        EXPECT_TRUE(await_raw_mode());
        if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return -1;
        return next_report();
    }

    int next_report()
    {
        int value = -1;
        if (read(reports_, &value, sizeof value) != sizeof value) return -1;
        return value;
    }

    // Exit status of the child, or 128 + the signal that ended it.
    int finish()
    {
        int status = 0;
        waitpid(child_, &status, 0);
        child_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    pid_t child() const { return child_; }
    bool settings_restored()
    {
        termios now;
        tcgetattr(keeper_, &now);
        return same_settings(before_, now);
    }

private:
    int master_ = -1, keeper_ = -1, reports_ = -1;
    pid_t child_ = -1;
    std::string slave_name_;
    termios before_{};
};

TEST(KeyWait, OneKeyEndsTheWaitAndAnEscapeSequenceIsOnePress)
{
    key_session session(3);
    EXPECT_EQ(session.press("x"), 'x');
    EXPECT_EQ(session.press("\x1b[A"), 0x1b);      // up arrow: the rest of it is consumed
    EXPECT_EQ(session.press("\x1b[15~"), 0x1b);    // F5
    EXPECT_EQ(session.next_report(), 1) << "terminal settings not restored";
    EXPECT_EQ(session.finish(), 0);
}

TEST(KeyWait, CtrlCIsAnOrdinaryKey)
{
    key_session session(1);
    EXPECT_EQ(session.press("\x03"), 3);
    EXPECT_EQ(session.next_report(), 1);
    EXPECT_EQ(session.finish(), 0);  // not killed by SIGINT
}

TEST(KeyWait, EndingSignalsRestoreTheTerminalBeforeTheProcessDies)
{
    for (int signal_number : {SIGTERM, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(strsignal(signal_number));
        key_session session(1);
        ASSERT_TRUE(session.await_raw_mode());
        kill(session.child(), signal_number);
        EXPECT_EQ(session.finish(), 128 + signal_number);
        EXPECT_TRUE(session.settings_restored());
    }
}

TEST(KeyWait, ReturnsAtOnceWithoutAControllingTerminal)
{
    pid_t child = fork();
    if (child == 0) {
        setsid();
        _exit(wait_key() == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// The whole program started as a background job of a terminal, as
// "boreflex < answers.txt > /dev/null &" or timeout would start it: it must
// end by itself, never stopped by the terminal, and leave the settings alone.
TEST(KeyWait, ABackgroundRunEndsByItselfAndLeavesTheTerminalAlone)
{
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master);
    unlockpt(master);
    const std::string slave_name = ptsname(master);
    int keeper = open(slave_name.c_str(), O_RDWR | O_NOCTTY);
    termios before{};
    tcgetattr(keeper, &before);
    const std::filesystem::path folder = make_scratch_folder();
    write_text(folder / "answers.txt", "r.txt 2 2 1 0.3 1 1 1 6 18\n");

    pid_t session = fork();
    if (session == 0) {
        setsid();
        int terminal = open(slave_name.c_str(), O_RDWR);
        ioctl(terminal, TIOCSCTTY, 0);
        int answers = open((folder / "answers.txt").c_str(), O_RDONLY | O_CLOEXEC);
        int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
        pid_t job = start_program(folder, answers, quiet, quiet, program_group::background_job);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        int status = 0;
        for (;;) {
            pid_t done = waitpid(job, &status, WNOHANG | WUNTRACED);
            if (done == job && WIFSTOPPED(status)) {
                kill(job, SIGKILL);
                _exit(90);  // stopped by the terminal
            }
            if (done == job) break;
            if (std::chrono::steady_clock::now() > deadline) {
                kill(job, SIGKILL);
                _exit(91);  // still waiting
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }
    int status = 0;
    waitpid(session, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "90: stopped by the terminal, 91: never ended";
    EXPECT_NE(read_text(folder / "r.txt").find("fundamental frequency =   50.52 Hz"), std::string::npos);
    termios after{};
    tcgetattr(keeper, &after);
    EXPECT_TRUE(same_settings(before, after));
    close(keeper);
    close(master);
}

}  // namespace
