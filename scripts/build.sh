#!/usr/bin/env bash
# Configures and builds both configurations:
#   $BUILD_ROOT/native - portable core, native tests, benchmarks;
#   $BUILD_ROOT/win32  - Windows program, Win32 layer and its tests;
#   $BUILD_ROOT/tsan   - the native concurrency tests under ThreadSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
jobs=${JOBS:-$(nproc)}

cmake -S "$root" -B "$build_root/native" -DCMAKE_BUILD_TYPE=Release -DSHADOWPANE_WERROR=ON >/dev/null
cmake --build "$build_root/native" -j "$jobs"

cmake -S "$root" -B "$build_root/win32" -DCMAKE_BUILD_TYPE=Release -DSHADOWPANE_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build_root/win32" -j "$jobs"

# The tests whose threads race on purpose, built with ThreadSanitizer.
tsan_targets=${TSAN_TARGETS:-"devices_capture_tests devices_capture_stress_tests"}
cmake -S "$root" -B "$build_root/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHADOWPANE_WERROR=ON \
  -DSHADOWPANE_BENCH=OFF -DCMAKE_CXX_FLAGS="-fsanitize=thread" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
# shellcheck disable=SC2086
cmake --build "$build_root/tsan" -j "$jobs" --target $tsan_targets
