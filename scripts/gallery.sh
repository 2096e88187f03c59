#!/usr/bin/env bash
# Builds the galleries and runs them under Wine: every control in every
# state and a few message boxes; the Settings, language and About windows in
# each language (the Settings window once more with its language list open);
# the main window at risk, protected and with its menu open in English and
# German, with virtual devices listed; the focus mark (main window,
# Settings) and high contrast (main, Settings and About windows). Saved as
# .bmp images under $BUILD_ROOT/win32/gallery for a person to look at;
# every image again at 200 % (the prefix at 192 DPI, on a virtual display
# large enough for the main window's 992 x 1302 pixels) under
# $BUILD_ROOT/win32/gallery/200.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
build_dir="$build_root/win32"

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DSHADOWPANE_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build_dir" --target toolkit_gallery windows_gallery main_window_gallery -j "${JOBS:-2}"

out="$build_dir/gallery"
rm -rf "$out"
mkdir -p "$out/200"
# galleries <folder> <dpi>: every gallery at that display scale.
galleries() {
  local folder
  folder=$(winepath -w "$1")
  wine_session_set_dpi "$2"
  wine "$build_dir/tests/toolkit_gallery.exe" "$folder"
  wine "$build_dir/tests/windows_gallery.exe" "$folder"
  wine "$build_dir/tests/virtualdevices/main_window_gallery.exe" "$folder"
  wine_session_set_dpi 96
}
(
  # shellcheck source=lib/wine-session.sh
  . "$root/scripts/lib/wine-session.sh"
  wine_session_start "$build_dir"
  galleries "$out" 96
)
(
  # shellcheck source=lib/wine-session.sh
  . "$root/scripts/lib/wine-session.sh"
  WINE_SESSION_SCREEN=2048x1536x24 wine_session_start "$build_dir" own-display
  galleries "$out/200" 192
)
echo "gallery: $(find "$out" -maxdepth 1 -name '*.bmp' | wc -l) images in $out," \
  "$(find "$out/200" -name '*.bmp' | wc -l) at 200 % in $out/200"
