#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The kit's imports stay a building with floors: the tree itself, then small
# trees with a loop and with one program importing another, which must fail.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
floors=$root/tools/import-floors.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$floors" "$root" >"$work/tree" 2>&1 || fail "the kit's own tree: $(cat "$work/tree")"

# tree <name> <file>:<included folder> ...: a tree whose files each include
# one header of the folder named.
tree() {
  local at=$work/$1; shift
  for entry in "$@"; do
    mkdir -p "$at/$(dirname "${entry%%:*}")"
    echo "#include \"${entry#*:}/x.hpp\"" >>"$at/${entry%%:*}"
  done
  echo "$at"
}
check() {  # check <expected exit> <expected output> <tree>
  local out status=0
  out=$("$floors" "$3" 2>&1) || status=$?
  [ "$status" = "$1" ] && [ "$out" = "$2" ] || fail "$3: exit $status, said:
$out
expected exit $1:
$2"
}

check 0 "floor 0: core
floor 1: core/posix
floor 2: core/fltk game_launcher
floor 3: kit_launcher" \
  "$(tree floors core/posix/a.cpp:core core/fltk/b.cpp:core/posix game_launcher/m.cpp:core/posix \
       kit_launcher/m.cpp:core/fltk kit_launcher/k.cpp:core)"

check 1 "imports run in a loop between these folders:
core/drives
core/posix" \
  "$(tree loop core/posix/a.cpp:core/drives core/drives/b.cpp:core/posix)"

check 1 "mapper_launcher imports from kit_launcher: what two programs share belongs in the core
floor 0: core
floor 1: kit_launcher
floor 2: mapper_launcher" \
  "$(tree programs kit_launcher/k.cpp:core mapper_launcher/m.cpp:kit_launcher)"
echo "PASS"
