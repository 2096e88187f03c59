# Sourced by the scripts that run Windows code: a private Wine prefix in the
# build tree and a virtual display of our own, both cleaned up on exit.
#   wine_session_start <win32 build dir> [own-display]
# With "own-display" a virtual display is always started (tests never draw on
# the user's desktop); otherwise a working $DISPLAY is used when there is one.
# exports WINEPREFIX, WINEDEBUG, DISPLAY and HOME (whose .asoundrc gives Wine
# one null capture device), and stops Xvfb and the wineserver when the shell
# that called it exits, is interrupted or is told to terminate. Answers 1
# when no display or prefix could be had.
# WINE_SESSION_SCREEN sets the virtual display's size (default 1280x1024x24):
# the shots at 200 % need a taller screen than the tests. Every session
# starts at the prefix's 96 DPI: a display scale (LogPixels) a run left
# behind is removed; a script that sets one for its shots removes it again
# (wine_session_set_dpi).
#   wine_lanes_start <win32 build dir> <count>
# starts <count> such sessions side by side, one per lane of the Windows
# suite (scripts/test.sh): lane 1 in <dir>/wineprefix, lane n in
# <dir>/wineprefix-n, each with a display and a HOME of its own, prepared at
# the same time. It writes <dir>/wine-lanes/<n>.env (what cmake/wine-lane.sh
# reads for a test ctest gave lane n) and <dir>/wine-lanes/resources.json (the
# lanes as ctest's resource file), exports SHADOWPANE_WINE_LANES and lane 1's
# session, and stops every lane when the shell exits.

wine_session_start() {
  local build_dir
  build_dir=$(mkdir -p "$1" && cd "$1" && pwd) || return 1
  local own_display=${2:-}
  wine_session_environment "$build_dir/wineprefix" "$build_dir/winehome"

  # Set before anything is started, so whatever has been started is stopped.
  # A signal ends the shell through exit, which runs the EXIT trap.
  trap wine_session_stop EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
  WINE_SESSION_PREFIXES=("$WINEPREFIX")

  if [ "$own_display" = own-display ] || ! display_answers; then
    wine_session_display "$build_dir" || return 1
  fi
  wine_session_prepare
}

