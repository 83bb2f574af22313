#!/usr/bin/env bash
# Reads one tarnwick.ini with the POSIX layer and with the Windows build
# under Wine (same prefix) and compares the settings each gets. Paths are
# compared without regard to case, as Windows compares them.
# Usage: same_settings_on_both_layers.sh NATIVE_DUMP WINDOWS_DUMP WINE_RUN
set -euo pipefail
native=$1 windows=$2 wine_run=$3
prefix=${TARNWICK_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/tarnwick-wine}}
"$wine_run" cmd /c exit >/dev/null 2>&1 || true   # makes the prefix when missing
ini=$prefix/drive_c/windows/tarnwick.ini
trap 'rm -f "$ini"' EXIT
status=0

compare() {
  local name=$1
  local a b
  a=$(WINEPREFIX=$prefix "$native" | tr 'A-Z' 'a-z')
  b=$("$wine_run" "$windows" | tr -d '\r' | tr 'A-Z' 'a-z')
  if [ "$a" = "$b" ]; then
    echo "ok: $name"
  else
    echo "FAIL: $name"; diff <(echo "$a") <(echo "$b") || true
    status=1
  fi
}

rm -f "$ini"
compare "no settings file"

printf '; by hand\r\n[Options]\r\n  BackupTo =  C:\\Backups\\Old  \r\nrecurse=1\n32bitdllpath=C:\\windows\\system32\r\n16BITDLLPATH = c:\\WINDOWS\\System\\\nfind16b_dlls=7\r\nsearchdrives=ZDC\r\ndllextensions=dll drv  exe\r\n' >"$ini"
compare "hand-written file"

printf '[options]\r\nbackupto=\r\n32bitdllpath=\r\nfind16b_dlls=0\r\nsearchdrives=C:\\windows\\fonts\r\ndllextensions=dll \r\n' >"$ini"
compare "empty paths, directory search"
exit $status
