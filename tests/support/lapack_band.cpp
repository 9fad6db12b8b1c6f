#include "tests/support/lapack_band.h"

#include <cstddef>

extern "C" void dsbgvx_(const char *jobz, const char *range, const char *uplo, const int *n, const int *ka,
                        const int *kb, double *ab, const int *ldab, double *bb, const int *ldbb, double *q,
                        const int *ldq, const double *vl, const double *vu, const int *il, const int *iu,
                        const double *abstol, int *m, double *w, double *z, const int *ldz, double *work, int *iwork,
                        int *ifail, int *info, std::size_t, std::size_t, std::size_t);

std::vector<double> lapack_band_eigenvalues(const analysis::band_matrix<double> &k,
                                            const analysis::band_matrix<double> &m, int first, int last)
{
    const int n = k.n, band = analysis::band_matrix<double>::HALF_BANDWIDTH, rows = band + 1;
    // Lower band, column by column: AB(1 + i - j, j) = A(i, j).
    std::vector<double> ab(static_cast<std::size_t>(rows) * n, 0.0), bb(ab.size(), 0.0);
    for (int i = 0; i < n; ++i)
        for (int d = 0; d <= band && d <= i; ++d) {
            ab[static_cast<std::size_t>(i - d) * rows + d] = k.entry(i, d);
            bb[static_cast<std::size_t>(i - d) * rows + d] = m.entry(i, d);
        }
    std::vector<double> values(n), work(7 * static_cast<std::size_t>(n));
    std::vector<int> iwork(5 * static_cast<std::size_t>(n)), ifail(n);
    double q = 0, z = 0, bounds = 0, tolerance = 0;
    int one = 1, found = 0, info = 0;
    dsbgvx_("N", "I", "L", &n, &band, &band, ab.data(), &rows, bb.data(), &rows, &q, &one, &bounds, &bounds, &first,
            &last, &tolerance, &found, values.data(), &z, &one, work.data(), iwork.data(), ifail.data(), &info, 1, 1,
            1);
    values.resize(info == 0 ? found : 0);
    return values;
}
