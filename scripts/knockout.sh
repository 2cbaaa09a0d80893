#!/usr/bin/env bash
# Every knockout variant of our test skins: each skin with one section or one
# image key taken out in turn, painted through every page of the skin host
# and its menus, off screen and on the display (the test wine.knockout, which
# in CI runs a fixed sample and a few drawn at random). Takes a while: some
# eight seconds a variant.
#   knockout.sh [BUILD_DIR]               all variants (BUILD_DIR: build/win)
#   knockout.sh [BUILD_DIR] LABEL,...     just these ("Birch:-MAINMENU",
#                                         "Night:FORM.BORDERSMASK")
#   TUVRELI_KNOCKOUT_SEED=N               with LABEL "sample": the CI choice of seed N
#   TUVRELI_KNOCKOUT_SHOTS=DIR            faulty windows written there as PPM pictures
#                                         (a Windows path, e.g. Z:/tmp/shots)
set -euo pipefail
here=$(dirname "$(realpath "$0")")
bdir=$(realpath -m "${1:-$here/../build/win}")
choice=${2:-all}
cmake --build "$bdir" --target knockout_wine_tests test_skins
if [ "$choice" = sample ]; then
  unset TUVRELI_KNOCKOUT
else
  export TUVRELI_KNOCKOUT=$choice
fi
exec "$here/wine-run.sh" "$bdir" "$bdir/tests/skinhost/knockout_wine_tests.exe"
