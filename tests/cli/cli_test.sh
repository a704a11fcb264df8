#!/usr/bin/env bash
# zoetrix-cli: one row per invocation, with its exit status, a text its
# output must hold, and a check of the files it leaves. The rows run in order
# in one directory holding the fixture animation.
# Usage: cli_test.sh ZOETRIX-CLI [RUNNER]   (RUNNER runs a Windows build: wine-run.sh)
set -uo pipefail
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
runner="${2:-}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../web/fixture.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/animation"
cd "$work/animation"
make_fixture .
mkdir original && cp anim0*.txt original/
mkdir blocked.txt blocked0000.txt && cp anim0000.txt blocked0001.txt  # names taken by directories
failed=0

row() {
  local status="$1" text="$2" files="$3"
  shift 3
  local out got
  # Into a file, not a pipe: a Wine server started by the call would hold a
  # pipe open after the call ends.
  $runner "$cli" "$@" >"$work/output" 2>&1
  got=$?
  # Once more when Wine lost its server halfway ("wine client error"), which
  # happens now and then under load: a fault of the run, not of the program.
  if grep -q "wine client error" "$work/output"; then
    $runner "$cli" "$@" >"$work/output" 2>&1
    got=$?
  fi
  out="$(cat "$work/output")"
  if [ "$got" != "$status" ] || [[ "$out" != *"$text"* ]] || ! eval "$files"; then
    printf 'FAIL zoetrix-cli %s: status %s, expected %s and "%s"; files: %s\n%s\n' "$*" "$got" "$status" "$text" "$files" "$out"
    failed=1
  fi
}
blocks() { grep -c '^\[end\]' anim.txt; }
# Each frame file as before, with the CR LF the all-in-one file adds.
expanded() {
  local f
  for f in original/*; do { cat "$f"; printf '\r\n'; } | cmp -s - "${f#original/}" || return 1; done
}

# status | output holds | files afterwards | arguments
row 0 "usage: zoetrix-cli html"          true                          --help
row 2 "no command given"                 true
row 2 "unknown command: play"            true                          play anim.txt
row 2 "no animation given"               true                          html
row 2 "unknown layout: sideways"         true                          html anim.txt --layout sideways
row 2 "-o needs a value"                 true                          html anim.txt -o
row 2 "unknown option: --loop"           true                          html anim.txt --loop
row 2 "more than one animation"          true                          html anim.txt other.txt
row 2 'unknown command: ""'               true                          ""
row 2 "no animation given"               true                          html ""
row 2 "-o needs a file name"             '[ ! -e .html ]'              html anim.txt -o ""
row 2 "output path too long"             true                          html anim.txt -o "$(printf 'o%.0s' {1..260}).html"
row 2 "path too long"                    true                          export "$(printf 'a%.0s' {1..252}).txt"
row 1 "no frames in missing.txt"         '[ ! -e missing.html ]'       html missing.txt
row 1 "no frames in anim.txt"            '[ ! -e anim.html ]'          html anim.txt --layout all-in-one
row 0 "wrote anim.html: 6 frames"        'grep -q "zx-text" anim.html' html anim.txt
row 0 "sound not found, left out: nosuch.wav" '[ -s page.html ]'      html anim.txt --layout frames -o page.html
row 1 "cannot write nodir/page.html"     '[ ! -e nodir ]'              html anim.txt -o nodir/page.html
row 2 "--speed is 1 to 6: 7"             true                          gif anim.txt --speed 7
row 2 "no animation given"               '[ ! -e .gif ]'               gif ""
row 2 "-o needs a file name"             true                          gif anim.txt -o ""
row 2 "path too long"                    true                          gif "$(printf 'a%.0s' {1..252}).txt"
row 1 "over the animation's own file ./anim0002.txt" 'cmp -s anim0002.txt original/anim0002.txt' gif anim.txt -o ./anim0002.txt
row 1 "over the animation's own file anim.txt" '[ ! -e anim.txt ]'    gif anim.txt -o anim.txt
row 1 "no frames in missing.txt"         '[ ! -e missing.gif ]'        gif missing.txt
row 1 "cannot write nodir/a.gif"         '[ ! -e nodir ]'              gif anim.txt -o nodir/a.gif
row 0 "wrote anim.gif: 7 frames"         '[ "$(head -c 6 anim.gif)" = GIF89a ]' gif anim.txt --speed 6 --no-antialias
row 1 "no frame files to export"        '[ ! -e missing.txt ]'        export missing.txt
row 1 "cannot open blocked.txt"          '[ -d blocked.txt ]'          export blocked.txt
row 0 "wrote anim.txt"                   '[ "$(blocks)" = 6 ]'         export anim.txt
mv anim0002.txt kept
row 1 "1 frame(s) of the all-in-one file" '[ "$(blocks)" = 6 ]'        export anim.txt
row 0 "wrote anim.txt"                   '[ "$(blocks)" = 5 ]'         export --force anim.txt
mv kept anim0002.txt
row 0 "wrote anim.txt"                   '[ "$(blocks)" = 6 ]'         export anim.txt
printf 'say [end]\r\nto stop' >anim0007.txt  # cut in the all-in-one file
row 1 'the first frame 7, hold "[end]"'  '[ "$(blocks)" = 6 ]'         export anim.txt
row 0 "wrote anim.txt"                   'grep -q "say \[end\]" anim.txt' export --force anim.txt
rm anim0007.txt
row 0 "wrote anim.txt"                   '[ "$(blocks)" = 6 ]'         export --force anim.txt
# Never a page over the animation's own files, however they are spelt.
cp anim.txt all-in-one.txt
row 1 "over the animation's file anim.txt" 'cmp -s anim.txt all-in-one.txt' html anim.txt --layout all-in-one -o anim.txt
row 1 "animation's file ../animation/anim0000.txt" 'cmp -s anim0000.txt original/anim0000.txt' html anim.txt -o ../animation/anim0000.txt
row 1 "animation's file $work/animation/anim0007.txt" '[ ! -e anim0007.txt ]' html anim.txt -o "$work/animation/anim0007.txt"
if [ -n "$runner" ]; then  # on Windows in any letter case
  row 1 "animation's file ANIM0007.TXT"  '[ ! -e anim0007.txt ] && [ ! -e ANIM0007.TXT ]' html anim.txt -o ANIM0007.TXT
fi
ZOETRIX_PAGE_LIMITS="1024 5000" \
row 1 "larger than 5000 bytes"           '[ ! -e big.html ]'           html anim.txt -o big.html
# A sound of up to 16 MB is embedded; a larger one is left out and named.
head -c 16777216 /dev/zero >fits.wav && head -c 16777217 /dev/zero >big.wav
printf '{\r\nsound\r\nfits.wav\r\n}\r\nfits' >loud0000.txt && printf '{\r\nsound\r\nbig.wav\r\n}\r\n' >loud0001.txt
row 0 "larger than 16777216 bytes, left out: big.wav" '[ "$(stat -c %s loud.html)" -gt 22369624 ] && [ "$(stat -c %s loud.html)" -lt 30000000 ]' html loud.txt
# Running out of memory (nine sounds of 16 MB in 100 MB) is a failure told.
limited() { (ulimit -v 100000 && exec "$@"); }
if [ -z "$runner" ] && [ -z "${ZOETRIX_SANITIZED:-}" ]; then
  for n in 2 3 4 5 6 7 8 9; do ln -f fits.wav "s$n.wav" && printf '{\r\nsound\r\ns%d.wav\r\n}\r\n' "$n" >"loud000$n.txt"; done
  runner=limited row 1 "not enough memory for the page" '[ ! -e loud2.html ]' html loud.txt -o loud2.html
fi
row 0 "wrote all-in-one.html: 6 frames"  '[ -s all-in-one.html ]'      html anim.txt --layout all-in-one -o all-in-one.html
row 1 "cannot open missing.txt"          true                          expand missing.txt
: >empty.txt
row 1 "no frames in empty.txt: wrote no frame file" '[ ! -e empty0000.txt ]' expand empty.txt
# Text only in a later block of a number, which the first (empty) block hides.
printf '0000\r\n[end]\r\n0000\r\nhidden\r\n[end]\r\n' >hid.txt
row 1 "no frames in hid.txt: wrote no frame file" '[ ! -e hid0000.txt ]' expand hid.txt
rm anim0*.txt
row 0 "expanded anim.txt"                expanded                      expand anim.txt
printf '0000\r\nlater\r\n[end]\r\n' >>anim.txt  # frame 0 again: the first block wins
row 0 "1 later block(s)"                 expanded                      expand anim.txt
mkdir my.dir && cp anim.txt my.dir/walk.txt  # only the file name's dot ends the base
row 0 "expanded my.dir/walk.txt"         '[ -e my.dir/walk0000.txt ] && [ ! -e my0000.txt ]' expand my.dir/walk
rm anim0006.txt && mkdir anim0006.txt
row 1 "cannot write anim0006.txt"        '[ -d anim0006.txt ]'         expand anim.txt
exit "$failed"
