#!/usr/bin/env bash
# The installer, as a user meets it, in a fresh Wine prefix of its own:
#   1. a silent install puts Shadowpane.exe and Shadowpane.chm in the user's
#      own programs folder, a Start-menu shortcut to the program and an
#      uninstall entry under HKCU;
#   2. the installed program starts (no language window, no browser: both
#      pre-answered), writes its autostart entry and, closed with WM_CLOSE,
#      its Profile.db beside itself;
#   3. a silent uninstall, with the program running, ends it and leaves
#      only the settings key and Profile.db, which it keeps by default;
#   4. a second install and a silent uninstall with /PURGE leave nothing.
# Runs inside the Wine session of the Windows tests (its display and HOME).
#   InstallerTest.sh <setup.exe> <installer_probe.exe> <Shadowpane.exe> <Shadowpane.chm>
set -uo pipefail
setup=$1 probe=$2 built_exe=$3 built_chm=$4

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win32
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
step() { echo "--- $*"; }
# wait_for <seconds> <command...>: until the command succeeds.
wait_for() {
  local tenths=$(($1 * 10))
  shift
  local i
  for ((i = 0; i < tenths; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
run_probe() { wine "$probe" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# reg_value <key> <name>: the value's data, or nothing (status 1) when missing.
reg_value() {
  local out
  out=$(wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
  # "    <name>    REG_<type>    <data>"; the name may hold blanks.
  local line
  while IFS= read -r line; do
    if [[ $line =~ ^[[:space:]]*"$2"[[:space:]]+REG_[A-Z_]+[[:space:]]*(.*)$ ]]; then
      printf '%s\n' "${BASH_REMATCH[1]}"
      return 0
    fi
  done <<<"$out"
  return 1
}
reg_key_exists() { wine reg query "$1" >/dev/null 2>&1; }

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Shadowpane'
settings_key='HKCU\Software\KESTRALYNX\Shadowpane\2'
user_run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
machine_run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
autostart='KESTRALYNX Shadowpane'

step "fresh prefix"
wineboot -i >/dev/null 2>&1
wineserver -w
[ -f "$WINEPREFIX/system.reg" ] || { echo "FAIL: no Wine prefix"; exit 1; }

mapfile -t folders < <(run_probe folders)
[ ${#folders[@]} -eq 2 ] || { echo "FAIL: the probe found no user folders"; exit 1; }
install_win="${folders[0]}\\Programs\\Shadowpane"
install_dir=$(winepath -u "$install_win" 2>/dev/null)
shortcut=$(winepath -u "${folders[1]}\\Shadowpane.lnk" 2>/dev/null)
exe_win="$install_win\\Shadowpane.exe"

install() {
  wine "$setup" /S >/dev/null 2>&1 || fail "the installer answered $?"
}

step "silent install into $install_win"
install
cmp -s "$built_exe" "$install_dir/Shadowpane.exe" || fail "Shadowpane.exe not installed as built"
cmp -s "$built_chm" "$install_dir/Shadowpane.chm" || fail "Shadowpane.chm not installed as built"
[ -f "$install_dir/Uninstall.exe" ] || fail "no uninstaller"
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
target=$(run_probe shortcut-target "$(winepath -w "$shortcut")")
[ "${target,,}" = "${exe_win,,}" ] || fail "the shortcut starts '$target', not '$exe_win'"

[ "$(reg_value "$uninstall_key" DisplayName)" = Shadowpane ] || fail "uninstall entry: DisplayName"
[ "$(reg_value "$uninstall_key" Publisher)" = KESTRALYNX ] || fail "uninstall entry: Publisher"
version=$(reg_value "$uninstall_key" DisplayVersion)
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "uninstall entry: DisplayVersion '$version'"
[ "$(reg_value "$uninstall_key" UninstallString)" = "\"$install_win\\Uninstall.exe\"" ] ||
  fail "uninstall entry: UninstallString"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$install_win" ] || fail "uninstall entry: InstallLocation"

step "the installed program, started once"
# A language already chosen (no language window) and the first-run page
# already shown (no browser), in both places the program looks; autostart
# on, so the program writes its Run entry.
wine reg add "$settings_key" /v Language /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$settings_key" /v Startup /t REG_DWORD /d 1 /f >/dev/null 2>&1
for root in HKLM HKCU; do
  wine reg add "$root\\Software\\KESTRALYNX\\Shadowpane\\2001" /v firstrun /t REG_DWORD /d 1 /f >/dev/null 2>&1
done
# An entry a run without rights would have left under the user's Run key.
wine reg add "$user_run" /v "$autostart" /t REG_SZ /d "\"$exe_win\" /min" /f >/dev/null 2>&1

start_program() {
  (cd "$install_dir" && wine "$exe_win" >/dev/null 2>&1) &
  run_probe wait-window 60 || fail "the main window did not appear"
}
start_program
program=$!
[ "$(reg_value "$machine_run" "$autostart")" = "\"$exe_win\" /min" ] ||
  fail "the program wrote no autostart entry for itself: $(reg_value "$machine_run" "$autostart")"
reg_value "$user_run" "$autostart" >/dev/null && fail "a second autostart entry remains under HKCU"
run_probe close-window 60 || fail "WM_CLOSE did not end the program"
wait "$program"
[ -f "$install_dir/Profile.db" ] || fail "no Profile.db written beside the program"

step "silent uninstall while the program runs, keeping the settings"
start_program
wine "$install_dir/Uninstall.exe" /S >/dev/null 2>&1
# The uninstaller carries on from a copy of itself: wait for its end.
wait_for 60 test ! -e "$install_dir/Uninstall.exe" || fail "the uninstaller did not remove itself"
wait_for 60 run_probe no-window || fail "the uninstaller left the program running"
wait_for 30 test ! -e "$install_dir/Shadowpane.exe" || fail "Shadowpane.exe left behind"
wait "$program" 2>/dev/null
left=$(cd "$install_dir" 2>/dev/null && ls -A)
[ "$left" = Profile.db ] || fail "the install folder holds '$left', not just Profile.db"
[ -e "$shortcut" ] && fail "the shortcut is left"
reg_key_exists "$uninstall_key" && fail "the uninstall entry is left"
reg_value "$machine_run" "$autostart" >/dev/null && fail "the machine's autostart entry is left"
reg_value "$user_run" "$autostart" >/dev/null && fail "the user's autostart entry is left"
[ "$(reg_value "$settings_key" Language)" = 0x1 ] || fail "the kept settings lost Language"

step "second install, silent uninstall with /PURGE"
install
[ "$(reg_value "$settings_key" Language)" = 0x1 ] || fail "reinstalling changed the kept settings"
[ -f "$install_dir/Profile.db" ] || fail "reinstalling removed the kept Profile.db"
wine "$install_dir/Uninstall.exe" /S /PURGE >/dev/null 2>&1
wait_for 60 test ! -e "$install_dir" || fail "the install folder is left: $(ls -A "$install_dir" 2>/dev/null)"
wait_for 30 eval '! reg_key_exists "$uninstall_key"' || fail "the uninstall entry is left"
[ -e "$shortcut" ] && fail "the shortcut is left"
for key in 'HKCU\Software\KESTRALYNX' 'HKLM\Software\KESTRALYNX'; do
  reg_key_exists "$key" && fail "$key is left"
done

[ $failures -eq 0 ] || { echo "installer test: $failures failure(s)"; exit 1; }
echo "installer test: passed"
