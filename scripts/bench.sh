#!/usr/bin/env bash
# Builds the benchmarks (natively, optimised) and runs them, then prints their
# tables: frame loading in both layouts beside a plain chunked read of the
# same bytes, the text-end search alone against that read, and the
# whole-animation operations. Google Benchmark's own
# report is kept in build/bench/report.txt. Arguments go to the benchmark
# program, for example --benchmark_filter=10000x1024.
# Installs what is missing first. Takes a minute or two and about 600 MB of
# temporary files.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" >/dev/null
report="$root/build/bench/report.txt"
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p')"
echo "Running the benchmarks (the full report goes to build/bench/report.txt) ..."
build/bench/bench/storage_bench --benchmark_color=false "$@" >"$report" 2>&1
sed -n '/^LoadFrame, median/,$p' "$report"
