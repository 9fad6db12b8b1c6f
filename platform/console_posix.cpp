// POSIX console: the controlling terminal in raw mode for the key wait, and
// the standard descriptors kept from being reused by the run's files.
#include "platform/console.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Escape sequences of arrow, function and editing keys arrive as one burst;
// bytes that follow an ESC within this time belong to the same key.
constexpr int SEQUENCE_GAP_MS = 50;

// Signals that end the process by default. Their handlers put the terminal back
// before the process dies, so a killed program never leaves it in raw mode.
constexpr int ENDING_SIGNALS[] = {SIGTERM, SIGHUP, SIGQUIT, SIGINT};

volatile sig_atomic_t terminal_fd = -1;  // the terminal while it is in raw mode
struct termios saved_settings;

// Runs with SIGTTOU blocked, so that putting the terminal back can never stop
// a process that has meanwhile been moved to the background.
void restore_and_die(int signal_number)
{
    if (terminal_fd >= 0) tcsetattr(terminal_fd, TCSANOW, &saved_settings);
    std::signal(signal_number, SIG_DFL);
    raise(signal_number);  // delivered, with its default action, once the handler returns
}

int read_byte(int fd)
{
    unsigned char byte;
    for (;;) {
        ssize_t got = read(fd, &byte, 1);
        if (got == 1) return byte;
        if (got == 0) return -1;  // hang-up
        if (errno != EINTR) return -1;
    }
}

bool byte_follows_soon(int fd)
{
    struct pollfd ready = {fd, POLLIN, 0};
    return poll(&ready, 1, SEQUENCE_GAP_MS) == 1 && (ready.revents & POLLIN);
}

}  // namespace

bool secure_standard_streams()
{
    // A reader that goes away (a pipe into head, say) must show up as a write
    // error, which ends the run with its status, not as a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    bool output_open = true;
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() takes the lowest free descriptor: this one.
        if (open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd) return false;
        if (fd == 1) output_open = false;
    }
    return output_open;
}

int wait_key()
{
    int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return 0;  // no controlling terminal: nobody to wait for
    // A process in the background (started with &, or by timeout) may not own
    // the keyboard: changing the terminal's settings would stop it with
    // SIGTTOU, and reading it with SIGTTIN. Nobody is waiting at its console.
    if (tcgetpgrp(fd) != getpgrp() || tcgetattr(fd, &saved_settings) != 0) {
        close(fd);
        return 0;
    }
    struct termios raw = saved_settings;
    raw.c_lflag &= ~(ICANON | ECHO | ISIG | IEXTEN);
    raw.c_iflag &= ~(IXON | ICRNL);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;

    // Should the process be moved to the background while it waits, its
    // terminal calls must still go through rather than stop it.
    sigset_t terminal_output, previous_mask;
    sigemptyset(&terminal_output);
    sigaddset(&terminal_output, SIGTTOU);
    sigprocmask(SIG_BLOCK, &terminal_output, &previous_mask);

    struct sigaction restoring = {}, previous[sizeof ENDING_SIGNALS / sizeof *ENDING_SIGNALS];
    restoring.sa_handler = restore_and_die;
    sigemptyset(&restoring.sa_mask);
    for (int signal_number : ENDING_SIGNALS) sigaddset(&restoring.sa_mask, signal_number);
    sigaddset(&restoring.sa_mask, SIGTTOU);
    int index = 0;
    for (int signal_number : ENDING_SIGNALS) sigaction(signal_number, &restoring, &previous[index++]);

    // The switch to raw mode and the note that a handler must undo it happen
    // with the ending signals held, so that no signal falls between them.
    int key = 0;
    sigset_t switching;
    sigprocmask(SIG_BLOCK, &restoring.sa_mask, &switching);
    const bool raw_mode = tcsetattr(fd, TCSANOW, &raw) == 0;
    if (raw_mode) terminal_fd = fd;
    sigprocmask(SIG_SETMASK, &switching, nullptr);
    if (raw_mode) {
        key = read_byte(fd);
        if (key == 0x1b)
            while (byte_follows_soon(fd)) read_byte(fd);
        tcsetattr(fd, TCSANOW, &saved_settings);
        terminal_fd = -1;
    }

    index = 0;
    for (int signal_number : ENDING_SIGNALS) sigaction(signal_number, &previous[index++], nullptr);
    sigprocmask(SIG_SETMASK, &previous_mask, nullptr);
    close(fd);
    return key < 0 ? 0 : key;
}

bool standard_error_is_terminal() { return isatty(STDERR_FILENO) == 1; }
