#!/usr/bin/env bash
# Makes the README's screenshots from the real Shadowpane.exe under Wine, on
# a virtual display of its own, with the test-only virtual camera and
# microphone listed, and writes them as .png files to docs/images/ (or the
# folder given). Each shot starts the program afresh from a copy in
# $BUILD_ROOT/win32/screenshots, with fresh registry keys. The main window
# and Settings are shot once more at 200 % (the prefix at 192 DPI), on a
# virtual display tall enough for the main window's 1302 pixels, and
# Settings also in German, Spanish and Italian there
# (settings-window-200-<de|es|it>.png).
#
#   scripts/screenshots.sh [output folder]
#   SCREENSHOTS=200 scripts/screenshots.sh   # only the shots at 200 %
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
build_dir="$build_root/win32"
out=$(mkdir -p "${1:-$root/docs/images}" && cd "${1:-$root/docs/images}" && pwd)
# The help's copies are refreshed only with the README's.
own_folder=${1:+yes}

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DSHADOWPANE_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build_dir" --target Shadowpane shadowpane_e2e_tool shadowpane_virtualdevices -j "${JOBS:-2}"

tool="$build_dir/tests/virtualdevices/shadowpane_e2e_tool.exe"
work="$build_dir/screenshots"
rm -rf "$work"
mkdir -p "$work/program"
cp "$build_dir/Shadowpane.exe" "$work/program/"

# shellcheck source=lib/wine-session.sh
. "$root/scripts/lib/wine-session.sh"
wine_session_start "$build_dir" own-display
# A stand-in for another program: a copy of Wine's command interpreter at
# that program's path, paused on a pipe nobody writes, so it runs without a
# window until it is stopped.
# start_stand_in <Windows path>: waits until it runs (its prompt is out).
stand_in_pids=()
start_stand_in() {
  local unix name tries=0
  unix=$(winepath -u "$1" 2>/dev/null | tr -d '\r')
  name=$(basename "$unix")
  mkdir -p "$(dirname "$unix")"
  cp "$(winepath -u 'C:\windows\system32\cmd.exe' 2>/dev/null | tr -d '\r')" "$unix"
  rm -f "$work/$name.pipe" "$work/$name.out"
  mkfifo "$work/$name.pipe"
  (exec wine "$1" /c pause <>"$work/$name.pipe" >"$work/$name.out" 2>&1) &
  stand_in_pids+=($!)
  until [ -s "$work/$name.out" ]; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || { echo "screenshots: $name did not start" >&2; exit 1; }
    sleep 0.2
  done
}
# stop_stand_in <file name>
stop_stand_in() { wine taskkill /f /im "$1" </dev/null >/dev/null 2>&1 || true; }
stop_stand_ins() {
  local pid
  for pid in "${stand_in_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${stand_in_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  stand_in_pids=()
}
program_pid=
finish() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  stop_stand_ins
  wine "$tool" unplug </dev/null >/dev/null 2>&1 || true
  wine_session_stop
}
trap finish EXIT

