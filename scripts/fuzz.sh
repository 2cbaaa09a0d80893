#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in <build root>/fuzz and runs each for a while.
#   TUVRELI_FUZZ_SECONDS  seconds per target (default 60)
#   TUVRELI_FUZZ_TARGETS  names of the targets to run (default: all)
# Inputs found along the way go to <build root>/fuzz/corpus/<target>; seed
# corpora are only read. A crash, a leak or a hang fails the script and leaves
# the input as crash-*, leak-* or timeout-* in <build root>/fuzz/artifacts.
set -euo pipefail
. "$(dirname "$0")/buildroot.sh"
F="$B/fuzz"
seconds=${TUVRELI_FUZZ_SECONDS:-60}
jobs=${TUVRELI_JOBS:-$(nproc)}

CC=clang CXX=clang++ cmake -S . -B "$F" -G Ninja -DTUVRELI_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
manifest="$F/fuzz-targets.txt"
names=$(awk '{print $1}' "$manifest")
if [ -n "${TUVRELI_FUZZ_TARGETS:-}" ]; then
  names=$TUVRELI_FUZZ_TARGETS
fi
if [ -z "$names" ]; then
  echo "fuzz: no fuzz targets" >&2
  exit 1
fi
# shellcheck disable=SC2086
cmake --build "$F" -j "$jobs" --target $names

mkdir -p "$F/artifacts"
failed=()
for name in $names; do
  read -r _ exe seeds < <(awk -v n="$name" '$1 == n' "$manifest")
  if [ -z "${exe:-}" ]; then
    echo "fuzz: unknown target $name" >&2
    exit 1
  fi
  work="$F/corpus/$name"
  mkdir -p "$work"
  dirs=("$work")
  [ "$seeds" != "-" ] && [ -d "$seeds" ] && dirs+=("$seeds")
  echo "fuzz: $name for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -artifact_prefix="$F/artifacts/$name-" -print_final_stats=1 "${dirs[@]}" >"$F/$name.log" 2>&1; then
    tail -40 "$F/$name.log" >&2
    failed+=("$name")
  else
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$F/$name.log" | tail -2 | sed "s/^/fuzz: $name: /"
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failed: ${failed[*]} (inputs in $F/artifacts)" >&2
  exit 1
fi
echo "fuzz: all targets ran clean"
