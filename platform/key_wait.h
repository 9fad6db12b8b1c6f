// The console keyboard, read directly rather than through standard input, so
// that the window stays readable until the user has seen the result even when
// the answers came from a file.
#pragma once

// Blocks until one key press on the console keyboard and returns its first
// byte (or key code). No echo, no Enter needed; Ctrl+C counts as a key.
// Returns at once with 0 when no interactive console is attached.
int wait_key();
