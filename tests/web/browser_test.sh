#!/usr/bin/env bash
# The page in a real browser: pages made by zoetrix-cli from the fixture
# animation (both layouts; the frame files' page with its texts in pieces of
# one or two texts) are opened in headless Chromium, played for a given time
# of the browser's virtual clock, and the frame on show checked: number,
# text, colours, sound cues played, playing or stopped. Then a harness page
# shows every text of text_rules.txt in a page and checks it as the table
# says, and restarts a playback that a play=MS fragment started.
# Usage: browser_test.sh ZOETRIX-CLI
set -euo pipefail
cli="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/fixture.sh"
browser="$(command -v chromium || command -v chromium-browser)" || { echo "Chromium is not installed"; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
make_fixture "$work"
ZOETRIX_PAGE_LIMITS="8 1000000" "$cli" html "$work/anim.txt" --layout frames -o "$work/frames.html" >/dev/null 2>&1
"$cli" export "$work/anim.txt" >/dev/null
"$cli" html "$work/anim.txt" --layout all-in-one -o "$work/all-in-one.html" >/dev/null 2>&1

# The DOM of file PAGE after BUDGET ms of virtual time.
dom() {
  "$browser" --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
    --disable-sync --no-first-run --allow-file-access-from-files --user-data-dir="$work/profile" \
    --virtual-time-budget="$2" --dump-dom "file://$work/$1" 2>/dev/null
}

# Frame number|playing|cues played|pen colour|background colour|text, from
# the DOM of PAGE#FRAGMENT after BUDGET ms of virtual time.
state() {
  dom "$1#$2" "$3" | perl -0777 -ne '
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
  # The fragment's spellings; what makes no sense is ignored.
  "frames.html|speed=1&play=1|1500|1|1|0|$navy|$bytes_text"            # speed 1: 1000 ms; play=1 is no limit
  "frames.html|speed=2&loop=yes&play=4250|6000|1|0|2|$navy|$bytes_text" # 500 ms; after frame 6 frame 0 again
  "frames.html|speed=fast&loop=maybe&play=now|1500|0|0|0|$navy|はじまり"
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
# order first shown, each closed by a zero byte, in pieces.
perl -0777 -ne 'print "$1\n" while /<script class="zx-text" type="text\/plain">([^<]*)</g' "$work/frames.html" >"$work/pieces"
while read -r piece; do base64 -d <<<"$piece"; done <"$work/pieces" >"$work/bodies"
if [ "$(wc -l <"$work/pieces")" -lt 4 ]; then
  echo "FAIL the texts are not in pieces"
  failed=1
fi
{
  printf '\x82\xcd\x82\xb6\x82\xdc\x82\xe8\0'
  cat "$work/anim0001.txt"
  printf '\0A&&B&C\0\0\x82\xb2\0\x82\xa8\x82\xed\x82\xe8\0'
} >"$work/expected-bodies"
if ! cmp "$work/expected-bodies" "$work/bodies"; then
  echo "FAIL the page's bodies differ from the frames' bytes"
  failed=1
fi

# The harness: the rules' page (a frame per row of text_rules.txt, a piece
# per text) stepped through frame by frame, and a playback started by
# play=1500 stopped and started again by the keys: its limit stops only the
# playback it started.
rows=0
while IFS=$'\t' read -r text shown; do
  case "$text" in '#'* | '') continue ;; esac
  printf '%b' "$text" >"$work/rules$(printf %04d "$rows").txt"
  rows=$((rows + 1))
done <"$here/text_rules.txt"
ZOETRIX_PAGE_LIMITS="1 1000000" "$cli" html "$work/rules.txt" -o "$work/rules.html" >/dev/null
{
  echo '<!DOCTYPE html><meta charset="utf-8"><pre id="out"></pre><script type="text/plain" id="table">'
  cat "$here/text_rules.txt"
  cat <<'HTML'
</script>
<iframe id="rules" src="rules.html"></iframe><iframe id="limit" src="frames.html#speed=1000&play=1500"></iframe>
<script>
var out = document.getElementById("out"), sjis = new TextDecoder("shift_jis");
function say(line) { out.textContent += line + "\n"; }
function decode(escaped) {  // printf %b's escapes, the bytes in Shift-JIS
  var bytes = [];
  for (var i = 0; i < escaped.length; i++) {
    var c = escaped[i];
    if (c !== "\\" || i + 1 === escaped.length) bytes.push(c.charCodeAt(0));
    else if ((c = escaped[++i]) === "x") bytes.push(parseInt(escaped.substr(++i, 2), 16)), i++;
    else bytes.push({ r: 13, n: 10, t: 9 }[c] || c.charCodeAt(0));
  }
  return sjis.decode(new Uint8Array(bytes));
}
var checks = 2;
function done() { if (--checks === 0) say("done"); }
document.getElementById("rules").onload = function () {
  var page = this.contentDocument, pre = page.getElementById("text");
  document.getElementById("table").textContent.split("\n").filter(function (line) {
    return line && line[0] !== "#";
  }).forEach(function (line, k) {
    var row = line.split("\t"), expected = decode(row[1]);
    if (k > 0) page.dispatchEvent(new KeyboardEvent("keydown", { key: "ArrowRight" }));
    var shown = pre.innerHTML.replace(/<span class="tab"><\/span>/g, "\t").replace(/&amp;/g, "&");
    if (shown !== expected) say("FAIL " + row[0] + " shows " + JSON.stringify(shown) + ", not " + JSON.stringify(expected));
  });
  done();
};
document.getElementById("limit").onload = function () {
  var page = this.contentDocument, key = function (k) { page.dispatchEvent(new KeyboardEvent("keydown", { key: k })); };
  setTimeout(function () { key(" "); key(" "); }, 500);
  setTimeout(function () {
    if (page.body.dataset.playing !== "1") say("FAIL play=1500 stopped a playback it did not start");
    done();
  }, 2600);
};
</script>
HTML
} >"$work/harness.html"
harness="$(dom harness.html 4000 | perl -0777 -ne 'if (/<pre id="out">(.*?)<\/pre>/s) { $_ = $1; s/&lt;/</g; s/&gt;/>/g; s/&amp;/&/g; print }')"
if [ "$harness" != "done" ]; then
  printf 'FAIL the harness (%d rules):\n%s\n' "$rows" "$harness"
  failed=1
fi
exit "$failed"
