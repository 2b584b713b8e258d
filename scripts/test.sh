#!/usr/bin/env bash
# The test command: sets up, builds both targets and runs every test under Wine.
# A test program that fails is run once more (ctest --repeat until-pass:2): a
# program that passes the second time passes the run, and is named at the end so
# that a flaky test stays visible; one that fails twice fails the run.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh" x86 -DSCV_BUILD_TESTS=OFF
"$ROOT/scripts/build.sh" x64
jobs=$(nproc); [ "$jobs" -gt 4 ] && jobs=4
log="$ROOT/build/x64/Testing/test-run.log"
mkdir -p "$(dirname "$log")"
rm -f "$log" "$(dirname "$log")/test-notes.log"
rc=0
"$ROOT/scripts/with-wine-session.sh" "$ROOT/build/x64" \
  ctest --test-dir "$ROOT/build/x64" --output-on-failure -j "$jobs" --repeat until-pass:2 \
  --output-log "$log" "$@" || rc=$?
"$ROOT/scripts/rerun-report.sh" "$log" || true
exit "$rc"
