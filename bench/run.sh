#!/usr/bin/env bash
# The search benchmark, in one command (not part of the tests):
#
#     bash bench/run.sh [SIZE_MB] [--large-size MB] [--large-files N] [--whole-only]
#
# Builds the benchmark (optimised, in build/bench), makes a fresh Wine
# prefix there once (wineboot -i), writes a generated installation of
# SIZE_MB megabytes (512 by default) and one of today's size (4096 MB and
# 50000 files by default; each written once and reused), then:
#
#  - process_bench: the console edition `tarnwick` as whole processes over
#    each of them, warm and with the page cache evicted, next to the
#    one-thread memchr floor (memscan, built from $MEMSCAN_SOURCE, by
#    default /work/shared/bench/memscan.c; left out when missing) and the
#    parallel-read floor (bench/parallel_read), with peak memory;
#  - search_bench (left out with --whole-only, the last figures it gave
#    then kept in the report, marked as earlier ones): the passes inside one
#    process over the prefix with its own, 100 and 3000 candidates and the
#    small generated installation, next to the straightforward content
#    scan, ripgrep (installed here when missing and running as root) and
#    objdump -p.
#
# Prints the figures and writes them to bench/RESULTS.md, and the
# whole-process table into README.md between its markers.
# TARNWICK_BENCH_THREADS=N passes `--threads N` to every timed search once
# the console edition has that option.
set -euo pipefail
cd "$(dirname "$0")/.."
size=512
large_size=4096
large_files=50000
in_process=yes
while [ $# -gt 0 ]; do
  case $1 in
    --large-size) large_size=$2; shift 2 ;;
    --large-files) large_files=$2; shift 2 ;;
    --whole-only) in_process=no; shift ;;
    [0-9]*) size=$1; shift ;;
    *) echo "usage: bash bench/run.sh [SIZE_MB] [--large-size MB] [--large-files N] [--whole-only]" >&2; exit 2 ;;
  esac
done
build=$PWD/build/bench
started=$(date +%s)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target search_bench process_bench evict_cache parallel_read tarnwick -j2
bash bench/check_tools.sh "$build"

memscan_source=${MEMSCAN_SOURCE:-/work/shared/bench/memscan.c}
memscan_option=()
if [ -f "$memscan_source" ]; then
  cc -O2 -o "$build/memscan" "$memscan_source"
  memscan_option=(--memscan "$build/memscan")
else
  echo "== $memscan_source is missing: the one-thread memchr floor is left out" >&2
fi

prefix=$build/wine-prefix
if [ ! -f "$prefix/.complete" ]; then
  echo "== making a fresh Wine prefix in $prefix" >&2
  rm -rf "$prefix"
  WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  touch "$prefix/.complete"
fi

status=0
mkdir -p "$build/process-bench"
# Parts older than this are not from this run and stay out of the report.
touch "$build/.bench-started"
"$build/bench/process_bench" --tarnwick "$build/ui/console/tarnwick" --parallel-read "$build/bench/parallel_read" \
  "${memscan_option[@]}" --work "$build/process-bench" --prefix "$prefix" \
  --generated "$build/generated" --size "$size" \
  --large "$build/generated-large" --large-size "$large_size" --large-files "$large_files" \
  --markdown "$build/whole-process.md" --summary "$build/whole-process-table.md" || status=$?

if [ "$in_process" = yes ]; then
  if ! command -v rg >/dev/null && [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    apt-get install -y ripgrep >/dev/null 2>&1 || true
  fi
  "$build/bench/search_bench" --prefix "$prefix" --generated "$build/generated" --size "$size" \
    --markdown "$build/in-process.md" || status=$?
fi

# The Windows build under Wine, where MinGW-w64 and Wine are installed.
if command -v x86_64-w64-mingw32-g++ >/dev/null && command -v wine >/dev/null && command -v xvfb-run >/dev/null; then
  bash bench/windows_build.sh 5 --markdown "$build/win32-dialog.md" || status=$?
else
  echo "== no MinGW-w64, Wine or Xvfb here: the Windows build is not measured" >&2
fi

{
  echo "# Search benchmark"
  for part in whole-process in-process win32-dialog; do
    [ -f "$build/$part.md" ] || continue
    if [ "$build/$part.md" -nt "$build/.bench-started" ]; then
      echo
      cat "$build/$part.md"
    elif [ "$part" = in-process ] && [ "$in_process" = no ]; then
      # Left out of this run (--whole-only): the figures of the last run that had it.
      echo
      sed '1a\\n(From an earlier run: this one was started with --whole-only.)' "$build/$part.md"
    fi
  done
} > bench/RESULTS.md

begin='<!-- whole-process table: written by bench/run.sh -->'
end='<!-- end of the whole-process table -->'
if [ -f "$build/whole-process-table.md" ] && grep -qF "$begin" README.md && grep -qF "$end" README.md; then
  awk -v begin="$begin" -v end="$end" -v table="$build/whole-process-table.md" '
    $0 == begin { print; while ((getline line < table) > 0) print line; skipping = 1; next }
    $0 == end { skipping = 0 }
    !skipping' README.md > README.md.new
  mv README.md.new README.md
fi
wbegin='<!-- Windows build table: written by bench/run.sh -->'
wend='<!-- end of the Windows build table -->'
if [ -f "$build/win32-dialog.md" ] && [ "$build/win32-dialog.md" -nt "$build/.bench-started" ] &&
  grep -qF "$wbegin" README.md && grep -qF "$wend" README.md; then
  grep '^|' "$build/win32-dialog.md" > "$build/win32-dialog-table.md"
  awk -v begin="$wbegin" -v end="$wend" -v table="$build/win32-dialog-table.md" '
    $0 == begin { print; while ((getline line < table) > 0) print line; skipping = 1; next }
    $0 == end { skipping = 0 }
    !skipping' README.md > README.md.new
  mv README.md.new README.md
fi
echo "== the benchmark took $(( $(date +%s) - started )) s; figures in bench/RESULTS.md" >&2
exit "$status"
