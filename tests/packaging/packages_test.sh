#!/usr/bin/env bash
# The packages CPack makes from a build. Native: the .deb unpacked into a
# scratch folder (dpkg-deb -x), the programs run from there (a search over a
# small mounted-style installation among them), the man pages formatted with
# man -l; the .tar.gz holds the same files. Windows: the ZIP holds both .exe
# files and the README.
# usage: packages_test.sh BUILD_DIR native|windows
set -euo pipefail
build=$1
kind=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if [ "$kind" = windows ]; then
  (cd "$build" && cpack -G ZIP -B "$scratch/out" >/dev/null 2>&1)
  zip=$(ls "$scratch"/out/*.zip)
  listing=$(unzip -Z1 "$zip")
  for f in tarnwick.exe exeprobe.exe README.md; do
    grep -qE "(^|/)$f\$" <<<"$listing" || fail "$f not in $zip: $listing"
  done
  [ "$(wc -l <<<"$listing")" -eq 3 ] || fail "more than the three files in $zip: $listing"
  echo "ok: $(basename "$zip")"
  exit 0
fi

(cd "$build" && cpack -G "DEB;TGZ" -B "$scratch/out" >/dev/null 2>&1)
deb=$(ls "$scratch"/out/*.deb)
tgz=$(ls "$scratch"/out/*.tar.gz)
root=$scratch/root
dpkg-deb -x "$deb" "$root"
tarball=$(tar -tzf "$tgz")
files=(usr/bin/tarnwick usr/bin/exeprobe usr/share/man/man1/tarnwick.1 usr/share/man/man1/exeprobe.1
       usr/share/doc/tarnwick/README.md)
for f in "${files[@]}"; do
  [ -f "$root/$f" ] || fail "$f not in $deb"
  grep -qE "/${f#usr/}\$" <<<"$tarball" || fail "${f#usr/} not in $tgz"
done
[ "$(dpkg-deb -f "$deb" Package)" = tarnwick ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = 1.0.2 ] || fail "version $(dpkg-deb -f "$deb" Version)"
grep -q libc6 <<<"$(dpkg-deb -f "$deb" Depends)" || fail "no dependency on the C library: $(dpkg-deb -f "$deb" Depends)"

# The installed programs run.
grep -q '^tarnwick 1\.02' <<<"$("$root/usr/bin/tarnwick" --version)" || fail "tarnwick --version"
grep -q -- '--root DIR' <<<"$("$root/usr/bin/tarnwick" --help)" || fail "tarnwick --help"
probe=$("$root/usr/bin/exeprobe" "$root/usr/share/doc/tarnwick/README.md")
grep -q '^exeprobe 1\.02 - executable file analyser' <<<"$probe" || fail "exeprobe: $probe"
grep -q '^Analysys ' <<<"$probe" || fail "exeprobe gives no verdict: $probe"
mkdir -p "$scratch/mnt/WINDOWS/System32" "$scratch/work"
printf 'MZ' >"$scratch/mnt/WINDOWS/System32/lonely.dll"
list=$(cd "$scratch/work" && XDG_RUNTIME_DIR=$scratch/work "$root/usr/bin/tarnwick" --root "$scratch/mnt" --yes 2>/dev/null)
[ "$list" = "$(printf 'lonely.dll\t32\t?')" ] || fail "tarnwick --root lists: $list"

# The man pages format without warnings and hold their sections.
for page in tarnwick exeprobe; do
  text=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1" 2>"$scratch/warnings")
  [ ! -s "$scratch/warnings" ] || fail "$page.1: $(cat "$scratch/warnings")"
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES 'EXIT STATUS' EXAMPLES; do
    grep -q "^$section\$" <<<"$text" || fail "$page.1 has no $section"
  done
done
text=$(MANWIDTH=200 man -l "$root/usr/share/man/man1/tarnwick.1")
for word in --root --format --restore backupto 32bitdllpath 16bitdllpath find16b_dlls recurse searchdrives \
            dllextensions lookimportsonly; do
  grep -q -- "$word" <<<"$text" || fail "tarnwick.1 does not mention $word"
done
echo "ok: $(basename "$deb") $(basename "$tgz")"
