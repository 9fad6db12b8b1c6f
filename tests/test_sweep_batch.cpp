// "boreflex sweep" and "boreflex batch" as scripts run them: grid order, the
// length cut, designs that fail, malformed design tables, parallel runs, and
// the pictures.
#include "run_harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path SUPPRESSOR = fs::path(EXAMPLES_DIR) / "suppressor.toml";

std::vector<std::vector<std::string>> csv_rows(const std::string &text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields(1);
        for (char c : line) {
            if (c == ',') fields.emplace_back();
            else fields.back().push_back(c);
        }
        rows.push_back(fields);
    }
    return rows;
}

// The first frequency analyze gives for a barrel file's text.
double analyzed_f1(const std::string &barrel, const std::vector<std::string> &options = {})
{
    const fs::path folder = make_scratch_folder();
    write_text(folder / "barrel.toml", barrel);
    std::vector<std::string> arguments = {"analyze", "barrel.toml", "--format", "json", "--modes", "3"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const command_run run = run_command(arguments, folder);
    EXPECT_EQ(run.status, 0) << run.errors;
    const std::size_t at = run.output.find("\"frequency\": ");
    return std::strtod(run.output.c_str() + at + 13, nullptr);
}

TEST(Sweep, AGridVariesItsFirstPathSlowestAndReachesEachEnd)
{
    const command_run run = run_command({"sweep", SUPPRESSOR, "--vary", "attachment[0].mass=0:0.2:0.1", "--vary",
                                         "attachment[0].overhang=1:3:2", "--modes", "2"});
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto rows = csv_rows(run.output);
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"attachment[0].mass", "attachment[0].overhang", "f1", "f2", "error"}));
    const char *expected[][2] = {{"0", "1"}, {"0", "3"}, {"0.1", "1"}, {"0.1", "3"}, {"0.2", "1"}, {"0.2", "3"}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(rows[i + 1][0], expected[i][0]) << "row " << i + 1;
        EXPECT_EQ(rows[i + 1][1], expected[i][1]) << "row " << i + 1;
        EXPECT_EQ(rows[i + 1][4], "");
    }
    // A heavier can, or one hanging further out, lowers the first mode.
    EXPECT_GT(std::stod(rows[3][2]), std::stod(rows[4][2]));
    EXPECT_GT(std::stod(rows[3][2]), std::stod(rows[5][2]));
}

// Cutting the barrel gives the barrel a file would describe with the contour
// ending at the cut, its diameter interpolated by hand here.
TEST(Sweep, LengthCutsTheBarrelAtTheMuzzleAndTheAttachmentFollows)
{
    const command_run run = run_command({"sweep", SUPPRESSOR, "--vary", "length=20:26:6", "--modes", "3"});
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto rows = csv_rows(run.output);
    const double muzzle = 1.2 + (0.75 - 1.2) * (20.0 - 3) / (26 - 3);
    char cut[256];
    std::snprintf(cut, sizeof cut,
                  "[barrel]\nbore = 0.308\ncontour = [[0, 1.2], [3, 1.2], [20, %.17g]]\nsteel = \"416R\"\n"
                  "[[attachment]]\nmass = 0.9\ninertia = 3.8\noverhang = 3.5\n",
                  muzzle);
    const double expected = analyzed_f1(cut);
    EXPECT_NEAR(std::stod(rows[1][1]), expected, 1e-6 * expected);
    EXPECT_NEAR(std::stod(rows[2][1]), analyzed_f1(read_text(SUPPRESSOR)), 1e-9 * expected);
}

TEST(Sweep, DesignsThatCannotExistKeepTheirRowsAndMakeTheStatusOne)
{
    const fs::path tuner = fs::path(EXAMPLES_DIR) / "action_springs.toml";  // a tuner at x = 24.5
    const command_run cut = run_command({"sweep", tuner, "--vary", "length=24:26:1", "--modes", "1"});
    EXPECT_EQ(cut.status, 1);
    const auto rows = csv_rows(cut.output);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][1], "");
    EXPECT_NE(rows[1][2].find("lies beyond the cut at 24"), std::string::npos) << rows[1][2];
    EXPECT_NE(rows[2][1], "");
    EXPECT_NE(rows[3][1], "");

    const command_run bore = run_command({"sweep", SUPPRESSOR, "--vary", "barrel.bore=0.7:0.8:0.1", "--modes", "1"});
    EXPECT_EQ(bore.status, 1);
    const auto bore_rows = csv_rows(bore.output);
    ASSERT_EQ(bore_rows.size(), 3u);
    EXPECT_NE(bore_rows[1][1], "");
    EXPECT_EQ(bore_rows[2][1], "");
    EXPECT_NE(bore_rows[2][2].find("no thicker than the bore"), std::string::npos);
}

