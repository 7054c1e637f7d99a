#!/usr/bin/env bash
# `make screenshots`: the program's windows on a display of their own
# (tools/with-display.sh), captured with ImageMagick's import and trimmed to
# the windows, into docs/screenshots/.
#   tools/screenshots.sh [BUILD_FOLDER] [OUT_FOLDER]
# Every state is set up by a driver that says when it is on screen and waits
# for the capture (tools/shoot-driver.sh): the entrance page, a file page
# with a finished queue and the settings dialog from tarnwell.exe driven by
# shipping_e2e_test.exe; the start without the resource pack from
# program_start_e2e.exe; the other states from app_shots.exe, which opens the
# same windows and sets them up in-process.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(realpath "${1:-$root/build/win64}")
out=$(realpath -m "${2:-$root/docs/screenshots}")
if [ -z "${DISPLAY:-}" ]; then
  exec "$here/with-display.sh" "$0" "$build" "$out"
fi
mkdir -p "$out"
export TARNWELL_WINEPREFIX=${TARNWELL_WINEPREFIX:-$build/wineprefix}
command -v xdotool >/dev/null && xdotool mousemove 5 5 || true

shots() { timeout 300 "$here/shoot-driver.sh" "$out" --trim -- "$@"; }

shots "$build/bin/shipping_e2e_test.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='*DISABLED_Shots'
shots "$build/bin/program_start_e2e.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='NoPackShot.DISABLED_Message'
for mode in s2t t2s about progress-bar progress-anim empty; do
  shots "$build/bin/app_shots.exe" "$mode"
done
