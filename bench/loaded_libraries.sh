#!/usr/bin/env bash
# Which libraries of a fresh Wine prefix its own programs really load, and
# whether the search lists any of them as unused (not part of the tests):
#
#     bash bench/loaded_libraries.sh [TARNWICK...]
#
# Makes a fresh Wine prefix in build/loaded-prefix once (wineboot -i), starts
# every program of its Windows and system folders and of "Program Files"
# under Wine with the loader's trace on (WINEDEBUG=+loaddll) on a virtual
# display, each for a few seconds with no input, and collects every library
# of the system folder that was loaded. Then runs each console edition given
# (default: build/native/ui/console/tarnwick, built when missing) over the
# prefix's drive C: without a backup, and prints how many candidates it
# lists as unused and which loaded libraries are among them. Libraries that
# Wine maps by itself and that no file names (apisetschema.dll) are
# reported apart.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=$root/build/loaded-prefix
prefix=$work/prefix
seconds=${TARNWICK_PROGRAM_SECONDS:-4}
mapfile -t editions < <(printf '%s\n' "$@")
if [ ${#editions[@]} -eq 0 ]; then
  if [ ! -x build/native/ui/console/tarnwick ]; then
    cmake --preset native >/dev/null && cmake --build --preset native --target tarnwick -j2 >/dev/null
  fi
  editions=("$root/build/native/ui/console/tarnwick")
fi
for edition in "${editions[@]}"; do [ -x "$edition" ] || { echo "no program at $edition" >&2; exit 2; }; done

mkdir -p "$work"
if [ ! -f "$prefix/.complete" ]; then
  echo "== making a fresh Wine prefix in $prefix" >&2
  rm -rf "$prefix"
  WINEPREFIX=$prefix WINEDEBUG=-all xvfb-run -a wineboot -i >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  touch "$prefix/.complete"
fi

trace=$work/loaddll.txt
if [ ! -s "$trace" ]; then
  echo "== starting the prefix's programs with the loader's trace" >&2
  windows=$prefix/drive_c/windows
  # Programs that would end the Wine session or set the prefix up anew.
  skip='^(wineboot|shutdown|winedevice|services|plugplay|svchost|rpcss|conhost|start)\.exe$'
  mapfile -t programs < <(find "$windows" "$windows/system32" -maxdepth 1 -iname '*.exe' -type f;
                          find "$prefix/drive_c/Program Files" -iname '*.exe' -type f)
  : >"$trace.tmp"
  run_all() {
    for program in "${programs[@]}"; do
      name=${program##*/}
      if [[ ${name,,} =~ $skip ]]; then continue; fi
      # Into a file, not a pipe: the services a program starts keep its
      # standard error open long after it ends.
      WINEPREFIX=$prefix WINEDEBUG=+loaddll timeout -s KILL "$seconds" wine "$program" </dev/null \
        >/dev/null 2>"$trace.one" || true
      grep -a 'Loaded L"' "$trace.one" >>"$trace.tmp" || true
    done
    WINEPREFIX=$prefix wineserver -k || true
    rm -f "$trace.one"
  }
  export -f run_all 2>/dev/null || true
  xvfb-run -a bash -c "$(declare -p programs prefix seconds skip trace); $(declare -f run_all); run_all"
  mv "$trace.tmp" "$trace"
fi

# Library file names loaded from the system folder, lower case.
loaded=$work/loaded.txt
sed -nE 's/.*Loaded L"[Cc]:\\\\windows\\\\system32\\\\([^"\\]+)".*/\1/p' "$trace" | tr 'A-Z' 'a-z' | sort -u >"$loaded"
echo "programs' loaded system libraries: $(wc -l <"$loaded")"

settings=$prefix/drive_c/windows/tarnwick.ini
for edition in "${editions[@]}"; do
  rm -f "$settings"
  printf '[options]\nsearchdrives=C\nrecurse=0\nbackupto=C:\\BACKUP\\\n' >"$settings"
  out=$work/run
  rm -rf "$out" && mkdir -p "$out"
  (cd "$out" && "$edition" --prefix "$prefix" --yes >list.txt 2>stderr.txt) || true
  awk -F'\t' '$3 == "?" { print $1 }' "$out/list.txt" | sort -u >"$out/unused.txt"
  candidates=$(wc -l <"$out/list.txt")
  unused=$(wc -l <"$out/unused.txt")
  echo "== $edition"
  echo "candidates: $candidates, listed as unused: $unused"
  missed=$(comm -12 "$loaded" "$out/unused.txt" | grep -v '^apisetschema\.dll$' || true)
  mapped=$(comm -12 "$loaded" "$out/unused.txt" | grep '^apisetschema\.dll$' || true)
  echo "loaded but listed as unused: $(printf '%s' "$missed" | grep -c . || true)${missed:+ ($(echo $missed))}"
  [ -n "$mapped" ] && echo "mapped by Wine itself, named by no file: $mapped"
done
rm -f "$settings"
