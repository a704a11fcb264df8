#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine, opening the animation
# named on the command line, or the sample animation when none is named.
# Installs what is missing first. Without a display, a virtual one (Xvfb) is used.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target zoetrix
animation="${1:-$root/samples/walk/walk.txt}"
animation="$(cd "$(dirname "$animation")" && pwd)/$(basename "$animation")"
exe="$root/build/windows/shell/zoetrix.exe"
winpath="$(scripts/wine-run.sh winepath -w "$animation" 2>/dev/null)"
if [ -z "${DISPLAY:-}" ]; then
  echo "No display is set: the program runs in a virtual display (Xvfb)." >&2
fi
exec bash scripts/with-display.sh scripts/wine-run.sh "$exe" "$winpath"
