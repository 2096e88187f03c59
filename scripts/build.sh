#!/usr/bin/env bash
# Configures and builds both configurations:
#   $BUILD_ROOT/native - portable core, native tests, benchmarks;
#   $BUILD_ROOT/win32  - Windows program, Win32 layer and its tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
jobs=${JOBS:-$(nproc)}

cmake -S "$root" -B "$build_root/native" -DCMAKE_BUILD_TYPE=Release -DSHADOWPANE_WERROR=ON >/dev/null
cmake --build "$build_root/native" -j "$jobs"

cmake -S "$root" -B "$build_root/win32" -DCMAKE_BUILD_TYPE=Release -DSHADOWPANE_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build_root/win32" -j "$jobs"
