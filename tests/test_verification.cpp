// The program's numbers against references that share none of its code: the
// closed-form frequency of a uniform beam, the rate at which the element
// model converges to it, LAPACK's generalized eigensolver on the same
// matrices, and a published tapered-beam benchmark.
#include "model_fixture.h"

#include "eigen/eigen_search.h"
#include "model/constants.h"

#include <cmath>
#include <cstdio>
#include <vector>

// LAPACK's generalized symmetric eigensolver, through its Fortran interface.
extern "C" void dsygv_(const int *itype, const char *jobz, const char *uplo, const int *n, double *a, const int *lda,
                       double *b, const int *ldb, double *w, double *work, const int *lwork, int *info,
                       std::size_t jobz_length, std::size_t uplo_length);

namespace {

// Frequency parameters beta*L of the first bending mode (Blevins, Formulas for
// Natural Frequency and Mode Shape, table 8-1).
constexpr double CLAMPED_FREE_BETA_L = 1.875104069;
constexpr double FREE_FREE_BETA_L = 4.730040745;

class verification : public model_test {
protected:
    // The whole computation for a barrel, as a run makes it; the frequency in Hz.
    static double frequency_of(const barrel_case &shape)
    {
        load_barrel(shape);
        console_of([] {
            build_beam();
            search_fundamental();
        });
        EXPECT_FALSE(barrel_model.run_ended);
        return barrel_model.fundamental_frequency;
    }

    // Euler-Bernoulli first frequency of a uniform tube.
    static double uniform_tube_frequency(const barrel_case &shape)
    {
        const double length = shape.ab + shape.bc + shape.cd;
        const double beta_l = shape.bc_type == 2 ? CLAMPED_FREE_BETA_L : FREE_FREE_BETA_L;
        const steel &material = STEELS[shape.material - 1];
        // EI / (rho A) for a tube: E (D^2 + H^2) / (16 rho).
        const double stiffness_per_mass = material.modulus * (shape.a * shape.a + shape.h * shape.h) / (16 * material.density);
        return beta_l * beta_l / (2 * std::acos(-1.0) * length * length) * std::sqrt(stiffness_per_mass);
    }

    static void print_case(const char *name, double reference, double program)
    {
        std::printf("verification | %s | %.10g | %.10g | %.2e\n", name, reference, program,
                    std::fabs(program - reference) / reference);
    }
};

TEST_F(verification, UniformTubeMatchesTheClosedForm)
{
    for (int bc_type : {1, 2})
        for (int material : {1, 2}) {
            SCOPED_TRACE("bc " + std::to_string(bc_type) + " material " + std::to_string(material));
            start_fresh_model();
            const barrel_case tube = reference_barrel(bc_type, material);
            const double expected = uniform_tube_frequency(tube);
            const double actual = frequency_of(tube);
            print_case(bc_type == 2 ? "uniform tube, clamped-free" : "uniform tube, free-free", expected, actual);
            EXPECT_NEAR(actual, expected, 1e-6 * expected);
        }
}

TEST_F(verification, ErrorFallsAsTheFourthPowerOfTheElementLength)
{
    for (int bc_type : {1, 2}) {
        SCOPED_TRACE(bc_type);
        const double expected = uniform_tube_frequency(reference_barrel(bc_type, 1));
        std::vector<double> errors;
        for (int elements : {10, 20, 40}) {
            start_fresh_model();
            barrel_model.element_count = elements;
            errors.push_back(std::fabs(frequency_of(reference_barrel(bc_type, 1)) - expected) / expected);
            std::printf("verification | %d elements, bc %d | relative error %.3e\n", elements, bc_type, errors.back());
        }
        for (size_t i = 1; i < errors.size(); ++i) {
            const double ratio = errors[i - 1] / errors[i];
            EXPECT_GE(ratio, 12) << "halving the elements' length";
            EXPECT_LE(ratio, 20);
        }
    }
}

TEST_F(verification, ElementCountsBeyondTheStoresAreRefused)
{
    for (int elements : {0, 100, 1000, -5}) {
        start_fresh_model();
        barrel_model.element_count = elements;
        load_barrel(reference_barrel(2, 1));
        std::string console = console_of(build_beam);
        EXPECT_TRUE(barrel_model.run_ended) << elements;
        EXPECT_NE(console.find("elements"), std::string::npos) << console;
    }
}

// LAPACK's eigenvalues of the normalised pencil (K, M) left in the model, in
// ascending order. Both matrices are symmetric, so row or column order is the same.
std::vector<double> lapack_eigenvalues()
{
    const barrel_record &m = barrel_model;
    const int n = m.dof_count, problem_type = 1, work_size = 8 * n;
    std::vector<double> k(n * n), mass(n * n), values(n), work(work_size);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            k[i * n + j] = m.stiffness_matrix[i][j];
            mass[i * n + j] = m.mass_matrix[i][j];
        }
    int info = -1;
    dsygv_(&problem_type, "N", "U", &n, k.data(), &n, mass.data(), &n, values.data(), work.data(), &work_size, &info,
           1, 1);
    EXPECT_EQ(info, 0);
    return values;
}

