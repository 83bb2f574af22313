#!/usr/bin/env bash
# Every test: the native build with AddressSanitizer and UndefinedBehaviorSanitizer,
# the Windows build under Wine (its dialog tests on a virtual display), a
# bounded fuzz run, and the main job on the sample installation.
# Installs what it needs on a fresh Debian machine (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
fuzz_seconds=${TARNWICK_FUZZ_SECONDS:-60}

bash scripts/ensure-packages.sh

passed=0
failed=0
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

run_ctest() {
  local preset=$1
  shift
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset: tests"
  if ! "$@" ctest --preset "$preset" -j2 --timeout 600 | tee "$log"; then status=1; fi
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    local total fails
    fails=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + total - fails))
    failed=$((failed + fails))
  else
    status=1
  fi
}

run_ctest asan
# The Windows tests make windows, so Wine gets a display of its own; a Wine
# server left from an earlier run (bound to another display) is ended first.
wine_prefix=${TARNWICK_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/tarnwick-wine}}
WINEPREFIX=$wine_prefix wineserver -k 2>/dev/null || true
cmake --preset mingw -DTARNWICK_NATIVE_BUILD_DIR="$root/build/asan" >/dev/null
gui_prefix=$root/build/mingw/gui-prefix
WINEPREFIX=$gui_prefix wineserver -k 2>/dev/null || true
run_ctest mingw xvfb-run -a -s "-screen 0 1024x768x24"
WINEPREFIX=$wine_prefix wineserver -k 2>/dev/null || true
WINEPREFIX=$gui_prefix wineserver -k 2>/dev/null || true

echo "=== fuzz: libFuzzer under ASan and UBSan, ${fuzz_seconds}s over the analysis and ${fuzz_seconds}s over the content scan"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
fuzz_dir=$root/build/fuzz
"$fuzz_dir/samples/make_samples" "$fuzz_dir/seeds" >/dev/null
mkdir -p "$fuzz_dir/scan-seeds" && "$fuzz_dir/fuzz/make_scan_seeds" "$fuzz_dir/scan-seeds" >/dev/null
for target in analyze_fuzz:seeds scan_fuzz:scan-seeds; do
  name=${target%%:*} seeds=${target##*:}
  rm -rf "$fuzz_dir/corpus-$name" && mkdir -p "$fuzz_dir/corpus-$name"
  if "$fuzz_dir/fuzz/$name" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 "$fuzz_dir/corpus-$name" "$fuzz_dir/$seeds" >"$log" 2>&1; then
    echo "$name: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs"
    passed=$((passed + 1))
  else
    tail -n 60 "$log"
    echo "$name FAILED"
    failed=$((failed + 1))
    status=1
  fi
done

echo "=== samples: the main job"
if bash scripts/run-sample.sh >"$log" 2>&1; then
  passed=$((passed + 1))
else
  cat "$log"
  failed=$((failed + 1))
  status=1
fi

echo
echo "total: $passed passed, $failed failed"
exit $status
