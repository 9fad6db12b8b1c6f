// Determinant by plain elimination: with no row exchanges and no scaling the
// diagonal after elimination holds the pivots of K - lambda M, whose product
// is the determinant and whose signs tell how many eigenvalues lie below
// lambda.
#include "eigen_search.h"

#include "../app/barrel_model.h"
#include "../app/run_output.h"

namespace {

// Smallest pivot magnitude the elimination divides by.
constexpr double PIVOT_FLOOR = 1e-90;

}  // namespace

void eliminate()
{
    barrel_record &m = barrel_model;
    auto &w = m.work_matrix;
    const int n = m.dof_count;
    for (int i = 0; i < n - 1; ++i) {
        if (!(std::fabs(w[i][i]) >= PIVOT_FLOOR)) {  // also a pivot that is not a number
            console_print(" j=%ld\n", static_cast<long>(i + 1));
            console_print("\n diagonal term  %d %d equals zero ", i, i);
            return;
        }
        for (int r = i + 1; r < n; ++r) {
            const double factor = w[r][i] / w[i][i];
            for (int c = i; c < n; ++c) w[r][c] = w[r][c] - factor * w[i][c];
        }
    }
}

void evaluate_determinant()
{
    barrel_record &m = barrel_model;
    auto &w = m.work_matrix;
    const int n = m.dof_count;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) w[i][j] = m.stiffness_matrix[i][j] - m.eigen * m.mass_matrix[i][j];

    eliminate();

    m.det = 1.0;
    for (int k = 0; k < n; ++k) m.det *= w[k][k];
    m.nzc = 0;
    for (int k = 1; k < n; ++k)
        if (signs_differ(w[k - 1][k - 1], w[k][k])) ++m.nzc;

    file_print(m.log_file, "eigen= %12.4g  det= %12.4g  nzc=%d\n", m.eigen, m.det, m.nzc);
}
