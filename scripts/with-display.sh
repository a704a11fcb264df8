#!/usr/bin/env bash
# Runs a command with an X display: the one that is set, or a private Xvfb
# started for the command and stopped after it.
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
# Find a free display number.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=":$n"
for _ in $(seq 1 100); do
  if xdpyinfo >/dev/null 2>&1; then break; fi
  if ! kill -0 "$xvfb" 2>/dev/null; then echo "Xvfb did not start" >&2; exit 1; fi
  sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not answer" >&2; exit 1; }
"$@"
