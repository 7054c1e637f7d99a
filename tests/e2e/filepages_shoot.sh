#!/usr/bin/env bash
# Screenshots of the file pages' windows in the running program: runs the
# end-to-end tour on a display of its own (tools/with-display.sh) and
# captures each state it holds (tools/shoot-driver.sh).
#   [SHOT_FILTER=*DISABLED_OutputOptionsTour] tests/e2e/filepages_shoot.sh [build/win64] [OUT]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
out=$(realpath -m "${2:-/tmp/filepages-shots}")
export TARNWELL_WINEPREFIX=${TARNWELL_WINEPREFIX:-$build/wineprefix}
timeout 1200 "$root/tools/with-display.sh" "$root/tools/shoot-driver.sh" "$out" --echo -- \
  "$build/bin/filepages_e2e_test.exe" --gtest_also_run_disabled_tests --gtest_filter="${SHOT_FILTER:-*DISABLED_Tour}"
echo "screenshots in $out"
