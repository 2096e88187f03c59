#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Shadowpane:
# the i686 MinGW-w64 cross compiler, 32-bit Wine, Xvfb, the Tahoma fonts,
# GoogleTest (sources for the cross build, libraries for the native build),
# Google Benchmark, CMake and Ninja, the X11 headers (the virtual display's
# window-state helper), ps (the test script stops what it started
# through it), NSIS (the installer), the Free Pascal utilities (chmcmd
# compiles the help file, chmls reads it back in the tests), and clang with
# its runtime libraries for the fuzz targets (libFuzzer and the sanitizers'
# runtimes are in libclang-rt-14-dev, which clang only recommends). Quick
# and silent when everything is present.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for p in cmake g++ make ninja-build g++-mingw-w64-i686 xvfb libx11-dev fonts-wine googletest libgtest-dev \
         libbenchmark-dev xauth python3 procps wine nsis fp-utils clang libclang-rt-14-dev; do
  have_pkg "$p" || need+=("$p")
done
have_pkg wine32:i386 || need+=(wine32:i386)

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${need[*]} (run as root to install them)" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
echo "setup: installed ${need[*]}"
