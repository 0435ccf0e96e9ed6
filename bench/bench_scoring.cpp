// Candidates scored per second on one thread, for helices of 20, 200 and
// 2000 residues with 40 restraints: the cost must not grow with the helix.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>

#include "shell/getpdb.h"
#include "run/oligomer.h"
#include "run/parallel.h"
#include "shell/program.h"
#include "run/rank.h"
#include "run/report.h"
#include "run/run.h"
#include "run/score.h"

namespace {

Helix ideal_helix(int n) {
    Helix h;
    h.numResidue = n;
    for (int k = 0; k < n; ++k) {
        double a = k * 100.0 * M_PI / 180.0, z = 1.5 * (k - (n - 1) / 2.0);
        h.resNum.push_back(k + 1);
        h.coord.push_back({float(2.3 * std::cos(a)), float(2.3 * std::sin(a)), float(z)});
        h.coord.push_back({float(3.4 * std::cos(a + 0.1)), float(3.4 * std::sin(a + 0.1)), float(z + 0.4)});
    }
    return h;
}

Restraint restraints(int n, int count, std::mt19937& rng) {
    Restraint r{};
    r.resize(count);
    for (int i = 0; i < count; ++i) {
        // Ends among 20 residues in the middle, whatever the helix's length.
        r.resIndex1[i] = (n - 20) / 2 + rng() % 20;
        r.resIndex2[i] = (n - 20) / 2 + rng() % 20;
        std::strcpy(r.atom1[i], i % 2 ? "CA" : "CB");
        std::strcpy(r.atom2[i], i % 3 ? "CB" : "CA");
        r.lowerBound[i] = 5.34f;
        r.upperBound[i] = 8.34f;
    }
    r.numRestraint = count;
    return r;
}

void Scoring(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::mt19937 rng(5);
    const Helix h = ideal_helix(n);
    const Restraint r = restraints(n, 40, rng);
    const Scorer scorer(h, r, 5);
    Scorer::Scratch scratch = scorer.scratch();
    std::uniform_real_distribution<float> angle(0, 6.28f), radius(5, 12);
    CandidateTable table(4096);
    for (CandidateRow& row : table) row = {angle(rng), angle(rng) / 2, angle(rng), radius(rng), 0, 0};
    std::size_t i = 0;
    float sum = 0;
    for (auto _ : state) {
        sum += scorer.score(table[i++ & 4095], scratch);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(Scoring)->Arg(20)->Arg(200)->Arg(2000);

}  // namespace

BENCHMARK_MAIN();
