#!/usr/bin/env bash
# The Windows build's search benchmark, in one command (not part of the tests):
#
#     bash bench/windows_build.sh [RUNS] [--markdown FILE]
#
# Builds the Windows programs optimised (MinGW-w64, Release, in
# build/bench-mingw), makes a fresh Wine prefix once (as bench/run.sh does,
# in build/bench/wine-prefix) and a copy of it to search in (its drive_c is
# the corpus; the programs' settings and logs go there, the fresh prefix
# stays untouched). Then, under Wine and Xvfb, times side by side RUNS times
# (3 by default; the median is printed):
#   (a) the dialog program's search through its real dialog, from the answer
#       Yes to the status text "done total N files" (and, beside it, the
#       wait from Search to its question: the candidates collected and
#       listed on the interface thread, polled every 25 ms);
#   (b) the same passes without the dialog, in a small Win32 program;
#   (c) the floor: wmemscan.exe, walk, map and memchr through the Win32
#       functions (/work/shared/bench/wmemscan.cpp).
# and the ratios a/c and b/c. TARNWICK_BENCH_WIN_OPTIONS adds lines to the
# settings of both programs, e.g. "searchthreads=1\r\n".
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=3
markdown=
while [ $# -gt 0 ]; do
  case $1 in
    --markdown) markdown=$2; shift 2 ;;
    [0-9]*) runs=$1; shift ;;
    *) echo "usage: bash bench/windows_build.sh [RUNS] [--markdown FILE]" >&2; exit 2 ;;
  esac
done
build=$root/build/bench-mingw
fresh=$root/build/bench/wine-prefix
prefix=$root/build/bench/wine-windows-build
floor_source=${TARNWICK_WMEMSCAN_SOURCE:-/work/shared/bench/wmemscan.cpp}

if [ "${TARNWICK_BENCH_MEASURE:-}" != 1 ]; then
  cmake -S . -B "$build" -G Ninja --toolchain "$root/cmake/toolchain-mingw64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DTARNWICK_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build" --target tarnwick win_core_search win_dialog_search -j2
  if [ ! -f "$build/wmemscan.exe" ] || [ "$floor_source" -nt "$build/wmemscan.exe" ]; then
    x86_64-w64-mingw32-g++ -O2 -static -o "$build/wmemscan.exe" "$floor_source"
  fi

  if [ ! -f "$fresh/.complete" ]; then
    echo "== making a fresh Wine prefix in $fresh" >&2
    rm -rf "$fresh"
    mkdir -p "$(dirname "$fresh")"
    WINEPREFIX=$fresh WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
    WINEPREFIX=$fresh wineserver -w
    touch "$fresh/.complete"
  fi
  if [ ! -f "$prefix/.complete" ]; then
    echo "== copying the fresh prefix to $prefix" >&2
    rm -rf "$prefix"
    cp -a "$fresh" "$prefix"
    rm -f "$prefix/.complete"
    touch "$prefix/.complete"
  fi
  TARNWICK_BENCH_MEASURE=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$runs" \
    ${markdown:+--markdown "$markdown"}
fi

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(command -v wine64 || command -v wine)
work=$root/build/bench/windows-build-work
# Search drive C: alone (Z: would be the whole file system); both programs
# read these settings. Written afresh for every run, so no marker of an
# earlier run's instance is left.
settings() {
  mkdir -p "$work"
  printf '[options]\r\nsearchdrives=C\r\nrecurse=0\r\nbackupto=C:\\bench-backup\\\r\n' \
    >"$prefix/drive_c/windows/tarnwick.ini"
  rm -f "$work/tarnwick.log"
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }

trap 'wineserver -k 2>/dev/null || true' EXIT
# One Wine server for every run, kept from the first program to the last:
# otherwise each program that finds none starts one, with Wine's own
# start-up programs, whose registry and file work then competes with the
# program measured (a system the user works on has been started already).
wineserver -k 2>/dev/null || true
wineserver -p
# Xvfb has no window manager: Wine would wait two seconds for one to
# acknowledge every window it hides (the question's box among them), which
# is Wine's wait on this display, not the program's. Unmanaged windows are
# hidden at once.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
"$wine" "$build/wmemscan.exe" C: >/dev/null 2>&1  # warms the page cache
sleep 2  # Wine's start-up programs settle

a=() b=() c=() q=()
for ((i = 1; i <= runs; ++i)); do
  settings
  both=$(cd "$work" && "$wine" "$(winpath "$build/bench/win_dialog_search.exe")" \
           "$(winpath "$build/ui/win32/tarnwick.exe")" "$(winpath "$work")" 2>&1 | tr -d '\r' | tail -2)
  out=$(tail -1 <<<"$both")
  question=$(head -1 <<<"$both")
  echo "run $i (a) dialog program: $out ($question)" >&2
  a+=("${out%% *}")
  q+=("${question%% *}")
  settings
  out=$(cd "$work" && "$wine" "$build/bench/win_core_search.exe" 2>&1 | tr -d '\r' | tail -1)
  echo "run $i (b) passes alone:   $out" >&2
  b+=("${out%% *}")
  out=$("$wine" "$build/wmemscan.exe" C: 2>&1 | tr -d '\r' | tail -1)
  echo "run $i (c) floor:          $out" >&2
  ms=${out##*ms=}
  c+=("$(awk -v ms="$ms" 'BEGIN { printf "%.3f", ms / 1000 }')")
done

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ma=$(median "${a[@]}") mb=$(median "${b[@]}") mc=$(median "${c[@]}") mq=$(median "${q[@]}")
awk -v a="$ma" -v b="$mb" -v c="$mc" -v q="$mq" -v n="$runs" 'BEGIN {
  printf "Windows build under Wine, median of %d runs (seconds)\n", n
  printf "  Search to its question     %7.3f\n", q
  printf "  (a) dialog program search  %7.3f\n", a
  printf "  (b) passes without dialog  %7.3f\n", b
  printf "  (c) Win32 floor (wmemscan) %7.3f\n", c
  printf "  a/c %.2f   b/c %.2f\n", a / c, b / c
}'
if [ -n "$markdown" ]; then
  awk -v a="$ma" -v b="$mb" -v c="$mc" -v q="$mq" -v n="$runs" -v threads="$(nproc)" 'BEGIN {
    print "## The Windows build under Wine"
    print ""
    printf "Median of %d runs, seconds, over a copy of the fresh prefix'"'"'s drive C: (one reading thread per processor, %d here; one Wine server for all runs, started before the first). (a) the dialog program'"'"'s search through its dialog, from the answer Yes to \"done total\"; (b) the same passes without the dialog; (c) the Win32 floor (wmemscan: walk, map, memchr through the Win32 functions). Before the search: the dialog program'"'"'s wait from Search to its question, while it collects and lists the candidates.\n\n", n, threads
    print "| Search to question | (a) dialog program | (b) passes alone | (c) Win32 floor | a/c | b/c | goal a/c at most 1.5 |"
    print "| ---: | ---: | ---: | ---: | ---: | ---: | --- |"
    printf "| %.3f s | %.3f s | %.3f s | %.3f s | %.2fx | %.2fx | %s |\n", q, a, b, c, a / c, b / c, (a / c <= 1.5 ? "met" : "not met")
  }' >"$markdown"
fi
