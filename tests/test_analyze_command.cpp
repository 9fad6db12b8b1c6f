// "boreflex analyze" run as a script would run it: barrel files good and bad,
// overrides, and both output formats.
#include "run_harness.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string GOOD_BARREL = R"([barrel]
bore = 0.3
contour = [[0, 1.0], [24, 1.0]]
steel = "416R"
)";

// Runs analyze on text written to a file of the given name.
command_run analyze_text(const std::string &text, std::vector<std::string> options = {})
{
    const fs::path folder = make_scratch_folder();
    write_text(folder / "barrel.toml", text);
    options.insert(options.begin(), {"analyze", "barrel.toml"});
    return run_command(options, folder);
}

struct bad_input_case {
    const char *name;
    std::string text;
    std::vector<std::string> options;
    int status;
    std::string message;  // a part of what standard error says
};

const bad_input_case BAD_INPUT_CASES[] = {
    {"not TOML", "[barrel\nbore = 0.3\n", {}, 2, "barrel.toml:1:"},
    {"misspelt key", GOOD_BARREL + "[supports]\nbreach = \"clamped\"\n", {}, 2,
     "barrel.toml:6:1: supports.breach: unknown key"},
    {"misspelt barrel key", "[barrel]\nbore = 0.3\nbroe = 1\ncontour = [[0, 1.0], [24, 1.0]]\nsteel = \"416R\"\n", {}, 2,
     "barrel.toml:3:1: barrel.broe: unknown key"},
    {"wrong type", "[barrel]\nbore = \"0.3\"\ncontour = [[0, 1.0], [24, 1.0]]\nsteel = \"416R\"\n", {}, 2,
     "barrel.toml:2:8: barrel.bore: must be a number, not a string"},
    {"missing contour", "[barrel]\nbore = 0.3\nsteel = \"416R\"\n", {}, 2, "barrel.contour: is missing"},
    {"bad option", GOOD_BARREL, {"--modes", "zero"}, 2, "--modes"},
    {"bad format", GOOD_BARREL, {"--format", "xml"}, 2, "--format"},
    {"override without value", GOOD_BARREL, {"--set", "barrel.bore"}, 2, "expected PATH=VALUE"},
    {"override of a missing element", GOOD_BARREL, {"--set", "barrel.contour[5][1]=0.8"}, 2, "no element [5]"},
    {"unknown steel", "[barrel]\nbore = 0.3\ncontour = [[0, 1.0], [24, 1.0]]\nsteel = \"316L\"\n", {}, 1,
     "unknown steel \"316L\""},
    {"unknown support", GOOD_BARREL + "[supports]\nbreech = \"glued\"\n", {}, 1, "unknown support \"glued\""},
    {"contour going backwards", "[barrel]\nbore = 0.3\ncontour = [[0, 1.0], [12, 1.0], [10, 0.9]]\nsteel = \"416R\"\n",
     {}, 1, "the contour goes backwards at point 2"},
    {"no wall", GOOD_BARREL, {"--set", "barrel.bore=1.0"}, 1, "the wall is no thicker than the bore"},
    {"zero length", "[barrel]\nbore = 0.3\ncontour = [[0, 1.0], [0, 1.0]]\nsteel = \"416R\"\n", {}, 1,
     "the barrel has no length"},
    {"negative mass", GOOD_BARREL + "[[attachment]]\nmass = -0.5\n", {}, 1, "attachment 0 has a negative mass"},
    {"attachment beyond the barrel", GOOD_BARREL + "[[attachment]]\nat = 30\nmass = 0.5\n", {}, 1,
     "attachment 0 is at x = 30, off the barrel"},
    {"numbers past a double's range",
     "[barrel]\nbore = 0\ncontour = [[0, 1e200], [1e-100, 1e200]]\nsteel = \"416R\"\n", {}, 1, "no finite frequency"},
    {"a modulus past a double's range", "[barrel]\nbore = 0.3\ncontour = [[0, 1.0], [24, 1.0]]\n"
     "[barrel.material]\nmodulus = 1e300\ndensity = 0.28\npoisson = 0.3\n", {}, 1, "no finite frequency"},
    {"unknown units", "units = \"cm\"\n" + GOOD_BARREL, {}, 2, "barrel.toml:1:9: units: must be \"inch\" or \"mm\""},
};

TEST(AnalyzeCommand, BadInputIsReportedOnStandardErrorWithItsStatus)
{
    for (const bad_input_case &c : BAD_INPUT_CASES) {
        SCOPED_TRACE(c.name);
        const command_run run = analyze_text(c.text, c.options);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.output, "");
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
}

