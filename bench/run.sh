#!/usr/bin/env bash
# Builds the x64 target and runs one benchmark under Wine, on a virtual display when there is none.
# Usage: bench/run.sh [benchmark] [rounds]   (for soak: the number of insertions)
#   benchmark: phrase_store (the default), menu, hotkey_menu, soak, clipboard_history or html_layout
#   (the bench_<name>.exe of the build);
#   "bench/run.sh 5" runs phrase_store with 5 rounds, as before.
# SCV_BUILD_NAME picks the build folder, as for scripts/build.sh.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
name=phrase_store
if [ $# -gt 0 ] && ! [[ "$1" =~ ^[0-9]+$ ]]; then
  name=$1; shift
fi
"$ROOT/scripts/build.sh" x64
BUILD="$ROOT/build/${SCV_BUILD_NAME:-x64}"
cmake --build "$BUILD" --target "bench_$name"
"$ROOT/scripts/with-wine-session.sh" "$BUILD" \
  "$ROOT/scripts/wine-run.sh" "$BUILD" "$BUILD/bin/bench_$name.exe" "$@"