TEST(Sweep, BadVaryOptionsAreStatusTwoWithNothingComputed)
{
    for (const char *vary : {"attachment[0].mass=0:1", "attachment[0].mass=1:0:0.1", "attachment[0].mass=0:1:0",
                             "attachment[5].mass=0:1:0.5", "barrel.bor=0.3:0.4:0.1"}) {
        SCOPED_TRACE(vary);
        const command_run run = run_command({"sweep", SUPPRESSOR, "--vary", vary});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors.find("--vary"), std::string::npos) << run.errors;
    }
}

TEST(Sweep, ParallelOutputEqualsSerialOutput)
{
    const std::vector<std::string> arguments = {"sweep", SUPPRESSOR, "--vary", "attachment[0].mass=0:1:0.01",
                                                "--vary", "length=22:26:2"};
    setenv("OMP_NUM_THREADS", "1", 1);
    const command_run serial = run_command(arguments);
    setenv("OMP_NUM_THREADS", "2", 1);
    const command_run parallel = run_command(arguments);
    unsetenv("OMP_NUM_THREADS");
    ASSERT_EQ(serial.status, 0);
    EXPECT_EQ(csv_rows(serial.output).size(), 1u + 101 * 3);
    EXPECT_EQ(serial.output, parallel.output);
}

TEST(Batch, EachRowIsADesignInInputOrder)
{
    const fs::path folder = make_scratch_folder();
    write_text(folder / "designs.csv", "length,attachment[0].mass\n26,0.9\n\n22, 0.5\n24,1e-1\n");
    const command_run run = run_command({"batch", SUPPRESSOR, "designs.csv", "--modes", "1"}, folder);
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto rows = csv_rows(run.output);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"length", "attachment[0].mass", "f1", "error"}));
    EXPECT_EQ(rows[2][0], "22");
    EXPECT_EQ(rows[2][1], "0.5");
    EXPECT_EQ(rows[3][1], "1e-1");  // the input columns as they were typed
    const double expected = analyzed_f1(read_text(SUPPRESSOR));
    EXPECT_NEAR(std::stod(rows[1][2]), expected, 2e-7 * expected);
}

TEST(Batch, AMalformedTableIsReportedWithItsLineAndNothingComputed)
{
    const struct {
        const char *name, *table, *message;
    } cases[] = {
        {"wrong field count", "length,attachment[0].mass\n26,0.9\n24\n", "designs.csv:3: 1 fields where the header has 2"},
        {"not a number", "length,attachment[0].mass\n26,0.9\n24,heavy\n",
         "designs.csv:3: attachment[0].mass: \"heavy\" is not a number"},
        {"unknown path", "length,attachment[0].mas\n26,0.9\n", "designs.csv:1: attachment[0].mas:"},
        {"no header", "", "designs.csv: no header line"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = make_scratch_folder();
        write_text(folder / "designs.csv", c.table);
        const command_run run = run_command({"batch", SUPPRESSOR, "designs.csv"}, folder);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
}

// Every kind of picture renders with librsvg into a PNG, and carries its
// labels.
TEST(Plots, EveryKindOfPlotRenders)
{
    const struct {
        const char *name;
        std::vector<std::string> arguments;
        const char *label;
    } cases[] = {
        {"barrel and modes", {"analyze", SUPPRESSOR, "--plot", "plot.svg"}, "Mode 3: 480.66 Hz"},
        {"sweep of one path", {"sweep", SUPPRESSOR, "--vary", "attachment[0].mass=0:1:0.1", "--plot", "plot.svg"},
         "attachment[0].mass (lb)"},
        {"sweep of two paths",
         {"sweep", SUPPRESSOR, "--vary", "length=20:26:1", "--vary", "attachment[0].mass=0:0.9:0.3", "--plot",
          "plot.svg"},
         "0.9 lb"},
        {"short barrel", {"analyze", fs::path(EXAMPLES_DIR) / "reference.toml", "--set", "length=10", "--plot", "plot.svg"},
         "Mode 1:"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = make_scratch_folder();
        const command_run run = run_command(c.arguments, folder);
        ASSERT_EQ(run.status, 0) << run.errors;
        const std::string svg = read_text(folder / "plot.svg");
        EXPECT_NE(svg.find(c.label), std::string::npos);
        const std::string command = "rsvg-convert " + (folder / "plot.svg").string() + " -o " +
                                    (folder / "plot.png").string() + " 2>" + (folder / "rsvg.log").string();
        EXPECT_EQ(std::system(command.c_str()), 0) << read_text(folder / "rsvg.log");
        EXPECT_GT(fs::file_size(folder / "plot.png"), 10000u);
    }
}

}  // namespace
