// Determinant by plain elimination: with no row exchanges and no scaling the
// diagonal after elimination holds the pivots of K - lambda M, whose product
// is the determinant and whose signs tell how many eigenvalues lie below
// lambda.
//
// K and M of a beam are banded, and elimination without exchanges keeps the
// band: outside it a row update subtracts zero times a finite number, which
// leaves every nonzero value as it is and can at most turn the sign of a zero.
// So the elimination may stay inside the band and give the same bits, as long
// as every factor and every pivot-row entry it uses is finite (inf times zero
// is no zero) and no diagonal entry ends up zero (its sign reaches the
// determinant). A non-finite factor or pivot-row entry always reaches the
// diagonal of a row in the band, and stays non-finite there, so one look at
// the diagonal afterwards tells. When it shows anything else, the evaluation
// is done again over whole rows, which is the reference.
#include "eigen/eigen_search.h"

#include "model/barrel_model.h"
#include "model/run_output.h"

#include <algorithm>

namespace {

// Smallest pivot magnitude the elimination divides by.
constexpr double PIVOT_FLOOR = 1e-90;

// W = K - eigen*M for every entry within reach of the diagonal.
void form_work_matrix(int reach)
{
    barrel_record &m = barrel_model;
    const int n = m.dof_count;
    const double lambda = m.eigen;  // a local: stores into W cannot change it
    for (int i = 0; i < n; ++i) {
        const double *k = m.stiffness_matrix[i], *mass = m.mass_matrix[i];
        double *w = m.work_matrix[i];
        for (int j = std::max(0, i - reach), last = std::min(n - 1, i + reach); j <= last; ++j)
            w[j] = k[j] - lambda * mass[j];
    }
}

// Forward elimination confined to reach of the diagonal; a reach of n - 1 or
// more is whole rows. Returns the pivot row that failed the size test, or -1.
int reduce(int reach)
{
    auto &w = barrel_model.work_matrix;
    const int n = barrel_model.dof_count;
    for (int i = 0; i < n - 1; ++i) {
        const double *pivot_row = w[i];
        if (!(std::fabs(pivot_row[i]) >= PIVOT_FLOOR)) return i;  // also a pivot that is not a number
        const int last = std::min(n - 1, i + reach);
        for (int r = i + 1; r <= last; ++r) {
            double *row = w[r];
            const double factor = row[i] / pivot_row[i];  // formed once, before row r changes
            for (int c = i; c <= last; ++c) row[c] = row[c] - factor * pivot_row[c];
        }
    }
    return -1;
}

void report_small_pivot(int row)
{
    console_print(" j=%ld\n", static_cast<long>(row + 1));
    console_print("\n diagonal term  %d %d equals zero ", row, row);
}

// Whether a banded elimination gave what whole rows would: every diagonal
// entry finite and nonzero.
bool band_matches_whole_rows()
{
    const barrel_record &m = barrel_model;
    bool settled = true;
    for (int k = 0; k < m.dof_count; ++k) settled &= std::isfinite(m.work_matrix[k][k]) && m.work_matrix[k][k] != 0;
    return settled;
}

// Gaussian forward elimination of work_matrix over whole rows, without row
// exchanges; stops at a pivot too small to divide by and says so on the
// console.
void eliminate()
{
    const int failed = reduce(barrel_model.dof_count);
    if (failed >= 0) report_small_pivot(failed);
}

}  // namespace

void evaluate_determinant()
{
    barrel_record &m = barrel_model;
    auto &w = m.work_matrix;
    const int n = m.dof_count;

    // Outside the band K - eigen*M is zero only while eigen is finite.
    const int reach = m.half_bandwidth;
    bool reduced = false;
    if (reach > 0 && reach < n - 1 && std::isfinite(m.eigen)) {
        form_work_matrix(reach);
        const int failed = reduce(reach);
        reduced = band_matches_whole_rows();
        if (reduced && failed >= 0) report_small_pivot(failed);
    }
    if (!reduced) {
        form_work_matrix(n);
        eliminate();
    }

    double det = 1.0;
    int changes = 0;
    for (int k = 0; k < n; ++k) {
        det *= w[k][k];
        if (k > 0 && signs_differ(w[k - 1][k - 1], w[k][k])) ++changes;
    }
    m.det = det;
    m.nzc = changes;

    file_print(m.log_file, "eigen= %12.4g  det= %12.4g  nzc=%d\n", m.eigen, m.det, m.nzc);
}
