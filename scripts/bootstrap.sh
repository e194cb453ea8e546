#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine lacks to build and test Kestrel:
# Wine (32-bit), Xvfb, the MinGW-w64 i686 cross compiler, native libraries, the
# HTML Help compiler (chmcmd, in fp-utils), and
# the cross-built third-party libraries (zlib, pugixml, libpng, googletest) and
# Anti-Grain Geometry's headers for the cross builds.
# Safe to run again: every step checks whether its work is already done.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
DEPS="${KESTREL_DEPS:-/opt/kestrel-deps}"   # cross-built libraries live here, never in the repo
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
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  libz-mingw-w64-dev \
  zlib1g-dev libpng-dev libpugixml-dev libagg-dev libstb-dev googletest libgtest-dev libgmock-dev libbenchmark-dev \
  clang libclang-rt-14-dev \
  xvfb xauth imagemagick x11-utils \
  wine wine64 wine32:i386 python3 file util-linux \
  fp-utils

# --- cross-built third-party libraries ---------------------------------------
TOOLCHAIN="$ROOT/cmake/mingw.cmake"
mkdir -p "$DEPS/src"

# Runs a step with its output in a log; on failure shows the end of the log and stops.
logged() {  # log-file command...
  local logfile="$1"; shift
  mkdir -p "$(dirname "$logfile")"
  if ! "$@" >>"$logfile" 2>&1; then
    log "failed: $* (log: $logfile)" >&2
    tail -n 40 "$logfile" >&2
    exit 1
  fi
}

cross_cmake() {  # arch src-dir build-dir extra-args...
  local arch="$1" src="$2" build="$3"; shift 3
  local logfile="$build.log"
  mkdir -p "$(dirname "$logfile")"
  : >"$logfile"
  logged "$logfile" cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DKESTREL_WIN_ARCH="$arch" -DKESTREL_DEPS_ROOT="$DEPS/$arch" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$DEPS/$arch" "$@"
  logged "$logfile" cmake --build "$build"
  logged "$logfile" cmake --install "$build"
}

# Unpacks a source package under $DEPS/src and prints its folder. Runs in a command
# substitution, so callers assign its output on a line of its own for set -e to see a
# failure.
fetch_source() {  # package
  local pkg="$1" dir
  dir="$(find "$DEPS/src" -maxdepth 1 -type d -name "${pkg}-*" | head -n1)"
  if [ -z "$dir" ]; then
    apt_update_once >&2
    cd "$DEPS/src"  # a subshell: the caller's folder stays
    logged "$DEPS/src/$pkg.log" apt-get source -qq "$pkg"
    dir="$(find "$DEPS/src" -maxdepth 1 -type d -name "${pkg}-*" | head -n1)"
    if [ -z "$dir" ]; then
      log "apt-get source $pkg left no ${pkg}-* folder in $DEPS/src" >&2
      exit 1
    fi
  fi
  echo "$dir"
}

for arch in i686 x86_64; do
  lib="$DEPS/$arch/lib"
  if [ ! -f "$lib/libpugixml.a" ]; then
    log "cross-building pugixml ($arch)"
    src="$(fetch_source pugixml)"
    cross_cmake "$arch" "$src" "$DEPS/build/$arch/pugixml" \
      -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF
  fi
  if [ ! -f "$lib/libpng16.a" ]; then
    log "cross-building libpng ($arch)"
    src="$(fetch_source libpng1.6)"
    cross_cmake "$arch" "$src" "$DEPS/build/$arch/libpng" \
      -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
      -DZLIB_ROOT="/usr/$arch-w64-mingw32"
  fi
  if [ ! -f "$lib/libgtest.a" ]; then
    log "cross-building googletest ($arch)"
    cross_cmake "$arch" /usr/src/googletest "$DEPS/build/$arch/googletest" -DBUILD_SHARED_LIBS=OFF
  fi
done

# --- Anti-Grain Geometry ------------------------------------------------------
# The renderer uses AGG's template headers only (rasterisers, scanlines, pixel
# formats, gradient spans): it flattens curves and outlines strokes itself, so no
# AGG library is linked. The cross builds therefore need the headers alone, and
# take the very files the native build compiles against, from Debian's libagg-dev.
AGG_HEADERS=/usr/include/agg2
for arch in i686 x86_64; do
  target="$DEPS/$arch/include/agg2"
  if [ ! -f "$target/agg_rasterizer_compound_aa.h" ]; then
    log "installing the Anti-Grain Geometry headers ($arch)"
    if [ ! -f "$AGG_HEADERS/agg_rasterizer_compound_aa.h" ]; then
      echo "bootstrap: $AGG_HEADERS has no AGG headers (is libagg-dev installed?)" >&2
      exit 1
    fi
    # Copied beside the target and renamed, so an interrupted copy is never taken
    # for a finished one.
    rm -rf "$target.partial"
    mkdir -p "$target.partial"
    cp "$AGG_HEADERS"/*.h "$target.partial/"
    rm -rf "$target"
    mv "$target.partial" "$target"
  fi
done

# --- stb_image ---------------------------------------------------------------
# The bitmap decoder compiles stb_image (JPEG, PNG, GIF) into itself from its one
# header, and the tests write their JPEG and PNG pictures with stb_image_write; the
# cross builds take Debian's headers, as they do AGG's.
STB_HEADERS=(/usr/include/stb/stb_image.h /usr/include/stb/stb_image_write.h)
for arch in i686 x86_64; do
  target="$DEPS/$arch/include/stb"
  if [ ! -f "$target/stb_image.h" ] || [ ! -f "$target/stb_image_write.h" ]; then
    log "installing the stb_image headers ($arch)"
    for header in "${STB_HEADERS[@]}"; do
      if [ ! -f "$header" ]; then
        echo "bootstrap: $header is missing (is libstb-dev installed?)" >&2
        exit 1
      fi
    done
    rm -rf "$target.partial"
    mkdir -p "$target.partial"
    cp "${STB_HEADERS[@]}" "$target.partial/"
    rm -rf "$target"
    mv "$target.partial" "$target"
  fi
done

log "ready (cross libraries in $DEPS)"
