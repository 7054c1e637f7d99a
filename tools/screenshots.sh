#!/usr/bin/env bash
# `make screenshots`: the program's windows on a display of their own
# (tools/with-display.sh), captured with ImageMagick's import and trimmed to
# the windows, into docs/screenshots/.
#   tools/screenshots.sh [BUILD_FOLDER] [OUT_FOLDER]
# Every state is set up by a driver that says when it is on screen and waits
# for the capture (tools/shoot-driver.sh): the entrance page, a file page
# with a finished queue and the settings dialog from tarnwell.exe driven by
# shipping_e2e_test.exe; the start without the resource pack from
# program_start_e2e.exe; the settings' 快捷键 group and the clipboard's
# notification from tarnwell.exe driven by clipboard_e2e_test.exe; the other
# states from app_shots.exe, which opens the same windows and sets them up
# in-process.
# With TARNWELL_LOGPIXELS (144 for 150%, 192 for 200%) the windows are taken
# at that display scale, in a Wine prefix of that DPI on a larger screen:
# the entrance page, a text page, a file page, the settings dialog and the
# clipboard's two.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(realpath "${1:-$root/build/win64}")
out=$(realpath -m "${2:-$root/docs/screenshots}")
dpi=${TARNWELL_LOGPIXELS:-}
if [ -z "${DISPLAY:-}" ]; then
  [ -n "$dpi" ] && export TARNWELL_SCREEN=2560x1600x24
  exec "$here/with-display.sh" "$0" "$build" "$out"
fi
mkdir -p "$out"
if [ -n "$dpi" ]; then
  export TARNWELL_WINEPREFIX=$build/wineprefix-dpi$dpi
else
  export TARNWELL_WINEPREFIX=${TARNWELL_WINEPREFIX:-$build/wineprefix}
fi
# Booted before the first program, which would otherwise wait for it.
"$here/wine-prefix.sh" "$TARNWELL_WINEPREFIX"
command -v xdotool >/dev/null && xdotool mousemove 5 5 || true

shots() { timeout 600 "$here/shoot-driver.sh" "$out" --trim -- "$@"; }

shots "$build/bin/shipping_e2e_test.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='*DISABLED_Shots'
modes="s2t proof-menu t2s about progress-bar progress-anim empty"
# The scaled runs take the text page only, with a place's menu open.
[ -n "$dpi" ] && modes="s2t proof-menu"
for mode in $modes; do
  shots "$build/bin/app_shots.exe" "$mode"
done
# The settings' 快捷键 group and the clipboard's notification, at every scale.
shots "$build/bin/clipboard_e2e_test.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='*DISABLED_Shots'
[ -n "$dpi" ] && exit 0
shots "$build/bin/program_start_e2e.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='NoPackShot.DISABLED_Message'