TEST(AnalyzeCommand, AMissingFileIsStatusTwo)
{
    const command_run run = run_command({"analyze", "/nonexistent/barrel.toml"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output, "");
    EXPECT_NE(run.errors.find("/nonexistent/barrel.toml: cannot be read"), std::string::npos) << run.errors;
}

// Overrides, each against the same barrel written out with the new value.
TEST(AnalyzeCommand, OverridesActAsIfTheFileSaidSo)
{
    const struct {
        std::string path_value, edited;
    } cases[] = {
        {"barrel.bore=0.25", "[barrel]\nbore = 0.25\ncontour = [[0, 1.0], [24, 1.0]]\nsteel = \"416R\"\n"},
        {"barrel.contour[1][1]=0.8", "[barrel]\nbore = 0.3\ncontour = [[0, 1.0], [24, 0.8]]\nsteel = \"416R\"\n"},
        {"attachment[0].mass=1.2", GOOD_BARREL + "[[attachment]]\nmass = 1.2\n"},
        {"supports.breech=pinned", GOOD_BARREL + "[supports]\nbreech = \"pinned\"\n"},
        {"supports.breech.rotational=3e5", GOOD_BARREL + "[supports]\nbreech = { rotational = 3e5 }\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path_value);
        std::string base = GOOD_BARREL;
        if (c.path_value.rfind("attachment", 0) == 0) base += "[[attachment]]\nmass = 0.1\n";
        if (c.path_value.rfind("supports.breech.", 0) == 0) base += "[supports]\nbreech = { translational = 0 }\n";
        const command_run overridden = analyze_text(base, {"--format", "json", "--set", c.path_value});
        const command_run edited = analyze_text(c.edited, {"--format", "json"});
        ASSERT_EQ(overridden.status, 0) << overridden.errors;
        EXPECT_EQ(overridden.output, edited.output);
    }
}

TEST(AnalyzeCommand, JsonHasTheDocumentedKeys)
{
    const command_run run = run_command({"analyze", fs::path(EXAMPLES_DIR) / "suppressor.toml", "--format", "json",
                                         "--modes", "2"});
    ASSERT_EQ(run.status, 0) << run.errors;
    const nlohmann::json report = nlohmann::json::parse(run.output);
    for (const char *key : {"units", "theory", "elements", "estimated_error", "rigid_body_modes", "barrel", "modes"})
        EXPECT_TRUE(report.contains(key)) << key;
    for (const char *key : {"length", "mass", "attached_mass", "center_of_gravity"})
        EXPECT_TRUE(report["barrel"].contains(key)) << key;
    ASSERT_EQ(report["modes"].size(), 2u);
    for (const char *key : {"mode", "frequency", "period", "nodes", "muzzle", "shape"})
        EXPECT_TRUE(report["modes"][0].contains(key)) << key;
    EXPECT_EQ(report["barrel"]["attached_mass"], 0.9);
    EXPECT_EQ(report["modes"][0]["shape"][0].size(), 3u);
    EXPECT_LE(report["estimated_error"].get<double>(), 1e-7);
}

TEST(AnalyzeCommand, TextReportsTheReferenceBarrelAsTheClassicDialogueDoes)
{
    const command_run run = run_command({"analyze", fs::path(EXAMPLES_DIR) / "reference.toml"});
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    EXPECT_NE(run.output.find("50.52"), std::string::npos) << run.output;  // the dialogue's 50.52 Hz
}

// The suppressor barrel written in millimetres and kilograms: the same
// frequencies, its lengths and masses reported back in the file's units.
TEST(AnalyzeCommand, AMetricFileIsTheSameBarrelInOtherUnits)
{
    auto report = [](const char *file) {
        const command_run run = run_command({"analyze", fs::path(EXAMPLES_DIR) / file, "--format", "json"});
        EXPECT_EQ(run.status, 0) << run.errors;
        return nlohmann::json::parse(run.output);
    };
    const nlohmann::json inch = report("suppressor.toml"), mm = report("suppressor-mm.toml");
    EXPECT_EQ(mm["units"], "mm");
    EXPECT_NEAR(mm["barrel"]["length"].get<double>(), 660.4, 1e-9);
    EXPECT_NEAR(mm["barrel"]["attached_mass"].get<double>(), 0.9 * 0.45359237, 1e-9);
    EXPECT_NEAR(mm["barrel"]["center_of_gravity"].get<double>(), 25.4 * inch["barrel"]["center_of_gravity"].get<double>(),
                1e-8);
    for (int i = 0; i < 3; ++i) {
        const double f = inch["modes"][i]["frequency"];
        EXPECT_NEAR(mm["modes"][i]["frequency"].get<double>(), f, 1e-11 * f);
        EXPECT_NEAR(mm["modes"][i]["muzzle"]["slope"].get<double>(),
                    inch["modes"][i]["muzzle"]["slope"].get<double>() / 25.4, 1e-10);
    }
    EXPECT_NEAR(mm["modes"][2]["nodes"][0].get<double>(), 25.4 * inch["modes"][2]["nodes"][0].get<double>(), 1e-8);
}

TEST(AnalyzeCommand, HelpAndVersionGoToStandardOutput)
{
    for (const std::vector<std::string> &arguments :
         {std::vector<std::string>{"--help"}, {"--version"}, {"analyze", "--help"}}) {
        const command_run run = run_command(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.output, "");
        EXPECT_EQ(run.errors, "");
    }
}

}  // namespace
