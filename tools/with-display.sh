#!/usr/bin/env bash
# Runs a command with an X display: the one in $DISPLAY, or else a private
# Xvfb on the first free display number, stopped when the command ends.
# TARNWELL_SCREEN sets the private display's size (default 1280x1024x24).
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then exec "$@"; fi

n=${TARNWELL_FIRST_DISPLAY:-90}
xvfb_pid=
for _ in $(seq 1 200); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
    Xvfb ":$n" -screen 0 "${TARNWELL_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then break; fi
    xvfb_pid=
  fi
  n=$((n + 1))
done
[ -n "$xvfb_pid" ] || { echo "with-display: no free X display" >&2; exit 1; }
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY=":$n"
set +e
"$@"
rc=$?
set -e
exit $rc
