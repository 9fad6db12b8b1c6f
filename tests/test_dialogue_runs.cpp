// The decisions the dialogue makes about answers a user should not give: the
// input ending early, answers that are no numbers, and report names that
// cannot or must not be used. Each runs the built program.
#include "run_harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string REFERENCE_DIMENSIONS = "0.3 1 1 1 6 18\n";
const std::string INPUT_ENDED = "\n The input ended before every question was answered. \n\n Press any key to exit.\n\n";

size_t count_of(const std::string &text, const std::string &part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

struct early_end_case {
    const char *answers;
    const char *last_prompt;   // the question left unanswered
    const char *report_tail;   // how the report ends; nullptr when no report exists
};

const early_end_case EARLY_END_CASES[] = {
    {"", "\n Enter the name of the output file \n", nullptr},
    {"r.txt\n", " 2=Breech Fixed & Muzzle Free \n", "by the boreflex developers \n"},
    {"r.txt\n1\n", " 2=two-taper    3=three-taper \n", "\n Free-Free\n"},
    {"r.txt\n1\n2\n1\n0.3\n1\n", "\n Enter the reinforce large diameter B \n", "breech diameter A=       1 inch\n"},
    {"r.txt\n1\n3\n1\n0.3 1 1 1 1 6 18\n", "\n Enter the length of the main taper CD \n",
     "  reinforce taper length BC=      18 inch\n"},
    {"r.txt\n1\n2\n1\n0.3 1 1 1 6 abc", "\n Enter length of reinforce taper BC\n",
     "        reinforce length AB=       6 inch\n"},
};

TEST(EarlyEnd, TheInputEndingBeforeTheLastAnswerEndsTheRunWithStatusTwo)
{
    for (const early_end_case &c : EARLY_END_CASES) {
        SCOPED_TRACE(c.answers);
        program_run run = run_program(c.answers);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(ends_with(run.console, c.last_prompt + INPUT_ENDED)) << run.console;
        if (c.report_tail) {
            EXPECT_TRUE(ends_with(run.file("r.txt"), c.report_tail)) << run.file("r.txt");
            EXPECT_EQ(run.file("jacobi.in"), "");
            EXPECT_EQ(run.file("bf_det.in"), "");
        } else {
            EXPECT_EQ(run.file("jacobi.in"), "<missing>");
        }
    }
}

struct retry_case {
    std::string answers;
    std::string message;  // shown once, before the question comes back
};

const retry_case RETRY_CASES[] = {
    {"r.txt 2 2 1 abc " + REFERENCE_DIMENSIONS, "\n That answer is not a number; please type the dimension again. \n"},
    {"r.txt 2 2 1 0.3 1e999 1 1 1 6 18\n", "\n That number is too large or too small; please type the dimension again. \n"},
    {"r.txt 2 two 2 1 " + REFERENCE_DIMENSIONS, "\n That answer is not a number; please type one of the numbers shown. \n"},
    {"r.txt 2 2 inf 1 " + REFERENCE_DIMENSIONS, "\n That answer is not a number; please type one of the numbers shown. \n"},
    {"r.txt 99999999999 2 2 1 " + REFERENCE_DIMENSIONS, " 2=Breech Fixed & Muzzle Free \n\n Enter the boundary conditions. \n"},
    {std::string(300, 'a') + "\nr.txt 2 2 1 " + REFERENCE_DIMENSIONS,
     "\n The file name beginning aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa is too long: at most 259 characters are allowed. \n"},
    {"jacobi.in r.txt 2 2 1 " + REFERENCE_DIMENSIONS,
     "\n The output file cannot be jacobi.in: the program writes that file itself. \n"},
    {"./bf_det.in r.txt 2 2 1 " + REFERENCE_DIMENSIONS,
     "\n The output file cannot be bf_det.in: the program writes that file itself. \n"},
    {"missing/r.txt r.txt 2 2 1 " + REFERENCE_DIMENSIONS,
     "\n The file missing/r.txt cannot be created: No such file or directory \n"},
};

// Answers that are refused whole where they were typed: the question comes
// back, nothing of the refused answer reaches the report, and the answers
// after it still meet their own questions.
const retry_case REFUSED_TOKEN_CASES[] = {
    {"r.txt 2 2 1 0,3 " + REFERENCE_DIMENSIONS,
     "\n 0,3 has a decimal comma; please type the groove diameter H again with a decimal point. \n"},
    {"r.txt 2 2 1 0.3in " + REFERENCE_DIMENSIONS,
     "\n 0.3in is not a number; please type the groove diameter H again as a plain number of inches. \n"},
    {"r.txt 2 2 1 0x10 " + REFERENCE_DIMENSIONS,
     "\n 0x10 is not a number; please type the groove diameter H again as a plain number of inches. \n"},
    {"r.txt 2 2 1 0.3 1e+x 1 1 1 6 18\n",
     "\n 1e+x is not a number; please type the breech diameter A again as a plain number of inches. \n"},
    {"r.txt 1.5 2 2 1 " + REFERENCE_DIMENSIONS,
     "\n 1.5 is not a whole number; please type one of the numbers shown for the boundary conditions. \n"},
    {"r.txt 2 2.0 2 1 " + REFERENCE_DIMENSIONS,
     "\n 2.0 is not a whole number; please type one of the numbers shown for the profile. \n"},
    {"r.txt 2 2 1,0 1 " + REFERENCE_DIMENSIONS,
     "\n 1,0 is not a whole number; please type one of the numbers shown for the material. \n"},
    {"r.txt 2 2 1 -0.3 " + REFERENCE_DIMENSIONS, "\n The groove diameter H cannot be negative; please type it again. \n"},
    {"r.txt 2 2 1 0.3 1 -1 1 1 6 18\n",
     "\n The reinforce large diameter B cannot be negative; please type it again. \n"},
    {"r.txt 2 2 1 0.3 1 1 1 -6 6 18\n", "\n The reinforce length AB cannot be negative; please type it again. \n"},
};

TEST(Retries, ARefusedAnswerIsExplainedAndTheQuestionAskedAgain)
{
    for (const retry_case &c : RETRY_CASES) {
        SCOPED_TRACE(c.answers.substr(0, 60));
        program_run run = run_program(c.answers);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(count_of(run.console, c.message), 1u) << run.console;
        EXPECT_NE(run.console.find(" fundamental frequency =   50.52 Hz \n"), std::string::npos);
        EXPECT_EQ(count_of(run.file("r.txt"), "\n Breech Fixed & Muzzle Free\n"), 1u);
    }
}

TEST(Retries, ATokenThatIsNotWhollyANumberIsRefusedWhereItWasTyped)
{
    const std::string reference_report = read_text(fs::path(GOLDEN_DIR) / "reference_fixed" / "report.txt");
    const std::string reference_matrices = read_text(fs::path(GOLDEN_DIR) / "reference_fixed" / "jacobi.in");
    for (const retry_case &c : REFUSED_TOKEN_CASES) {
        SCOPED_TRACE(c.answers.substr(0, 60));
        program_run run = run_program(c.answers);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(count_of(run.console, c.message), 1u) << run.console;
        EXPECT_EQ(run.file("r.txt"), reference_report);
        EXPECT_EQ(run.file("jacobi.in"), reference_matrices);
    }
}

TEST(Dimensions, ZeroIsAcceptedWhereItMeansSomething)
{
    struct zero_case {
        const char *answers;
        const char *frequency_line;
    };
    const zero_case cases[] = {
        {"r.txt 2 2 1 0 1 1 1 6 18\n", " fundamental frequency =   48.39 Hz \n"},   // a solid rod
        {"r.txt 2 2 1 0.3 1 1 1 0 24\n", " fundamental frequency =   50.52 Hz \n"},  // no reinforce
        {"r.txt 2 3 1 0.3 1 1 1 1 6 18 0\n", " fundamental frequency =   50.52 Hz \n"},  // no main taper
    };
    for (const zero_case &c : cases) {
        SCOPED_TRACE(c.answers);
        program_run run = run_program(c.answers);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.console.find(c.frequency_line), std::string::npos) << run.console;
    }
}

