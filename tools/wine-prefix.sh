#!/usr/bin/env bash
# Creates and prepares a Wine prefix once (about 10 s); later calls return
# at once. Safe when several tests start at the same moment: one boots, the
# others wait on the lock. With TARNWELL_LOGPIXELS (120, 144, 192, ...) the
# prefix's display scale is that DPI: Wine reads LogPixels when a process
# starts, so a prefix serves one DPI (give each DPI a prefix of its own).
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
WINE=${TARNWELL_WINE:-/usr/lib/wine/wine64}
ready=$prefix/.tarnwell-ready
# Raised whenever the settings below change, so that prefixes made before
# are brought up to date (their boot is not repeated).
version=2
[ "$(cat "$ready" 2>/dev/null)" = $version ] && exit 0

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ "$(cat "$ready" 2>/dev/null)" = $version ] && exit 0

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
if [ ! -f "$ready" ]; then
  echo "wine-prefix: booting $prefix" >&2
  "$WINE" wineboot --init >/dev/null 2>&1 || true
fi
# Wine has no real Tahoma here; map the dialog fonts onto a CJK font so that
# dialogs, menus and message boxes render Chinese.
for face in Tahoma SimSun "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft YaHei" NSimSun; do
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
    /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
done
# Crashes must end the process rather than wait in the debugger's dialog.
"$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
"$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d "false" /f >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# No window manager runs on the test displays. Wine waits for one to confirm
# that a managed window it hides is gone, two seconds every time a dialog
# that was once active goes away (the progress display after every
# conversion); unmanaged windows are hidden at once, as Windows does.
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
if [ -n "${TARNWELL_LOGPIXELS:-}" ]; then
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$TARNWELL_LOGPIXELS" /f >/dev/null 2>&1
fi
/usr/lib/wine/wineserver -w 2>/dev/null || wineserver -w 2>/dev/null || true
echo $version > "$ready"
