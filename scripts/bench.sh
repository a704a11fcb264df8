#!/usr/bin/env bash
# Builds the benchmarks and runs them, then prints their tables: natively
# (optimised, Google Benchmark) frame loading in both layouts, cold and with
# the block index, beside a plain chunked read of the same bytes, the
# text-end search alone against that read, and the whole-animation
# operations; then the 32-bit Windows build under Wine (bench/win_timing.cpp):
# cold and warm loads of the last of 10,000 frames of 1 KB beside a plain read
# of the file, playback at 30 ms near the end of 10,000 frames of 32 KB, and
# the whole-animation operations on 1,000 and 3,000 frame files beside the
# native figures;
# and the GIF export of 10,000 frames of 1 KB natively and under Wine, its
# size against gifsicle -O3 (bench/gif_bench.sh).
# Google Benchmark's own report is kept in build/bench/report.txt. Arguments
# go to the native benchmark program, for example --benchmark_filter=10000x1K
# (and then the Wine part is left out).
# Installs what is missing first. Takes a few minutes and about 2 GB of
# temporary files.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" >/dev/null
cmake --build --preset bench -j "$(nproc)" --target zoetrix-cli gif_whole >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target win_timing zoetrix-cli >/dev/null
report="$root/build/bench/report.txt"
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p'); load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Running the benchmarks (the full report goes to build/bench/report.txt) ..."
figures="$root/build/bench/whole-native.txt"
build/bench/bench/storage_bench --benchmark_color=false --figures="$figures" "$@" >"$report" 2>&1
sed -n '/^LoadFrame, median/,$p' "$report"
if [ "$#" -eq 0 ]; then
  echo
  scripts/wine-run.sh build/windows/bench/win_timing.exe --native "Z:$figures"
  echo
  bash bench/gif_bench.sh build/bench/cli/zoetrix-cli build/windows/cli/zoetrix-cli.exe build/bench/bench/gif_whole \
    scripts/wine-run.sh
fi
echo
echo "Load average afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"
