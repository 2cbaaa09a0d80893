# Sourced by the commands: $top is the checkout, which the shell moves to,
# and $B the build root, build/ in the tree unless TUVRELI_BUILD names another.
top=$(realpath "$(dirname "${BASH_SOURCE[0]}")/..")
cd "$top"
B=$(realpath -m "${TUVRELI_BUILD:-build}")
