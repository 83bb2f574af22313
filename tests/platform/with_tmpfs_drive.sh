#!/usr/bin/env bash
# Runs the Windows move test with drive T: of the Wine prefix mapped into a
# fresh folder of /dev/shm, a file system other than the one of the test's
# scratch folders; the mapping and the folder go again afterwards.
# Usage: with_tmpfs_drive.sh EMULATOR FILE_OPS_TEST
set -euo pipefail
emulator=$1 test_exe=$2
prefix=${TARNWICK_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/tarnwick-wine}}
[ -d /dev/shm ] || { echo "no /dev/shm"; exit 1; }
# The emulator makes the prefix on first use.
"$emulator" cmd.exe /c exit >/dev/null 2>&1 || true
folder=$(mktemp -d /dev/shm/tarnwick-drive-XXXXXX)
drive=$prefix/dosdevices/t:
trap 'rm -f "$drive"; rm -rf "$folder"' EXIT
rm -f "$drive"
ln -s "$folder" "$drive"
output=$(TARNWICK_OTHER_VOLUME='T:\' "$emulator" "$test_exe" --gtest_filter='*AnotherFileSystem*' 2>&1) || status=$?
printf '%s\n' "$output"
if grep -q 'SKIPPED \]' <<<"$output"; then echo "FAIL: the move test was skipped"; exit 1; fi
exit "${status:-0}"
