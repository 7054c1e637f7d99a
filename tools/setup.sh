#!/usr/bin/env bash
# Installs what building and testing Tarnwell needs on a Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

PACKAGES=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  cmake ninja-build make dpkg-dev ccache
  wine64 xvfb xauth x11-utils imagemagick fonts-wqy-microhei locales
  libcairo2-dev libpango1.0-dev pkg-config
  googletest
  opencc manpages-zh
  nsis zip unzip
)
# third_party/build.sh fetches OpenCC's sources with npm; any npm will do.
command -v npm >/dev/null || PACKAGES+=(npm)

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then echo sudo; else
      echo "setup: not root and no sudo; install these by hand: $*" >&2; exit 1; fi
  fi
}

SUDO=$(need_root "${PACKAGES[*]}")

# uchardet is built from Debian's source package, which needs a deb-src entry.
SRC_LIST=/etc/apt/sources.list.d/tarnwell-deb-src.sources
added_src=0
if [ ! -f "$SRC_LIST" ]; then
  $SUDO tee "$SRC_LIST" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  added_src=1
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ $added_src -eq 1 ]; then
  $SUDO apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine reads the ANSI code page from the locale; without these it falls back to 1252.
for loc in zh_CN zh_TW; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$"; then
    echo "setup: generating ${loc}.UTF-8"
    $SUDO localedef -i "$loc" -f UTF-8 "${loc}.UTF-8"
  fi
done
