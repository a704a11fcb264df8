#!/usr/bin/env bash
# The proof that text art lines up the same on Linux as under Wine: a table
# of text-art lines, one frame each, drawn by zoetrix-cli.exe (GDI, under
# Wine) and by the native zoetrix-cli (FreeType), both in Monapo: the same
# picture size; without anti-aliasing the same pixels; with it, every line's
# ink starts and ends on the same pixel.
# Usage: proof_test.sh ZOETRIX-CLI.EXE WINE-RUN NATIVE-BUILD-DIR
set -uo pipefail
exe="$1" runner="$2" native="$3"
for tool in "$native/cli/zoetrix-cli" "$native/tests/gif/gif_compare"; do
  [ -x "$tool" ] || { echo "FAIL $tool is missing: build the native preset first"; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
lines=(
  "   (´・ω・｀)  ｼｮﾎﾞｰﾝ"
  "　　∧＿∧　　　　∧＿∧"
  "　 （　´∀｀）　　（´∀｀　）"
  "ｷﾀ━━━━(ﾟ∀ﾟ)━━━━!!"
  "￣￣￣￣￣｜＿＿＿＿＿|"
  "┌─┬─┐ ①②③ ㈱№ ≒≡∫∵"
  "ひらがな カタカナ 漢字 ﾊﾝｶｸ ~\\|/[]{}"
  "Tom & Jerry && A&B"
  ".:;,'\`^\"!?*+=-_<> 0123456789"
  $'||l|| ｜|\r\n|| j|| ｊ'  # tall strokes over a line end
)
for i in "${!lines[@]}"; do
  printf '%s' "${lines[$i]}" | iconv -f UTF-8 -t CP932 >"$(printf 'proof%04d.txt' "$i")"
done
failed=0
# mode | font size | extra option
for row in "pixels|16|--no-antialias" "pixels|18|--no-antialias" "ink|16|" "ink|18|"; do
  IFS='|' read -r mode size option <<<"$row"
  "$runner" "$exe" gif proof.txt --font Monapo --font-size "$size" $option -o wine.gif >wine.out 2>&1
  "$native/cli/zoetrix-cli" gif proof.txt --font Monapo --font-size "$size" $option -o native.gif >native.out 2>&1
  if ! "$native/tests/gif/gif_compare" "$mode" wine.gif native.gif >compare.out 2>&1; then
    printf 'FAIL %s at %s px %s:\n' "$mode" "$size" "$option"
    cat wine.out native.out compare.out
    failed=1
  fi
done
exit "$failed"
