#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What `make install` configures (preset linux-player) needs nothing that
# only the tests and benchmarks use, as on a player's machine, which has
# neither GoogleTest nor Google Benchmark, and still lays out every program
# and the bridge; it defines no test.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cd "$root"
cmake --preset linux-player -B "$work/player" \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_GMock=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/configure.log" 2>&1 ||
  fail "the player's build does not configure without the test packages: $(cat "$work/configure.log")"

facts=$work/player/application_folder_facts.cmake
programs=$(sed -n 's/^list(APPEND KELMOR_APP_PROGRAMS "\(.*\)")$/\1/p' "$facts" | LC_ALL=C sort | tr '\n' ' ')
[ "$programs" = "KELMOR _Configuration _KelmorPlix _Mapper kelmor-drives " ] ||
  fail "the player's install lays out the programs '$programs'"
grep -q '^set(KELMOR_APP_BRIDGE ' "$facts" || fail "the player's install lacks the bridge"
[ ! -e "$work/player/CTestTestfile.cmake" ] || fail "the player's build defines tests"
[ ! -e "$work/player/bench" ] || fail "the player's build builds benchmarks"
echo "PASS"
