#!/usr/bin/env bash
# The main job: builds the console edition of tarnwick natively, writes a
# fresh sample Windows installation (a Wine-style prefix) and runs
#   tarnwick --yes --backup
# on it: the list of candidates with the files that use them goes to
# standard output, and the unused libraries are moved into the backup folder.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target tarnwick make_installation >/dev/null
run=$PWD/build/native/sample-run
prefix=$run/prefix
rm -rf "$run"
mkdir -p "$run"
build/native/samples/make_installation "$prefix"

echo
echo "\$ tarnwick --prefix $prefix --yes --backup"
(cd "$run" && "$OLDPWD/build/native/ui/console/tarnwick" --prefix "$prefix" --yes --backup)

echo
echo "Moved into $prefix/backup:"
ls "$prefix/backup"
echo
echo "The log, $run/tarnwick.log:"
cat "$run/tarnwick.log"
