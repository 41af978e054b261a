#!/usr/bin/env bash
# Figures for the modes subsystem from an optimised build without the sanitizers: Google
# Benchmark's timings, then callgrind's count of the instructions one call of each case takes
# (setup excluded). Needs libbenchmark-dev and valgrind. Arguments go to the benchmark run,
# for example --benchmark_repetitions=5.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCADENZO_SANITIZE=OFF >/dev/null
cmake --build "$build" --target cadenzo_bench
bench="$build/bench/cadenzo_bench"

"$bench" "$@"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo
echo "Instructions per call (callgrind):"
for name in $("$bench" --cases); do
    valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$out/$name" \
        "$bench" --count "$name" >/dev/null 2>&1
    printf '  %-16s %15d\n' "$name" "$(sed -n 's/^totals: *//p' "$out/$name")"
done
