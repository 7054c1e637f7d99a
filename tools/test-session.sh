#!/usr/bin/env bash
# Runs CTest for one build under Wine the way `make test` wants it: one
# display, the prefix booted once, and Wine's background processes started
# by a keep-alive program whose output goes nowhere (see
# tests/support/WineKeepAlive.cpp for why), stopped at the end.
#
#   tools/test-session.sh BUILD_FOLDER [ctest arguments...]
set -euo pipefail
build=$(realpath "${1:?usage: test-session.sh BUILD_FOLDER [ctest args]}")
shift
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${DISPLAY:-}" ]; then
  exec "$here/with-display.sh" "$0" "$build" "$@"
fi

export TARNWELL_WINEPREFIX=$build/wineprefix
export WINEPREFIX=$TARNWELL_WINEPREFIX
"$here/wine-prefix.sh" "$WINEPREFIX"

keepalive=$build/bin/wine_keepalive.exe
started=0
if [ -f "$keepalive" ]; then
  "$here/wine-run.sh" "$keepalive" </dev/null >/dev/null 2>&1 &
  started=1
  # A first short program returns once the background processes and the
  # desktop are up; they all write nowhere.
  "$here/wine-run.sh" "$keepalive" --once </dev/null >/dev/null 2>&1 || true
fi
stop() {
  if [ $started = 1 ]; then
    WINEPREFIX=$WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
  fi
}
trap stop EXIT
set +e
ctest --test-dir "$build" "$@"
rc=$?
set -e
exit $rc
