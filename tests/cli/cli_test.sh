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
row 1 "no frames in missing.txt"         '[ ! -e missing.html ]'       html missing.txt
row 1 "no frames in anim.txt"            '[ ! -e anim.html ]'          html anim.txt --layout all-in-one
row 0 "wrote anim.html: 6 frames"        'grep -q "zx-text" anim.html' html anim.txt
row 0 "sound not found, left out: nosuch.wav" '[ -s page.html ]'      html anim.txt --layout frames -o page.html
row 1 "cannot write nodir/page.html"     '[ ! -e nodir ]'              html anim.txt -o nodir/page.html
row 2 "--speed is 1 to 6: 7"             true                          gif anim.txt --speed 7
row 1 "over the animation's own file ./anim0002.txt" 'cmp -s anim0002.txt original/anim0002.txt' gif anim.txt -o ./anim0002.txt
row 1 "over the animation's own file anim.txt" '[ ! -e anim.txt ]'    gif anim.txt -o anim.txt
row 1 "no frames in missing.txt"         '[ ! -e missing.gif ]'        gif missing.txt
row 1 "cannot write nodir/a.gif"         '[ ! -e nodir ]'              gif anim.txt -o nodir/a.gif
row 0 "wrote anim.gif: 7 frames"         '[ "$(head -c 6 anim.gif)" = GIF89a ]' gif anim.txt --speed 6 --no-antialias
row 1 "no frame files to export"        '[ ! -e missing.txt ]'        export missing.txt
row 1 "cannot write blocked.txt"         '[ -d blocked.txt ]'          export blocked.txt
row 0 "wrote anim.txt"                   '[ "$(blocks)" = 6 ]'         export anim.txt
mv anim0002.txt kept
row 1 "1 frame(s) of the all-in-one file" '[ "$(blocks)" = 6 ]'        export anim.txt
row 0 "wrote anim.txt"                   '[ "$(blocks)" = 5 ]'         export --force anim.txt
mv kept anim0002.txt
row 0 "wrote anim.txt"                   '[ "$(blocks)" = 6 ]'         export anim.txt
row 0 "wrote all-in-one.html: 6 frames"  '[ -s all-in-one.html ]'      html anim.txt --layout all-in-one -o all-in-one.html
row 1 "cannot open missing.txt"          true                          expand missing.txt
rm anim0*.txt
row 0 "expanded anim.txt"                expanded                      expand anim.txt
rm anim0006.txt && mkdir anim0006.txt
row 1 "cannot write anim0006.txt"        '[ -d anim0006.txt ]'         expand anim.txt
exit "$failed"
