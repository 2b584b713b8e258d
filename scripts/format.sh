#!/usr/bin/env bash
# Formats C++ sources with the project's .clang-format.
#   scripts/format.sh          the files the working tree changes against HEAD (and new ones)
#   scripts/format.sh --all    every source file of the project
#   scripts/format.sh FILE...  the files named
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
command -v clang-format >/dev/null || { echo "clang-format is not installed (scripts/setup.sh installs it)" >&2; exit 2; }
is_source() { case "$1" in *.cpp|*.h|*.c) return 0 ;; esac; return 1; }
files=()
if [ "${1:-}" = "--all" ]; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.c')
elif [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <( { git diff --name-only --diff-filter=ACMR HEAD; git ls-files --others --exclude-standard; } | sort -u)
fi
n=0
for f in "${files[@]}"; do
  if [ -f "$f" ] && is_source "$f"; then
    clang-format -i --style=file "$f"
    n=$((n + 1))
  fi
done
echo "formatted $n file(s)"
