#!/usr/bin/env bash
# Runs one fuzz target for a bounded time and fails on any finding (a crash,
# a sanitizer report, a failed check, a leak, an input that takes longer than
# 10 seconds or more than 2 GB).
#
# Usage: run-fuzzer.sh <target> <seed corpus dir> <work dir> <max input length>
# ZOETRIX_FUZZ_SECONDS sets the run time (default 60). The target replays its
# seed corpus (which also keeps every input that once found a fault), then
# mutates. Everything it writes stays in the work dir: the corpus it grows,
# the scratch directory of the files it loads, and the input of a finding
# (artifacts/).
set -euo pipefail
target="$1" seeds="$2" work="$3" max_len="$4"
seconds="${ZOETRIX_FUZZ_SECONDS:-60}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

rm -rf "$work/tmp"
mkdir -p "$work/corpus" "$work/artifacts" "$work/tmp"
export TMPDIR="$work/tmp"
exec "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
  -use_value_profile=1 -print_final_stats=1 -dict="$here/storage.dict" \
  -artifact_prefix="$work/artifacts/" "$work/corpus" "$seeds"
