#!/usr/bin/env bash
# Packages one architecture's build: installs it into a staging folder, then
# makes the portable zip (the folder as it is) and the installer.
#   packaging/package.sh ARCH_BUILD_FOLDER OUT_FOLDER win64|win32
# Writes OUT/Tarnwell-<version>-<arch>.zip and OUT/Tarnwell-<version>-<arch>-setup.exe.
# When the installed files are the same as last time and both packages are
# there, they are kept as they are (the tests call this on every run).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:?usage: package.sh ARCH_BUILD_FOLDER OUT_FOLDER ARCH}")
out=${2:?usage: package.sh ARCH_BUILD_FOLDER OUT_FOLDER ARCH}
arch=${3:?usage: package.sh ARCH_BUILD_FOLDER OUT_FOLDER ARCH}
mkdir -p "$out"
out=$(realpath "$out")

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no project version in $build" >&2; exit 1; }
name="Tarnwell-$version-$arch"
work="$build/package"
stage="$work/$name"
zip="$out/$name.zip"
setup="$out/$name-setup.exe"

rm -rf "$stage"
mkdir -p "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null
for f in tarnwell.exe tarnwell-cli.exe skeldon.dat glyphmap.dll modgate.dll; do
  [ -f "$stage/$f" ] || { echo "package: $f missing from the $arch build" >&2; exit 1; }
done

# The same files as last time, and both packages there: nothing to do.
sum=$( (cd "$stage" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum;
        md5sum "$here/tarnwell.nsi" "$here/package.sh") | md5sum | cut -d' ' -f1)
if [ -f "$zip" ] && [ -f "$setup" ] && [ "$(cat "$work/$name.sum" 2>/dev/null)" = "$sum" ]; then
  echo "package: $zip and $setup are current"
  exit 0
fi

# Portable: the whole folder, under its own name.
rm -f "$zip"
(cd "$work" && TZ=UTC zip -q -r -X "$zip" "$name")

# The installer's file lists, from the staging folder.
lists="$work/nsis"
rm -rf "$lists"
mkdir -p "$lists"
(
  cd "$stage"
  find . -mindepth 1 -type d | LC_ALL=C sort | sed 's|^\./||' | while read -r d; do
    printf 'SetOutPath "$INSTDIR\\%s"\n' "${d//\//\\}"
    find "./$d" -maxdepth 1 -type f | LC_ALL=C sort | sed 's|^\./||' | while read -r f; do
      printf 'File "%s"\n' "$stage/$f"
    done
  done
  printf 'SetOutPath "$INSTDIR"\n'
  find . -maxdepth 1 -type f | LC_ALL=C sort | sed 's|^\./||' | while read -r f; do
    printf 'File "%s"\n' "$stage/$f"
  done
) > "$lists/files.nsh"
(
  cd "$stage"
  find . -type f | LC_ALL=C sort | sed 's|^\./||' | while read -r f; do
    printf 'Delete "$INSTDIR\\%s"\n' "${f//\//\\}"
  done
  # Folders deepest first; RMDir without /r leaves any the user filled.
  find . -mindepth 1 -type d | LC_ALL=C sort -r | sed 's|^\./||' | while read -r d; do
    printf 'RMDir "$INSTDIR\\%s"\n' "${d//\//\\}"
  done
) > "$lists/unfiles.nsh"

size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -INPUTCHARSET UTF8 -DARCH="$arch" -DVERSION="$version" -DSTAGE="$stage" \
  -DLISTS="$lists" -DICON="$build/gen/app/tarnwell.ico" -DSIZE_KB="$size_kb" \
  -DOUTFILE="$setup" "$here/tarnwell.nsi" >/dev/null
echo "$sum" > "$work/$name.sum"
echo "package: $zip"
echo "package: $setup"
