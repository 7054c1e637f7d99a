#!/usr/bin/env bash
# `make dist`: the two deliverable folders dist/win32 and dist/win64, and the
# four packages beside them: a portable zip and an installer per architecture.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: dist.sh BUILD_FOLDER DIST_FOLDER}
dist=${2:?usage: dist.sh BUILD_FOLDER DIST_FOLDER}
for arch in win32 win64; do
  rm -rf "${dist:?}/$arch"
  cmake --install "$build/$arch" --prefix "$dist/$arch" >/dev/null
  echo "dist: $dist/$arch: $(find "$dist/$arch" -type f | wc -l) files"
  "$here/../packaging/package.sh" "$build/$arch" "$dist" "$arch"
done
