#!/usr/bin/env bash
# The installer, as a user and an administrator meet it, in a fresh Wine
# prefix of its own:
#   1. a silent install puts Shadowpane.exe and Shadowpane.chm in the user's
#      own programs folder, a Start-menu shortcut to the program and a full
#      uninstall entry under HKCU;
#   2. the installed program starts (no browser: pre-answered); with an
#      administrator's autostart entry in the machine's Run key it adds none
#      of its own; closed with WM_CLOSE, it writes Profile.db beside itself;
#   3. upgrades over a running copy in each state (main window, first-run
#      language window, the question of a second start) end it and start
#      the new one hidden; the program's own autostart entry goes under the
#      user's Run key only, though the machine's is writable here;
#   4. an older version is refused silently, and installed with /DOWNGRADE;
#   5. the uninstall entry's quiet command, with the program in its language
#      window, returns when everything is gone, keeping only the settings and
#      Profile.db; with a file held open it fails and keeps the entry;
#   6. a second install, whose copy will not close (the policy withdraws the
#      exit) while it keeps Wine's input muted, is uninstalled quietly:
#      the input is given back, no record of it and no logon entry stay
#      (nor the RunOnce entry of earlier versions);
#      a third install and a silent uninstall with /PURGE leave nothing;
#   7. then, as on a user's first day: a malformed preset (/LANGUAGE=,
#      /AUTOSTART=, /NOFIRSTRUN) fails the silent install with exit code 4
#      and a line naming it, installing nothing; a silent install with
#      presets writes exactly the settings, the autostart entry and the
#      first-run mark, and the program then starts straight into its main
#      window, in the preset language, without the language window.
# Runs inside the Wine session of the Windows tests (its display and HOME).
#   InstallerTest.sh <setup.exe> <installer_probe.exe> <Shadowpane.exe> <Shadowpane.chm> <older setup.exe>
set -uo pipefail
setup=$1 probe=$2 built_exe=$3 built_chm=$4 older_setup=$5

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
user_runonce='HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce'
policy_key='HKCU\Software\Policies\KESTRALYNX\Shadowpane'
autostart='KESTRALYNX Shadowpane'
restore_entry='KESTRALYNX Shadowpane Restore'

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
# copies: the ids of the processes running from the install folder.
copies() { run_probe copies "$install_win"; }
# run_quiet_uninstall [options]: the entry's QuietUninstallString, as a
# management tool runs it, with the options before its last word (_?=).
run_quiet_uninstall() {
  local quiet
  quiet=$(reg_value "$uninstall_key" QuietUninstallString)
  local expected="\"$install_win\\Uninstall.exe\" /S _?=$install_win"
  [ "$quiet" = "$expected" ] || fail "QuietUninstallString is '$quiet'"
  wine "$install_win\\Uninstall.exe" /S "$@" "_?=$install_win" >/dev/null 2>&1
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
[[ "$version" =~ ^([0-9]+)\.([0-9]+)\.[0-9]+\.[0-9]+$ ]] || fail "uninstall entry: DisplayVersion '$version'"
[ "$(reg_value "$uninstall_key" VersionMajor)" = "0x${BASH_REMATCH[1]}" ] || fail "uninstall entry: VersionMajor"
[ "$(reg_value "$uninstall_key" VersionMinor)" = "0x${BASH_REMATCH[2]}" ] || fail "uninstall entry: VersionMinor"
[[ "$(reg_value "$uninstall_key" HelpLink)" == https://* ]] || fail "uninstall entry: HelpLink"
[[ "$(reg_value "$uninstall_key" URLInfoAbout)" == https://* ]] || fail "uninstall entry: URLInfoAbout"
[ "$(reg_value "$uninstall_key" UninstallString)" = "\"$install_win\\Uninstall.exe\"" ] ||
  fail "uninstall entry: UninstallString"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$install_win" ] || fail "uninstall entry: InstallLocation"

step "the installed program beside an administrator's autostart entry"
# The first-run page already shown (no browser), in both places the program
# looks; autostart on.
wine reg add "$settings_key" /v Language /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$settings_key" /v Startup /t REG_DWORD /d 1 /f >/dev/null 2>&1
for root in HKLM HKCU; do
  wine reg add "$root\\Software\\KESTRALYNX\\Shadowpane\\2001" /v firstrun /t REG_DWORD /d 1 /f >/dev/null 2>&1
done
administrators='"C:\Program Files\Shadowpane\Shadowpane.exe" /min'
wine reg add "$machine_run" /v "$autostart" /t REG_SZ /d "$administrators" /f >/dev/null 2>&1

start_program() {
  (cd "$install_dir" && wine "$exe_win" "$@" >/dev/null 2>&1) &
}
start_program
run_probe wait-window 60 >/dev/null || fail "the main window did not appear"
reg_value "$user_run" "$autostart" >/dev/null && fail "a second autostart entry beside the administrator's"
[ "$(reg_value "$machine_run" "$autostart")" = "$administrators" ] || fail "the administrator's entry changed"
run_probe close-window 60 || fail "WM_CLOSE did not end the program"
wait
[ -f "$install_dir/Profile.db" ] || fail "no Profile.db written beside the program"
wine reg delete "$machine_run" /v "$autostart" /f >/dev/null 2>&1

# upgrade_over <state> <window class>: a silent install over a copy showing
# that window ends the copy and starts the new program hidden.
upgrade_over() {
  local state=$1 class=$2 before after
  step "silent upgrade over a copy in its $state"
  before=$(copies | sort | tr '\n' ' ')
  [ -n "$before" ] || { fail "$state: no copy running before the upgrade"; return; }
  wine "$setup" /S >/dev/null 2>&1 || fail "$state: the installer answered $?"
  after=$(copies | sort | tr '\n' ' ')
  for id in $before; do
    [[ " $after " == *" $id "* ]] && fail "$state: the copy $id still runs"
  done
  cmp -s "$built_exe" "$install_dir/Shadowpane.exe" || fail "$state: Shadowpane.exe not replaced"
  [ -n "$after" ] || fail "$state: the program was not started again"
  run_probe wait-class "$class" 30 >/dev/null || fail "$state: the restarted program shows no $class"
  wait
}

start_program
run_probe wait-window 60 >/dev/null || fail "the main window did not appear"
upgrade_over "main window" KSP2MainWndClass
[ "$(reg_value "$user_run" "$autostart")" = "\"$exe_win\" /min" ] ||
  fail "the restarted program wrote no autostart entry of its own"
reg_value "$machine_run" "$autostart" >/dev/null && fail "the program wrote into the machine's Run key"

# The restarted copy runs hidden; a second start asks whether to restart it.
start_program
run_probe wait-class KQM2MessageExWndClass 60 >/dev/null || fail "the second start asked nothing"
upgrade_over "second start's question" KSP2MainWndClass
run_probe close-window 60 || fail "WM_CLOSE did not end the restarted program"

wine reg delete "$settings_key" /v Language /f >/dev/null 2>&1
start_program
run_probe wait-class KSP2LanguagesWndClass 60 >/dev/null || fail "no language window at the first start"
upgrade_over "language window" KSP2LanguagesWndClass

step "an older version over this one"
wine "$older_setup" /S >/dev/null 2>&1
status=$?
[ $status -eq 3 ] || fail "the silent downgrade answered $status, not 3"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "a refused downgrade changed the entry"
cmp -s "$built_exe" "$install_dir/Shadowpane.exe" || fail "a refused downgrade touched Shadowpane.exe"
wine "$older_setup" /S /DOWNGRADE >/dev/null 2>&1 || fail "the downgrade with /DOWNGRADE answered $?"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = 1.9.0.0 ] || fail "the downgrade did not register 1.9.0.0"
run_probe wait-class KSP2LanguagesWndClass 30 >/dev/null || fail "the downgrade did not start the program again"
install
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "the upgrade did not register $version"

step "quiet uninstall with the help file held open (as by its viewer)"
# Straight to the file, not through run_probe's pipe, which would hold
# "held" back until the probe ends.
wine "$probe" hold "$install_win\\Shadowpane.chm" 20 >"$work/held" 2>/dev/null &
holder=$!
wait_for 30 grep -q held "$work/held" || fail "the probe could not hold Shadowpane.chm"
run_quiet_uninstall
status=$?
[ $status -eq 2 ] || fail "the uninstaller answered $status, not 2, though Shadowpane.chm could not be removed"
[ -f "$install_dir/Shadowpane.chm" ] || fail "Shadowpane.chm is gone though it was held"
[ -f "$install_dir/Shadowpane.exe" ] || fail "a failed uninstall removed Shadowpane.exe"
reg_key_exists "$uninstall_key" || fail "the uninstall entry went while the program's files remain"
wait "$holder"

step "quiet uninstall of a copy in its language window, keeping the settings"
start_program
run_probe wait-class KSP2LanguagesWndClass 60 >/dev/null || fail "no language window"
run_quiet_uninstall || fail "the quiet uninstall answered $?"
# Returned: everything is gone already, but for the running uninstaller's
# own file, which Windows lets it move away and Wine does not: there the
# closing tool deletes it a moment later.
[ -z "$(copies)" ] || fail "the uninstaller left the program running"
[ -e "$install_dir/Shadowpane.exe" ] && fail "Shadowpane.exe is left"
wait_for 10 test ! -e "$install_dir/Uninstall.exe" || fail "Uninstall.exe is left"
left=$(cd "$install_dir" 2>/dev/null && ls -A)
[ "$left" = Profile.db ] || fail "the install folder holds '$left', not just Profile.db"
[ -e "$shortcut" ] && fail "the shortcut is left"
reg_key_exists "$uninstall_key" && fail "the uninstall entry is left"
reg_value "$user_run" "$autostart" >/dev/null && fail "the user's autostart entry is left"
[ "$(reg_value "$settings_key" Startup)" = 0x1 ] || fail "the kept settings lost Startup"
wait

step "quiet uninstall of a copy that will not close and keeps an input muted"
install
[ "$(reg_value "$settings_key" Startup)" = 0x1 ] || fail "reinstalling changed the kept settings"
[ -f "$install_dir/Profile.db" ] || fail "reinstalling removed the kept Profile.db"
# Every device blocked at start, among them Wine's own input, which the
# program mutes at its endpoint; closing only hides the window.
wine reg add "$settings_key" /v Language /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add "$settings_key" /v BlockStart /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$policy_key" /v AllowExit /t REG_DWORD /d 0 /f >/dev/null 2>&1
start_program
run_probe wait-window 60 >/dev/null || fail "the main window did not appear"
wait_for 30 reg_value "$settings_key" MutedEndpoints >/dev/null || fail "no muted input was recorded"
[ "$(reg_value "$user_run" "$restore_entry")" = "\"$exe_win\" /restore-inputs" ] ||
  fail "no logon entry beside the record of muted inputs"
# As an earlier version left it: the uninstaller removes it too.
wine reg add "$user_runonce" /v "$autostart" /t REG_SZ /d "\"$exe_win\" /restore-inputs" /f >/dev/null 2>&1
run_quiet_uninstall || fail "the quiet uninstall answered $?"
[ -z "$(copies)" ] || fail "the uninstaller left the program running"
reg_value "$settings_key" MutedEndpoints >/dev/null && fail "the kept settings hold a muted input nothing gives back"
reg_value "$user_run" "$restore_entry" >/dev/null && fail "the logon entry is left"
reg_value "$user_runonce" "$autostart" >/dev/null && fail "the RunOnce entry of earlier versions is left"
[ "$(reg_value "$settings_key" BlockStart)" = 0x1 ] || fail "the kept settings lost BlockStart"
wine reg delete "$settings_key" /v BlockStart /f >/dev/null 2>&1
wine reg delete "$policy_key" /f >/dev/null 2>&1
wait

step "third install, quiet uninstall with /PURGE"
install
run_quiet_uninstall /PURGE || fail "the quiet uninstall with /PURGE answered $?"
wait_for 10 test ! -e "$install_dir" || fail "the install folder is left: $(ls -A "$install_dir" 2>/dev/null)"
reg_key_exists "$uninstall_key" && fail "the uninstall entry is left"
[ -e "$shortcut" ] && fail "the shortcut is left"
for key in 'HKCU\Software\KESTRALYNX' 'HKLM\Software\KESTRALYNX'; do
  reg_key_exists "$key" && fail "$key is left"
done
reg_value "$user_run" "$restore_entry" >/dev/null && fail "the logon entry is left"

step "silent deployment presets"
for refused in /LANGUAGE=4 /LANGUAGE=x /AUTOSTART=2 /NOFIRSTRUN=1; do
  wine "$setup" /S "$refused" >/dev/null 2>"$work/refused"
  status=$?
  [ $status -eq 4 ] || fail "$refused: the installer answered $status, not 4"
  grep -qF -- "$refused is not a valid option" "$work/refused" || fail "$refused: no message names it"
done
reg_key_exists "$uninstall_key" && fail "a refused preset installed the program"
reg_key_exists 'HKCU\Software\KESTRALYNX' && fail "a refused preset wrote settings"
wine "$setup" /S /LANGUAGE=2 /AUTOSTART=1 /NOFIRSTRUN >/dev/null 2>&1 || fail "the install with presets answered $?"
# reg_values <key>: "name=data" of every value, one line each, sorted.
reg_values() { wine reg query "$1" 2>/dev/null | tr -d '\r' | awk '/REG_/ { print $1 "=" $3 }' | sort | tr '\n' ' '; }
[ "$(reg_values "$settings_key")" = "Language=0x2 Startup=0x1 " ] ||
  fail "the presets wrote the settings '$(reg_values "$settings_key")'"
[ "$(reg_value "$user_run" "$autostart")" = "\"$exe_win\" /min" ] || fail "the presets wrote no autostart entry"
for root in HKCU HKLM; do
  [ "$(reg_values "$root\\Software\\KESTRALYNX\\Shadowpane\\2001")" = "firstrun=0x1 " ] ||
    fail "no first-run mark under $root"
done
wine "$probe" wait-class KSP2LanguagesWndClass 15 >/dev/null 2>&1 &
watcher=$!
start_program
run_probe wait-window 60 >/dev/null || fail "the preset program showed no main window"
wait "$watcher" && fail "the preset program showed its language window"
# A program left in its language window is ended with the prefix.
if run_probe close-window 60; then
  wait
  [ "$(reg_value "$settings_key" Language)" = 0x2 ] || fail "the program did not keep the preset language"
else
  fail "WM_CLOSE did not end the preset program"
fi

[ $failures -eq 0 ] || { echo "installer test: $failures failure(s)"; exit 1; }
echo "installer test: passed"
