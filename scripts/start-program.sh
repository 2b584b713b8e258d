#!/usr/bin/env bash
# Starts one of the built programs inside a Wine session (see with-wine-session.sh)
# and waits until it ends. On a virtual display it saves a screenshot after start.
set -euo pipefail
exe=$1; shift
"$SCV_WINE" "$exe" "$@" &
pid=$!
if [ -n "${SCV_IN_XVFB:-}" ]; then
  shot="$SCV_BUILD_DIR/screenshot.png"
  sleep 5
  import -window root "$shot" && echo "virtual display: screenshot saved to $shot"
fi
wait "$pid"
