#!/usr/bin/env bash
# zoetrix-cli check: one row per small damaged animation (and a clean one),
# made here in a directory of its own, with the findings expected in order
# ("FILE:FRAME[@OFFSET]: KIND"); the text output and the --json document
# (parsed) must both give exactly those.
# Usage: check_test.sh ZOETRIX-CLI [RUNNER]   (RUNNER runs a Windows build: wine-run.sh)
set -uo pipefail
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
runner="${2:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
A=a  # the animation's base name
b() { printf '%s\r\n%b\r\n[end]\r\n' "$1" "$2" >>"$A.txt"; }  # a block: number, text
f() { printf '%b' "$2" >"$A$1.txt"; }                          # a frame file: number, text
x() { head -c "$1" /dev/zero | tr '\0' x; }                    # n bytes of text

# Runs the check: its output in out, its messages (and Wine's) in err.
check() {
  $runner "$cli" check "$@" >"$work/out" 2>"$work/err"
  status=$?
  # Once more when Wine lost its server or one of its own programs failed
  # halfway, which happens now and then under load: a fault of the run.
  if grep -q "wine client error\|wine: Unhandled" "$work/err"; then $runner "$cli" check "$@" >"$work/out" 2>"$work/err"; status=$?; fi
  # The Windows build writes its text in code page 932, with CR LF line ends.
  if [ -n "$runner" ] && [ "${!#}" != --json ]; then iconv -f CP932 -t UTF-8 "$work/out" | tr -d '\r' >"$work/out8"; mv "$work/out8" "$work/out"; fi
}

# row NAME EXPECTED MAKE: makes the animation in a new directory and checks it.
row() {
  local name="$1" expected="$2" text json
  mkdir "$work/$name" && cd "$work/$name" && eval "$3"
  check "$A.txt"
  text="$(LC_ALL=C grep -av '^checked ' "$work/out" | LC_ALL=C sed -E 's/^([^:]*:[0-9@]+): ([a-z-]+): .*/\1: \2/')"
  local summary="$(tail -n 1 "$work/out")" textStatus=$status
  check "$A.txt" --json
  json="$(python3 - "$work/out" "$summary" <<'PY'
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
assert doc["summary"] == sys.argv[2], (doc["summary"], sys.argv[2])
for f in doc["findings"]:
    assert ("offset" in f) == (f["layout"] == "all-in-one") and f["sentence"], f
    assert f["kind"] != "missing-sound" or "\u97f3.wav" in f["sentence"], f  # from code page 932
    print("%s:%d%s: %s" % (f["file"], f["frame"], "@%d" % f["offset"] if "offset" in f else "", f["kind"]))
PY
  )"
  local want=$([ -z "$expected" ] && echo 0 || echo 1)
  if [ "$text" != "$expected" ] || [ "$json" != "$expected" ] || [ "$textStatus" != "$want" ] || [ "$status" != "$want" ]; then
    printf 'FAIL %s: status %s/%s, expected %s\n--- expected\n%s\n--- text\n%s\n--- json\n%s\n' \
      "$name" "$textStatus" "$status" "$want" "$expected" "$(cat "$work/out" "$work/err")" "$json"
    failed=1
  fi
  A=a
}

# name | findings expected | the animation
row clean '' ': >bell.wav; s="{\r\nsound\r\nbell.wav\r\n}\r\nA" r="{\r\nsame 0\r\n}"; f 0000 "$s"; f 0001 "$r"; b 0000 "$s"; b 0001 "$r"'
row unordered-block 'a.txt:3@32: unordered-block' 'b 0000 x; b 0005 x; b 0003 x'
row end-marker-in-text 'a0000.txt:0: end-marker-in-text
a.txt:0@0: end-marker-in-text' 'f 0000 "a[end]b"; printf "0000\r\nab[end]cd\r\n" >a.txt'
row zero-byte 'a0000.txt:0: zero-byte
a.txt:0@0: zero-byte' 'f 0000 "ab\0cd"; b 0000 "ab\0cd"'
row oversize-block 'a.txt:0@0: oversize-block' 'b 0000 "$(x 32010)"; b 0001 y'
row no-end-line 'a.txt:0@0: no-end-line' 'printf "0000\r\nabc" >a.txt'
row bad-number-line 'a.txt:0@0: bad-number-line
a.txt:1@13: bad-number-line' 'b x a; printf "0001\nab\r\n[end]\r\n" >>a.txt; b 0002 c'
row repeat-missing 'a0000.txt:0: repeat-missing' 'f 0000 "{\r\nsame 5\r\n}"'
row repeat-cycle 'a0000.txt:0: repeat-cycle
a0001.txt:1: repeat-cycle' 'f 0000 "{\r\nsame 1\r\n}"; f 0001 "{\r\nsame 0\r\n}"'
row repeat-too-deep 'a.txt:0@0: repeat-too-deep
a.txt:1@27: repeat-too-deep' 'for n in $(seq 0 64); do b $(printf %04d $n) "{\r\nsame $((n + 1))\r\n}"; done; b 0065 end'
row missing-sound '歩0000.txt:0: missing-sound' 'A=歩; f 0000 "{\r\ncolor\r\n0 0 0 9 9 9\r\nsound\r\n\x89\xb9.wav\r\n}\r\nA"'
row frame-too-long 'a0000.txt:0: frame-too-long' 'f 0000 "$(x 32001)"'
row export-would-drop 'a.txt:1@16: export-would-drop' 'f 0000 x; b 0000 x; b 0001 y'
row slot-shared 'a10000.txt:10000: slot-shared' 'f 10000 x'
row not-a-frame-file 'a.txt:1@16: export-would-drop' 'f 0000 x; mkdir a0001.txt; b 0000 x; b 0001 y'
row letter-case "$([ -n "$runner" ] || echo 'a.txt:1@16: export-would-drop')" 'f 0000 x; printf y >A0001.TXT; b 0000 x; b 0001 y'
row frames-end-early 'a.txt:0@16: frames-end-early' 'b 0000 x; printf "\r\n" >>a.txt; b 0001 y'

# One layout only, no animation, bad arguments.
cd "$work/export-would-drop"
for args in "0|checked 1 frame files: nothing found|a.txt --layout frames" "1|no frame files|nosuch.txt" \
            "2|unknown layout: sideways|a.txt --layout sideways"; do
  IFS='|' read -r want says rest <<<"$args"
  check $rest
  if [ "$status" != "$want" ] || ! cat "$work/out" "$work/err" | grep -qF "$says"; then
    printf 'FAIL check %s: status %s, expected %s and "%s"\n%s\n' "$rest" "$status" "$want" "$says" "$(cat "$work/out" "$work/err")"
    failed=1
  fi
done
exit "$failed"
