#!/usr/bin/env bash
# ctest's emulator: runs one Windows executable under Wine's 64-bit loader.
# Usage: wine-run.sh <build dir> <program.exe> [arguments...]
#
# Every process Wine starts on the program's behalf inherits its output: the
# desktop's explorer.exe (started by the first program that needs the desktop
# and living until no program uses it), a program a test started. ctest ends a
# test when its output closes, not when the program ends, so a program that
# ended in a second would hold its test until the last of those ended (up to
# the time limit while other tests keep the desktop busy). The program writes
# into a file instead, and `tail` copies the file to ctest until the program
# has ended.
SCV_BUILD_DIR=$1; shift
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
output=$(mktemp "${TMPDIR:-/tmp}/scv-test-output.XXXXXX") || exec "$SCV_WINE" "$@"
exec 3>"$output" 4<"$output"
rm -f "$output"
# $$ is the program itself after the exec below (also when ctest stops it).
tail -c +1 -s 0.1 -f --pid=$$ <&4 3>&- &
exec 4<&-
exec "$SCV_WINE" "$@" >&3 2>&3 3>&-
