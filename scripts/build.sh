#!/usr/bin/env bash
# Configures and builds every configuration:
#   $BUILD_ROOT/native - portable core, native tests, benchmarks;
#   $BUILD_ROOT/win32  - Windows program, Win32 layer and its tests;
#   $BUILD_ROOT/tsan   - the native concurrency tests under ThreadSanitizer;
#   $BUILD_ROOT/asan   - the whole native suite under AddressSanitizer and
#                        UndefinedBehaviorSanitizer;
#   $BUILD_ROOT/fuzz   - the fuzz targets (clang's libFuzzer, same sanitizers).
# BUILD_ONLY="native asan ..." builds only the configurations named;
# WIN32_TARGETS="a b" builds only those targets of the Windows configuration
# (the run command: the program, its help and the test-only device tool).
# Builds with Ninja where it is installed (a folder configured before with
# make keeps make).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
jobs=${JOBS:-$(nproc)}

only=" ${BUILD_ONLY:-native win32 tsan asan fuzz} "
wanted() { [[ $only == *" $1 "* ]]; }

# configure <folder> <cmake options...>
configure() {
  local dir=$1
  shift
  local generator=()
  if [ ! -f "$dir/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    generator=(-G Ninja)
  fi
  cmake -S "$root" -B "$dir" "${generator[@]}" "$@" >/dev/null
}

if wanted native; then
  configure "$build_root/native" -DCMAKE_BUILD_TYPE=Release -DSHADOWPANE_WERROR=ON
  cmake --build "$build_root/native" -j "$jobs"
fi

if wanted win32; then
  configure "$build_root/win32" -DCMAKE_BUILD_TYPE=Release -DSHADOWPANE_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
  # shellcheck disable=SC2086
  cmake --build "$build_root/win32" -j "$jobs" ${WIN32_TARGETS:+--target $WIN32_TARGETS}
fi

# The sanitizer builds: optimised lightly and with line tables only, which
# is all a report's stack needs and a fraction of full debug information to
# compile (docs/DECISIONS.md, "The test command").
sanitizer_optimisation="-O1 -g1 -DNDEBUG"

# The tests whose threads race on purpose, built with ThreadSanitizer.
if wanted tsan; then
  tsan_targets=${TSAN_TARGETS:-"devices_capture_tests devices_capture_stress_tests"}
  configure "$build_root/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHADOWPANE_WERROR=ON \
    -DSHADOWPANE_BENCH=OFF -DCMAKE_CXX_FLAGS="-fsanitize=thread" \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$sanitizer_optimisation" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
  # shellcheck disable=SC2086
  cmake --build "$build_root/tsan" -j "$jobs" --target $tsan_targets
fi

# Every native test again with memory and undefined-behaviour checks; the
# first finding ends the test that made it (no recovery).
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
if wanted asan; then
  configure "$build_root/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHADOWPANE_WERROR=ON \
    -DSHADOWPANE_BENCH=OFF -DCMAKE_CXX_FLAGS="$sanitize" \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$sanitizer_optimisation" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitize"
  cmake --build "$build_root/asan" -j "$jobs"
fi

# The fuzz targets: clang with libFuzzer; fuzz/CMakeLists.txt adds the
# instrumentation to the code under test.
if wanted fuzz; then
  configure "$build_root/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSHADOWPANE_WERROR=ON \
    -DSHADOWPANE_BENCH=OFF -DSHADOWPANE_FUZZ=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
  cmake --build "$build_root/fuzz" -j "$jobs" --target fuzz_targets
fi
