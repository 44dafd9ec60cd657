#!/bin/bash
# Installs what the build and the test runs need on a fresh Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

PKGS="cmake make g++ libtinyxml-dev googletest libgtest-dev mingw-w64 g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 \
      wine64 xvfb xauth python3 dpkg-dev librsvg2-bin imagemagick x11-apps x11-utils nsis"

missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

SUDO=""
[ "$(id -u)" = 0 ] || SUDO="sudo"

# The Windows build compiles TinyXML from Debian's source package, so deb-src must be enabled.
need_src=0
[ -f build/deps/tinyxml.stamp ] || need_src=1
if [ "$need_src" = 1 ] && ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "setup: enabling deb-src for bookworm"
  $SUDO tee /etc/apt/sources.list.d/sweepharbor-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  missing="$missing __update"
fi

if [ -n "$missing" ]; then
  echo "setup: installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  pk=$(echo "$missing" | sed 's/__update//')
  [ -z "${pk// }" ] || $SUDO apt-get install -y -qq --no-install-recommends $pk >/dev/null
fi

# TinyXML source for the Windows build (Debian's patches applied by dpkg-source).
if [ ! -f build/deps/tinyxml.stamp ]; then
  mkdir -p build/deps
  rm -rf build/deps/tinyxml-src build/deps/tinyxml_*
  (cd build/deps && apt-get source -qq tinyxml >/dev/null 2>&1)
  src=$(find build/deps -maxdepth 1 -type d -name 'tinyxml-*' | head -1)
  [ -n "$src" ] || { echo "setup: apt-get source tinyxml failed" >&2; exit 1; }
  mv "$src" build/deps/tinyxml-src
  touch build/deps/tinyxml.stamp
fi
echo "setup: ok"
