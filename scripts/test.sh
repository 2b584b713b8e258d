#!/usr/bin/env bash
# The test command: sets up, builds both targets and runs every test under Wine.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh" x86 -DSCV_BUILD_TESTS=OFF
"$ROOT/scripts/build.sh" x64
jobs=$(nproc); [ "$jobs" -gt 4 ] && jobs=4
"$ROOT/scripts/with-wine-session.sh" "$ROOT/build/x64" \
  ctest --test-dir "$ROOT/build/x64" --output-on-failure -j "$jobs" "$@"
