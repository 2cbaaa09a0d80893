#!/usr/bin/env bash
# The bench command: builds what the benches need in both trees (under build/
# or $TUVRELI_BUILD), from any state, then prints every bench's table: the
# native ones (the skin painters' pixel maths, the PNG reader), then those
# under Wine (skin loading, the skin painters beside the platform's blend,
# wrapped controls, skinned forms). A Wine environment it had to start is
# stopped again at the end.
set -euo pipefail
. "$(dirname "$0")/buildroot.sh"
"$top/scripts/setup.sh"
"$top/scripts/build.sh" benches
own_env=1
[ -f "$B/win/wine-slots" ] && own_env=0
stop_env() { [ $own_env = 1 ] && "$top/scripts/wine-env.sh" stop "$B/win" >/dev/null 2>&1 || true; }
trap stop_env EXIT
cmake --build "$B/native" --target bench
cmake --build "$B/win" --target bench paint_bench_win_run
