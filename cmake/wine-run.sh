#!/usr/bin/env bash
# Runs a cross-built Windows executable under 32-bit Wine in the build tree's
# private prefix. The test script exports WINEPREFIX, DISPLAY and HOME.
: "${WINEPREFIX:?WINEPREFIX must be set (scripts/test.sh sets it)}"
export WINEDEBUG=${WINEDEBUG:--all}
exec wine "$@"
