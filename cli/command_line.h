// The scriptable commands: "boreflex analyze FILE ...". Returns the exit
// status: 0 done, 1 a barrel that cannot exist, 2 a file or an option that
// cannot be used.
#pragma once

namespace cli {

int run_command_line(int argc, char **argv);

}  // namespace cli
