#!/usr/bin/env bash
# Starts one of the built programs inside a Wine session (see with-wine-session.sh),
# in the program's own folder.
#  - On the user's display it runs until the program ends.
#  - On a virtual display nobody can use it: once it shows, screenshots of the
#    display are saved (for the main program: the tray icon with its tip, the
#    phrase menu over Wine's Notepad, the phrase inserted there, the tray menu),
#    the script says where, and the program is ended.
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
save_shot() {
  local shot="$SCV_BUILD_DIR/$1"
  if import -window root "$shot"; then
    echo "virtual display: $2 saved to $shot"
  else
    echo "virtual display: $2 could not be saved" >&2
  fi
}
if [ -n "$shown" ] && [ "$name" = "ScrivolanterEditor.exe" ]; then
  # The editor: its main window alone.
  window=$(xdotool search --onlyvisible --name 'RedodeZovuva' 2>/dev/null | head -n 1 || true)
  shot="$SCV_BUILD_DIR/editor-screenshot.png"
  if import -window "${window:-root}" "$shot"; then
    echo "virtual display: the editor's main window saved to $shot"
  else
    echo "virtual display: the editor's screenshot could not be saved" >&2
  fi
elif [ -n "$shown" ] && [ "$name" = "Scrivolanter_Welcome.exe" ]; then
  # The welcome program: its window alone.
  window=$(xdotool search --onlyvisible --name 'Welcome to Scrivolanter' 2>/dev/null | head -n 1 || true)
  shot="$SCV_BUILD_DIR/welcome-screenshot.png"
  if import -window "${window:-root}" "$shot"; then
    echo "virtual display: the welcome window saved to $shot"
  else
    echo "virtual display: the welcome window's screenshot could not be saved" >&2
  fi
else
  save_shot screenshot.png "the tray icon with its tip"
fi

if [ -n "$shown" ] && is_main_program && kill -0 "$pid" 2>/dev/null; then
  # What a user sees: the phrase menu over Notepad, the phrase typed there, the tray menu.
  # Notepad opens where its own settings say, beside the tray window (which stays in
  # view): Wine places it there itself, so its idea of the window's place (and of the
  # caret's, where the phrase menu shows) is the one on screen. An X tool moving the
  # window afterwards would leave Wine's idea behind.
  notepad_key='HKCU\Software\Microsoft\Notepad'
  for value in iWindowPosX:240 iWindowPosY:120 iWindowPosDX:640 iWindowPosDY:420; do
    "$SCV_WINE" reg add "$notepad_key" /v "${value%%:*}" /t REG_DWORD /d "${value#*:}" /f \
      >/dev/null 2>&1 </dev/null || true
  done
  "$SCV_WINE" notepad >/dev/null 2>&1 &
  notepad_pid=$!
  notepad=""
  for _ in $(seq 1 40); do
    notepad=$(xdotool search --onlyvisible --name 'Notepad' 2>/dev/null | head -n 1 || true)
    [ -n "$notepad" ] && break
    sleep 0.5
  done
  if [ -n "$notepad" ]; then
    xdotool windowactivate "$notepad" 2>/dev/null || xdotool windowfocus "$notepad" 2>/dev/null || true
    eval "$(xdotool getwindowgeometry --shell "$notepad")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1 2>/dev/null || true
    sleep 1
    xdotool key ctrl+alt+Return
    sleep 2.5
    save_shot phrase-menu.png "the phrase menu over Notepad"
    # The keyboard stays with Notepad's window: the first phrase is chosen with the mouse.
    menu=$(xdotool search --onlyvisible --class 'scrivolanter' 2>/dev/null | tail -n 1 || true)
    if [ -n "$menu" ]; then
      eval "$(xdotool getwindowgeometry --shell "$menu")"
      xdotool mousemove $((X + 80)) $((Y + 12)) 2>/dev/null || true
      sleep 0.5
      xdotool click 1 2>/dev/null || true
    fi
    # The phrase is typed key by key.
    sleep 6
    save_shot inserted-text.png "the phrase inserted into Notepad"
  else
    echo "virtual display: Notepad did not show; no phrase menu pictures" >&2
  fi
  tray=$(xdotool search --onlyvisible --name 'Wine System Tray' 2>/dev/null | head -n 1 || true)
  if [ -n "$tray" ]; then
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    # The icon sits at the bottom of the tray window.
    xdotool mousemove $((X + 12)) $((Y + HEIGHT - 12)) click 1 2>/dev/null || true
    sleep 2
    save_shot tray-menu.png "the tray menu"
    xdotool key Escape 2>/dev/null || true
    sleep 0.5
  fi
  kill "$notepad_pid" 2>/dev/null || true
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
