#!/usr/bin/env bash
# A made-up COM class registered with `wine reg add`, pointing at a made-up
# library: the Windows build (reading the live registry) and the console
# edition (reading the prefix's registry files) must both list the library
# as used, with the same key path.
# Usage: registry_evidence_both_editions.sh NATIVE_TARNWICK WINDOWS_SEARCH_DUMP WINE_RUN
set -euo pipefail
native=$1 windows=$2 wine_run=$3
prefix=${TARNWICK_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/tarnwick-wine}}
"$wine_run" cmd /c exit >/dev/null 2>&1 || true   # makes the prefix when missing
export WINEPREFIX=$prefix
clsid='{6D1F4A8E-0B7C-4E55-9C3A-2F1E7A5B9D10}'
key="HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\$clsid\\InprocServer32"
work=$prefix/drive_c/tnwregtest
ini=$prefix/drive_c/windows/tarnwick.ini
cleanup() {
  "$wine_run" reg delete "HKLM\\Software\\Classes\\CLSID\\$clsid" /f >/dev/null 2>&1 || true
  wineserver -w || true
  rm -rf "$work" "$ini"
}
trap cleanup EXIT
rm -rf "$work" && mkdir -p "$work/lib" "$work/search" "$work/run"
printf 'a library nothing imports' >"$work/lib/tnwmadeupcom.dll"
printf '[options]\r\n32bitdllpath=C:\\tnwregtest\\lib\r\nfind16b_dlls=0\r\nsearchdrives=C:\\tnwregtest\\search\r\nbackupto=C:\\tnwregtest\\backup\r\n' >"$ini"
"$wine_run" reg add "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve \
  /d 'C:\tnwregtest\lib\tnwmadeupcom.dll' /f >/dev/null
# The server writes its registry files when it ends.
wineserver -w

expected=$(printf 'tnwmadeupcom.dll\t32\t%s(NT registry)' "$key")
console=$(cd "$work/run" && "$native" --prefix "$prefix" --yes 2>/dev/null | grep '^tnwmadeupcom' || true)
dialog=$(cd "$work/run" && "$wine_run" "$windows" 2>/dev/null | tr -d '\r' | grep '^tnwmadeupcom' || true)
status=0
for edition in console dialog; do
  if [ "${!edition}" = "$expected" ]; then
    echo "ok: the $edition edition names $key"
  else
    echo "FAIL: the $edition edition listed '${!edition}', not '$expected'"
    status=1
  fi
done
exit $status
