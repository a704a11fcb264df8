#!/usr/bin/env bash
# The release packages as users get them. The zip, unpacked into an empty
# folder: its files, its README.txt for Notepad, the version in both .exe
# files, zoetrix-cli.exe --version and html on the unpacked sample, and
# zoetrix.exe started on the sample and closed, all under Wine and writing
# nothing into the folder. The Debian package, unpacked: its tool run from
# there, its manual page naming every command and option --help names, and
# lintian.
# Usage: package_test.sh ZIP DEB   (needs a display: run it in with-display.sh)
set -uo pipefail
zip="$(realpath "$1")"
deb="$(realpath "$2")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
wine_run="$root/scripts/wine-run.sh"
version="$(basename "$zip" -win32.zip)"
version="${version#zoetrix-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0

check() {
  local what="$1"
  shift
  if ! "$@"; then
    echo "FAIL $what"
    failed=1
  fi
}
# Under Wine, into a file rather than a pipe (a Wine server that the call
# starts would hold a pipe open after it ends); prints the output without CRs.
wine_output() {
  "$wine_run" "$@" >"$work/output" 2>&1
  local status=$?
  tr -d '\r' <"$work/output"
  return "$status"
}
# A listing of every file under a folder with its checksum.
snapshot() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 md5sum); }
version_resource() {
  local names
  names="$(strings -el "$1")"
  grep -A1 -x FileVersion <<<"$names" | grep -qx "$version" &&
    grep -A1 -x ProductVersion <<<"$names" | grep -qx "$version"
}

echo "== the Windows zip, zoetrix $version"
mkdir "$work/unzipped"
unzip -q "$zip" -d "$work/unzipped"
dir="$work/unzipped/zoetrix-$version-win32"
check "the zip holds zoetrix-$version-win32/ alone" [ "$(ls "$work/unzipped")" = "zoetrix-$version-win32" ]
for f in zoetrix.exe zoetrix-cli.exe README.md README.txt LICENSE.txt; do
  check "the zip holds $f" [ -f "$dir/$f" ]
done
check "the zip's sample is the sample, byte for byte" diff -r "$root/samples/walk" "$dir/samples/walk"
check "README.txt is README.md with CR LF line ends after a byte-order mark" \
  cmp -s <(printf '\357\273\277'; sed 's/$/\r/' "$root/README.md") "$dir/README.txt"
check "zoetrix.exe has version $version" version_resource "$dir/zoetrix.exe"
check "zoetrix-cli.exe has version $version" version_resource "$dir/zoetrix-cli.exe"

cd "$dir"
before="$(snapshot .)"
out="$(wine_output ./zoetrix-cli.exe --version)"
check "zoetrix-cli.exe --version: $out" [ "$out" = "zoetrix-cli $version" ]
out="$(wine_output ./zoetrix-cli.exe html 'samples\walk\walk.txt' -o 'Z:'"${work//\//\\}"'\walk.html')"
check "zoetrix-cli.exe html on the sample: $out" grep -q "34 frames" <<<"$out"
check "the page is written" grep -q "zx-text" "$work/walk.html"

# The program: started on the sample; waited for until its window shows the
# sample opened (its caption "<base>..zoetrix"); closed as the close box
# closes it (taskkill without /f sends WM_CLOSE); its end waited for.
timeout 300 "$wine_run" ./zoetrix.exe 'samples\walk\walk.txt' >"$work/program" 2>&1 &
program=$!
check "zoetrix.exe shows its window with the sample opened" \
  timeout 120 xdotool search --sync --onlyvisible --name 'zoetrix-[0-9.]*-win32\\samples\\walk\\walk\.\.zoetrix$' >/dev/null
"$wine_run" taskkill /im zoetrix.exe >/dev/null 2>&1
wait "$program"
status=$?
check "zoetrix.exe ends when closed, with status 0 (got $status)" [ "$status" = 0 ]
check "the programs wrote nothing into their folder" [ "$(snapshot .)" = "$before" ]
cd "$root"

echo "== the Debian package"
dpkg-deb -x "$deb" "$work/deb"
cli="$work/deb/usr/bin/zoetrix-cli"
check "zoetrix-cli --version" [ "$("$cli" --version)" = "zoetrix-cli $version" ]
out="$("$cli" html "$root/samples/walk/walk.txt" -o "$work/deb-walk.html" 2>&1)"
check "zoetrix-cli html on the sample: $out" grep -q "34 frames" <<<"$out"
check "the package depends on the C library" grep -q "libc6" <<<"$(dpkg-deb -f "$deb" Depends)"
page="$(zcat "$work/deb/usr/share/man/man1/zoetrix-cli.1.gz" | sed 's/\\-/-/g; s/\\f[A-Z]//g; s/\\,//g; s/\\\///g')"
# The commands (the entries of --help's list) and every option it names.
help="$("$cli" --help)"
words="$(sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p' <<<"$help"; grep -oE -- '(^|[][ |])--?[a-z][a-z-]*' <<<"$help" | tr -d '][ |')"
for word in $(sort -u <<<"$words"); do
  check "the manual page names $word" grep -qF -- "$word" <<<"$page"
done
lintian --fail-on error "$deb" 2>&1 | grep -v '^running with root privileges'
check "lintian finds no errors" [ "${PIPESTATUS[0]}" = 0 ]

exit "$failed"
