#!/usr/bin/env bash
# Builds the benchmarks and prints the performance figures: the full run
# against the I/O floor, on the disk and in memory, on the standard workload
# (40 residues with hydrogens, 640 template atoms, 5 protomers, 500
# candidates, 40 restraints), scoring rates for helices of 20, 200 and 2000
# residues, the peak memory for a candidate file of one million lines, and
# the rate of the placement search on the default grid, and the search of
# the BM2 example without and with --refine and --supercoil, and from its
# sequence.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DNOEBUNDLE_BENCH=ON -DNOEBUNDLE_TESTS=OFF >/dev/null
cmake --build build-bench -j2 >/dev/null

echo "== full run against the I/O floor, 7 interleaved pairs on the disk and in memory =="
python3 bench/full_run.py build-bench

echo "== scoring, one thread, 40 restraints =="
build-bench/bench/bench_scoring --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.2 --benchmark_report_aggregates_only=true 2>/dev/null \
  | grep -E '_median' | awk '{printf "%-22s %s\n", $1, $NF}'

echo "== peak memory, one million candidates, structure writing aside =="
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/workload.py "$work" --candidates 1000000
build-bench/bench/peak_memory "$work/work.param" 2>&1 >/dev/null

echo "== noebundle-search, default grid, 40 restraints, both cores =="
python3 bench/workload.py "$work/search" --restraints 40 --candidates 1 --protomers 5
for i in 1 2 3; do build-bench/noebundle-search "$work/search/work.param" --force | grep -E 'searched|Seconds|per second'; done

echo "== noebundle-search on the BM2 example, both cores, without and with --refine and --supercoil =="
mkdir "$work/bm2" && cp -r examples/bm2 "$work/bm2/run"
for option in "" --refine --supercoil "--refine --supercoil"; do
  for i in 1 2 3; do
    (cd "$work/bm2" && "$OLDPWD/build-bench/noebundle-search" run/bm2.param --from run/2kix_model1.pdb --chain A \
       --force $option | grep -E 'Seconds' | sed "s/^/${option:-grid only} /")
  done
done

echo "== noebundle-search from BM2's sequence (the search of a built helix), both cores =="
for i in 1 2 3; do
  (cd "$work/bm2" && "$OLDPWD/build-bench/noebundle-search" run/bm2.param --sequence MLEPFQILSISSFILSALHFIAWTIGHLNQIKR \
     --force | grep -E 'Seconds' | sed "s/^/from the sequence /")
done
