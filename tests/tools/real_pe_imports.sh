#!/usr/bin/env bash
# Builds a DLL and a program that imports it with the MinGW compilers, 32-bit
# (PE32) and 64-bit (PE32+), and checks that exeprobe lists exactly the
# imported modules that objdump -p reports, lower-cased and in table order.
# Usage: real_pe_imports.sh SOURCE_DIR WORK_DIR EXEPROBE [EMULATOR...]
set -euo pipefail
src=$1 work=$2 probe=$3
shift 3
failures=0
mkdir -p "$work"

for arch in x86_64 i686; do
  cc=$arch-w64-mingw32-gcc
  objdump=$arch-w64-mingw32-objdump
  if ! command -v "$cc" >/dev/null || ! command -v "$objdump" >/dev/null; then
    echo "FAIL: $cc or $objdump is missing (the test command installs them)"
    failures=$((failures + 1))
    continue
  fi
  out=$work/$arch
  mkdir -p "$out"
  "$cc" -O1 -shared -o "$out/tiny.dll" "$src/tiny.c" -Wl,--out-implib,"$out/libtiny.a"
  "$cc" -O1 -o "$out/app.exe" "$src/app.c" -L"$out" -ltiny -luser32 -ladvapi32

  for file in app.exe tiny.dll; do
    expected=$("$objdump" -p "$out/$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    report=$(cd "$out" && "$@" "$probe" "$file" | tr -d '\r')
    actual=$(printf '%s\n' "$report" | sed -n '/^ImportTable :/,/^FileSize :/p' | sed '1d;$d')
    kind=$(printf '%s\n' "$report" | tail -n 1)
    if [ -z "$expected" ] || [ "$expected" != "$actual" ] || [ "$kind" != "File type WIN32" ]; then
      echo "FAIL: $arch $file"
      echo "--- objdump -p:"; printf '%s\n' "$expected"
      echo "--- exeprobe:"; printf '%s\n' "$report"
      failures=$((failures + 1))
    else
      echo "ok: $arch $file imports:" $expected
    fi
  done
done
[ "$failures" -eq 0 ]
