#!/usr/bin/env bash
# The search benchmark, in one command (not part of the tests):
#
#     bash bench/run.sh [SIZE_MB]
#
# Builds the benchmark (optimised, in build/bench), makes a fresh Wine
# prefix there once (wineboot -i), writes a generated installation of
# SIZE_MB megabytes (512 by default), times the search over both next to
# the straightforward content scan, a memchr floor, ripgrep (installed here
# when missing and running as root) and objdump -p, prints the figures and
# writes them to bench/RESULTS.md.
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-512}
build=$PWD/build/bench

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target search_bench -j2

prefix=$build/wine-prefix
if [ ! -f "$prefix/.complete" ]; then
  echo "== making a fresh Wine prefix in $prefix" >&2
  rm -rf "$prefix"
  WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  touch "$prefix/.complete"
fi

if ! command -v rg >/dev/null && [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
  apt-get install -y ripgrep >/dev/null 2>&1 || true
fi

"$build/bench/search_bench" --prefix "$prefix" --generated "$build/generated" --size "$size" \
  --markdown "$PWD/bench/RESULTS.md"
