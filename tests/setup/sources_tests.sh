#!/usr/bin/env bash
# The deb-src entries scripts/setup.sh makes from a machine's own binary
# entries, tried in scratch apt folders (TUVRELI_APT_DIR): each case lays out
# the configured files, runs the script and compares what it wrote.
set -uo pipefail
setup=$1
passed=0 failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# case NAME EXIT-CODE: runs the script on $dir; the written entries must
# equal $want_sources and $want_list (empty: no such file).
check() {
  local name=$1 code=$2 rc out got_s got_l
  out=$(TUVRELI_APT_DIR=$dir bash "$setup" 2>&1); rc=$?
  got_s=$(cat "$dir/sources.list.d/tuvreli-src.sources" 2>/dev/null)
  got_l=$(cat "$dir/sources.list.d/tuvreli-src.list" 2>/dev/null)
  if [ "$rc" = "$code" ] && [ "$got_s" = "$want_sources" ] && [ "$got_l" = "$want_list" ] &&
     { [ "$code" = 0 ] || grep -q "no binary package source" <<<"$out"; }; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAILED %s: exit %s (want %s)\n%s\n--- .sources:\n%s\n--- .list:\n%s\n' \
      "$name" "$rc" "$code" "$out" "$got_s" "$got_l"
  fi
}
fresh() { dir=$scratch/$1; mkdir -p "$dir/sources.list.d"; }

fresh deb822
cat > "$dir/sources.list.d/debian.sources" <<'S'
# the machine's suites
Types: deb
URIs: http://mirror.invalid/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://mirror.invalid/off
Suites: bookworm
Components: contrib
Enabled: no
S
want_sources='Types: deb-src
URIs: http://mirror.invalid/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' want_list=''
check "stanzas of type deb, disabled ones left out" 0

fresh oneline
printf '%s\n' '# deb http://commented.invalid/debian bookworm main' \
  'deb [arch=amd64] http://mirror.invalid/debian bookworm main contrib' > "$dir/sources.list"
want_sources='' want_list='deb-src [arch=amd64] http://mirror.invalid/debian bookworm main contrib'
check "one-line entries" 0

fresh own
printf '%s\n' 'deb http://mirror.invalid/debian bookworm main' 'deb-src http://mirror.invalid/debian bookworm main' \
  > "$dir/sources.list"
echo stale > "$dir/sources.list.d/tuvreli-src.list"
want_sources='' want_list=''
check "the machine's own source entries: none of ours, a stale one removed" 0

fresh none
want_sources='' want_list=''
check "no binary entry at all" 1

# The script itself names no host.
if grep -nE '[a-z]+://' "$setup"; then
  failed=$((failed + 1)); echo "FAILED: the set-up script names a host"
else
  passed=$((passed + 1))
fi
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
