#!/usr/bin/env bash
# Installs what is missing, builds, and runs Shadowpane under Wine in a
# private prefix (build/win32/wineprefix):
#   - with a display (an X session), the program opens on it;
#   - without one, it runs on a virtual display of its own: the script waits
#     for the main window (choosing English in the first-run language window
#     if it comes), saves a screenshot, prints where and lists the devices
#     the window shows with their marks.
# Either way it keeps running until the program ends or Ctrl-C ends both.
#
#   scripts/run.sh [--virtual-devices] [program arguments, e.g. /min]
#
# --virtual-devices lists the test-only virtual camera and microphone in the
# private prefix first (and removes them at the end), so blocking can be seen
# at work on a machine without capture hardware. They are not part of the
# program: a separate test-only tool registers them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}

virtual_devices=0
if [ "${1:-}" = --virtual-devices ]; then
  virtual_devices=1
  shift
fi

"$root/scripts/setup.sh"
# Only what runs here: the program, its help and the test-only device tool
# (with the devices' DLL), not the test suites and benchmarks.
BUILD_ONLY=win32 WIN32_TARGETS="Shadowpane ShadowpaneHelp shadowpane_e2e_tool" "$root/scripts/build.sh"

build_dir="$build_root/win32"
exe="$build_dir/Shadowpane.exe"
tool="$build_dir/tests/virtualdevices/shadowpane_e2e_tool.exe"
for needed in "$exe" "$tool"; do
  if [ ! -f "$needed" ]; then
    echo "run: the build has no $(basename "$needed")" >&2
    exit 1
  fi
done

# shellcheck source=lib/wine-session.sh
. "$root/scripts/lib/wine-session.sh"
wine_session_start "$build_dir"
headless=0
[ -n "${WINE_SESSION_XVFB_PID:-}" ] && headless=1

program_pid=
finish() {
  if [ "$virtual_devices" = 1 ]; then
    wine "$tool" unplug </dev/null 2>/dev/null || true
  fi
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  wine_session_stop
}
trap finish EXIT

if [ "$virtual_devices" = 1 ]; then
  wine "$tool" unplug </dev/null >/dev/null 2>&1 || true  # leftovers of an interrupted run
  wine "$tool" plug </dev/null 2>/dev/null
fi

if [ "$headless" = 1 ]; then
  echo "run: no display here; Shadowpane runs on the virtual display $DISPLAY"
else
  echo "run: Shadowpane on display $DISPLAY"
fi
cd "$build_dir"
# Waited for in the background, so that Ctrl-C or a terminate request ends
# the session (and with it the program) at once.
wine "$exe" "$@" </dev/null &
program_pid=$!

if [ "$headless" = 1 ]; then
  shots="$build_dir/run"
  mkdir -p "$shots"
  # save <window class> <name>: a .png of the window as the screen shows it.
  save() {
    wine "$tool" save "$1" "$(winepath -w "$shots/$2.bmp")" </dev/null 2>/dev/null &&
      python3 "$root/scripts/lib/bmp-to-png.py" "$shots/$2.bmp" "$shots/$2.png" &&
      rm -f "$shots/$2.bmp" && echo "run: screenshot of the $3: $shots/$2.png"
  }
  state=$(wine "$tool" wait-start 60000 </dev/null 2>/dev/null | tr -d '\r') || state=
  if [ "$state" = language ]; then
    save KSP2LanguagesWndClass language-window "language window" || true
    echo "run: first run: choosing English in the language window"
    wine "$tool" click KSP2LanguagesWndClass 1026 </dev/null 2>/dev/null || true
    # The language window is gone once the main window is shown.
    state=
    wine "$tool" wait-main 60000 </dev/null 2>/dev/null && state=shown
  fi
  case "$state" in
    shown) save KSP2MainWndClass main-window "main window" || echo "run: no screenshot" >&2 ;;
    hidden) echo "run: the main window started hidden (in the tray)" ;;
    *) echo "run: no main window appeared" >&2 ;;
  esac
  [ -n "$state" ] && wine "$tool" show </dev/null 2>/dev/null | tr -d '\r'
  echo "run: running; Ctrl-C ends it"
fi
wait "$program_pid"
