#!/usr/bin/env bash
# The environment the Windows programs run in, as a few independent slots so
# that Wine test programs can run side by side: each slot is an Xvfb display
# with a small window manager (focus needs one), a private Wine prefix and a
# persistent wine server (each program then starts in a fraction of a
# second). Two programs never share a slot at once: focus and activation are
# per display (scripts/wine-run.sh takes a free slot for each program).
#   wine-env.sh start BUILD_DIR   start (idempotent) every slot and write
#                                 BUILD_DIR/wine-slot<N>.env, the resource spec
#                                 BUILD_DIR/wine-slots.json for ctest; and
#                                 BUILD_DIR/wine.env, slot 0 (the run command's)
#   wine-env.sh stop BUILD_DIR    stop what start started
#   TUVRELI_WINE_SLOTS            number of slots (default 3)
set -euo pipefail
cmd=$1
bdir=$(realpath -m "$2")
slots=${TUVRELI_WINE_SLOTS:-3}
WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -x "$WINE" ] || WINE=/usr/lib/wine/wine64
SERVER="$(dirname "$WINE")/wineserver"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }
slot_env() { echo "$bdir/wine-slot$1.env"; }
# Slot 0 keeps the prefix of a single-slot tree, so existing prefixes stay in use.
slot_prefix() { if [ "$1" = 0 ]; then echo "$bdir/wineprefix"; else echo "$bdir/wineprefix-$1"; fi; }

# A free display number, claimed by its lock file so that slots started at
# the same time (here or by another build tree) never pick the same one.
claim_display() {
  local num=90
  while :; do
    if [ ! -e "/tmp/.X11-unix/X$num" ] && [ ! -e "/tmp/.X$num-lock" ] &&
       (set -o noclobber; echo $$ > "/tmp/.tuvreli-display-$num") 2>/dev/null; then
      echo "$num"
      return
    fi
    num=$((num + 1))
  done
}

# Wine, not the window manager, draws the frame and caption of every window,
# as the system does: a skinned form paints over what Wine drew, and that is
# what the screen shows. Applied to every prefix, old ones and those of slots
# already running too; programs started afterwards read it. False when it
# was added now.
undecorated() {
  grep -qs '"Decorated"="N"' "$WINEPREFIX/user.reg" && return 0
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f </dev/null >/dev/null 2>&1 || true
  return 1
}

# The heap checker, set per program (not for all: Wine's own services fault
# under it): freed blocks are filled and block tails checked (0x30), so
# a write into a freed block shows when the heap is next validated. A test
# program of the tree validates its heaps after each test case itself (the
# build lists them in heap-checked.txt); every other program of the tree, one
# a test starts, has each heap call validate the whole heap (0xB0). A program
# named *_unchecked.exe is left plain, and so are the benches, which time it. Read by programs started afterwards.
heap_flags() {
  local reg exe name flags
  reg="$(slot_env "$1").reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n'
    while IFS= read -r exe; do
      name=${exe##*/}
      flags=000000b0
      grep -qsxF "$name" "$bdir/heap-checked.txt" && flags=00000030
      printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\%s]\r\n"GlobalFlag"=dword:%s\r\n' "$name" "$flags"
    done < <(find "$bdir" \( -path "$bdir/wineprefix*" -o -name CMakeFiles -o -path "$bdir/libjpeg" \) -prune -o -name '*.exe' ! -name '*_unchecked.exe' ! -name '*bench*.exe' -printf '%p\n' | sort -u)
  } > "$reg"
  "$WINE" reg import "Z:$reg" </dev/null >/dev/null 2>&1
}

