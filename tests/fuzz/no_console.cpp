// The console as a fuzzer or a replay sees it: nobody at the keyboard, and the
// standard streams set up by the harness itself.
#include "platform/console.h"

bool secure_standard_streams() { return true; }

int wait_key() { return 0; }

bool standard_error_is_terminal() { return false; }
