#!/usr/bin/env bash
# Starts one of the built programs inside a Wine session (see with-wine-session.sh),
# in the program's own folder.
#  - On the user's display it runs until the program ends.
#  - On a virtual display nobody can use it: once it shows, a screenshot of the
#    display is saved (the main program's tray icon with its tip), the script
#    says where, and the program is ended.
# Usage: start-program.sh <program.exe> [arguments...]
set -euo pipefail
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$HERE/wine-env.sh"
exe=$1; shift
folder=$(cd "$(dirname "$exe")" && pwd)
name=$(basename "$exe")
cd "$folder"

is_main_program() { [ "$name" = "Scrivolanter.exe" ]; }

"$SCV_WINE" "$exe" "$@" &
pid=$!

if [ -z "${SCV_IN_XVFB:-}" ]; then
  echo "$name runs from $folder (log: $folder/LogReport.txt)."
  if is_main_program; then
    echo "It lives in the notification area. To end it: WINEPREFIX=$WINEPREFIX $SCV_WINE $exe /exit"
  fi
  wait "$pid"
  exit $?
fi

# Virtual display: wait (at most 30 s) until the program shows a window.
shown=""
for _ in $(seq 1 60); do
  if ! kill -0 "$pid" 2>/dev/null; then break; fi
  if xdotool search --onlyvisible --name '.+' >/dev/null 2>&1; then shown=1; break; fi
  sleep 0.5
done
sleep 2
if [ -n "$shown" ] && is_main_program; then
  # Point at the tray icon so that its tip shows in the picture.
  tray=$(xdotool search --onlyvisible --name 'Wine System Tray' 2>/dev/null | head -n 1 || true)
  if [ -n "$tray" ]; then
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    xdotool mousemove $((X + 12)) $((Y + 12)) 2>/dev/null || true
    sleep 2
  fi
fi
shot="$SCV_BUILD_DIR/screenshot.png"
window=root
if [ -n "$shown" ] && [ "$name" = "ScrivolanterEditor.exe" ]; then
  # The editor: its main window alone.
  shot="$SCV_BUILD_DIR/editor-screenshot.png"
  window=$(xdotool search --onlyvisible --name 'RedodeZovuva' 2>/dev/null | head -n 1 || true)
  window=${window:-root}
fi
if import -window "$window" "$shot"; then
  echo "virtual display: screenshot saved to $shot"
else
  echo "virtual display: the screenshot could not be saved" >&2
fi
[ -f "$folder/LogReport.txt" ] && echo "log of the run: $folder/LogReport.txt"

# End the program: the main program through its own "/exit", anything else by force.
if kill -0 "$pid" 2>/dev/null; then
  if is_main_program; then
    "$SCV_WINE" "$exe" /exit >/dev/null 2>&1 || true
  fi
  for _ in $(seq 1 30); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  kill "$pid" 2>/dev/null || true
fi
wait "$pid" 2>/dev/null || true
