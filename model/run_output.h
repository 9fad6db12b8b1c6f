// Every line the run writes goes through here, so that every write is checked
// and one reporter decides how a failure ends the run.
#pragma once

#include <cstddef>
#include <cstdio>

#if defined(__GNUC__)
#define PRINTF_LIKE(format_index) __attribute__((format(printf, format_index, format_index + 1)))
#else
#define PRINTF_LIKE(format_index)
#endif

// Standard output. A failure to write it ends the run with EXIT_IO.
void console_print(const char *format, ...) PRINTF_LIKE(1);

// Pushes pending console text out; called before every read and the key wait.
void flush_console();

// One of the model's output files. Each line is flushed as it is completed, so
// an interrupted run keeps every line written so far. After a run has ended,
// nothing more is written to the files.
void file_print(std::FILE *file, const char *format, ...) PRINTF_LIKE(2);

// The same for text that is already formatted.
void file_write(std::FILE *file, const char *text, std::size_t length);

// Closes one of the model's files and clears its pointer, checking that every
// byte reached the file.
void close_file(std::FILE *&file);

// The one error reporter: shows the message on the console, records status as
// the run's exit status and stops the stage sequence. The first call wins.
void end_run(int status, const char *format, ...) PRINTF_LIKE(2);

// Records an outcome that does not stop the run; the worst one is kept.
void raise_exit_status(int status);
