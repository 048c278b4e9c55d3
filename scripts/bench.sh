#!/usr/bin/env bash
# Builds the benchmarks in a Release build of their own (build-bench/, or $TAMSEL_BENCH_BUILD), runs every one of them
# on the offscreen platform, and prints each figure next to its target.
#   scripts/bench.sh [repetitions=5]
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
REPS=${1:-5}
BUILD=${TAMSEL_BENCH_BUILD:-build-bench}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target bench_graph bench_loop bench_cli loop_soak profile_kill_soak
out=$(mktemp -d -t tamsel-bench.XXXXXX)
trap 'rm -rf "$out"' EXIT
for b in bench_loop bench_cli bench_graph; do
    echo "== $b" >&2
    "$BUILD"/bench/$b --benchmark_repetitions="$REPS" --benchmark_report_aggregates_only=true \
        --benchmark_out="$out/$b.json" --benchmark_out_format=json >&2
done
python3 scripts/bench_table.py "$(nproc)" "$out"/bench_loop.json "$out"/bench_cli.json \
    "$out"/bench_graph.json
