#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's prefix: 32-bit,
# Japanese locale (ANSI code page 932), quiet. Creates the prefix on first use.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${ZOETRIX_WINEPREFIX:-$here/../build/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# No Mono or Gecko install dialogs when the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    # The Japanese system fonts that dialogs name, mapped to the IPA fonts.
    for pair in "ＭＳ Ｐ明朝=IPAPMincho" "ＭＳ 明朝=IPAMincho" "ＭＳ ゴシック=IPAGothic"; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f >/dev/null 2>&1 || true
    done
    wineserver -w
  fi
  # The usual text-art face, mapped to Monapo, which has its advances (the
  # IPA face's differ, so text art would not line up); prefixes made before
  # the mapping get it too.
  if [ ! -f "$WINEPREFIX/.text-art-font" ]; then
    mapped=1
    for name in "ＭＳ Ｐゴシック" "MS PGothic"; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /t REG_SZ /d Monapo /f >/dev/null 2>&1 || mapped=0
    done
    [ "$mapped" = 0 ] || touch "$WINEPREFIX/.text-art-font"
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
