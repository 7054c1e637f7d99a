#!/usr/bin/env bash
# Runs a Windows program of ours under 64-bit Wine, the way the tests need it:
#  - a private WINEPREFIX (TARNWELL_WINEPREFIX, set by the build to a folder
#    inside the build tree), booted once, with fonts that render Chinese;
#  - a display: $DISPLAY if set, else a private Xvfb for this one command;
#  - a Chinese locale, so that Wine's ANSI code page is 936 (zh_CN, default)
#    or 950 (TARNWELL_LOCALE=zh_TW.UTF-8).
#
#   tools/wine-run.sh program.exe [args...]
#
# /usr/bin/wine tries the 32-bit loader first, which this kernel cannot run,
# so we call wine64 directly.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
WINE=${TARNWELL_WINE:-/usr/lib/wine/wine64}
# Wine wants an absolute prefix path.
export WINEPREFIX=$(realpath -m "${TARNWELL_WINEPREFIX:-${WINEPREFIX:-$HOME/.cache/tarnwell/wineprefix}}")
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers at boot (there is no network for them anyway).
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Xlib reads ~/.Xdefaults again at every resource lookup while no resource
# is set (tools/xresources says why); a display of a real desktop has them.
export XENVIRONMENT=${XENVIRONMENT:-$here/xresources}
loc=${TARNWELL_LOCALE:-zh_CN.UTF-8}
export LANG=$loc LC_ALL=$loc

"$here/wine-prefix.sh" "$WINEPREFIX"

if [ -z "${DISPLAY:-}" ]; then
  exec "$here/with-display.sh" "$WINE" "$@"
fi
exec "$WINE" "$@"
