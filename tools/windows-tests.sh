#!/usr/bin/env bash
# Runs the Windows tests of `make test`, after the i686 tree and its release
# are built, and says in one line which set and why. Where 32-bit programs
# run and 32-bit Wine is installed, the shipped i686 programs are tested under
# it. Otherwise the same tests run against an x86_64 build of the same sources
# under 64-bit Wine, and the shipped programs, zip and setup are checked
# without running them.
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's 32-bit Wine loader (package wine32:i386).
wine32_loader=/usr/lib/wine/wine
if why=$(tools/runs-32-bit-programs.sh); then
  if [ -x "$wine32_loader" ]; then
    echo "Windows tests: the shipped i686 programs under 32-bit Wine (this machine runs 32-bit programs)"
    ctest --preset win32
    exit
  fi
  why="this machine runs 32-bit programs, but 32-bit Wine ($wine32_loader) is not installed"
else
  why="this machine cannot run 32-bit programs: $why"
fi
echo "Windows tests: an x86_64 build under 64-bit Wine, and the shipped i686 programs checked" \
     "without running them ($why)"
cmake --preset win64
cmake --build --preset win64 --target all windows_release
ctest --preset win32-checks
ctest --preset win64
