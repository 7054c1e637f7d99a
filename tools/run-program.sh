#!/usr/bin/env bash
# Starts the program under Wine on $DISPLAY, or on a private Xvfb (saying so).
set -euo pipefail
bin=${1:?usage: run-program.sh BIN_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
exe=$bin/tarnwell.exe
if [ ! -f "$exe" ]; then
  echo "run: $exe does not exist; build it first (make build64)." >&2
  exit 1
fi
export TARNWELL_WINEPREFIX=${TARNWELL_WINEPREFIX:-$(dirname "$bin")/wineprefix}
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no DISPLAY set; starting the program on a private Xvfb display." >&2
fi
exec "$here/wine-run.sh" "$exe"
