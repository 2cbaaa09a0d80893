#!/usr/bin/env bash
# Builds the native tree once more with AddressSanitizer and
# UndefinedBehaviorSanitizer in <build root>/sanitize and runs its tests (the
# native unit tests and replays). Prints one line when they run clean, the
# failing tests' output otherwise (and fails).
set -euo pipefail
. "$(dirname "$0")/buildroot.sh"
S="$B/sanitize"
jobs=${TUVRELI_JOBS:-$(nproc)}
cmake -S . -B "$S" -G Ninja -DTUVRELI_SANITIZE=ON -DTUVRELI_WERROR="${TUVRELI_WERROR:-OFF}" >/dev/null
cmake --build "$S" -j "$jobs" >"$S/build.log" 2>&1 || { cat "$S/build.log" >&2; exit 1; }
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if ! ctest --test-dir "$S" -j "$jobs" --output-on-failure --timeout 300 >"$S/ctest.log" 2>&1; then
  cat "$S/ctest.log" >&2
  echo "sanitize: native tests failed under the sanitizers (log: $S/ctest.log)" >&2
  exit 1
fi
echo "sanitize: $(grep -E 'tests passed' "$S/ctest.log")"
