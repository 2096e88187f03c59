#!/usr/bin/env bash
# Packs the Windows test suite so that it runs on a Windows 10 or 11 machine:
#   $BUILD_ROOT/win32/test-package/Shadowpane-tests/      the folder
#   $BUILD_ROOT/win32/test-package/Shadowpane-tests.zip   the same, zipped
# It holds every test executable ctest lists for the Windows build (at the
# places they have in the build tree, which the tests find each other by),
# Shadowpane.exe and its help file, the virtual devices' DLL, their helper
# and the tool that removes leftovers of them, and run-tests.cmd, which runs
# them one by one and prints ctest's summary line. Tests that need this
# Linux host (a shell or Python script, Wine's own installer run) are left
# out and named as not run.
# Build the Windows configuration first: BUILD_ONLY=win32 scripts/build.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
build_dir="$build_root/win32"

if [ ! -f "$build_dir/CTestTestfile.cmake" ]; then
  echo "package-tests: no Windows build in $build_dir (run BUILD_ONLY=win32 scripts/build.sh)" >&2
  exit 1
fi

listing=$(mktemp)
trap 'rm -f "$listing"' EXIT
(cd "$build_dir" && ctest -N --show-only=json-v1) >"$listing"

python3 "$root/scripts/lib/test-package.py" "$listing" "$build_dir" "$build_dir/test-package" \
  "${OBJDUMP:-i686-w64-mingw32-objdump}"
