#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts a program under
# Wine on the current display (or on a private Xvfb when there is none).
#   run.sh            the lesson program
#   run.sh crossword  the crossword program
set -euo pipefail
. "$(dirname "$0")/buildroot.sh"
"$top/scripts/setup.sh"
"$top/scripts/build.sh" programs
prog="$B"/win/lessons/Tuvreli.exe
[ "${1:-}" = crossword ] && prog="$B"/win/crossword/crossword.exe
[ -f "$prog" ] || { echo "run: $prog was not built" >&2; exit 1; }
export WINEPREFIX="$B/win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
  # A private display: stopped again when the program ends, unless it was
  # already running (the test environment of the same build root).
  own_env=1
  [ -f "$B/win/wine.env" ] && own_env=0
  "$top/scripts/wine-env.sh" start "$B/win"
  # shellcheck disable=SC1091
  . "$B/win"/wine.env
  echo "running on the private display $DISPLAY (Xvfb); to see it:"
  echo "  DISPLAY=$DISPLAY import -window root screen.png"
  if [ $own_env = 1 ]; then
    rc=0
    wine "$prog" || rc=$?
    "$top/scripts/wine-env.sh" stop "$B/win"
    exit $rc
  fi
fi
exec wine "$prog"
