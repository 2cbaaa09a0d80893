#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (as root).
# Safe to run again: it only installs what is missing.
set -euo pipefail

PKGS=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  zlib1g-dev libpng-dev googletest dpkg-dev
  wine wine64 xvfb xauth xdotool openbox x11-utils imagemagick
  fonts-liberation fonts-dejavu-core fonts-wine
  librsvg2-bin libjpeg-turbo-progs
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# Source packages of the same suites: libjpeg-turbo is built from Debian's
# source for the Windows target. The deb-src entries are made from the
# machine's own binary entries (same URIs, suites, components and keys), so
# this script names no host of its own.
apt_dir=${TUVRELI_APT_DIR:-/etc/apt}  # another root only to try this part
ours=$apt_dir/sources.list.d/tuvreli-src
own_sources() {  # the configured files, without ours
  for f in "$apt_dir"/sources.list "$apt_dir"/sources.list.d/*.list "$apt_dir"/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "${f%.*}" != "$ours" ] && echo "$f"
  done
  return 0
}
# Deb822 stanzas whose Types hold "deb", again with Types deb-src.
deb822_src() {
  awk 'function flush() { if (keep && types ~ /(^|[ \t])deb([ \t]|$)/ && enabled !~ /^[ \t]*[Nn][Oo]/) printf "Types: deb-src\n%s\n", body; body = ""; types = ""; enabled = ""; keep = 0 }
       /^[ \t]*#/ { next }
       /^[ \t]*$/ { flush(); next }
       /^[Tt]ypes:/ { types = substr($0, 7); keep = 1; next }
       /^[Ee]nabled:/ { enabled = substr($0, 9) }
       { body = body $0 "\n" }
       END { flush() }' "$@"
}
# One-line entries: "deb [options] URI suite components" as deb-src.
list_src() { sed -n -E 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' "$@"; }

mapfile -t configured < <(own_sources)
need_update=0
if ! grep -qsE '^[[:space:]]*(deb-src[[:space:]]|[Tt]ypes:.*deb-src)' "${configured[@]}" /dev/null; then
  lists=() stanzas=()
  for f in "${configured[@]}"; do
    case "$f" in *.sources) stanzas+=("$f") ;; *) lists+=("$f") ;; esac
  done
  want_sources=$([ ${#stanzas[@]} -gt 0 ] && deb822_src "${stanzas[@]}" || true)
  want_list=$([ ${#lists[@]} -gt 0 ] && list_src "${lists[@]}" || true)
  if [ -z "$want_sources$want_list" ]; then
    echo "setup: no binary package source is configured in $apt_dir/sources.list or" \
         "$apt_dir/sources.list.d/ (*.list, *.sources) to make the deb-src entry from; add the machine's" \
         "Debian entry first" >&2
    exit 1
  fi
  for kind in sources list; do
    want=$([ $kind = sources ] && echo "$want_sources" || echo "$want_list")
    file=$ours.$kind
    if [ -z "$want" ]; then
      [ -f "$file" ] && { rm -f "$file"; need_update=1; }
    elif [ ! -f "$file" ] || [ "$(cat "$file")" != "$want" ]; then
      if [ ! -w "$apt_dir/sources.list.d" ]; then
        echo "setup: run as root to write $file" >&2
        exit 1
      fi
      printf '%s\n' "$want" > "$file"
      need_update=1
    fi
  done
else
  # The machine has source entries of its own: ours would repeat them.
  for file in "$ours".sources "$ours".list; do
    [ -f "$file" ] && { rm -f "$file"; need_update=1; }
  done
fi
# Another root is only for trying the part above: nothing is installed.
[ -n "${TUVRELI_APT_DIR:-}" ] && exit 0

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
