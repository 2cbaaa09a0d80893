#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (as root).
# Safe to run again: it only installs what is missing.
set -euo pipefail

PKGS=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  zlib1g-dev libpng-dev googletest dpkg-dev
  wine wine64 xvfb xauth xdotool openbox x11-utils imagemagick
  fonts-liberation fonts-dejavu-core
  librsvg2-bin libjpeg-turbo-progs
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

src=/etc/apt/sources.list.d/tuvreli-src.sources
need_update=0
if [ ! -f "$src" ]; then
  # Source packages of the same suite: libjpeg-turbo is built from Debian's
  # source for the Windows target.
  cat > "$src" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "setup: run as root to install: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  [ ${#missing[@]} -gt 0 ] && apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
exit 0
