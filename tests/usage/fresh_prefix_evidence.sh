#!/usr/bin/env bash
# Over the test's own Wine prefix, as wineboot made it, the console edition
# must list the prefix's libraries that are reached only through the
# registry, system.ini, export forwarders and delay-load imports as used,
# each with the evidence that names it.
# Usage: fresh_prefix_evidence.sh NATIVE_TARNWICK WINE_RUN
set -euo pipefail
native=$1 wine_run=$2
prefix=${TARNWICK_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/tarnwick-wine}}
"$wine_run" cmd /c exit >/dev/null 2>&1 || true   # makes the prefix when missing
WINEPREFIX=$prefix wineserver -w                  # its registry files written
ini=$prefix/drive_c/windows/tarnwick.ini
work=$(mktemp -d)
trap 'rm -rf "$work" "$ini"' EXIT
printf '[options]\r\nsearchdrives=C\r\nbackupto=C:\\tnwbackup\\\r\n' >"$ini"
(cd "$work" && "$native" --prefix "$prefix" --yes >list.txt 2>stderr.txt)

# Library, then a pattern its list line's use must match.
expected=(
  'actxprxy.dll'      '^HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\\{[^}]*\}\\InprocServer32\(NT registry\)$'
  'explorerframe.dll' '\\InprocServer32\(NT registry\)$'
  'dxdiagn.dll'       '\\InprocServer32\(NT registry\)$'
  'taskschd.dll'      '\\InprocServer32\(NT registry\)$'
  'wevtsvc.dll'       '^HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Eventlog\\Parameters\(NT registry\)$'
  'msv1_0.dll'        '^HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Lsa\\MSV1_0\(NT registry\)$'
  'iccvid.dll'        '/drive_c/windows/system\.ini\(settings file\)$'
  'msrle32.dll'       '/drive_c/windows/system\.ini\(settings file\)$'
  'msvidc32.dll'      '/drive_c/windows/system\.ini\(settings file\)$'
  'sspicli.dll'       '/system32/secur32\.dll\(32-bit exe or dll\)$'
  'sfc_os.dll'        '\.dll\(32-bit exe or dll\)$'
  'sppc.dll'          '\.dll\(32-bit exe or dll\)$'
  'rsaenh.dll'        '\)$'
  'msxml3.dll'        '\)$'
)
status=0
for ((i = 0; i < ${#expected[@]}; i += 2)); do
  name=${expected[i]} pattern=${expected[i + 1]}
  use=$(awk -F'\t' -v n="$name" '$1 == n { print $3 }' "$work/list.txt")
  if [ -z "$use" ]; then
    echo "FAIL: $name is no candidate of the prefix"; status=1
  elif grep -Eq -- "$pattern" <<<"$use"; then
    echo "ok: $name used by $use"
  else
    echo "FAIL: $name listed with '$use', expected /$pattern/"; status=1
  fi
done
echo "$(awk -F'\t' '$3 == "?"' "$work/list.txt" | wc -l) of $(wc -l <"$work/list.txt") candidates listed as unused"
exit $status
