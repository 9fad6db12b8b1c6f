// LAPACK's banded generalized symmetric eigensolver (dsbgvx), the independent
// reference for the analysis library's own solver in tests and benchmarks.
#pragma once

#include "analysis/finite_elements.h"

#include <vector>

// Eigenvalues number first to last (from 1, in increasing order) of
// K x = lambda M x, both in the library's band form.
std::vector<double> lapack_band_eigenvalues(const analysis::band_matrix<double> &k,
                                            const analysis::band_matrix<double> &m, int first, int last);
