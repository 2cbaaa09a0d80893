#!/usr/bin/env bash
# Configures and builds both trees: native, then win (under build/ or $TUVRELI_BUILD).
#   build.sh            everything: programs, tests, host tools
#   build.sh programs   only what the two programs need (the host tools and
#                       pictures of the native tree, then the programs)
#   build.sh benches    what the benches need (the native tree's host tools,
#                       pictures and test skins, then the Windows bench programs)
#   TUVRELI_WERROR=ON   warnings of the project's own code are errors (CI);
#                       unset, a tree keeps what it was configured with, so
#                       the run command after the test command rebuilds nothing
set -euo pipefail
. "$(dirname "$0")/buildroot.sh"
jobs=${TUVRELI_JOBS:-$(nproc)}
native_targets=() win_targets=()
case "${1:-}" in
  "") ;;
  programs) native_targets=(--target art formc) win_targets=(--target Tuvreli crossword) ;;
  benches)
    native_targets=(--target art formc test_skins png_bench skin_paint_bench)
    win_targets=(--target test_skins skin_bench skin_paint_bench_win wrap_bench skinforms_bench) ;;
  *) echo "usage: $0 [programs|benches]" >&2; exit 2 ;;
esac
werror=()
[ -n "${TUVRELI_WERROR:-}" ] && werror=(-DTUVRELI_WERROR="$TUVRELI_WERROR")
cmake -S . -B "$B/native" -G Ninja "${werror[@]}" ${TUVRELI_NATIVE_ARGS:-} >/dev/null
cmake --build "$B/native" -j "$jobs" "${native_targets[@]}"
"$top/scripts/build-libjpeg.sh" "$B/win/libjpeg"
cmake -S . -B "$B/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "${werror[@]}" \
  -DTUVRELI_NATIVE_DIR="$B/native" -DTUVRELI_JPEG_PREFIX="$B/win/libjpeg" >/dev/null
cmake --build "$B/win" -j "$jobs" "${win_targets[@]}"
