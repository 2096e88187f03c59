# Sourced by the scripts that run Windows code: a private Wine prefix in the
# build tree and a virtual display of our own, both cleaned up on exit.
#   wine_session_start <win32 build dir> [own-display]
# With "own-display" a virtual display is always started (tests never draw on
# the user's desktop); otherwise a working $DISPLAY is used when there is one.
# exports WINEPREFIX, WINEDEBUG, DISPLAY and HOME (whose .asoundrc gives Wine
# one null capture device), and stops Xvfb and the wineserver on exit.

wine_session_start() {
  local build_dir
  build_dir=$(mkdir -p "$1" && cd "$1" && pwd)
  local own_display=${2:-}
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG=-all
  export WINEARCH=win32
  export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko installer prompts
  # Wine's ALSA driver reads the .asoundrc of the HOME it runs with.
  export HOME="$build_dir/winehome"
  mkdir -p "$HOME"
  printf 'pcm.!default { type null }\n' >"$HOME/.asoundrc"

  if [ "$own_display" = own-display ] || ! display_answers; then
    # Xvfb picks a free display number itself and writes it to the file,
    # so parallel sessions never collide.
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    WINE_SESSION_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -s "$number_file" ] && break
      sleep 0.1
    done
    export DISPLAY=":$(tr -dc '0-9' <"$number_file")"
    rm -f "$number_file"
  fi
  trap wine_session_stop EXIT

  if [ ! -f "$WINEPREFIX/.shadowpane-ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Wine does not find the packaged Tahoma by itself.
    cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$WINEPREFIX/.shadowpane-ready"
  fi
  wineserver -p
  # Start Wine's own background processes now, detached from our output:
  # started later by a test, they would inherit ctest's pipes and keep it
  # waiting until the server ends.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

display_answers() {
  # A local display we were given is only used when its socket exists.
  [ -n "${DISPLAY:-}" ] && [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WINE_SESSION_XVFB_PID:-}" ]; then
    kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
  fi
}
