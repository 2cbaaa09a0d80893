#!/usr/bin/env bash
# Runs a Windows program of the build tree under Wine: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# Used by ctest as the cross-compiling emulator. Starts the environment when needed.
set -euo pipefail
bdir=$1; shift
here=$(dirname "$(realpath "$0")")
if [ ! -f "$bdir/wine.env" ]; then
  "$here/wine-env.sh" start "$bdir"
fi
# shellcheck disable=SC1090
. "$bdir/wine.env"
exec "$TUVRELI_WINE" "$@"
