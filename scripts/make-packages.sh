#!/usr/bin/env bash
# Makes the three packages in build/packages: the Windows ZIP
# (tarnwick.exe, exeprobe.exe, README) and the Linux .deb and .tar.gz
# (tarnwick, exeprobe, their man pages, README). Release builds of their own
# in build/package-linux and build/package-windows, without the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/packages
mkdir -p "$out"

cmake -S . -B build/package-linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DBUILD_TESTING=OFF >/dev/null
cmake --build build/package-linux -j2
cmake -S . -B build/package-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" >/dev/null
cmake --build build/package-windows -j2

(cd build/package-linux && cpack -B "$out" >/dev/null)
(cd build/package-windows && cpack -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls -1 "$out"/*.deb "$out"/*.tar.gz "$out"/*.zip
