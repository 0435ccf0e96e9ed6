#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each for SECONDS (default 20) on its
# seed corpus. New inputs go to a scratch folder; a crash leaves its input in
# build-fuzz/findings/ and makes the script fail. The seed is fixed (1), so
# that a short run such as CI's is repeatable; FUZZ_SEED=0 draws a new one.
# Usage: tests/fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-20}
targets=("${@:2}")
[ ${#targets[@]} -gt 0 ] || targets=(parameter_file helix_files restraint_file candidate_file template xplor_restraints nef_restraints prepare allowed_set)
CXX=clang++ cmake -S . -B build-fuzz -DNOEBUNDLE_FUZZ=ON -DNOEBUNDLE_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 >/dev/null
mkdir -p build-fuzz/findings
status=0
for t in "${targets[@]}"; do
  scratch=$(mktemp -d)
  echo "== fuzz_$t for ${seconds}s =="
  build-fuzz/tests/fuzz/fuzz_$t "$scratch" "tests/fuzz/corpus/$t" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -max_len=8192 \
    -artifact_prefix=build-fuzz/findings/"$t"- -print_final_stats=1 2>build-fuzz/fuzz_$t.log || { status=1; tail -n 30 build-fuzz/fuzz_$t.log; }
  grep -E '^stat::number_of_executed_units' build-fuzz/fuzz_$t.log | sed "s/^/fuzz_$t /"
  rm -rf "$scratch"
done
exit $status
