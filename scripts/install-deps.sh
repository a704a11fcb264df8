#!/usr/bin/env bash
# Installs what the build and the tests need on Debian, skipping what is already there.
# Safe to run again. Needs root (or sudo).
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

for p in cmake make g++ googletest libgtest-dev libbenchmark-dev clang chromium \
         mingw-w64 wine xvfb xdotool imagemagick locales \
         fonts-ipafont-gothic fonts-ipafont-mincho x11-utils nlohmann-json3-dev python3 \
         dpkg-dev file help2man lintian unzip \
         libgif-dev libfreetype-dev libfontconfig-dev fonts-monapo gifsicle; do
  have_pkg "$p" || need+=("$p")
done
# Wine needs its 32-bit half to run the 32-bit program.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need+=(wine32:i386)
elif ! have_pkg wine32:i386; then
  need+=(wine32:i386)
fi
# clang's sanitizer and libFuzzer runtimes (clang only recommends them, and
# recommends are not installed). Debian 12's clang is clang 14.
have_pkg libclang-rt-14-dev || need+=(libclang-rt-14-dev)

if [ "${#need[@]}" -gt 0 ]; then
  echo "installing: ${need[*]}"
  $SUDO apt-get update -q
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}"
fi

# Wine's ANSI code page follows the locale: ja_JP.UTF-8 gives code page 932 (Shift-JIS).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen
fi
