#!/usr/bin/env bash
# Names the test programs of a ctest run (its --output-log) that failed once and
# passed when run again (ctest --repeat until-pass), and how each first failed;
# then the notes the test programs left beside the log in test-notes.log (starts
# of programs the machine could not make and that were tried again), which
# ctest does not show for tests that passed.
# Prints nothing when no test needed a second run and no note was left.
# Usage: rerun-report.sh <ctest output log>
set -euo pipefail
log=${1:?usage: rerun-report.sh <ctest output log>}
notes="$(dirname "$log")/test-notes.log"
if [ -s "$notes" ]; then
  printf '\nNotes of the test programs (%s):\n' "$notes"
  sed 's/^/  /' "$notes"
fi
[ -f "$log" ] || exit 0
# Result lines look like "12/167 Test  #12: name .....***Failed    0.03 sec"
# (the count is missing on a repeat); a test may appear more than once.
awk '
  match($0, /Test +#[0-9]+: [^ ]+ /) {
    split(substr($0, RSTART, RLENGTH), parts, ": ")
    name = parts[2]; sub(/ +$/, "", name)
    result = $0; sub(/^.*Test +#[0-9]+: [^ ]+ \.*/, "", result); sub(/^ +/, "", result)
    if (result ~ /^Passed/) {
      passed[name] = 1
    } else if (!(name in failed)) {
      failed[name] = result; order[++count] = name
    }
  }
  END {
    n = 0
    for (i = 1; i <= count; ++i) if (order[i] in passed) ++n
    if (n == 0) exit 0
    printf "\n%d test program(s) failed once and passed when run again (flaky: look into them):\n", n
    for (i = 1; i <= count; ++i) {
      name = order[i]
      if (name in passed) printf "  %s (first run: %s)\n", name, failed[name]
    }
  }
' "$log"
