#!/usr/bin/env bash
# The page in a real browser: pages made by zoetrix-cli from the fixture
# animation (both layouts) are opened in headless Chromium, played for a
# given time of the browser's virtual clock, and the frame on show checked:
# number, text, colours, sound cues played, playing or stopped.
# Usage: browser_test.sh ZOETRIX-CLI
set -euo pipefail
cli="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/fixture.sh"
browser="$(command -v chromium || command -v chromium-browser)" || { echo "Chromium is not installed"; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
make_fixture "$work"
"$cli" html "$work/anim.txt" --layout frames -o "$work/frames.html" >/dev/null 2>&1
"$cli" export "$work/anim.txt" >/dev/null
"$cli" html "$work/anim.txt" --layout all-in-one -o "$work/all-in-one.html" >/dev/null 2>&1

# Frame number|playing|cues played|pen colour|background colour|text, from
# the DOM of PAGE#FRAGMENT after BUDGET ms of virtual time.
state() {
  "$browser" --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
    --disable-sync --no-first-run --user-data-dir="$work/profile" --virtual-time-budget="$3" \
    --dump-dom "file://$work/$1#$2" 2>/dev/null | perl -0777 -ne '
      my ($n) = /<output id="number">(\d+)/;
      my ($p) = /<body[^>]*data-playing="(\d)"/;
      my ($c) = /<body[^>]*data-cues="(\d+)"/;
      my ($fg, $bg) = /id="view" style="color: rgb\(([^)]*)\);.*?background-color: rgb\(([^)]*)\)/;
      my ($t) = /<pre id="text"[^>]*>(.*?)<\/pre>/s;
      $t =~ s/&lt;/</g; $t =~ s/&gt;/>/g; $t =~ s/&amp;/&/g;
      print join("|", $n, $p, $c // 0, $fg, $bg, $t);'
}

bytes_text="$(iconv -f CP932 -t UTF-8 "$work/anim0001.txt" | sed 's/\r$//')"
navy="255, 255, 255|0, 0, 128"
yellow="255, 0, 0|255, 255, 0"
# page|fragment|budget|expected state
rows=(
  "frames.html||500|0|0|0|$navy|はじまり"                      # opens on frame 0, stopped
  "frames.html|speed=1000&play=1500|3000|1|0|0|$navy|$bytes_text" # 1 s per frame; every byte decoded
  "frames.html|speed=1000&play=3500|5000|3|0|2|$navy|A&B<u>C</u>" # a repeat of frame 2 plays its sound too
  "frames.html|speed=500&play=2750|4000|5|0|2|$yellow|ご"          # 0.5 s per frame, past the gap
  "all-in-one.html|speed=30&play|3000|7|0|2|$yellow|"              # the end of the blocks stops playback
)
failed=0
for row in "${rows[@]}"; do
  page="${row%%|*}" && row="${row#*|}"
  fragment="${row%%|*}" && row="${row#*|}"
  budget="${row%%|*}" && expected="${row#*|}"
  got="$(state "$page" "$fragment" "$budget")"
  if [ "$got" != "$expected" ]; then
    printf 'FAIL %s#%s\n  expected: %s\n  got:      %s\n' "$page" "$fragment" "$expected" "$got"
    failed=1
  fi
done

# The page carries each distinct body once, as its original bytes, in the
# order first shown, each closed by a zero byte.
perl -0777 -ne 'print $1 if /<script id="zx-text" type="text\/plain">([^<]*)</' "$work/frames.html" | base64 -d >"$work/bodies"
{
  printf '\x82\xcd\x82\xb6\x82\xdc\x82\xe8\0'
  cat "$work/anim0001.txt"
  printf '\0A&&B&C\0\0\x82\xb2\0\x82\xa8\x82\xed\x82\xe8\0'
} >"$work/expected-bodies"
if ! cmp "$work/expected-bodies" "$work/bodies"; then
  echo "FAIL the page's bodies differ from the frames' bytes"
  failed=1
fi
exit "$failed"
