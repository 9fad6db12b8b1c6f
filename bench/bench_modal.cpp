// The analysis library's solver against LAPACK's banded generalized solver
// (dsbgvx, eigenvalues 1 to 3) on the same matrices: the classic reference
// barrel on 200 elements, breech clamped. Each reports, as a counter, the
// largest relative error of its three eigenvalues against the same model in
// long double.
#include "analysis/band_eigensolver.h"
#include "analysis/modal_analysis.h"
#include "tests/support/lapack_band.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace analysis;

constexpr int ELEMENTS = 200;

barrel reference_barrel()
{
    barrel b;
    b.bore = 0.3;
    b.contour = {{0, 1.0}, {6, 1.0}, {24, 1.0}};
    b.steel = *named_steel("416R");
    return b;
}

struct reference_problem {
    barrel b = reference_barrel();
    mesh grid = build_mesh(b, ELEMENTS);
    beam_system<double> system = assemble<double>(b, grid, beam_theory::euler_bernoulli);
    std::vector<long double> exact = elastic_eigenvalues<long double>(b, beam_theory::euler_bernoulli, ELEMENTS, 3);

    double worst_error(const std::vector<double> &values) const
    {
        double worst = 0;
        for (std::size_t i = 0; i < exact.size(); ++i)
            worst = std::max(worst, static_cast<double>(std::fabs((values[i] - exact[i]) / exact[i])));
        return worst;
    }
};

const reference_problem &problem()
{
    static const reference_problem p;
    return p;
}

void BM_engine_first3_modes(benchmark::State &state)
{
    const reference_problem &p = problem();
    std::vector<double> values;
    for (auto _ : state) {
        auto energy = [&](const std::vector<double> &x) { return strain_energy(p.b, p.grid, beam_theory::euler_bernoulli, p.system, x); };
        values.clear();
        for (const eigenpair<double> &pair : lowest_eigenpairs<double>(p.system.stiffness, p.system.mass, 0, 3, energy))
            values.push_back(pair.value);
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["relative_error"] = p.worst_error(values);
}
BENCHMARK(BM_engine_first3_modes)->Unit(benchmark::kMicrosecond);

void BM_lapack_dsbgvx_first3_modes(benchmark::State &state)
{
    const reference_problem &p = problem();
    std::vector<double> values;
    for (auto _ : state) {
        values = lapack_band_eigenvalues(p.system.stiffness, p.system.mass, 1, 3);
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["relative_error"] = p.worst_error(values);
}
BENCHMARK(BM_lapack_dsbgvx_first3_modes)->Unit(benchmark::kMicrosecond);

}  // namespace
