#!/usr/bin/env bash
# `make dist`: the two deliverable folders, dist/win32 and dist/win64.
set -euo pipefail
build=${1:?usage: dist.sh BUILD_FOLDER DIST_FOLDER}
dist=${2:?usage: dist.sh BUILD_FOLDER DIST_FOLDER}
for arch in win32 win64; do
  rm -rf "${dist:?}/$arch"
  cmake --install "$build/$arch" --prefix "$dist/$arch" >/dev/null
  echo "dist: $dist/$arch: $(find "$dist/$arch" -type f | wc -l) files"
done
