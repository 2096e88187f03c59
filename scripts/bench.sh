#!/usr/bin/env bash
# Builds both configurations and runs the benchmarks: the native ones
# directly, the Win32 ones under Wine on a virtual display of their own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
for bench in "$build_root"/native/bench/*_bench; do
  if [ -x "$bench" ]; then "$bench"; fi
done
(
  # shellcheck source=lib/wine-session.sh
  . "$root/scripts/lib/wine-session.sh"
  wine_session_start "$build_root/win32" own-display
  for bench in "$build_root"/win32/bench/win32/*_bench.exe; do
    if [ -f "$bench" ]; then wine "$bench"; fi
  done
)
