#!/usr/bin/env bash
# The Wine environment started from a console step of the build tool (as the
# bench targets do) must let the tool return: nothing it leaves running may
# hold a descriptor the step inherited. Wine itself is stood in for by stubs
# whose persistent server lingers as Wine's does; the display and the window
# manager are real.
set -uo pipefail
wine_env=$1
scratch=$(mktemp -d)
stubs=$scratch/stubs
mkdir -p "$stubs"
cat > "$stubs/wine64" <<'S'
#!/bin/sh
exit 0
S
cat > "$stubs/wineserver" <<'S'
#!/bin/sh
# -p: a persistent server stays behind; -k: it is ended.
case "$1" in
  -p) sleep 300 & echo $! >> "$(dirname "$0")/lingering" ;;
  -k) [ -f "$(dirname "$0")/lingering" ] && xargs kill < "$(dirname "$0")/lingering" 2>/dev/null ;;
esac
exit 0
S
chmod +x "$stubs/wine64" "$stubs/wineserver"
cleanup() {
  PATH=$stubs:$PATH TUVRELI_WINE_SLOTS=1 bash "$wine_env" stop "$scratch/b" >/dev/null 2>&1
  [ -f "$stubs/lingering" ] && xargs kill < "$stubs/lingering" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
cat > "$scratch/build.ninja" <<N
rule start_env
  command = PATH=$stubs:\$\$PATH TUVRELI_WINE_SLOTS=1 bash $wine_env start $scratch/b
  pool = console
build env: start_env
N
rc=0
timeout 60 ninja -C "$scratch" env >"$scratch/out" 2>&1 || rc=$?
if [ $rc = 0 ] && [ -f "$scratch/b/wine.env" ]; then
  echo "1 passed, 0 failed"
  exit 0
fi
echo "FAILED: the build tool's step starting the environment ended with $rc (124: it never returned)"
cat "$scratch/out"
echo "0 passed, 1 failed"
exit 1
