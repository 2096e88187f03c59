#!/usr/bin/env bash
# Builds the installer from the sources: installs what is missing (the cross
# compiler, NSIS, the CHM compiler), builds Shadowpane.exe and
# Shadowpane.chm in the Windows configuration and packs both with NSIS.
# Prints the installer's path: $BUILD_ROOT/win32/Shadowpane-<version>-setup.exe,
# and the folder of the package manager's manifest set the build writes for
# it (installer/WriteManifests.py): $BUILD_ROOT/win32/manifest, and the
# administrative templates in a PolicyDefinitions layout: $BUILD_ROOT/win32/PolicyDefinitions.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
jobs=${JOBS:-$(nproc)}

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build_root/win32" -DCMAKE_BUILD_TYPE=Release -DSHADOWPANE_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build_root/win32" -j "$jobs" --target ShadowpaneInstaller ShadowpanePolicyTemplates

installer=$(ls -t "$build_root"/win32/Shadowpane-*-setup.exe | head -1)
echo "package: $installer"
# The build wrote the package manager's manifests for it beside it.
manifests=$(sed -n 's/^SHADOWPANE_MANIFESTS:INTERNAL=//p' "$build_root/win32/CMakeCache.txt")
echo "manifests: $manifests"
echo "policy templates: $(sed -n 's/^SHADOWPANE_POLICY_TEMPLATES:INTERNAL=//p' "$build_root/win32/CMakeCache.txt")"
