// Whole runs compared byte for byte with the transcripts and files kept in
// tests/golden: one folder a case, holding the answers typed and every file
// the run is expected to leave (the console transcript as console.txt).
// BOREFLEX_UPDATE_GOLDEN=1 rewrites the expected files from the program, for
// a change that is meant to alter the output; check the diff before keeping it.
#include "run_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

TEST(GoldenRuns, EveryCaseMatchesItsExpectedFiles)
{
    const bool update = std::getenv("BOREFLEX_UPDATE_GOLDEN") != nullptr;
    int cases = 0;
    for (const fs::directory_entry &folder : fs::directory_iterator(GOLDEN_DIR)) {
        SCOPED_TRACE(folder.path().filename().string());
        ++cases;
        program_run run = run_program(read_text(folder.path() / "answers.txt"));
        for (const fs::directory_entry &expected : fs::directory_iterator(folder.path())) {
            std::string name = expected.path().filename().string();
            if (name == "answers.txt") continue;
            std::string actual = name == "console.txt" ? run.console : run.file(name);
            if (name == "status.txt") actual = std::to_string(run.status) + "\n";
            if (update) write_text(expected.path(), actual);
            EXPECT_EQ(actual, read_text(expected.path())) << name;
        }
    }
    EXPECT_GT(cases, 0) << "no golden cases found in " << GOLDEN_DIR;
}
