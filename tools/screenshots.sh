#!/usr/bin/env bash
# `make screenshots`: the program's windows on a private Xvfb, captured with
# ImageMagick's import and trimmed to the windows, into docs/screenshots/.
#   tools/screenshots.sh [BUILD_FOLDER] [OUT_FOLDER]
# main.png comes from tarnwell.exe itself; the other states from app_shots.exe,
# which opens the same windows and sets them up in-process; file-done.png and
# settings.png from tarnwell.exe driven by shipping_e2e_test.exe.
# With TARNWELL_LOGPIXELS (144 for 150%, 192 for 200%) the windows are taken
# at that display scale, in a Wine prefix of that DPI on a larger screen:
# the entrance page, a text page, a file page and the settings dialog.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(realpath "${1:-$root/build/win64}")
out=${2:-$root/docs/screenshots}
mkdir -p "$out"
dpi=${TARNWELL_LOGPIXELS:-}
if [ -n "$dpi" ]; then
  export TARNWELL_WINEPREFIX=$build/wineprefix-dpi$dpi
  screen=2560x1600x24
else
  export TARNWELL_WINEPREFIX=${TARNWELL_WINEPREFIX:-$build/wineprefix}
  screen=1280x1024x24
fi
# Booted before the first program, which would otherwise wait for it.
"$here/wine-prefix.sh" "$TARNWELL_WINEPREFIX"

n=70
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
export DISPLAY=":$n"

# Captures the screen and trims the black root window away.
shoot() {
  /usr/bin/import -window root "$out/$1.png.tmp.png"
  /usr/bin/convert "$out/$1.png.tmp.png" -trim +repage "$out/$1.png"
  rm -f "$out/$1.png.tmp.png"
  echo "screenshots: $out/$1.png"
}

# The real program, left alone on its entrance page (pointer away from it).
command -v xdotool >/dev/null && xdotool mousemove 5 5 || true
"$here/wine-run.sh" "$build/bin/tarnwell.exe" >/dev/null 2>&1 &
pid=$!
sleep 6
shoot main
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true

modes="s2t t2s about progress-bar progress-anim empty"
settle=4
# The scaled runs take the text page only, once its conversion is done (the
# first conversion of a prefix loads the dictionaries, which takes a while).
[ -n "$dpi" ] && modes=s2t && settle=12
for mode in $modes; do
  "$here/wine-run.sh" "$build/bin/app_shots.exe" "$mode" --seconds $((settle + 2)) >/dev/null 2>&1 &
  pid=$!
  sleep $settle
  shoot "$mode"
  wait "$pid" 2>/dev/null || true
done

# The real program driven from a second process: a file page with a
# finished queue, and the settings dialog. The driver announces each state.
command -v xdotool >/dev/null && xdotool mousemove 5 5 || true
timeout 300 "$here/wine-run.sh" "$build/bin/shipping_e2e_test.exe" \
    --gtest_also_run_disabled_tests --gtest_filter='*DISABLED_Shots' 2>/dev/null |
  while IFS= read -r line; do
    case "$line" in
      "[ shot     ] "*)
        name=${line#"[ shot     ] "}
        sleep 1
        shoot "${name%$'\r'}"
        ;;
    esac
  done || true

[ -n "$dpi" ] && exit 0
# A start without the resource pack: the one message it shows.
nopack=$(mktemp -d)
cp "$build/bin/tarnwell.exe" "$build"/bin/*.dll "$nopack/"
"$here/wine-run.sh" "$nopack/tarnwell.exe" >/dev/null 2>&1 &
pid=$!
sleep 4
shoot no-resource-pack
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
rm -rf "$nopack"
