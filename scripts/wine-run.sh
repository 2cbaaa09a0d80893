#!/usr/bin/env bash
# Runs a Windows program of the build tree under Wine: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# Used by ctest as the cross-compiling emulator. Starts the environment when
# needed, then takes a free slot of it (scripts/wine-env.sh): its lock is held
# by the program, and what the program starts, until they end, so that Wine
# programs run side by side, never two on one display.
set -euo pipefail
bdir=$1; shift
here=$(dirname "$(realpath "$0")")
if [ ! -f "$bdir/wine-slots" ]; then
  "$here/wine-env.sh" start "$bdir"
fi
slots=$(cat "$bdir/wine-slots")
while :; do
  for ((i = 0; i < slots; i++)); do
    exec {lock}>"$bdir/wine-slot$i.lock"
    if flock -n "$lock"; then
      # shellcheck disable=SC1090
      . "$bdir/wine-slot$i.env"
      exec "$TUVRELI_WINE" "$@"
    fi
    exec {lock}>&-
  done
  sleep 0.1
done
