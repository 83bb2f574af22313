#!/usr/bin/env bash
# Checks of the benchmark's own tools, run by bench/run.sh before it
# measures anything (the benchmark is not under CTest):
#
#     bash bench/check_tools.sh BUILD_DIR
#
# evict_cache and parallel_read refuse bad input with status 2 and a
# message, read every byte of a tree once without following symbolic
# links, and the eviction leaves nothing of a tree just written in the
# page cache; process_bench reports a search that fails as a failure and
# gives every figure over a small installation; the many-files installation
# is as large and as many as asked, and the same each time.
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

# The whole pipeline over a small generated installation with the real
# console edition: figures for every program, and the tables written.
if [ -x "$build/ui/console/tarnwick" ]; then
  expect 0 "" "$tools/process_bench" --tarnwick "$build/ui/console/tarnwick" --parallel-read "$tools/parallel_read" \
    --work "$scratch/work" --prefix "$scratch/prefix" --generated "$scratch/small" --size 4 --large "$scratch/unused" \
    --corpora generated --warm-runs 1 --cold-runs 1 --markdown "$scratch/report.md" --summary "$scratch/table.md"
  # Without memscan only the warm floor and its ratio are left out.
  row=$(grep -F "| Generated installation, 4 MB |" "$scratch/table.md")
  missing=$(awk -F' [|] ' '{ sub(/ [|]$/, ""); for (i = 2; i <= 10; ++i) if ($i == "-" && i != 5 && i != 6) print i }' <<<"${row:-| x}")
  [ -n "$row" ] && [ -z "$missing" ] || fail "process_bench left figures out: ${row:-no row}"
  grep -qF "## Whole processes" "$scratch/report.md" || fail "process_bench wrote no report"
else
  fail "no console edition at $build/ui/console/tarnwick"
fi

# The many-files installation reaches both its size and its number of
# files, and the same request writes the same files.
for copy in one two; do
  "$tools/process_bench" --tarnwick /bin/true --parallel-read "$tools/parallel_read" --work "$scratch/work" \
    --prefix "$scratch/prefix" --generated "$scratch/unused" --large "$scratch/$copy" --large-size 40 \
    --large-files 1500 --corpora large --warm-runs 1 --cold-runs 1 >/dev/null 2>&1
done
files=$(find "$scratch/one/drive_c" -type f | wc -l)
bytes=$(find "$scratch/one/drive_c" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')
[ "$files" -ge 1500 ] || fail "the many-files installation has $files files, not 1500"
[ "$bytes" -ge $((40 * 1024 * 1024)) ] || fail "the many-files installation has $bytes bytes, not 40 MB"
diff -r -q "$scratch/one/drive_c" "$scratch/two/drive_c" >/dev/null || fail "two many-files installations differ"

if [ "$failures" -gt 0 ]; then
  echo "check_tools: $failures checks failed" >&2
  exit 1
fi
echo "check_tools: the benchmark's tools behave" >&2
