#!/usr/bin/env bash
# Runs a command with an X display: the one that is set, or a private Xvfb
# started for the command and stopped after it.
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# Wine's processes stay bound to the display they started on: end the
# project's Wine session before and after the private display's lifetime
# (-k only signals the server; -w waits until it is gone, so that no program
# meets a server that is going away).
prefix="${ZOETRIX_WINEPREFIX:-$here/../build/wineprefix}"
stop_wine() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1 || true
}
# Find a free display number.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
stop_wine
trap 'stop_wine; kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=":$n"
for _ in $(seq 1 100); do
  if xdpyinfo >/dev/null 2>&1; then break; fi
  if ! kill -0 "$xvfb" 2>/dev/null; then echo "Xvfb did not start" >&2; exit 1; fi
  sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not answer" >&2; exit 1; }
"$@"
