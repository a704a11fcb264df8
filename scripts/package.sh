#!/usr/bin/env bash
# Makes the release packages in dist/: zoetrix-<version>-win32.zip (the
# Windows program and tool, the sample animation, the README and the licence,
# to run where it is unpacked) and zoetrix-cli_<version>_<arch>.deb (the
# Linux tool with its manual page). Builds what they hold in the windows and
# native build trees (only those targets, reusing what is built there; the
# native build's optimised code is stripped into the package) and packs
# them with CPack. Installs what is missing first. Prints the packages' paths.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh >&2
jobs="$(nproc)"

# Packs one build tree with CPack into dist/; prints the package's path.
pack() {
  local preset="$1"
  shift
  # A configured tree is reused as it is (the build reconfigures it when a
  # CMakeLists changed).
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" --target "$@" >/dev/null
  rm -rf "build/$preset/packages"
  (cd "build/$preset" && cpack -B "$root/build/$preset/packages" >/dev/null)
  local made
  made="$(find "build/$preset/packages" -maxdepth 1 -type f \( -name '*.zip' -o -name '*.deb' \))"
  [ -n "$made" ] || { echo "package.sh: CPack made no package in build/$preset" >&2; exit 1; }
  mkdir -p dist
  mv -f "$made" dist/
  echo "dist/$(basename "$made")"
}

pack windows zoetrix zoetrix-cli
pack native zoetrix-cli zoetrix-cli-manual zoetrix-cli-changelog
