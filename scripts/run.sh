#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts a program under
# Wine on the current display (or on a private Xvfb when there is none).
#   run.sh            the lesson program
#   run.sh crossword  the crossword program
set -euo pipefail
top=$(realpath "$(dirname "$0")/..")
cd "$top"
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
prog=build/win/lessons/Tuvreli.exe
[ "${1:-}" = crossword ] && prog=build/win/crossword/crossword.exe
export WINEPREFIX="$top/build/win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
  "$top/scripts/wine-env.sh" start build/win
  # shellcheck disable=SC1091
  . build/win/wine.env
  echo "running on the private display $DISPLAY (Xvfb)"
fi
exec wine "$prog"