start_slot() {
  local i=$1 envf
  envf=$(slot_env "$i")
  if [ -f "$envf" ]; then
    # shellcheck disable=SC1090
    . "$envf"
    if alive "${XVFB_PID:-}" && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
      undecorated || true
      heap_flags "$i"
      return 0
    fi
  fi
  local num
  num=$(claim_display)
  export DISPLAY=":$num"
  export WINEPREFIX
  WINEPREFIX=$(slot_prefix "$i")
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  rm -f "/tmp/.tuvreli-display-$num"  # Xvfb's own lock holds the number now
  openbox >/dev/null 2>&1 &
  WM_PID=$!
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$WINE" wineboot --init </dev/null >/dev/null 2>&1 || true
    "$SERVER" -w </dev/null >/dev/null 2>&1 || true
    # Fixed Windows version (desktop composition answers are then fixed) and
    # no crash dialog waiting for a click.
    "$WINE" reg add 'HKCU\Software\Wine' /v Version /d win7 /f </dev/null >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    "$SERVER" -w </dev/null >/dev/null 2>&1 || true
  fi
  # Written to disk before the persistent server starts (a server that
  # outlived its display would never end: it is not waited for long).
  undecorated || timeout 20 "$SERVER" -w </dev/null >/dev/null 2>&1 || true
  # The system's own drawing (caption buttons, check marks) takes its symbols
  # from Marlett, which this Wine finds only in the prefix's font folder.
  marlett=/usr/share/wine/fonts/marlett.ttf
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts" && cp "$marlett" "$fonts/"
  fi
  # A persistent server that outlived its slot's display still serves the
  # prefix: it refuses a second one, which is no failure.
  "$SERVER" -p </dev/null >/dev/null 2>&1 || true
  # Warm-up with every standard stream redirected: without it a persistent
  # server makes the first program start hang.
  "$WINE" cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
  heap_flags "$i"
  cat > "$envf.tmp" <<ENV
export DISPLAY=$DISPLAY
export XVFB_PID=$XVFB_PID
export WM_PID=$WM_PID
export WINEPREFIX=$WINEPREFIX
export WINEDEBUG=-all,err+heap
export WINEDLLOVERRIDES="mscoree,mshtml="
export TUVRELI_WINE=$WINE
ENV
  mv "$envf.tmp" "$envf"
}

stop_slot() {
  local envf
  envf=$(slot_env "$1")
  [ -f "$envf" ] || return 0
  # shellcheck disable=SC1090
  . "$envf"
  WINEPREFIX=$WINEPREFIX "$SERVER" -k 2>/dev/null || true
  alive "${WM_PID:-}" && kill "$WM_PID" 2>/dev/null || true
  alive "${XVFB_PID:-}" && kill "$XVFB_PID" 2>/dev/null || true
  rm -f "$envf"
}

# What start leaves running (displays, window managers, wine servers) must not
# hold a descriptor it inherited: a build tool that started it through a
# console step waits for its pipe to close and would never return.
close_inherited_fds() {
  local fd
  for fd in /proc/$$/fd/*; do
    fd=${fd##*/}
    [ "$fd" -gt 2 ] 2>/dev/null && eval "exec $fd>&-" 2>/dev/null || true
  done
}

case "$cmd" in
start)
  close_inherited_fds
  mkdir -p "$bdir"
  # The slots start side by side: a new prefix takes a while to make.
  pids=()
  for ((i = 0; i < slots; i++)); do
    start_slot "$i" &
    pids+=($!)
  done
  rc=0
  for p in "${pids[@]}"; do wait "$p" || rc=1; done
  [ $rc = 0 ] || { echo "wine-env: a slot did not start" >&2; exit 1; }
  # The prefixes' system folders hold the same files (some 600 MB each),
  # which Wine only reads: one copy on disk serves every slot.
  if command -v hardlink >/dev/null; then
    hardlink -q -c "$bdir"/wineprefix*/drive_c/windows/system32 >/dev/null 2>&1 || true
  fi
  echo "$slots" > "$bdir/wine-slots"
  # The slots as ctest's resource "desktop" (ctest --resource-spec-file).
  {
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"desktop": ['
    for ((i = 0; i < slots; i++)); do printf '%s{"id": "%d", "slots": 1}' "$([ $i = 0 ] || echo ', ')" "$i"; done
    printf ']}]}\n'
  } > "$bdir/wine-slots.json"
  cp "$(slot_env 0)" "$bdir/wine.env"
  ;;
stop)
  n=$(cat "$bdir/wine-slots" 2>/dev/null || echo 1)
  for ((i = 0; i < n; i++)); do stop_slot "$i"; done
  # An environment started before there were slots has only wine.env.
  if [ -f "$bdir/wine.env" ] && [ ! -f "$bdir/wine-slots" ]; then
    # shellcheck disable=SC1090
    . "$bdir/wine.env"
    WINEPREFIX=$WINEPREFIX "$SERVER" -k 2>/dev/null || true
    alive "${WM_PID:-}" && kill "$WM_PID" 2>/dev/null || true
    alive "${XVFB_PID:-}" && kill "$XVFB_PID" 2>/dev/null || true
  fi
  rm -f "$bdir/wine.env" "$bdir/wine-slots" "$bdir/wine-slots.json"
  ;;
*) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
