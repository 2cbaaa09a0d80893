#!/usr/bin/env bash
# Configures and builds both trees: native, then win (under build/ or $TUVRELI_BUILD).
#   TUVRELI_WERROR=ON   warnings of the project's own code are errors (CI)
set -euo pipefail
top=$(realpath "$(dirname "$0")/..")
cd "$top"
# Build root: build/ in the tree unless TUVRELI_BUILD names another.
B=$(realpath -m "${TUVRELI_BUILD:-build}")
jobs=${TUVRELI_JOBS:-$(nproc)}
werror=-DTUVRELI_WERROR=${TUVRELI_WERROR:-OFF}
cmake -S . -B "$B/native" -G Ninja "$werror" ${TUVRELI_NATIVE_ARGS:-} >/dev/null
cmake --build "$B/native" -j "$jobs"
"$top/scripts/build-libjpeg.sh" "$B/win/libjpeg"
cmake -S . -B "$B/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake "$werror" \
  -DTUVRELI_NATIVE_DIR="$B/native" -DTUVRELI_JPEG_PREFIX="$B/win/libjpeg" >/dev/null
cmake --build "$B/win" -j "$jobs"
