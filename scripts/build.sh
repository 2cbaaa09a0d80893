#!/usr/bin/env bash
# Configures and builds both trees: build/native, then build/win.
set -euo pipefail
top=$(realpath "$(dirname "$0")/..")
cd "$top"
jobs=$(nproc)
cmake -S . -B build/native -G Ninja ${TUVRELI_NATIVE_ARGS:-} >/dev/null
cmake --build build/native -j "$jobs"
"$top/scripts/build-libjpeg.sh" build/win/libjpeg
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DTUVRELI_NATIVE_DIR="$top/build/native" -DTUVRELI_JPEG_PREFIX="$top/build/win/libjpeg" >/dev/null
cmake --build build/win -j "$jobs"
