#!/usr/bin/env bash
# The dialog program under Wine and the native console edition, run on the
# same sample installation in the same Wine prefix, must mark the same
# candidates with the same kinds and move the same files. (Which file is
# named as a candidate's first user may differ: the two list folders in
# different orders.)
# Usage: cross_edition.sh GUI_TEST_EXE WINE_RUN NATIVE_BUILD_DIR WORK_DIR
set -euo pipefail
gui_test=$1 wine_run=$2 native=$3 work=$4
prefix=${TARNWICK_WINEPREFIX:?}
rm -rf "$work" && mkdir -p "$work/native"

# The dialog program; its test writes the sample itself (as a Windows program).
TARNWICK_CROSS_RESULT="Z:${work//\//\\}\\gui.txt" \
  "$wine_run" "$gui_test" --gtest_filter='*RunForTheComparisonWithTheConsoleEdition' >"$work/gui.log" 2>&1 ||
  { cat "$work/gui.log"; exit 1; }
tr -d '\r' <"$work/gui.txt" >"$work/gui-result.txt"

# The console edition, on a fresh copy of the same sample.
rm -rf "$prefix/drive_c/sample" "$prefix/backup"
"$native/samples/make_installation" "$prefix" sample >/dev/null
(cd "$work/native" && "$native/ui/console/tarnwick" --prefix "$prefix" --yes --backup >"$work/native.txt" 2>"$work/native.log")
{ sed 's/^/line\t/' "$work/native.txt"; for f in "$prefix/backup"/*; do printf 'moved\t%s\n' "${f##*/}"; done; } \
  >"$work/native-result.txt"

# Name, kind and the way it is used (the text in parentheses, or "?").
summary() {
  awk -F'\t' '$1 == "line" { use = $4; if (use != "?") { sub(/.*\(/, "(", use) } print "line", $2, $3, use }
              $1 == "moved" { print "moved", $2 }' "$1" | sort
}
if diff <(summary "$work/gui-result.txt") <(summary "$work/native-result.txt"); then
  echo "ok: both editions mark $(grep -c '^line' "$work/native-result.txt") candidates alike and move the same $(grep -c '^moved' "$work/native-result.txt") files"
else
  echo "FAIL: the editions differ (< dialog program, > console edition)"
  exit 1
fi