TEST_F(verification, FirstElasticRootAgreesWithLapack)
{
    const barrel_case barrels[] = {
        reference_barrel(BC_FREE_FREE),  // uniform
        reference_barrel(BC_BREECH_FIXED),
        {1, 2, 2, 0.308, 1.2, 1.15, 0.7, 0, 2.5, 23.5, 0},  // two-taper sporter
        {2, 2, 2, 0.308, 1.2, 1.15, 0.7, 0, 2.5, 23.5, 0},
        {1, 3, 1, 0.264, 1.25, 1.2, 0.9, 0.625, 3, 2, 21},  // three-taper
        {2, 3, 1, 0.264, 1.25, 1.2, 0.9, 0.625, 3, 2, 21},
        {2, 3, 2, 0.224, 1.35, 1.35, 1.0, 0.8, 4, 4, 20},
        {1, 3, 2, 0.5, 1.4, 1.3, 1.0, 0.95, 5, 3, 26},
    };
    for (const barrel_case &shape : barrels) {
        start_fresh_model();
        frequency_of(shape);
        const double root = barrel_model.eigen;
        std::vector<double> values = lapack_eigenvalues();
        // With free ends the two rigid-body roots, zero up to rounding, come first.
        const double first_elastic = values[shape.bc_type == 1 ? 2 : 0];
        if (shape.bc_type == 1) {
            EXPECT_LT(std::fabs(values[1]), 1e-6 * first_elastic);
        }
        char name[96];
        std::snprintf(name, sizeof name, "LAPACK dsygv, profile %d, bc %d, steel %d, A=%g", shape.profile, shape.bc_type,
                      shape.material, shape.a);
        print_case(name, first_elastic, root);
        EXPECT_NEAR(root, first_elastic, 1e-7 * first_elastic);
    }
}

TEST_F(verification, TaperedCantileverMatchesThePublishedBenchmark)
{
    // Code_Aster SDLL09: a 1 m steel cantilever of solid square section
    // tapering linearly from 40 mm to 10 mm, E = 200 GPa, rho = 7800 kg/m^3:
    // 54.18 Hz. Modelled here as a solid cone of the same taper, whose
    // frequency differs by sqrt((I/A) circle / (I/A) square) = sqrt(12/16), and
    // by sqrt(E/rho) of the steel used.
    const double inch = 0.0254, metre = 1 / inch;
    const double root_end = 0.040 * metre, tip = 0.010 * metre, length = 1.0 * metre;
    const barrel_case cone = {2, 2, 1, 0.0, root_end, (root_end + tip) / 2, tip, 0, length / 2, length / 2, 0};
    const double actual = frequency_of(cone);

    const steel &material = STEELS[0];
    const double program_e_over_rho = material.modulus / material.density * inch * inch;  // m^2/s^2
    const double reference = 54.18 * std::sqrt(12.0 / 16.0) * std::sqrt(program_e_over_rho / (200e9 / 7800));
    print_case("Code_Aster SDLL09 tapered cantilever, as a cone", reference, actual);
    EXPECT_NEAR(actual, reference, 2e-3 * reference);
}

}  // namespace
