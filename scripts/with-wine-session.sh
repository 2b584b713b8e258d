#!/usr/bin/env bash
# Runs a command with a display and a warm wineserver for the build's prefix:
# starts a virtual X display when none is set, creates the prefix once, keeps one
# persistent wineserver for the whole command and stops it at the end.
# Usage: with-wine-session.sh <build dir> <command...>
set -euo pipefail
SCV_BUILD_DIR=$(cd "$1" && pwd); shift
export SCV_BUILD_DIR
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ -z "${DISPLAY:-}" ] && [ -z "${SCV_IN_XVFB:-}" ]; then
  export SCV_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$SCV_BUILD_DIR" "$@"
fi

. "$HERE/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "[wine] creating the prefix in $WINEPREFIX"
  "$SCV_WINE" wineboot -i >/dev/null 2>&1 || true
  "$SCV_WINESERVER" -w
fi
"$SCV_WINESERVER" -p
trap '"$SCV_WINESERVER" -k >/dev/null 2>&1 || true' EXIT
"$SCV_WINE" cmd /c exit >/dev/null 2>&1 </dev/null || true
# Without a window manager (Xvfb) Wine waits about 2 s for one each time a managed
# window closes; unmanaged windows close at once.
if [ ! -f "$WINEPREFIX/.scv-unmanaged" ]; then
  "$SCV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null && touch "$WINEPREFIX/.scv-unmanaged"
fi
"$@"
