#!/usr/bin/env bash
# Builds everything and runs every test: the storage tests natively, under
# AddressSanitizer/UndefinedBehaviorSanitizer, and as Windows programs under
# Wine (with the program's own tests in a virtual display); the release
# packages, made and checked; then a bounded libFuzzer run of each fuzz target.
# Installs what is missing first. Ends with one line "N passed, M failed".
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }

jobs="$(nproc)"
passed=0
failed=0
logdir="$root/build/logs"
mkdir -p "$logdir"

# Runs one ctest preset after configuring and building it; adds its counts.
suite() {
  local preset="$1"
  local log="$logdir/$preset.log"
  echo "== $preset: configure and build"
  if ! cmake --preset "$preset" >"$log" 2>&1 || ! cmake --build --preset "$preset" -j "$jobs" >>"$log" 2>&1; then
    tail -n 40 "$log"
    echo "== $preset: build failed"
    failed=$((failed + 1))
    return
  fi
  echo "== $preset: tests"
  bash scripts/with-display.sh ctest --preset "$preset" -j "$jobs" --timeout 600 2>&1 | tee -a "$log" | tail -n 25
  local line
  line="$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)"
  if [ -z "$line" ]; then
    echo "== $preset: no test summary"
    failed=$((failed + 1))
    return
  fi
  local f total
  f="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
  total="$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")"
  passed=$((passed + total - f))
  failed=$((failed + f))
}

# The release packages, made from the native and windows builds above (only
# packed, nothing rebuilt) and checked as users get them: one row.
package() {
  local log="$logdir/package.log" made
  echo "== package: make and check the release packages"
  if made="$(bash scripts/package.sh 2>"$log")" && ls -l $made | tee -a "$log" &&
     bash scripts/with-display.sh bash tests/package/package_test.sh $made 2>&1 | tee -a "$log"; then
    passed=$((passed + 1))
  else
    tail -n 40 "$log"
    echo "== package: failed"
    failed=$((failed + 1))
  fi
}

suite native
suite sanitize
suite windows
package
# Bounded fuzz runs: ZOETRIX_FUZZ_SECONDS per target (default 60).
suite fuzz

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
