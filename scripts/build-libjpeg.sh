#!/usr/bin/env bash
# Builds libjpeg-turbo from Debian's source package with the mingw-w64
# toolchain, static, into $1 (cached: nothing happens when it is there).
set -euo pipefail
prefix=$(realpath -m "$1")
toolchain=$(realpath "$(dirname "$0")/../cmake/mingw-w64-x86_64.cmake")
[ -f "$prefix/lib/libjpeg.a" ] && exit 0
work="$prefix.src"
rm -rf "$work"; mkdir -p "$work"; cd "$work"
apt-get source --download-only libjpeg-turbo >/dev/null 2>&1
tar xzf libjpeg-turbo_*.orig.tar.gz
srcdir=$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
cmake -S "$srcdir" -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
  -DWITH_TURBOJPEG=OFF -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build build --target install >/dev/null
rm -rf "$work"
