// Whole runs compared byte for byte with the transcripts and files kept in
// tests/golden: one folder a case, holding the answers typed and every file
// the run is expected to leave (the console transcript as console.txt).
// BOREFLEX_UPDATE_GOLDEN=1 rewrites the expected files from the program, for
// a change that is meant to alter the output; check the diff before keeping it.
#include "run_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> golden_cases()
{
    std::vector<std::string> names;
    for (const fs::directory_entry &folder : fs::directory_iterator(GOLDEN_DIR))
        if (folder.is_directory()) names.push_back(folder.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class golden_run : public testing::TestWithParam<std::string> {};

TEST_P(golden_run, MatchesItsExpectedFiles)
{
    const bool update = std::getenv("BOREFLEX_UPDATE_GOLDEN") != nullptr;
    const fs::path folder = fs::path(GOLDEN_DIR) / GetParam();
    program_run run = run_program(read_text(folder / "answers.txt"));
    for (const fs::directory_entry &expected : fs::directory_iterator(folder)) {
        std::string name = expected.path().filename().string();
        if (name == "answers.txt") continue;
        std::string actual = name == "console.txt" ? run.console : run.file(name);
        if (name == "status.txt") actual = std::to_string(run.status) + "\n";
        if (update) write_text(expected.path(), actual);
        EXPECT_EQ(actual, read_text(expected.path())) << name;
    }
}

// Each folder is a test of its own, named after it.
INSTANTIATE_TEST_SUITE_P(Golden, golden_run, testing::ValuesIn(golden_cases()),
                         [](const testing::TestParamInfo<std::string> &info) { return info.param; });

}  // namespace
