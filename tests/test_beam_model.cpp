#include "model_fixture.h"

#include "model/run_output.h"
#include "beam/beam_model.h"

#include <cmath>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

using beam_model = model_test;

// The two blocks of "jacobi.in" as the words of each row.
struct matrix_file_text {
    std::string first_line;
    std::vector<std::vector<std::string>> mass, stiffness;
};

matrix_file_text parse_matrix_file(const std::string &text, int n)
{
    matrix_file_text parsed;
    std::istringstream lines(text);
    std::getline(lines, parsed.first_line);
    std::string line;
    for (int row = 0; row < 2 * n && std::getline(lines, line); ++row) {
        std::istringstream words(line);
        std::vector<std::string> entries;
        for (std::string word; words >> word;) entries.push_back(word);
        (row < n ? parsed.mass : parsed.stiffness).push_back(entries);
    }
    EXPECT_FALSE(std::getline(lines, line)) << "text after the stiffness block";
    return parsed;
}

TEST_F(beam_model, StationsSitAtElementCentres)
{
    // A single taper whose diameter is 1 + x shows each station's position.
    barrel_record &m = barrel_model;
    set_reference_barrel(2);
    m.diameter_a = 1;
    m.diameter_b = 25;
    m.length_ab = 24;
    m.length_bc = 0;
    discretize_barrel();
    EXPECT_EQ(m.element_length, 0.6);
    for (int e = 0; e < ELEMENT_COUNT; ++e) EXPECT_NEAR(m.station_diameter[e] - 1, 0.3 + 0.6 * e, 1e-12) << e;
}

TEST_F(beam_model, AConstantOutsideDiameterGivesEqualStations)
{
    barrel_record &m = barrel_model;
    set_reference_barrel(2);
    m.profile = 3;
    m.diameter_a = m.diameter_b = m.diameter_c = m.diameter_d = 1.25;
    m.length_ab = 3, m.length_bc = 2, m.length_cd = 19;
    discretize_barrel();
    for (int e = 0; e < ELEMENT_COUNT; ++e) EXPECT_DOUBLE_EQ(m.station_diameter[e], 1.25) << e;
}

TEST_F(beam_model, AStationOnAJointTakesTheLaterSegment)
{
    // Station 20 sits at x = 20.5, where AB ends, BC has no length and CD
    // starts: CD is tested last and gives C (the empty BC alone would give 0/0).
    barrel_record &m = barrel_model;
    set_reference_barrel(2);
    m.profile = 3;
    m.diameter_a = m.diameter_b = 1.0, m.diameter_c = 0.8, m.diameter_d = 0.6;
    m.length_ab = 20.5, m.length_bc = 0, m.length_cd = 19.5, m.total_length = 40;
    discretize_barrel();
    EXPECT_FALSE(m.run_ended);
    EXPECT_EQ(m.station_diameter[20], 0.8);
}

struct wall_case {
    const char *name;
    double h, a, b, c, ab, bc, total;
    int failing_station;
};

const wall_case WALL_CASES[] = {
    {"diameter equal to the bore", 0.3, 0.3, 0.3, 0.3, 6, 18, 24, 0},
    {"wall too thin near the muzzle", 0.3, 1.0, 1.0, 0.2, 6, 18, 24, 36},
    {"zero lengths: 0/0 at the first station", 0.3, 1.0, 1.0, 1.0, 0, 0, 0, 0},
    {"a station that no segment covers", 0.3, 1.0, 1.0, 1.0, 6, 6, 24, 20},
};

TEST_F(beam_model, ThinWallStopsTheRunAtTheFirstFailingStation)
{
    for (const wall_case &c : WALL_CASES) {
        SCOPED_TRACE(c.name);
        start_fresh_model();
        barrel_record &m = barrel_model;
        set_reference_barrel(2);
        m.diameter_h = c.h, m.diameter_a = c.a, m.diameter_b = c.b, m.diameter_c = c.c;
        m.length_ab = c.ab, m.length_bc = c.bc, m.total_length = c.total;
        EXPECT_EQ(console_of(discretize_barrel), "\n diameter error \n");
        EXPECT_TRUE(m.run_ended);
        EXPECT_EQ(m.exit_status, EXIT_BARREL);
        EXPECT_EQ(text_of(m.report_file), "") << "no mass line";
        EXPECT_FALSE(m.station_diameter[c.failing_station] > c.h);
        for (int e = 0; e < c.failing_station; ++e) EXPECT_GT(m.station_diameter[e], c.h);
        for (int e = c.failing_station + 1; e < ELEMENT_COUNT; ++e) EXPECT_EQ(m.station_area[e], 0) << "station past the failure";
    }
}

TEST_F(beam_model, ReferenceBarrelMassLine)
{
    set_reference_barrel(2);
    discretize_barrel();
    EXPECT_EQ(text_of(barrel_model.report_file), " total_mass=   4.837 lbm\n");
    // Independent check: a tube of 24 x (1 - 0.09) pi/4 square inches at 0.00073049 * 386.
    double tube = 24 * (1 - 0.09) * std::acos(-1.0) / 4 * 0.00073049 * 386;
    EXPECT_NEAR(barrel_model.total_mass * 386, tube, 1e-12 * tube);
}

