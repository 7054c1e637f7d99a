#!/usr/bin/env bash
# The detection table for short Chinese files in GBK and Big5: random texts
# of 2, 4, 8, 16 and 40 characters from Debian's Chinese manual pages (text
# the character frequency table was not counted from), read before and
# after the content check, under code page 936 and under 950.
#
#   tools/detection-table.sh BUILD_FOLDER [COUNT]
set -euo pipefail
build=$(realpath "${1:?usage: detection-table.sh BUILD_FOLDER [COUNT]}")
count=${2:-200}
here=$(cd "$(dirname "$0")" && pwd)
export TARNWELL_WINEPREFIX=${TARNWELL_WINEPREFIX:-$build/wineprefix}
corpus=$build/testdata
for loc in zh_CN zh_TW; do
  if [ ! -s "$corpus/manpages_$loc.txt" ]; then
    mkdir -p "$corpus"
    zcat /usr/share/man/$loc/man*/*.gz > "$corpus/manpages_$loc.txt"
  fi
done
win() { echo "Z:${1//\//\\}"; }
for locale in zh_CN.UTF-8 zh_TW.UTF-8; do
  TARNWELL_LOCALE=$locale "$here/wine-run.sh" "$build/bin/detection_table.exe" \
    "$(win "$corpus/manpages_zh_CN.txt")" "$(win "$corpus/manpages_zh_TW.txt")" "$count"
done
