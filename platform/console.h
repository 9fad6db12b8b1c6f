// What the program needs from the machine's console beyond standard C++ I/O.
// Each platform implements it in a file of its own, compiled out elsewhere.
#pragma once

// Makes sure the three standard streams are open, so that a file the run
// creates never takes the place of one of them, and that writing to a closed
// pipe fails like any other write. Returns false when standard output was
// closed: nothing the program says can then be seen.
bool secure_standard_streams();

// Blocks until one key press on the console keyboard, read directly rather
// than through standard input, so that the window stays readable even when
// the answers came from a file. No echo, no Enter needed; Ctrl+C counts as a
// key. Returns the key's first byte or code, or 0 at once when no interactive
// console is attached.
int wait_key();

// Whether standard error is an interactive terminal, where a progress bar
// can be redrawn in place.
bool standard_error_is_terminal();
