#!/usr/bin/env bash
# Runs a cross-built Windows executable under 32-bit Wine in the build tree's
# private prefix: the session of the test's lane (cmake/wine-lane.sh), or the
# one the caller exported (scripts/test.sh and scripts/lib/wine-session.sh
# export WINEPREFIX, DISPLAY and HOME).
# shellcheck source=wine-lane.sh
. "$(dirname "$0")/wine-lane.sh"
: "${WINEPREFIX:?WINEPREFIX must be set (scripts/test.sh sets it)}"
export WINEDEBUG=${WINEDEBUG:--all}
exec wine "$@"
