#!/usr/bin/env bash
# Runs the sanitizer canary with one fault and passes only when the program
# failed and the sanitizer reported the fault.
# Usage: expect-stop.sh <canary> <fault> <report text>
canary="$1" fault="$2" report="$3"
out="$("$canary" "$fault" 2>&1)"
rc=$?
printf '%s\n' "$out"
if [ "$rc" -eq 0 ]; then
  echo "the program was not stopped (exit status 0)"
  exit 1
fi
if ! grep -q -- "$report" <<<"$out"; then
  echo "no sanitizer report \"$report\" (exit status $rc)"
  exit 1
fi
