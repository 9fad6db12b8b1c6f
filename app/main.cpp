#include "app/driver.h"
#include "cli/command_line.h"

// With no arguments, the classic dialogue; with any, the commands.
int main(int argc, char **argv) { return argc <= 1 ? run_calculation() : cli::run_command_line(argc, argv); }
