#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the Windows tests of `make test`, after the i686 tree and its release
# are built, and says in one line which set and why (tools/wine-set.sh). Where
# 32-bit programs run and 32-bit Wine is installed, the shipped i686 programs
# are tested under it. Otherwise the same tests run against an x86_64 build of
# the same sources under 64-bit Wine, and the shipped programs, zip and setup
# are checked without running them.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-set.sh
choose_wine_set
if [ "$wine_set" = win32 ]; then
  echo "Windows tests: the shipped i686 programs under 32-bit Wine ($wine_set_why)"
  ctest --preset win32
  exit
fi
echo "Windows tests: an x86_64 build under 64-bit Wine, and the shipped i686 programs checked" \
     "without running them ($wine_set_why)"
build_x86_64_tree
ctest --preset win32-checks
ctest --preset win64
