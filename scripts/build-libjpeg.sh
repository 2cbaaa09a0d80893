#!/usr/bin/env bash
# Builds libjpeg-turbo from Debian's source package with the mingw-w64
# toolchain, static, into $1 (cached: nothing happens when it is there).
# Everything the steps print goes to $1.log, which is printed when one fails.
set -euo pipefail
prefix=$(realpath -m "$1")
toolchain=$(realpath "$(dirname "$0")/../cmake/mingw-w64-x86_64.cmake")
[ -f "$prefix/lib/libjpeg.a" ] && exit 0
log="$prefix.log"
work="$prefix.src"
mkdir -p "$(dirname "$prefix")"
: > "$log"
trap 'rc=$?; if [ $rc != 0 ]; then echo "build-libjpeg: failed (exit code $rc); its log, $log:" >&2; cat "$log" >&2; fi' EXIT
rm -rf "$work"; mkdir -p "$work"; cd "$work"
apt-get source --download-only libjpeg-turbo >>"$log" 2>&1
tar xzf libjpeg-turbo_*.orig.tar.gz >>"$log" 2>&1
srcdir=$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
cmake -S "$srcdir" -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
  -DWITH_TURBOJPEG=OFF -DCMAKE_INSTALL_PREFIX="$prefix" >>"$log" 2>&1
cmake --build build --target install >>"$log" 2>&1
rm -rf "$work"