TEST_F(beam_model, ElementMatricesAreSymmetricAndEqualForEqualSections)
{
    barrel_record &m = barrel_model;
    set_reference_barrel(2);
    m.diameter_c = 0.6;  // a taper, so that sections differ along the barrel
    discretize_barrel();
    build_element_mass();
    build_element_stiffness();
    for (int e = 0; e < ELEMENT_COUNT; ++e)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                EXPECT_EQ(std::memcmp(&m.element_mass[e][i][j], &m.element_mass[e][j][i], sizeof(double)), 0);
                EXPECT_EQ(std::memcmp(&m.element_stiffness[e][i][j], &m.element_stiffness[e][j][i], sizeof(double)), 0);
            }
    int equal_pairs = 0;
    for (int e = 0; e < ELEMENT_COUNT; ++e)
        for (int f = e + 1; f < ELEMENT_COUNT; ++f)
            if (m.station_area[e] == m.station_area[f] && m.station_inertia[e] == m.station_inertia[f]) {
                ++equal_pairs;
                EXPECT_EQ(std::memcmp(m.element_mass[e], m.element_mass[f], sizeof m.element_mass[e]), 0);
                EXPECT_EQ(std::memcmp(m.element_stiffness[e], m.element_stiffness[f], sizeof m.element_stiffness[e]), 0);
            }
    EXPECT_GT(equal_pairs, 0) << "the reinforce's ten equal sections";
}

TEST_F(beam_model, FirstEntriesMatchTheirClosedForms)
{
    barrel_record &m = barrel_model;
    set_reference_barrel(1);
    discretize_barrel();
    build_element_mass();
    build_element_stiffness();
    const double le = 0.6, a0 = m.station_area[0], i0 = m.station_inertia[0];
    EXPECT_NEAR(m.element_mass[0][0][0], 156 * a0 * m.density * le / 420, 1e-15 * m.element_mass[0][0][0]);
    EXPECT_NEAR(m.element_stiffness[0][0][0], 12 * m.modulus * i0 / (le * le * le), 1e-13 * m.element_stiffness[0][0][0]);
    EXPECT_NEAR(a0, (1 - 0.09) * std::acos(-1.0) / 4, 1e-15);
    EXPECT_NEAR(i0, (1 - 0.0081) * std::acos(-1.0) / 64, 1e-15);
}

TEST_F(beam_model, MatrixFileHoldsBothNormalisedBandedSymmetricBlocks)
{
    for (int bc_type : {1, 2}) {
        SCOPED_TRACE(bc_type);
        start_fresh_model();
        set_reference_barrel(bc_type);
        build_beam();
        const int n = bc_type == 1 ? 82 : 80;
        EXPECT_EQ(barrel_model.dof_count, n);
        std::string text = text_of(barrel_model.matrix_file);
        matrix_file_text file = parse_matrix_file(text, n);
        EXPECT_EQ(file.first_line, std::to_string(n) + " ");
        ASSERT_EQ(file.mass.size(), size_t(n));
        ASSERT_EQ(file.stiffness.size(), size_t(n));
        EXPECT_EQ(file.mass[0][0], "156");
        EXPECT_EQ(file.stiffness[0][0], "12");
        for (const auto *block : {&file.mass, &file.stiffness})
            for (int i = 0; i < n; ++i) {
                ASSERT_EQ((*block)[i].size(), size_t(n));
                int nonzero = 0;
                for (int j = 0; j < n; ++j) {
                    EXPECT_EQ((*block)[i][j], (*block)[j][i]);
                    if (std::abs(i - j) > 3) {
                        EXPECT_EQ((*block)[i][j], "0");
                    }
                    nonzero += (*block)[i][j] != "0";
                }
                EXPECT_LE(nonzero, 6);
            }
        // Every row is " %12.4g " n times, then " \n".
        if (bc_type == 1) {
            EXPECT_EQ(text.substr(0, 60), "82 \n          156            22            54           -13 ");
        }
        EXPECT_EQ(text.substr(text.size() - 3), "  \n");
    }
}

TEST_F(beam_model, AFixedBreechDropsTheRowsAndColumnsOfTheBreechNode)
{
    barrel_record &m = barrel_model;
    set_reference_barrel(1);
    build_beam();
    std::vector<double> free_mass(82 * 82), free_stiffness(82 * 82);
    for (int i = 0; i < 82; ++i)
        for (int j = 0; j < 82; ++j) {
            free_mass[i * 82 + j] = m.mass_matrix[i][j] / m.mass_matrix[2][2];
            free_stiffness[i * 82 + j] = m.stiffness_matrix[i][j] / m.stiffness_matrix[2][2];
        }
    start_fresh_model();
    set_reference_barrel(2);
    build_beam();
    for (int i = 0; i < 80; ++i)
        for (int j = 0; j < 80; ++j) {
            EXPECT_NEAR(m.mass_matrix[i][j] / 156, free_mass[(i + 2) * 82 + j + 2], 1e-14);
            EXPECT_NEAR(m.stiffness_matrix[i][j] / 12, free_stiffness[(i + 2) * 82 + j + 2], 1e-14);
        }
    // scale_ratio carries lambda back to omega^2: M00/K00 before normalisation, times 156/12.
    EXPECT_GT(m.scale_ratio, 0);
}

TEST_F(beam_model, CancelledLengthsFollowIeeeArithmeticIntoNotANumber)
{
    // AB = 5 and BC = -5 add up to nothing: every element has no length, the
    // mass is zero and the stiffness infinite, and normalising gives NaN.
    barrel_record &m = barrel_model;
    set_reference_barrel(1);
    m.length_ab = 5, m.length_bc = -5, m.total_length = 0;
    build_beam();
    EXPECT_FALSE(m.run_ended);
    matrix_file_text file = parse_matrix_file(text_of(m.matrix_file), 82);
    ASSERT_EQ(file.mass.size(), 82u);
    for (int i = 0; i < 82; ++i)
        for (int j = 0; j < 82; ++j) {
            EXPECT_EQ(file.mass[i][j], "nan");
            bool coupled = std::abs(i / 2 - j / 2) <= 1;  // nodes joined by an element
            EXPECT_EQ(file.stiffness[i][j], coupled ? "nan" : "0") << i << "," << j;
        }
}

}  // namespace
