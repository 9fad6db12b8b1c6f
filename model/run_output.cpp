#include "model/run_output.h"

#include "model/barrel_model.h"
#include "model/text_format.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <initializer_list>

namespace {

const char *file_label(const std::FILE *file)
{
    const barrel_record &m = barrel_model;
    if (file == m.matrix_file) return MATRIX_FILE_NAME;
    if (file == m.log_file) return LOG_FILE_NAME;
    return m.report_name;
}

void console_failed()
{
    end_run(EXIT_IO, "\n The console output could not be written: %s \n", std::strerror(errno));
}

// Reports a file that could not be written and closes it at once, so that
// its error is reported only once.
void file_failed(std::FILE *file)
{
    int error = errno;
    end_run(EXIT_IO, "\n The file %s could not be written: %s \n", file_label(file), std::strerror(error));
    barrel_record &m = barrel_model;
    for (std::FILE **slot : {&m.report_file, &m.matrix_file, &m.log_file})
        if (*slot == file) *slot = nullptr;
    std::fclose(file);
}

void write_console(const char *format, std::va_list args)
{
    char line[LINE_CAPACITY];
    std::size_t length = format_line(line, format, args);
    if (std::fwrite(line, 1, length, stdout) != length) console_failed();
}

}  // namespace

void raise_exit_status(int status)
{
    if (status > barrel_model.exit_status) barrel_model.exit_status = status;
}

void end_run(int status, const char *format, ...)
{
    barrel_record &m = barrel_model;
    if (m.run_ended) return;
    m.run_ended = true;  // before writing: a failing console must not recurse
    raise_exit_status(status);
    std::va_list args;
    va_start(args, format);
    write_console(format, args);
    va_end(args);
}

void console_print(const char *format, ...)
{
    std::va_list args;
    va_start(args, format);
    write_console(format, args);
    va_end(args);
}

void flush_console()
{
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) console_failed();
}

void file_write(std::FILE *file, const char *text, std::size_t length)
{
    if (barrel_model.run_ended || !file) return;
    bool written = std::fwrite(text, 1, length, file) == length;
    if (written && std::memchr(text, '\n', length)) written = std::fflush(file) == 0;
    if (!written || std::ferror(file)) file_failed(file);
}

void file_print(std::FILE *file, const char *format, ...)
{
    char line[LINE_CAPACITY];
    std::va_list args;
    va_start(args, format);
    std::size_t length = format_line(line, format, args);
    va_end(args);
    file_write(file, line, length);
}

void close_file(std::FILE *&file)
{
    if (!file) return;
    const char *label = file_label(file);
    bool clean = !std::ferror(file);
    if (std::fclose(file) != 0) clean = false;
    if (!clean) {
        int error = errno;
        raise_exit_status(EXIT_IO);
        console_print("\n The file %s could not be written: %s \n", label, std::strerror(error));
    }
    file = nullptr;
}
