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
small=$(mktemp -d) readonly=$(mktemp -d)
full_drive=$prefix/dosdevices/u: readonly_drive=$prefix/dosdevices/r:
trap 'rm -f "$drive" "$full_drive" "$readonly_drive"; rm -rf "$folder"
      umount "$small" "$readonly" 2>/dev/null; rmdir "$small" "$readonly"' EXIT
rm -f "$drive" "$full_drive" "$readonly_drive"
ln -s "$folder" "$drive"
# Drive U: on a tmpfs too small for the test's library, and drive R: a
# read-only tmpfs holding one library, where mounting is allowed.
filter='*AnotherFileSystem*'
if mount -t tmpfs -o size=128k tmpfs "$small" 2>/dev/null && mount -t tmpfs -o size=1m tmpfs "$readonly"; then
  ln -s "$small" "$full_drive"
  printf 'a library on a read-only file system' >"$readonly/stuck.dll"
  mount -o remount,ro "$readonly"
  ln -s "$readonly" "$readonly_drive"
  export TARNWICK_FULL_VOLUME='U:\' TARNWICK_READONLY_LIBRARY='R:\stuck.dll'
else
  echo "no tmpfs could be mounted: the full and read-only volume cases are left out"
  filter='*AnotherFileSystem*:-*FileSystemFull*:*ReadOnly*'
fi
output=$(TARNWICK_OTHER_VOLUME='T:\' "$emulator" "$test_exe" --gtest_filter="$filter" 2>&1) || status=$?
printf '%s\n' "$output"
if grep -q 'SKIPPED \]' <<<"$output"; then echo "FAIL: the move test was skipped"; exit 1; fi
exit "${status:-0}"
