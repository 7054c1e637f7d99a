#!/usr/bin/env bash
# Test fixture: packages the 64-bit build (kept when nothing changed) and
# unpacks the portable zip into a fresh folder whose name holds Chinese.
#   tests/e2e/shipping_packages.sh BUILD_FOLDER
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:?usage: shipping_packages.sh BUILD_FOLDER}")
"$root/packaging/package.sh" "$build" "$build/packages" win64
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
unpacked="$build/shipping/便携版 测试"
rm -rf "$build/shipping"
mkdir -p "$unpacked"
unzip -q "$build/packages/Tarnwell-$version-win64.zip" -d "$unpacked"
cp "$build/packages/Tarnwell-$version-win64-setup.exe" "$build/shipping/setup.exe"
echo "shipping: unpacked into $unpacked"
