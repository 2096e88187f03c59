#!/usr/bin/env bash
# Builds and runs the native benchmarks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build_root/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_root/native" -j "$(nproc)"
for bench in "$build_root"/native/bench/*_bench; do
  [ -x "$bench" ] && "$bench"
done
