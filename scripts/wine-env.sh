#!/usr/bin/env bash
# The one environment the Windows programs run in: an Xvfb display with a small
# window manager (focus needs one), a private Wine prefix per build tree, and a
# persistent wine server so that each program starts in a fraction of a second.
#   wine-env.sh start BUILD_DIR   start (idempotent) and write BUILD_DIR/wine.env
#   wine-env.sh stop BUILD_DIR    stop what start started
set -euo pipefail
cmd=$1
bdir=$(realpath -m "$2")
envf="$bdir/wine.env"
export WINEPREFIX="$bdir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -x "$WINE" ] || WINE=/usr/lib/wine/wine64

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

case "$cmd" in
start)
  mkdir -p "$bdir"
  if [ -f "$envf" ]; then
    # shellcheck disable=SC1090
    . "$envf"
    if alive "${XVFB_PID:-}" && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
      exit 0
    fi
  fi
  # A free display number of our own.
  num=90
  while [ -e "/tmp/.X11-unix/X$num" ] || [ -e "/tmp/.X$num-lock" ]; do num=$((num + 1)); done
  export DISPLAY=":$num"
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$WINE" wineboot --init </dev/null >/dev/null 2>&1 || true
    "$(dirname "$WINE")/wineserver" -w </dev/null >/dev/null 2>&1 || true
    # Fixed Windows version (desktop composition answers are then fixed) and
    # no crash dialog waiting for a click.
    "$WINE" reg add 'HKCU\Software\Wine' /v Version /d win7 /f </dev/null >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    "$(dirname "$WINE")/wineserver" -w </dev/null >/dev/null 2>&1 || true
  fi
  # The system's own drawing (caption buttons, check marks) takes its symbols
  # from Marlett, which this Wine finds only in the prefix's font folder.
  marlett=/usr/share/wine/fonts/marlett.ttf
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts" && cp "$marlett" "$fonts/"
  fi
  "$(dirname "$WINE")/wineserver" -p </dev/null >/dev/null 2>&1
  # Warm-up with every standard stream redirected: without it a persistent
  # server makes the first test start hang.
  "$WINE" cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
  cat > "$envf" <<ENV
export DISPLAY=$DISPLAY
export XVFB_PID=$XVFB_PID
export WM_PID=$WM_PID
export WINEPREFIX=$WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export TUVRELI_WINE=$WINE
ENV
  ;;
stop)
  [ -f "$envf" ] || exit 0
  # shellcheck disable=SC1090
  . "$envf"
  "$(dirname "$WINE")/wineserver" -k 2>/dev/null || true
  alive "${WM_PID:-}" && kill "$WM_PID" 2>/dev/null || true
  alive "${XVFB_PID:-}" && kill "$XVFB_PID" 2>/dev/null || true
  rm -f "$envf"
  ;;
*) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
