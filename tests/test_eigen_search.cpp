#include "model_fixture.h"

#include "eigen/eigen_search.h"
#include "model/constants.h"
#include "model/run_output.h"

#include <cerrno>
#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();

struct sign_case {
    double a, b;
    bool differ;
};

const sign_case SIGN_CASES[] = {
    {1, 2, false},
    {-1, -2, false},
    {1, -2, true},
    {-1e-300, 1e-300, true},   // the product underflows to -0, the signs still differ
    {1e-200, -1e-200, true},
    {0, -1, false},            // a zero never counts
    {-0.0, 1, false},
    {0, 0, false},
    {nan, 1, true},            // a NaN always counts
    {-1, nan, true},
    {nan, nan, true},
    {std::numeric_limits<double>::infinity(), -1, true},
};

TEST(SignRule, DecidesFromTheSignsThemselves)
{
    for (const sign_case &c : SIGN_CASES) EXPECT_EQ(signs_differ(c.a, c.b), c.differ) << c.a << " " << c.b;
}

class eigen_search : public model_test {
protected:
    // A small system K - lambda M written straight into the model, with
    // scale_ratio 1 so that lambda is omega squared.
    static void set_system(int n, const std::vector<double> &k, const std::vector<double> &m)
    {
        barrel_record &model = barrel_model;
        model.dof_count = n;
        model.scale_ratio = 1;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                model.stiffness_matrix[i][j] = k[i * n + j];
                model.mass_matrix[i][j] = m[i * n + j];
            }
    }

    static std::vector<std::string> log_lines()
    {
        std::istringstream text(text_of(barrel_model.log_file));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }
};

TEST_F(eigen_search, AFailingPivotStopsTheEliminationButNotTheEvaluation)
{
    // Identity but for a negative entry at 3, a zero pivot at 4 and a coupling
    // of rows 0 and 5 that the elimination resolves before it stops.
    std::vector<double> k(36, 0.0), m(36, 0.0);
    for (int i = 0; i < 6; ++i) k[i * 6 + i] = 1;
    k[3 * 6 + 3] = -2;
    k[4 * 6 + 4] = 0;
    k[5 * 6 + 5] = -3;
    k[0 * 6 + 5] = k[5 * 6 + 0] = 0.5;
    set_system(6, k, m);
    EXPECT_EQ(console_of(evaluate_determinant), " j=5\n\n diagonal term  4 4 equals zero ");
    barrel_record &model = barrel_model;
    EXPECT_EQ(model.work_matrix[5][5], -3.25);  // reduced by pivot 0, then left alone
    EXPECT_EQ(model.det, 0.0);                  // 1 * 1 * 1 * -2 * 0 * -3.25
    EXPECT_EQ(model.nzc, 1);                    // only 1 -> -2; zeros never count
    EXPECT_EQ(log_lines(), std::vector<std::string>{"eigen=            0  det=            0  nzc=1"});
}

struct pivot_case {
    double pivot;
    const char *console;
};

const pivot_case PIVOT_CASES[] = {
    {1e-90, ""},  // exactly at the floor passes
    {-1e-90, ""},
    {9.99e-91, " j=1\n\n diagonal term  0 0 equals zero "},
    {0, " j=1\n\n diagonal term  0 0 equals zero "},
    {nan, " j=1\n\n diagonal term  0 0 equals zero "},
};

TEST_F(eigen_search, PivotFloorIsInclusive)
{
    for (const pivot_case &c : PIVOT_CASES) {
        SCOPED_TRACE(c.pivot);
        set_system(2, {c.pivot, 0, 0, 1}, {0, 0, 0, 0});
        EXPECT_EQ(console_of(evaluate_determinant), c.console);
    }
}

TEST_F(eigen_search, TinyAndEmptySystems)
{
    barrel_record &model = barrel_model;
    set_system(1, {0}, {0});  // the only pivot is never tested
    EXPECT_EQ(console_of(evaluate_determinant), "");
    EXPECT_EQ(model.det, 0.0);
    EXPECT_EQ(model.nzc, 0);
    set_system(1, {-4}, {1});
    model.eigen = 1;
    console_of(evaluate_determinant);
    EXPECT_EQ(model.det, -5.0);
    set_system(0, {}, {});
    console_of(evaluate_determinant);
    EXPECT_EQ(model.det, 1.0);
    EXPECT_EQ(model.nzc, 0);
}

