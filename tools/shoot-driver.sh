#!/usr/bin/env bash
# Captures the states a driver program holds on screen: runs the program,
# and for each line "[ shot     ] NAME" it prints (once NAME is painted)
# captures the screen into OUT/NAME.png, then answers with a line on the
# program's standard input so that it goes on. Needs $DISPLAY.
#   tools/shoot-driver.sh OUT [--trim] [--echo] -- program [args...]
# --trim cuts the black root window away; --echo passes the driver's other
# lines through. Exits with the driver's status.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: shoot-driver.sh OUT [--trim] [--echo] -- program [args...]}
shift
trim=0 echo=0
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  case $1 in
    --trim) trim=1 ;;
    --echo) echo=1 ;;
    *) echo "shoot-driver: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
[ "${1:-}" = -- ] && shift
[ -n "${DISPLAY:-}" ] || { echo "shoot-driver: no DISPLAY" >&2; exit 2; }
mkdir -p "$out"

coproc DRIVER { "$here/wine-run.sh" "$@" 2>/dev/null; }
# Bash forgets these once the driver has ended.
driver_pid=$DRIVER_PID from_driver=${DRIVER[0]} to_driver=${DRIVER[1]}
while IFS= read -r line <&"$from_driver"; do
  line=${line%$'\r'}
  case "$line" in
    "[ shot     ] "*)
      name=${line#"[ shot     ] "}
      if [ $trim = 1 ]; then
        /usr/bin/import -window root "$out/$name.tmp.png"
        /usr/bin/convert "$out/$name.tmp.png" -trim +repage "$out/$name.png"
        rm -f "$out/$name.tmp.png"
      else
        /usr/bin/import -window root "$out/$name.png"
      fi
      echo "screenshots: $out/$name.png"
      echo >&"$to_driver"
      ;;
    *) if [ $echo = 1 ]; then echo "$line"; fi ;;
  esac
done
wait "$driver_pid"
