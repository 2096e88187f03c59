#!/usr/bin/env bash
# Builds the galleries and runs them under Wine: every control in every
# state and a few message boxes; the Settings, language and About windows in
# each language (the Settings window once more with its language list open);
# the main window at risk, protected and with its menu open in English and
# German, with virtual devices listed; the focus mark (main window,
# Settings) and high contrast (main, Settings and About windows). Saved as
# .bmp images under $BUILD_ROOT/win32/gallery for a person to look at.
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
mkdir -p "$out"
(
  # shellcheck source=lib/wine-session.sh
  . "$root/scripts/lib/wine-session.sh"
  wine_session_start "$build_dir"
  wine "$build_dir/tests/toolkit_gallery.exe" "$(winepath -w "$out")"
  wine "$build_dir/tests/windows_gallery.exe" "$(winepath -w "$out")"
  wine "$build_dir/tests/virtualdevices/main_window_gallery.exe" "$(winepath -w "$out")"
)
echo "gallery: $(find "$out" -name '*.bmp' | wc -l) images in $out"
ls "$out"
