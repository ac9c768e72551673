# SPDX-License-Identifier: GPL-3.0-or-later
# Which Windows programs this machine can run under Wine, for the Windows
# tests (tools/windows-tests.sh) and their timings (bench/wine_times.sh):
#   win32  the shipped i686 programs under 32-bit Wine, where 32-bit programs
#          run and 32-bit Wine is installed;
#   win64  otherwise an x86_64 build of the same sources (build/win64) under
#          64-bit Wine.
# shellcheck shell=bash

# Where Debian installs Wine's loaders: wine (package wine32:i386) and wine64.
# The tests of this choice point it at stand-ins.
KELMOR_WINE_LOADERS=${KELMOR_WINE_LOADERS:-/usr/lib/wine}

# Sets wine_set (win32 or win64) and wine_set_why, which says why in words.
choose_wine_set() {
  local tools why
  tools=$(dirname "${BASH_SOURCE[0]}")
  if ! why=$("$tools/runs-32-bit-programs.sh"); then
    wine_set=win64 wine_set_why="this machine cannot run 32-bit programs: ${why:-the probe could not be made}"
  elif [ ! -x "$KELMOR_WINE_LOADERS/wine" ]; then
    wine_set=win64
    wine_set_why="this machine runs 32-bit programs, but 32-bit Wine ($KELMOR_WINE_LOADERS/wine) is not installed"
  else
    wine_set=win32 wine_set_why="this machine runs 32-bit programs and 32-bit Wine"
  fi
}

# Builds the x86_64 programs and their release in build/win64.
build_x86_64_tree() {
  cmake --preset win64
  cmake --build --preset win64 --target all windows_release
}
