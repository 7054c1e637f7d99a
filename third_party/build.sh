#!/usr/bin/env bash
# Builds the third-party static libraries for one target (x86_64, i686 or
# native) into the download cache, outside the build folder, so that a clean
# clone neither downloads nor rebuilds them. Prints the install prefix.
#
#   third_party/build.sh x86_64|i686|native
#
# The cache lives in $TARNWELL_CACHE (default ~/.cache/tarnwell). A prefix
# is keyed by the recipe's own hash, so changing a recipe rebuilds it.
set -euo pipefail

arch=${1:?usage: build.sh x86_64|i686|native}
here=$(cd "$(dirname "$0")" && pwd)
top=$(dirname "$here")
cache=${TARNWELL_CACHE:-$HOME/.cache/tarnwell}
jobs=${JOBS:-2}

OPENCC_VERSION=1.4.1
OPENCC_INTEGRITY='sha512-uxV5tAoiYTigrCpVmbC0acwypm5Kf8UGz10hCHUHy2gbrWAkk0MSHJKL7Po28dpopRHv/nyZLSi5IHYrfGgRsA=='
UCHARDET_VERSION=0.0.7
UCHARDET_ORIG_SHA256=3fc79408ae1d84b406922fa9319ce005631c95ca0f34b205fad867e8b30e45b1

log() { echo "third_party: $*" >&2; }

# --- downloads -------------------------------------------------------------
fetch_opencc() {
  local dir=$cache/src/opencc-$OPENCC_VERSION
  if [ ! -f "$dir/.unpacked" ]; then
    mkdir -p "$cache/src/dl"
    local tgz=$cache/src/dl/opencc-$OPENCC_VERSION.tgz
    if [ ! -f "$tgz" ]; then
      log "fetching opencc@$OPENCC_VERSION from the npm registry"
      (cd "$cache/src/dl" && npm pack --silent "opencc@$OPENCC_VERSION" >/dev/null)
    fi
    local got="sha512-$(openssl dgst -sha512 -binary "$tgz" | base64 -w0)"
    if [ "$got" != "$OPENCC_INTEGRITY" ]; then
      rm -f "$tgz"; log "opencc tarball fails its integrity check"; exit 1
    fi
    rm -rf "$dir" && mkdir -p "$dir"
    tar xzf "$tgz" -C "$dir" --strip-components=1
    touch "$dir/.unpacked"
  fi
  echo "$dir"
}

fetch_uchardet() {
  local dir=$cache/src/uchardet-$UCHARDET_VERSION
  if [ ! -f "$dir/.unpacked" ]; then
    mkdir -p "$cache/src/dl"
    local orig=$cache/src/dl/uchardet_$UCHARDET_VERSION.orig.tar.xz
    if [ ! -f "$orig" ]; then
      log "fetching uchardet $UCHARDET_VERSION from Debian's source package"
      (cd "$cache/src/dl" && apt-get source --download-only "uchardet=$UCHARDET_VERSION-1" >/dev/null 2>&1 \
        || apt-get source --download-only uchardet >/dev/null 2>&1)
    fi
    echo "$UCHARDET_ORIG_SHA256  $orig" | sha256sum -c --quiet - || { rm -f "$orig"; exit 1; }
    rm -rf "$dir" && mkdir -p "$dir"
    tar xJf "$orig" -C "$dir" --strip-components=1
    touch "$dir/.unpacked"
  fi
  echo "$dir"
}

# --- builds ----------------------------------------------------------------
toolchain_args() {
  case $arch in
    x86_64|i686) echo "-DCMAKE_TOOLCHAIN_FILE=$top/cmake/toolchain-$arch.cmake" ;;
    native) echo "" ;;
    *) log "unknown target $arch"; exit 2 ;;
  esac
}

recipe_hash=$( (cat "$here/build.sh" "$here/opencc/CMakeLists.txt" "$top"/cmake/toolchain-*.cmake;
                ${CXX:-g++} --version 2>/dev/null | head -1) | sha256sum | cut -c1-12)
prefix=$cache/deps/$recipe_hash/$arch

if [ -f "$prefix/.complete" ]; then echo "$prefix"; exit 0; fi
# Worktrees share the cache: one build at a time, and a prefix that another
# build finished while this one waited is taken as it is.
mkdir -p "$cache"
exec 9>"$cache/build.lock"
flock 9
if [ -f "$prefix/.complete" ]; then echo "$prefix"; exit 0; fi

opencc_src=$(fetch_opencc)
uchardet_src=$(fetch_uchardet)
work=$cache/work/$recipe_hash/$arch
rm -rf "$work" "$prefix"; mkdir -p "$work" "$prefix"
# shellcheck disable=SC2046
common=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" $(toolchain_args))

log "building OpenCC $OPENCC_VERSION for $arch"
cmake -S "$here/opencc" -B "$work/opencc" "${common[@]}" -DOPENCC_SOURCE_DIR="$opencc_src" >/dev/null
cmake --build "$work/opencc" -j "$jobs" >/dev/null
cmake --install "$work/opencc" >/dev/null

log "building uchardet $UCHARDET_VERSION for $arch"
# Its CMake always adds its tests and tools: build the library target only.
cmake -S "$uchardet_src" -B "$work/uchardet" "${common[@]}" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_BINARY=OFF -Wno-dev -Wno-deprecated >/dev/null
cmake --build "$work/uchardet" -j "$jobs" --target libuchardet >/dev/null
mkdir -p "$prefix/lib" "$prefix/include/uchardet" "$prefix/share/licenses/uchardet"
cp "$work/uchardet/src/libuchardet.a" "$prefix/lib/"
cp "$uchardet_src/src/uchardet.h" "$prefix/include/uchardet/"
# Its licence ships with it: a source without one stops the build.
cp "$uchardet_src/COPYING" "$prefix/share/licenses/uchardet/"

if [ "$arch" != native ]; then
  log "building GoogleTest for $arch"
  cmake -S /usr/src/googletest -B "$work/googletest" "${common[@]}" \
    -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$work/googletest" -j "$jobs" >/dev/null
  cmake --install "$work/googletest" >/dev/null
fi

rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
