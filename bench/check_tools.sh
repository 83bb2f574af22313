#!/usr/bin/env bash
# Checks of the benchmark's own tools, run by bench/run.sh before it
# measures anything (the benchmark is not under CTest):
#
#     bash bench/check_tools.sh BUILD_DIR
#
# evict_cache and parallel_read refuse bad input with status 2 and a
# message, read every byte of a tree once without following symbolic
# links, and the eviction leaves nothing of a tree just written in the
# page cache; process_bench reports a search that fails as a failure.
set -uo pipefail
build=${1:?usage: check_tools.sh BUILD_DIR}
tools=$build/bench
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() { echo "check_tools: $*" >&2; failures=$((failures + 1)); }

# Runs the command; its status must be the one given and its error output
# must name the text given (when one is).
expect() {
  local status=$1 text=$2
  shift 2
  "$@" >"$scratch/out" 2>"$scratch/err"
  local got=$?
  [ "$got" = "$status" ] || fail "$* exited with $got, not $status"
  [ -z "$text" ] || grep -qF -- "$text" "$scratch/err" || fail "$* did not say '$text': $(cat "$scratch/err")"
}

expect 2 "usage: evict_cache" "$tools/evict_cache"
expect 2 "No such file" "$tools/evict_cache" "$scratch/missing"
expect 2 "No such file" "$tools/parallel_read" "$scratch/missing"
expect 2 "neither a directory nor a regular file" "$tools/parallel_read" /dev/null
for bad in 0 -3 two 2x 99999; do
  expect 2 "THREADS must be" "$tools/parallel_read" -j "$bad" "$scratch"
done
expect 2 "mmap or pread" "$tools/parallel_read" -m mapped "$scratch"

# A tree of a few files with a known number of 0xF4 bytes, an empty file,
# a hidden folder (left out, as the memchr floor leaves it out) and a link
# to / that must not be followed.
tree=$scratch/tree
mkdir -p "$tree/a/b" "$tree/.hidden"
head -c 3000000 /dev/zero | tr '\0' '\364' > "$tree/a/b/big"
printf 'x\364y\364' > "$tree/a/small"
: > "$tree/empty"
printf '\364' > "$tree/.hidden/left-out"
ln -s / "$tree/a/root"
for mode in mmap pread; do
  for threads in 1 3; do
    expect 0 "files=3 bytes=3000004 hits=3000002" "$tools/parallel_read" -j "$threads" -m "$mode" "$tree"
  done
done

# Just written, so dirty: the eviction must flush before it drops.
expect 0 "" "$tools/evict_cache" "$tree"
grep -qF "evicted 4 of 4 files (3.0 MB)" "$scratch/out" || fail "evict_cache: $(cat "$scratch/out")"
grep -qF "; 0.0 MB still resident" "$scratch/out" || fail "evict_cache left pages cached: $(cat "$scratch/out")"

# A search that fails must fail the benchmark, not give figures.
mkdir -p "$scratch/prefix/drive_c" "$scratch/work"
cp "$tree/a/small" "$scratch/prefix/drive_c/"
expect 1 "search: exit status 1" "$tools/process_bench" --tarnwick /bin/false --parallel-read "$tools/parallel_read" \
  --work "$scratch/work" --prefix "$scratch/prefix" --generated "$scratch/unused" --large "$scratch/unused" \
  --corpora prefix --warm-runs 1 --cold-runs 1

if [ "$failures" -gt 0 ]; then
  echo "check_tools: $failures checks failed" >&2
  exit 1
fi
echo "check_tools: the benchmark's tools behave" >&2
