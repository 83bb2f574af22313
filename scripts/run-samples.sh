#!/usr/bin/env bash
# The main job for now: builds exeprobe natively, writes the bundled sample
# files (every kind of executable and registry file, and some broken ones)
# and analyses each of them.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target exeprobe make_samples >/dev/null
out=build/native/sample-files
rm -rf "$out"
echo "Sample files, written to $out:"
build/native/samples/make_samples "$out"
for file in "$out"/*; do
  echo
  echo "\$ exeprobe ${file#"$out"/}"
  build/native/tools/exeprobe/exeprobe "$file"
done
