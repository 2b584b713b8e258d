#!/usr/bin/env bash
# The run command: sets up, builds and starts the main program under Wine from
# the build's program folder.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh" x64
BIN="$ROOT/build/x64/bin"
if [ ! -f "$BIN/Scrivolanter.exe" ]; then
  echo "Scrivolanter.exe is not part of this build yet: the libraries and tests are built, the program is not." >&2
  exit 1
fi
exec "$ROOT/scripts/with-wine-session.sh" "$ROOT/build/x64" "$ROOT/scripts/start-program.sh" "$BIN/Scrivolanter.exe" "$@"
