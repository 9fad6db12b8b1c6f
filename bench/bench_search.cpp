// Where a run spends its time: one determinant evaluation and the whole
// search, each with the banded and the whole-row elimination side by side,
// and the assembly with its matrix file. All on the reference barrel with the
// breech fixed.
#include "app/driver.h"
#include "beam/beam_model.h"
#include "eigen/eigen_search.h"
#include "model/barrel_model.h"
#include "tests/support/barrel_setup.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int BANDED = 3;       // the half bandwidth a beam has
constexpr int WHOLE_ROWS = 0;   // forces whole-row elimination

// The reference barrel assembled, its files going nowhere, for the life of
// this object.
struct reference_model {
    fresh_model model{"/dev/null"};
    reference_model()
    {
        load_barrel(reference_barrel(BC_BREECH_FIXED));
        build_beam();
    }
};

void evaluate_determinant_once(benchmark::State &state)
{
    reference_model reference;
    barrel_model.half_bandwidth = static_cast<int>(state.range(0));
    barrel_model.eigen = 1.1e-8;  // near the fundamental root
    for (auto _ : state) {
        evaluate_determinant();
        benchmark::DoNotOptimize(barrel_model.det);
    }
}
BENCHMARK(evaluate_determinant_once)->Arg(BANDED)->Arg(WHOLE_ROWS)->ArgName("half_bandwidth");

void whole_search(benchmark::State &state)
{
    reference_model reference;
    for (auto _ : state) {
        barrel_model.half_bandwidth = static_cast<int>(state.range(0));
        search_fundamental();
        benchmark::DoNotOptimize(barrel_model.fundamental_frequency);
    }
}
BENCHMARK(whole_search)->Arg(BANDED)->Arg(WHOLE_ROWS)->ArgName("half_bandwidth")->Unit(benchmark::kMicrosecond);

void assembly_and_matrix_file(benchmark::State &state)
{
    reference_model reference;
    barrel_record &m = barrel_model;
    for (auto _ : state) {
        reset_model();  // clears M and K, which the assembly adds into
        assemble_system();
        benchmark::DoNotOptimize(m.scale_ratio);
    }
}
BENCHMARK(assembly_and_matrix_file)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv)
{
    // The program's own console lines go to standard output: send them away,
    // and the results to a copy of the real standard output, appended so that
    // a log file it points into keeps what came before.
    std::ofstream results("/proc/self/fd/" + std::to_string(dup(1)), std::ios::app);
    if (!std::freopen("/dev/null", "w", stdout)) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter reporter;
    reporter.SetOutputStream(&results);
    reporter.SetErrorStream(&results);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
