#!/usr/bin/env bash
# ctest's emulator: runs one Windows executable under Wine's 64-bit loader.
# Usage: wine-run.sh <build dir> <program.exe> [arguments...]
SCV_BUILD_DIR=$1; shift
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec "$SCV_WINE" "$@"
