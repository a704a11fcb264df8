#!/usr/bin/env bash
# GIF export of 10,000 frames of 1 KB (lines of ASCII and Shift-JIS text art,
# different in every frame), by the native zoetrix-cli and by zoetrix-cli.exe
# under Wine: frames a second, median of three runs, from start to the file
# written; then the GIF's size against gifsicle -O3 run on the same frames
# stored whole.
# Usage: gif_bench.sh NATIVE-CLI WINDOWS-CLI GIF-WHOLE WINE-RUN
set -euo pipefail
native="$1" exe="$2" whole="$3" runner="$4"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
frames=10000
perl - "$work" "$frames" 1024 <<'PERL'
my ($dir, $count, $size) = @ARGV;
my @pieces = (" ", " ", ".", ":", "-", "=", "+", "*", "#", "%", "@", "|", "/", "[", "]", "o",
              "\x81\x5b", "\x81\x40", "\x82\xa0", "\x83\x41");
my $seed = 1;
for my $n (0 .. $count - 1) {
  my $text = "";
  while (length($text) + 62 < $size) {
    my $line = "";
    while (length($line) < 60) {
      $seed = ($seed * 1103515245 + 12345) % 4294967296;
      $line .= $pieces[($seed >> 16) % @pieces];
    }
    $text .= "$line\r\n";
  }
  open(my $f, ">:raw", sprintf("%s/anim%04d.txt", $dir, $n)) or die;
  print $f $text . ("." x ($size - length($text)));
  close $f;
}
PERL
# Seconds of the fastest, middle and slowest of three runs of a command.
timed() {
  local t=()
  for _ in 1 2 3; do
    local start end
    start="$(date +%s.%N)"
    "$@" >"$work/out" 2>&1 || { cat "$work/out"; exit 1; }
    end="$(date +%s.%N)"
    t+=("$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')")
  done
  printf '%s\n' "${t[@]}" | sort -n | tr '\n' ' '
}
read -r n_low n_mid n_high <<<"$(timed "$native" gif "$work/anim.txt" --speed 6 -o "$work/native.gif")"
read -r w_low w_mid w_high <<<"$(timed "$runner" "$exe" gif "$work/anim.txt" --speed 6 --font Monapo -o "$work/wine.gif")"
"$whole" "$work/native.gif" "$work/whole.gif"
gifsicle -O3 "$work/whole.gif" -o "$work/optimised.gif"
size() { stat -c %s "$1"; }
echo "GIF export of $frames frames of 1 KB (Monapo 18 px, anti-aliased, $(sed -n 's/.*, \([0-9]*x[0-9]*\) pixels.*/\1/p' "$work/out") pixels),"
echo "seconds (fastest, median, slowest of three runs) and frames a second at the median"
printf '    native zoetrix-cli            %7.2f %7.2f %7.2f   %6.0f\n' "$n_low" "$n_mid" "$n_high" "$(awk -v f="$frames" -v t="$n_mid" 'BEGIN { print f / t }')"
printf '    zoetrix-cli.exe under Wine    %7.2f %7.2f %7.2f   %6.0f\n' "$w_low" "$w_mid" "$w_high" "$(awk -v f="$frames" -v t="$w_mid" 'BEGIN { print f / t }')"
echo "Size, bytes: the export's GIF; the same frames stored whole; gifsicle -O3 on those; ratio"
printf '    %12d %12d %12d   %.3f\n' "$(size "$work/native.gif")" "$(size "$work/whole.gif")" \
  "$(size "$work/optimised.gif")" "$(awk -v a="$(size "$work/native.gif")" -v b="$(size "$work/optimised.gif")" 'BEGIN { print a / b }')"
cmp -s "$work/native.gif" "$work/wine.gif" && echo "    (the Wine build's GIF is the same file, byte for byte)"
