#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts a program under
# Wine on the current display (or on a private Xvfb when there is none).
#   run.sh            the lesson program
#   run.sh crossword  the crossword program
set -euo pipefail
top=$(realpath "$(dirname "$0")/..")
cd "$top"
# Build root: build/ in the tree unless TUVRELI_BUILD names another.
B=$(realpath -m "${TUVRELI_BUILD:-build}")
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
prog="$B"/win/lessons/Tuvreli.exe
[ "${1:-}" = crossword ] && prog="$B"/win/crossword/crossword.exe
export WINEPREFIX="$B/win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
  "$top/scripts/wine-env.sh" start "$B/win"
  # shellcheck disable=SC1091
  . "$B/win"/wine.env
  echo "running on the private display $DISPLAY (Xvfb)"
fi
exec wine "$prog"
