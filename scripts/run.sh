#!/usr/bin/env bash
# Installs what is missing, builds, and runs Shadowpane under Wine on the
# current display, or on a virtual display of its own when there is none.
# Arguments are passed to the program (for example /min).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}

"$root/scripts/setup.sh"
"$root/scripts/build.sh"

exe="$build_root/win32/Shadowpane.exe"
if [ ! -f "$exe" ]; then
  echo "run: the build has no Shadowpane.exe yet; built so far:" >&2
  find "$build_root/win32" -maxdepth 2 -name '*.exe' -printf '  %P\n' >&2
  exit 1
fi

# shellcheck source=lib/wine-session.sh
. "$root/scripts/lib/wine-session.sh"
wine_session_start "$build_root/win32"
echo "run: Shadowpane on display $DISPLAY"
cd "$(dirname "$exe")"
# Waited for in the background, so that Ctrl-C or a terminate request ends
# the session (and with it the program) at once.
wine "$exe" "$@" &
wait $!
