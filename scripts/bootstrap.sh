#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine lacks to build and test Kestrel:
# Wine (32-bit), Xvfb, the MinGW-w64 i686 cross compiler, native libraries, and
# the cross-built third-party libraries (zlib, pugixml, libpng, googletest).
# Safe to run again: every step checks whether its work is already done.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
DEPS="${KESTREL_DEPS:-/opt/kestrel-deps}"   # cross-built libraries live here, never in the repo
SYSROOT="$DEPS/i686"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

log() { printf '[bootstrap] %s\n' "$*"; }

have_pkgs() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 1
  done
}

apt_updated=0
apt_update_once() {
  if [ "$apt_updated" -eq 0 ]; then
    $SUDO apt-get update -qq
    apt_updated=1
  fi
}

install_pkgs() {
  if ! have_pkgs "$@"; then
    apt_update_once
    log "installing $*"
    $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
  fi
}

# --- i386 architecture for 32-bit Wine ------------------------------------
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  log "adding the i386 architecture"
  $SUDO dpkg --add-architecture i386
  apt_updated=0
fi

# --- source packages need a deb-src entry for the same mirror ----------------
SRC_LIST=/etc/apt/sources.list.d/kestrel-src.sources
if [ ! -f "$SRC_LIST" ]; then
  log "adding deb-src entries"
  $SUDO tee "$SRC_LIST" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt_updated=0
fi

install_pkgs build-essential cmake ninja-build pkg-config dpkg-dev \
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 \
  libz-mingw-w64-dev \
  zlib1g-dev libpng-dev libpugixml-dev googletest libgtest-dev libgmock-dev libbenchmark-dev \
  clang libclang-rt-14-dev \
  xvfb xauth imagemagick x11-utils \
  wine wine64 wine32:i386 python3

# --- cross-built third-party libraries ---------------------------------------
CROSS_GXX=i686-w64-mingw32-g++-posix
CROSS_GCC=i686-w64-mingw32-gcc-posix
TOOLCHAIN="$ROOT/cmake/mingw-i686.cmake"
mkdir -p "$DEPS/src" "$SYSROOT"

cross_cmake() {  # src-dir build-dir extra-args...
  local src="$1" build="$2"; shift 2
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$SYSROOT" \
    -DCMAKE_PREFIX_PATH="$SYSROOT" "$@" >/dev/null
  cmake --build "$build" >/dev/null
  cmake --install "$build" >/dev/null
}

fetch_source() {  # package -> prints the unpacked source directory
  local pkg="$1" dir
  dir="$(find "$DEPS/src" -maxdepth 1 -type d -name "${pkg}-*" | head -n1)"
  if [ -z "$dir" ]; then
    apt_update_once
    (cd "$DEPS/src" && apt-get source -qq "$pkg" >/dev/null 2>&1)
    dir="$(find "$DEPS/src" -maxdepth 1 -type d -name "${pkg}-*" | head -n1)"
  fi
  echo "$dir"
}

if [ ! -f "$SYSROOT/lib/libpugixml.a" ]; then
  log "cross-building pugixml"
  src="$(fetch_source pugixml)"
  cross_cmake "$src" "$DEPS/build/pugixml" -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF
fi

if [ ! -f "$SYSROOT/lib/libpng16.a" ] && [ ! -f "$SYSROOT/lib/libpng.a" ]; then
  log "cross-building libpng"
  src="$(fetch_source libpng1.6)"
  cross_cmake "$src" "$DEPS/build/libpng" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_ROOT=/usr/i686-w64-mingw32
fi

if [ ! -f "$SYSROOT/lib/libgtest.a" ]; then
  log "cross-building googletest"
  cross_cmake /usr/src/googletest "$DEPS/build/googletest" -DBUILD_SHARED_LIBS=OFF \
    -Dgtest_disable_pthreads=OFF
fi

log "ready (cross libraries in $SYSROOT)"