TEST(Dimensions, ABarrelOfNoLengthEndsTheRunWithStatusOne)
{
    program_run run = run_program("r.txt 2 2 1 0.3 1 1 1 0 0\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(ends_with(run.console, "\n total_length=       0 \n"
                                       "\n The barrel has no length: every segment length is zero. \n"
                                       "\n Press any key to exit.\n\n"))
        << run.console;
    EXPECT_TRUE(ends_with(run.file("r.txt"), "\n total_length=       0 inch\n\n")) << run.file("r.txt");
    EXPECT_EQ(run.file("jacobi.in"), "");
    EXPECT_EQ(run.file("bf_det.in"), "");
}

TEST(Retries, AReportNameThatIsAFolderIsAskedAgain)
{
    program_run run = run_program("somewhere r.txt 2 2 1 " + REFERENCE_DIMENSIONS,
                                  [](const fs::path &folder) { fs::create_directory(folder / "somewhere"); });
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.console.find("\n The file somewhere cannot be created: Is a directory \n"), std::string::npos);
    EXPECT_EQ(count_of(run.console, "\n Enter the name of the output file \n"), 2u);
}

TEST(SideFiles, ASideFileThatCannotBeCreatedEndsTheRunWithStatusTwo)
{
    program_run run = run_program("r.txt 2 2 1 " + REFERENCE_DIMENSIONS,
                                  [](const fs::path &folder) { fs::create_directory(folder / "jacobi.in"); });
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(ends_with(run.console, "\n Enter the name of the output file \n"
                                       "\n The file jacobi.in cannot be created: Is a directory \n"
                                       "\n Press any key to exit.\n\n"))
        << run.console;
    EXPECT_EQ(run.file("r.txt"), "");
    EXPECT_EQ(run.file("bf_det.in"), "<missing>");
}

TEST(SideFiles, EveryRunEmptiesTheSideFilesBeforeTheFirstQuestion)
{
    program_run run = run_program("r.txt\n", [](const fs::path &folder) {
        write_text(folder / "jacobi.in", "stale matrices\n");
        write_text(folder / "bf_det.in", "stale log\n");
    });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.file("jacobi.in"), "");
    EXPECT_EQ(run.file("bf_det.in"), "");
}

}  // namespace