tool() { wine "$tool" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
settings_key='HKCU\Software\KESTRALYNX\Shadowpane\2'
reg_dword() { wine reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1; }

# Fresh keys; the first-run page marked as shown (it would go to the
# prefix's browser); English unless the language window is wanted.
fresh_start() {
  stop_program
  wine reg delete 'HKCU\Software\KESTRALYNX' /f >/dev/null 2>&1 || true
  wine reg delete 'HKLM\Software\KESTRALYNX' /f >/dev/null 2>&1 || true
  wine reg delete 'HKLM\Software\Policies\KESTRALYNX' /f >/dev/null 2>&1 || true
  wine reg delete 'HKCU\Software\Policies\KESTRALYNX' /f >/dev/null 2>&1 || true
  reg_dword 'HKLM\Software\KESTRALYNX\Shadowpane\2001' firstrun 1
  rm -f "$work/program/Profile.db"
}
start_program() {
  (cd "$work/program" && exec wine Shadowpane.exe </dev/null >/dev/null 2>&1) &
  program_pid=$!
}
stop_program() {
  if [ -n "$program_pid" ]; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
  fi
}
# shot <window class> <name>
shot() {
  tool save "$1" "$(winepath -w "$work/$2.bmp")"
  python3 "$root/scripts/lib/bmp-to-png.py" "$work/$2.bmp" "$out/$2.png"
  echo "screenshots: $out/$2.png"
}
expect_start() {
  local state
  state=$(tool wait-start 60000)
  [ "$state" = "$1" ] || { echo "screenshots: expected the $1 window, got '$state'" >&2; exit 1; }
}

# The indicator on screen in its states, shot under its window: both marks
# at risk; the camera blocked; the microphones blocked too, Wine's own input
# amber (others still hear it); every device blocked with no input of Wine's
# own (a HOME without sound): both green. $1 ends each name ("" or "-200").
indicator_shots() {
  fresh_start
  reg_dword "$settings_key" Language 0
  reg_dword "$settings_key" ShowIndicator 1
  start_program
  expect_start shown
  sleep 1  # the indicator paints after the main window shows
  shot KSP2IndicatorWndClass "indicator-at-risk$1"
  tool click-entry video 0
  sleep 1
  shot KSP2IndicatorWndClass "indicator-camera-blocked$1"
  tool click-entry audio 0
  tool click-entry audio 1
  tool click KQM2MessageExWndClass 1026
  sleep 1
  shot KSP2IndicatorWndClass "indicator-shared$1"
  stop_program
  fresh_start
  reg_dword "$settings_key" Language 0
  reg_dword "$settings_key" ShowIndicator 1
  mkdir -p "$work/home-without-sound"
  (cd "$work/program" && HOME="$work/home-without-sound" exec wine Shadowpane.exe </dev/null >/dev/null 2>&1) &
  program_pid=$!
  expect_start shown
  tool click-entry video 0
  tool click-entry audio 0
  sleep 1
  shot KSP2IndicatorWndClass "indicator-protected$1"
  stop_program
}

# At 200 %: a session of its own on a larger virtual display, the prefix at
# 192 DPI for these starts only.
# SCREENSHOTS=200 makes only these.
scaled_shots() {
  tool unplug >/dev/null
  wine_session_stop
  WINE_SESSION_SCREEN=2048x1536x24 wine_session_start "$build_dir" own-display
  trap finish EXIT
  tool plug >/dev/null
  wine_session_set_dpi 192
  fresh_start
  reg_dword "$settings_key" Language 0
  start_program
  expect_start shown
  shot KSP2MainWndClass main-at-risk-200
  tool command 4864
  shot KSP2SettingsWndClass settings-window-200
  # Settings at 200 % in the other three languages, where its rows are longest.
  for language in "1 de" "2 es" "3 it"; do
    set -- $language
    fresh_start
    reg_dword "$settings_key" Language "$1"
    start_program
    expect_start shown
    tool command 4864
    shot KSP2SettingsWndClass "settings-window-200-$2"
  done
  stop_program
  indicator_shots -200
  wine_session_set_dpi 96
}

if [ "${SCREENSHOTS:-all}" = 200 ]; then
  scaled_shots
  exit 0
fi

tool unplug >/dev/null
tool plug >/dev/null

# The first start: the language window, then the main window at risk.
fresh_start
start_program
expect_start language
shot KSP2LanguagesWndClass language-window
tool click KSP2LanguagesWndClass 1026
tool wait-main 60000
shot KSP2MainWndClass main-at-risk

# Settings and About from the menu's commands.
for window in "4864 KSP2SettingsWndClass settings-window" "4872 KSP2AboutWndClass about-window"; do
  set -- $window
  fresh_start
  reg_dword "$settings_key" Language 0
  start_program
  expect_start shown
  tool command "$1"
  shot "$2" "$3"
done

# Settings an organisation enforces: a machine policy turns "block at start"
# on, so its box is ticked, locked and noted.
fresh_start
reg_dword "$settings_key" Language 0
reg_dword 'HKLM\Software\Policies\KESTRALYNX\Shadowpane' BlockStart 1
start_program
expect_start shown
tool command 4864
shot KSP2SettingsWndClass settings-managed

# Keyboard shortcuts, with the help's suggestions assigned: Ctrl+Alt+Shift+B,
# M and C (the modifiers 7 in the high word, the key in the low word).
fresh_start
reg_dword "$settings_key" Language 0
reg_dword "$settings_key" ShortcutBlockAll $(( (7 << 16) | 0x42 ))
reg_dword "$settings_key" ShortcutToggleMicrophones $(( (7 << 16) | 0x4D ))
reg_dword "$settings_key" ShortcutToggleCameras $(( (7 << 16) | 0x43 ))
reg_dword "$settings_key" ShortcutHoldToTalk $(( (3 << 16) | 0x54 ))
start_program
expect_start shown
tool command 4873
shot KSP2ShortcutsWndClass shortcuts-window

# The camera and the virtual microphone blocked with a click each, Wine's own
# "In: default" left open: blocked and open marks side by side, still at risk.
fresh_start
reg_dword "$settings_key" Language 0
start_program
expect_start shown
tool click-entry video 0
tool click-entry audio 0
shot KSP2MainWndClass main-camera-blocked
# Wine's own input clicked too: muted at its endpoint, whose mute Wine keeps
# in the object that set it, so others still hear it. Its amber lock with
# the notice over the window.
tool click-entry audio 1
shot KSP2MainWndClass main-input-not-silent
tool click KQM2MessageExWndClass 1026
tool show

# A camera plugged in while running, with "Block devices when plugged in".
fresh_start
reg_dword "$settings_key" Language 0
reg_dword "$settings_key" BlockPluggedIn 1
start_program
expect_start shown
tool arrive-camera "USB Camera (test only)"
shot KQM2MessageExWndClass plugged-in-notice
stop_program
tool unplug >/dev/null
tool plug >/dev/null

# Protected: a machine whose only capture devices are the virtual ones. The
# program runs with a HOME whose sound configuration gives Wine no input of
# its own.
fresh_start
reg_dword "$settings_key" Language 0
mkdir -p "$work/home-without-sound"
(cd "$work/program" && HOME="$work/home-without-sound" exec wine Shadowpane.exe </dev/null >/dev/null 2>&1) &
program_pid=$!
expect_start shown
tool click-entry video 0
tool click-entry audio 0
shot KSP2MainWndClass main-protected
tool show
stop_program

indicator_shots ""

# Who uses a device: the system's usage records written into the prefix's
# registry as the system writes them (Wine writes none), the store there
# before the program starts. Zoom.exe uses the open camera and its entry
# names it; then Zoom.exe stops, the camera is blocked and Teams.exe starts
# on it, turned away. The Recent use window lists both. A record that says
# "in use" is believed only while a process with its path runs that was
# started before the use began, so each program runs as a stand-in from
# before its record is written until its use ends.
consent_store='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\CapabilityAccessManager\ConsentStore'
# camera_record <program key> <start FILETIME> <stop FILETIME>
camera_record() {
  python3 - "$consent_store\\webcam\\NonPackaged\\$1" "$2" "$3" >"$work/usage.reg" <<'PY'
import struct, sys
def qword(value):
    return "hex(b):" + ",".join("%02x" % b for b in struct.pack("<Q", int(value)))
print("Windows Registry Editor Version 5.00\n")
print("[%s]" % sys.argv[1])
print('"LastUsedTimeStart"=%s' % qword(sys.argv[2]))
print('"LastUsedTimeStop"=%s' % qword(sys.argv[3]))
PY
  wine regedit /s "$(winepath -w "$work/usage.reg")" >/dev/null 2>&1
}
# In 100 ns units: a use begins after its program was started, which the
# program checks against the process's own start time.
filetime_now() { echo $(( $(date +%s%N) / 100 + 116444736000000000 )); }
# wait_status <text> <present|absent>: the running copy's /status, until it
# does (or does not) name the text; at most 20 s.
wait_status() {
  local tries=0 lines
  while [ $tries -lt 100 ]; do
    lines=$(cd "$work/program" && wine Shadowpane.exe /status </dev/null 2>/dev/null | tr -d '\r') || true
    if [[ $lines == *"$1"* ]]; then [ "$2" = present ] && return 0; else [ "$2" = absent ] && return 0; fi
    tries=$((tries + 1))
    sleep 0.2
  done
  echo "screenshots: /status never had '$1' $2" >&2
  exit 1
}
fresh_start
reg_dword "$settings_key" Language 0
wine reg delete "$consent_store" /f >/dev/null 2>&1 || true
wine reg add "$consent_store\\webcam\\NonPackaged" /f >/dev/null 2>&1
rm -f "$work/program/RecentUse.db"
start_program
expect_start shown
zoom='C:#Program Files#Zoom#bin#Zoom.exe'
start_stand_in "${zoom//#/\\}"
zoom_start=$(filetime_now)
camera_record "$zoom" "$zoom_start" 0
wait_status $'\tZoom.exe' present
shot KSP2MainWndClass main-in-use
stop_stand_in Zoom.exe
camera_record "$zoom" "$zoom_start" "$(filetime_now)"
wait_status $'\tZoom.exe' absent
tool click-entry video 0
wait_status $'\tblocked' present
teams='C:#Users#Public#Teams#Teams.exe'
start_stand_in "${teams//#/\\}"
camera_record "$teams" "$(filetime_now)" 0
wait_status $'\tTeams.exe' present
tool command 4874
shot KSP2RecentUseWndClass recent-use-window
stop_program
stop_stand_in Teams.exe
stop_stand_ins
wine reg delete "$consent_store" /f >/dev/null 2>&1 || true

scaled_shots

# The help shows the shortcuts window too; the help compiler takes only files
# below the help folder.
if [ -z "$own_folder" ]; then
  mkdir -p "$root/help/images"
  cp "$out/shortcuts-window.png" "$out/settings-managed.png" "$root/help/images/"
fi
