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

wine_session_start() {
  local build_dir
  build_dir=$(mkdir -p "$1" && cd "$1" && pwd) || return 1
  local own_display=${2:-}
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG=-all
  export WINEARCH=win32
  export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko installer prompts
  # Wine's ALSA driver reads the .asoundrc of the HOME it runs with.
  export HOME="$build_dir/winehome"
  mkdir -p "$HOME"
  printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"

  # Set before anything is started, so whatever has been started is stopped.
  # A signal ends the shell through exit, which runs the EXIT trap.
  trap wine_session_stop EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP

  # A server left behind by an earlier session of this prefix still talks
  # to that session's display, which may be gone: start afresh.
  wineserver -k >/dev/null 2>&1 || true

  if [ "$own_display" = own-display ] || ! display_answers; then
    # Xvfb picks a free display number itself and writes it to the file,
    # so parallel sessions never collide.
    local number_file number=
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${WINE_SESSION_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    WINE_SESSION_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      number=$(tr -dc '0-9' <"$number_file")
      [ -n "$number" ] && break
      kill -0 "$WINE_SESSION_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    rm -f "$number_file"
    if [ -z "$number" ]; then
      echo "wine-session: the virtual display (Xvfb) did not start" >&2
      return 1
    fi
    export DISPLAY=":$number"
  fi

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
  # Kill the server and its processes, and wait (boundedly) until they are
  # gone, so nothing of the session outlives the script.
  wineserver -k >/dev/null 2>&1 || true
  timeout 10 wineserver -w >/dev/null 2>&1 || true
  if [ -n "${WINE_SESSION_XVFB_PID:-}" ]; then
    kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    WINE_SESSION_XVFB_PID=
  fi
}