wine_lanes_start() {
  local build_dir count=$2
  build_dir=$(mkdir -p "$1" && cd "$1" && pwd) || return 1
  local lanes=$build_dir/wine-lanes
  trap wine_session_stop EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
  rm -rf "$lanes"
  mkdir -p "$lanes"
  local lane prefix resources='' pids=()
  WINE_SESSION_PREFIXES=()
  for lane in $(seq 1 "$count"); do
    prefix=$build_dir/wineprefix
    [ "$lane" -eq 1 ] || prefix=$build_dir/wineprefix-$lane
    WINE_SESSION_PREFIXES+=("$prefix")
    wine_session_environment "$prefix" "$build_dir/winehome-$lane"
    wine_session_display "$build_dir" || return 1
    declare -p WINEPREFIX WINEDEBUG WINEARCH WINEDLLOVERRIDES HOME DISPLAY |
      sed 's/^declare -x /export /; s/^declare -- /export /' >"$lanes/$lane.env"
    resources+="${resources:+,}{\"id\":\"$lane\",\"slots\":1}"
    # Each prefix is made and started at the same time as the others.
    wine_session_prepare >"$lanes/$lane.log" 2>&1 &
    pids+=($!)
  done
  local status=0 pid
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
  if [ $status -ne 0 ]; then
    cat "$lanes"/*.log >&2
    return 1
  fi
  printf '{"version":{"major":1,"minor":0},"local":[{"wine_session":[%s]}]}\n' "$resources" >"$lanes/resources.json"
  export SHADOWPANE_WINE_LANES=$lanes
  # shellcheck disable=SC1091
  . "$lanes/1.env"
}

# wine_session_environment <prefix> <home>: the variables every Wine
# process of the session sees.
wine_session_environment() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all
  export WINEARCH=win32
  export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko installer prompts
  # Wine's ALSA driver reads the .asoundrc of the HOME it runs with.
  export HOME=$2
  mkdir -p "$HOME"
  printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"
}

# wine_session_display <build dir>: a virtual display of our own, exported
# as DISPLAY, with its window states kept (window-states.c, built into the
# build folder).
wine_session_display() {
  local build_dir=$1
  # Xvfb picks a free display number itself and writes it to the file,
  # so parallel sessions never collide.
  local number_file number= pid
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${WINE_SESSION_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  pid=$!
  WINE_SESSION_XVFB_PIDS+=("$pid")
  WINE_SESSION_XVFB_PID=$pid
  # Until Xvfb has written its number (a poll: it has no other signal).
  local i
  for i in $(seq 1 100); do
    number=$(tr -dc '0-9' <"$number_file")
    [ -n "$number" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  if [ -z "$number" ]; then
    echo "wine-session: the virtual display (Xvfb) did not start" >&2
    return 1
  fi
  export DISPLAY=":$number"
  wine_session_window_states "$build_dir"
}

# wine_session_window_states <build dir>: what a window manager would mark
# on the display. There is no manager on a virtual display, and Wine's X11
# driver waits up to 2 s for one whenever it hides a window it manages
# (every window closed); the helper gives the one answer it waits for.
wine_session_window_states() {
  local source helper ready pid i
  source=$(dirname "${BASH_SOURCE[0]}")/window-states.c
  helper=$1/window-states
  if [ ! -x "$helper" ] || [ "$source" -nt "$helper" ]; then
    cc -O2 -o "$helper" "$source" -lX11 || { echo "wine-session: window-states did not build" >&2; return 1; }
  fi
  ready=$(mktemp)
  "$helper" "$DISPLAY" >"$ready" 2>/dev/null &
  pid=$!
  WINE_SESSION_HELPER_PIDS+=("$pid")
  # Until it watches the display (a poll: it has no other signal).
  for i in $(seq 1 100); do
    grep -q ready "$ready" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if ! grep -q ready "$ready"; then
    rm -f "$ready"
    echo "wine-session: window-states did not start" >&2
    return 1
  fi
  rm -f "$ready"
}

# wine_session_prepare: the prefix made once, its server started afresh.
wine_session_prepare() {
  # A server left behind by an earlier session of this prefix still talks
  # to that session's display, which may be gone: start afresh.
  wineserver -k >/dev/null 2>&1 || true

  if [ ! -f "$WINEPREFIX/.shadowpane-ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "wine-session: wineboot could not create the prefix $WINEPREFIX" >&2
      return 1
    fi
    # Wine does not find the packaged Tahoma by itself.
    cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$WINEPREFIX/.shadowpane-ready"
  fi
  wineserver -p
  # Start Wine's own background processes now, detached from our output:
  # started later by a test, they would inherit ctest's pipes and keep it
  # waiting until the server ends.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  wine_session_set_dpi 96
}

# wine_session_set_dpi <dpi>: the display scale of the programs started
# afterwards (Wine reads it when a process starts); 96 removes the value.
WINE_SESSION_XVFB_PIDS=()
WINE_SESSION_HELPER_PIDS=()
WINE_SESSION_PREFIXES=()

wine_session_set_dpi() {
  local key='HKCU\Control Panel\Desktop'
  if [ "$1" = 96 ]; then
    wine reg delete "$key" /v LogPixels /f </dev/null >/dev/null 2>&1 || true
  else
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  fi
}

display_answers() {
  # A display we were given is used when it is local and its socket exists
  # (":0", ":0.0", "unix:0"), or when it names another host, which cannot be
  # checked here.
  local display=${DISPLAY:-}
  [ -n "$display" ] || return 1
  case "$display" in
    :* | unix:*) ;;
    *) return 0 ;;
  esac
  local number=${display#*:}
  number=${number%%.*}
  [ -e "/tmp/.X11-unix/X$number" ]
}

wine_session_stop() {
  # Kill each server and its processes, and wait (boundedly) until they are
  # gone, so nothing of the session outlives the script.
  local prefix pid
  for prefix in "${WINE_SESSION_PREFIXES[@]}"; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
  for prefix in "${WINE_SESSION_PREFIXES[@]}"; do
    WINEPREFIX=$prefix timeout 10 wineserver -w >/dev/null 2>&1 || true
  done
  for pid in "${WINE_SESSION_HELPER_PIDS[@]}" "${WINE_SESSION_XVFB_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  WINE_SESSION_XVFB_PIDS=()
  WINE_SESSION_HELPER_PIDS=()
  WINE_SESSION_XVFB_PID=
  WINE_SESSION_PREFIXES=()
}
