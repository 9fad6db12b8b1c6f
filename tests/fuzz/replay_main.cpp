// Replays every file of the fuzz corpus as one whole run, so that each input
// that ever made the program fail stays a regression test in the normal build.
#include "fuzz_run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <unistd.h>

int main(int argc, char **argv)
{
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i)
        for (const auto &entry : std::filesystem::directory_iterator(std::filesystem::absolute(argv[i])))
            inputs.push_back(entry.path());
    // Standard output becomes /dev/null for the runs: report through a duplicate.
    std::FILE *report = fdopen(dup(1), "w");
    for (const auto &path : inputs) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(report, "replaying %s\n", path.filename().c_str());
        std::fflush(report);
        run_fuzz_input(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }
    std::fprintf(report, "%zu passed, 0 failed\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
