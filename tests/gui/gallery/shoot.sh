#!/usr/bin/env bash
# Takes the gallery's screenshots: each mode on a private Xvfb, captured
# with ImageMagick's import into OUT (default /tmp/skin-gallery).
#   tests/gui/gallery/shoot.sh [build/win64] [OUT]
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
out=${2:-/tmp/skin-gallery}
mkdir -p "$out"
export TARNWELL_WINEPREFIX=${TARNWELL_WINEPREFIX:-$build/wineprefix}
n=${GALLERY_DISPLAY:-177}
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
for mode in controls drop entrance dialog; do
  DISPLAY=":$n" "$root/tools/wine-run.sh" "$build/bin/skin_gallery.exe" "$mode" --seconds 9 \
    >"$out/$mode.log" 2>&1 &
  pid=$!
  sleep 6
  DISPLAY=":$n" /usr/bin/import -window root "$out/$mode.png"
  wait "$pid" || true
done
echo "screenshots in $out"