TEST_F(eigen_search, AnAllNanSystemFailsAtPivotZeroOnEveryEvaluation)
{
    barrel_record &model = barrel_model;
    set_system(82, std::vector<double>(82 * 82, nan), std::vector<double>(82 * 82, nan));
    model.scale_ratio = nan;
    std::string console = console_of(search_fundamental);
    std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 102u);  // a "change" at the second value, then 50 passes of two
    for (const std::string &line : lines) EXPECT_NE(line.find("det=          nan  nzc=81"), std::string::npos);
    std::string message = " j=1\n\n diagonal term  0 0 equals zero ";
    size_t messages = 0;
    for (size_t at = console.find(message); at != std::string::npos; at = console.find(message, at + 1)) ++messages;
    EXPECT_EQ(messages, 102u);
    EXPECT_NE(console.find("\n fundamental frequency =     nan Hz \n"), std::string::npos);
    EXPECT_EQ(model.exit_status, EXIT_BARREL);  // not a number is no result
}

TEST_F(eigen_search, AChangeAtTheSecondTrialValue)
{
    // det = k - lambda with its root between the first two trial values.
    barrel_record &model = barrel_model;
    set_system(1, {1.2e-9}, {1});
    console_of(search_fundamental);
    std::vector<std::string> lines = log_lines();
    ASSERT_GE(lines.size(), 102u);
    EXPECT_EQ(lines[0], "eigen=       1e-009  det=       2e-010  nzc=0");
    EXPECT_EQ(lines[1], "eigen=     1.5e-009  det=      -3e-010  nzc=0");
    EXPECT_EQ(lines[2].substr(0, 19), "eigen=       1e-009");  // the first pass starts at the bracket's low end
    // The result is the last trial value: the upper end of the final bracket.
    EXPECT_GE(model.eigen, 1.2e-9);
    EXPECT_NEAR(model.eigen, 1.2e-9, 1e-22);
    EXPECT_EQ(model.fundamental_frequency, std::sqrt(model.eigen) / (2.0 * pi()));
    EXPECT_EQ(text_of(model.report_file), "\n fundamental frequency =5.513e-006 Hz \n");
    EXPECT_EQ(model.exit_status, 0);
}

TEST_F(eigen_search, AZeroDeterminantHidesAChange)
{
    // Roots at exactly the second trial value and at 1e-6: the first is never
    // seen, since neither the step into the zero nor the one out of it counts.
    barrel_record &model = barrel_model;
    const double hidden = 1e-9 * 1.5;
    set_system(2, {hidden, 0, 0, 1e-6}, {1, 0, 0, 1});
    console_of(search_fundamental);
    EXPECT_NE(log_lines()[1].find("det=            0"), std::string::npos);
    EXPECT_NEAR(model.eigen, 1e-6, 1e-18);
}

TEST_F(eigen_search, NoSignChangeInTheWholeRange)
{
    barrel_record &model = barrel_model;
    set_system(1, {1}, {0});  // det = 1 whatever lambda
    std::string console = console_of(search_fundamental);
    EXPECT_EQ(log_lines().size(), 200u);
    EXPECT_EQ(console, "\n No fundamental frequency was found in the range searched. \n");
    EXPECT_EQ(text_of(model.report_file), "\n No fundamental frequency was found in the range searched. \n");
    EXPECT_EQ(model.exit_status, EXIT_BARREL);
}

TEST_F(eigen_search, TrialValuesGrowByRoundedSteps)
{
    barrel_record &model = barrel_model;
    set_system(1, {1}, {0});
    console_of(search_fundamental);
    double expected = 1e-9;
    for (int k = 1; k < 200; ++k) expected = expected * 1.5;
    EXPECT_EQ(model.eigen, expected * 1.5);  // one step past the 200th trial value
    EXPECT_EQ(log_lines()[199].substr(0, 19), "eigen=   1.102e+026");
}

// A stream that accepts a number of bytes and then fails like a full disk.
std::FILE *stream_failing_after(std::size_t capacity)
{
    static std::size_t remaining;
    remaining = capacity;
    cookie_io_functions_t functions{};
    functions.write = [](void *, const char *, size_t size) -> ssize_t {
        if (size > remaining) {
            errno = ENOSPC;
            return -1;
        }
        remaining -= size;
        return static_cast<ssize_t>(size);
    };
    return fopencookie(nullptr, "w", functions);
}

TEST_F(eigen_search, ALogThatFailsDuringTheHalvingGivesNoFrequency)
{
    barrel_record &model = barrel_model;
    set_system(1, {1.2e-6}, {1});
    std::fclose(model.log_file);
    model.log_file = stream_failing_after(40 * 46);  // the bracketing and a few halvings
    std::string console = console_of(search_fundamental);
    EXPECT_EQ(console, "\n The file bf_det.in could not be written: No space left on device \n");
    EXPECT_EQ(model.exit_status, EXIT_IO);
    EXPECT_EQ(text_of(model.report_file), "");
    EXPECT_EQ(model.log_file, nullptr) << "closed at once";
}

}  // namespace
