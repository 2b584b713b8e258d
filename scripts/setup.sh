#!/usr/bin/env bash
# Installs everything the build and the tests use, then builds the two
# dependencies Debian does not ship for Windows (TinyXML and minizip) for both
# targets. Safe to run again: every step checks whether its work is done.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TP="$ROOT/third_party"
SRC="$TP/src"
INSTALL="$TP/install"
TRIPLETS=(x86_64-w64-mingw32 i686-w64-mingw32)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  cmake ninja-build
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix gcc-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth xdotool
  libz-mingw-w64-dev googletest python3 imagemagick dpkg-dev clang-format
)

log() { printf '[setup] %s\n' "$*"; }

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

install_packages() {
  local missing
  missing=$(missing_packages)
  if [ -z "$missing" ]; then log "packages present"; return; fi
  log "installing: $(echo $missing)"
  $SUDO apt-get update -q
  # shellcheck disable=SC2086
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
}

# Source entries are derived from the machine's own apt configuration: every
# binary entry gets a matching source entry.
SRC_LIST=/etc/apt/sources.list.d/scrivolanter-deb-src.sources
SRC_LIST_LEGACY=/etc/apt/sources.list.d/scrivolanter-deb-src.list

enable_sources() {
  if [ -f "$SRC_LIST" ] || [ -f "$SRC_LIST_LEGACY" ]; then return; fi
  local deb822 legacy f codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  deb822=$(mktemp); legacy=$(mktemp)
  # keep the entries of the release itself (suites named after its code name)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case "$f" in *scrivolanter*) continue;; esac
    awk -v cn="$codename" 'BEGIN{RS=""; ORS="\n\n"}
      /(^|\n)Types:[^\n]*deb/ && match($0, "(^|\n)Suites:[^\n]*") {
        suites = substr($0, RSTART, RLENGTH)
        if (suites !~ ("[ :]" cn "([ -]|$)")) next
        if ($0 ~ /Types:[^\n]*deb-src/) next
        sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >> "$deb822"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    case "$f" in *scrivolanter*) continue;; esac
    awk -v cn="$codename" '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ "^" cn "(-|$)") { $1 = "deb-src"; print; break } }' "$f" >> "$legacy"
  done
  if [ -s "$deb822" ]; then $SUDO cp "$deb822" "$SRC_LIST"; fi
  if [ -s "$legacy" ]; then $SUDO cp "$legacy" "$SRC_LIST_LEGACY"; fi
  rm -f "$deb822" "$legacy"
  $SUDO apt-get update -q
}

# apt-get source of a package whose newest binary comes from an update without a
# published source may fail: then ask for the release's own version.
fetch_source() {
  local pkg=$1 dir
  dir=$(find "$SRC" -maxdepth 1 -type d -name "$pkg-*" | head -n 1)
  if [ -n "$dir" ]; then echo "$dir"; return; fi
  mkdir -p "$SRC"
  (cd "$SRC" && apt-get source -q "$pkg" >&2) || {
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    (cd "$SRC" && apt-get source -q -t "$codename" "$pkg" >&2) || (cd "$SRC" && apt-get source -q "$pkg/$codename" >&2)
  }
  find "$SRC" -maxdepth 1 -type d -name "$pkg-*" | head -n 1
}

build_tinyxml() {
  local triplet=$1 src=$2 out="$INSTALL/$1" obj
  [ -f "$out/lib/libtinyxml.a" ] && return
  log "building TinyXML for $triplet"
  obj=$(mktemp -d)
  local f
  for f in tinyxml tinystr tinyxmlerror tinyxmlparser; do
    "$triplet-g++-posix" -O2 -DTIXML_USE_STL -c "$src/$f.cpp" -o "$obj/$f.o"
  done
  mkdir -p "$out/lib" "$out/include"
  "$triplet-ar" rcs "$out/lib/libtinyxml.a" "$obj"/*.o
  cp "$src/tinyxml.h" "$src/tinystr.h" "$out/include/"
  rm -rf "$obj"
}

build_minizip() {
  local triplet=$1 src=$2/contrib/minizip out="$INSTALL/$1" obj
  [ -f "$out/lib/libminizip.a" ] && return
  log "building minizip for $triplet"
  obj=$(mktemp -d)
  local f
  for f in ioapi zip unzip iowin32; do
    "$triplet-gcc-posix" -O2 -c "$src/$f.c" -o "$obj/$f.o"
  done
  mkdir -p "$out/lib" "$out/include/minizip"
  "$triplet-ar" rcs "$out/lib/libminizip.a" "$obj"/*.o
  cp "$src/ioapi.h" "$src/zip.h" "$src/unzip.h" "$src/iowin32.h" "$out/include/minizip/"
  rm -rf "$obj"
}

dependencies_built() {
  local t
  for t in "${TRIPLETS[@]}"; do
    [ -f "$INSTALL/$t/lib/libtinyxml.a" ] && [ -f "$INSTALL/$t/lib/libminizip.a" ] || return 1
  done
}

main() {
  install_packages
  if dependencies_built; then log "TinyXML and minizip present"; return; fi
  enable_sources
  local tinyxml zlib t
  tinyxml=$(fetch_source tinyxml)
  zlib=$(fetch_source zlib)
  for t in "${TRIPLETS[@]}"; do
    build_tinyxml "$t" "$tinyxml"
    build_minizip "$t" "$zlib"
  done
  log "done"
}

main "$@"
