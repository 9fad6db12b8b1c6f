// The banded elimination must give the whole-row elimination's bits: the
// determinant, the sign-change count, every log line and every console
// message. Both run on the same systems; a half bandwidth of 0 forces whole
// rows.
#include "model_fixture.h"

#include "eigen/eigen_search.h"

#include <cstring>
#include <limits>
#include <random>
#include <sstream>

namespace {

struct evaluation {
    double det;
    int nzc;
    std::string log_line;
    std::string console;
};

class banded_identity : public model_test {
protected:
    static evaluation evaluate(double lambda, int half_bandwidth)
    {
        barrel_record &m = barrel_model;
        m.eigen = lambda;
        m.half_bandwidth = half_bandwidth;
        std::string before = text_of(m.log_file);
        std::string console = console_of(evaluate_determinant);
        evaluation result{m.det, m.nzc, "", console};
        result.log_line = text_of(m.log_file).substr(before.size());
        return result;
    }

    // Evaluates at lambda both ways and reports any difference in the bits.
    static void expect_identical(double lambda, const std::string &what)
    {
        const int band = barrel_model.half_bandwidth;
        evaluation banded = evaluate(lambda, band);
        evaluation whole = evaluate(lambda, 0);
        barrel_model.half_bandwidth = band;
        EXPECT_EQ(std::memcmp(&banded.det, &whole.det, sizeof(double)), 0)
            << what << " lambda " << lambda << ": " << banded.det << " vs " << whole.det;
        EXPECT_EQ(banded.nzc, whole.nzc) << what << " lambda " << lambda;
        EXPECT_EQ(banded.log_line, whole.log_line) << what;
        EXPECT_EQ(banded.console, whole.console) << what;
    }

    // The trial values a search of the current system makes, from its log.
    static std::vector<double> search_trial_values()
    {
        std::fseek(barrel_model.log_file, 0, SEEK_SET);
        std::string log = text_of(barrel_model.log_file);
        console_of(search_fundamental);
        std::istringstream lines(text_of(barrel_model.log_file).substr(log.size()));
        std::vector<double> values;
        for (std::string line; std::getline(lines, line);) values.push_back(std::stod(line.substr(6, 13)));
        values.push_back(barrel_model.eigen);  // the exact root, not its four printed digits
        return values;
    }
};

TEST_F(banded_identity, RandomBarrelsGiveTheSameBits)
{
    std::mt19937_64 random(20261211);
    auto uniform = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
    int checked = 0;
    for (int barrel = 0; barrel < 1000; ++barrel) {
        start_fresh_model();
        barrel_case shape{};
        shape.bc_type = 1 + barrel % 2;
        shape.profile = 2 + (barrel / 2) % 2;
        shape.material = 1 + (barrel / 4) % 2;
        shape.h = uniform(0.1, 0.5);
        shape.a = uniform(shape.h + 0.2, 2.0);
        shape.b = uniform(shape.h + 0.1, shape.a);
        shape.c = uniform(shape.h + 0.05, shape.b);
        shape.d = shape.profile == 3 ? uniform(shape.h + 0.05, shape.c) : 0;
        shape.ab = uniform(0.5, 8);
        shape.bc = uniform(0.5, 10);
        shape.cd = shape.profile == 3 ? uniform(5, 25) : 0;
        load_barrel(shape);
        console_of(build_beam);
        ASSERT_FALSE(barrel_model.run_ended);
        ASSERT_EQ(barrel_model.half_bandwidth, 3);
        std::vector<double> trials = search_trial_values();
        // The first and every 25th trial value, and the last few, where the
        // determinant is smallest.
        for (size_t t = 0; t < trials.size(); ++t)
            if (t % 25 == 0 || t + 4 >= trials.size()) expect_identical(trials[t], "barrel " + std::to_string(barrel));
        ++checked;
    }
    EXPECT_EQ(checked, 1000);
}

TEST_F(banded_identity, SystemsThatLeaveTheBandAgree)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    barrel_record &m = barrel_model;
    const int n = 40;
    m.dof_count = n;
    m.half_bandwidth = 3;
    std::mt19937_64 random(7);
    auto fill_banded = [&](double scale) {
        std::uniform_real_distribution<double> entry(-1, 1);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                bool in_band = std::abs(i - j) <= 3;
                m.stiffness_matrix[i][j] = in_band ? scale * entry(random) : 0;
                m.mass_matrix[i][j] = in_band ? scale * entry(random) : 0;
            }
    };

    fill_banded(1);
    for (double lambda : {0.0, 0.5, 3.0}) expect_identical(lambda, "random band");

    // A pivot below the floor half-way, with every value still finite: the
    // banded elimination stops there and says so itself.
    fill_banded(1);
    for (int j = 0; j < n; ++j) m.stiffness_matrix[20][j] = m.stiffness_matrix[j][20] = m.mass_matrix[20][j] = m.mass_matrix[j][20] = 0;
    m.stiffness_matrix[20][20] = 1e-95;
    expect_identical(0.25, "pivot failing mid-way");
    ASSERT_EQ(evaluate(0.25, 3).console, " j=21\n\n diagonal term  20 20 equals zero ");

    // An exact zero pivot: its sign decides the determinant's. Whole rows
    // subtract from it zeros that the band never reaches, signed by the
    // negative pivot 5, and a zero minus a zero takes signs the band does not.
    for (int i = 0; i < n; ++i) m.stiffness_matrix[i][i] = 5;
    m.stiffness_matrix[5][5] = -5;
    for (int j = 0; j < n; ++j) m.mass_matrix[20][j] = m.mass_matrix[j][20] = 0;
    m.stiffness_matrix[20][20] = -0.0;
    expect_identical(0.01, "negative zero pivot");

    // Values that overflow during the elimination.
    fill_banded(1e300);
    m.stiffness_matrix[0][0] = 1e-80;
    m.mass_matrix[0][0] = 0;
    expect_identical(1.0, "overflow");

    // Not a number everywhere.
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) m.stiffness_matrix[i][j] = m.mass_matrix[i][j] = nan;
    expect_identical(1e-9, "all NaN");
    EXPECT_EQ(evaluate(1e-9, 3).nzc, n - 1);
}

}  // namespace
