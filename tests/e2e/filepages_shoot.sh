#!/usr/bin/env bash
# Screenshots of the file pages' windows in the running program: runs the
# end-to-end tour on a private Xvfb and captures each state it holds.
#   [SHOT_FILTER=*DISABLED_OutputOptionsTour] tests/e2e/filepages_shoot.sh [build/win64] [OUT]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win64}
out=${2:-/tmp/filepages-shots}
mkdir -p "$out"
export TARNWELL_WINEPREFIX=${TARNWELL_WINEPREFIX:-$build/wineprefix}
n=140
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=":$n" timeout 300 "$root/tools/wine-run.sh" "$build/bin/filepages_e2e_test.exe" \
    --gtest_also_run_disabled_tests --gtest_filter="${SHOT_FILTER:-*DISABLED_Tour}" 2>/dev/null |
  while IFS= read -r line; do
    echo "$line"
    case "$line" in
      "[ shot     ] "*)
        name=${line#"[ shot     ] "}
        name=${name%$'\r'}
        sleep 1.5
        DISPLAY=":$n" /usr/bin/import -window root "$out/$name.png"
        ;;
    esac
  done
echo "screenshots in $out"
