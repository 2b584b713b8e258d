#!/usr/bin/env bash
# Configures and builds one target: build.sh x64|x86 [extra cmake arguments...]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=$1; shift
case "$arch" in
  x64) triplet=x86_64-w64-mingw32 ;;
  x86) triplet=i686-w64-mingw32 ;;
  *) echo "unknown target $arch" >&2; exit 2 ;;
esac
dir="$ROOT/build/${SCV_BUILD_NAME:-$arch}"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$triplet.cmake" "$@"
fi
cmake --build "$dir"
