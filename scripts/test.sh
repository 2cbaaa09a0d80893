#!/usr/bin/env bash
# The test command: installs what is missing, builds both trees, and runs every
# test (native and under Wine) in one ctest run.
set -euo pipefail
. "$(dirname "$0")/buildroot.sh"
"$top/scripts/setup.sh"
"$top/scripts/build.sh"
"$top/scripts/wine-env.sh" start "$B/win"
trap '"$top/scripts/wine-env.sh" stop "$B/win"' EXIT
# A short fuzz run of every fuzz target (scripts/fuzz.sh runs longer ones) and
# the native tests under the sanitizers, before the tests, so that the run
# ends with ctest's summary line.
fuzz_rc=0
TUVRELI_FUZZ_SECONDS=${TUVRELI_FUZZ_SECONDS:-20} "$top/scripts/fuzz.sh" || fuzz_rc=$?
sanitize_rc=0
"$top/scripts/sanitize.sh" || sanitize_rc=$?
cd "$B/win"
# Wine test programs run side by side, one a slot; native ones beside them.
slots=$(cat "$B/win/wine-slots")
ctest --output-on-failure --resource-spec-file "$B/win/wine-slots.json" \
  -j "${TUVRELI_TEST_JOBS:-$((slots + 2))}" --timeout 300
if [ $fuzz_rc != 0 ]; then
  echo "test: the fuzz run failed (exit code $fuzz_rc), see above" >&2
  exit $fuzz_rc
fi
if [ $sanitize_rc != 0 ]; then
  echo "test: the native tests failed under the sanitizers (exit code $sanitize_rc), see above" >&2
  exit $sanitize_rc
fi
