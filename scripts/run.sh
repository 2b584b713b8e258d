#!/usr/bin/env bash
# The run command: sets up, builds and starts the main program under Wine from a
# program folder of its own, build/x64/program (build/$SCV_BUILD_NAME/program when
# that is set, as for build.sh): the built programs, a
# Settings.ini (log on; sounds, balloons and update checks off) and a phrases
# folder with sample phrases. The folder is made on the first run and kept, so
# settings and phrases changed while the program runs stay for the next run.
# "run.sh editor" starts the phrase editor on the same folder and sample phrases instead,
# "run.sh welcome" the welcome program.
set -euo pipefail
target=Scrivolanter.exe
if [ "${1:-}" = "editor" ]; then
  target=ScrivolanterEditor.exe
  shift
elif [ "${1:-}" = "welcome" ]; then
  target=Scrivolanter_Welcome.exe
  shift
fi
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh" x64
BUILD="$ROOT/build/${SCV_BUILD_NAME:-x64}"
BIN="$BUILD/bin"
if [ ! -f "$BIN/$target" ]; then
  echo "$target is not part of this build yet: the libraries and tests are built, the program is not." >&2
  exit 1
fi

PROGRAM="$BUILD/program"
mkdir -p "$PROGRAM"
# The programs are installed together in one folder: take every one that is built.
for file in "$BIN"/*.exe "$BIN"/*.dll; do
  case "$(basename "$file")" in bench_*) continue ;; esac
  [ -f "$file" ] && cp -f "$file" "$PROGRAM/"
done
if [ ! -f "$PROGRAM/Settings.ini" ]; then
  printf '%s\r\n' \
    '[Settings]' \
    'SCVVersion=SCV_150' \
    'WriteLog=1' \
    'SoundOnEventsV094=0' \
    'ShowTrayBallonOnHotkey=0' \
    'AutoCheckForUpdates=0' \
    'Welcome_Already_Started_V2_60=1' \
    'PhrasesDirectory=Phrases' > "$PROGRAM/Settings.ini"
fi
if [ ! -d "$PROGRAM/Phrases" ]; then
  cp -r "$ROOT/resources/SamplePhrases" "$PROGRAM/Phrases"
fi

exec "$ROOT/scripts/with-wine-session.sh" "$BUILD" "$ROOT/scripts/start-program.sh" "$PROGRAM/$target" "$@"
