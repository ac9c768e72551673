#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, with apt-get, the Debian packages of the named groups that are
# missing (default: linux):
#   player   building the Linux programs alone and running them with DOSBox
#            (make install): nothing a player does not run;
#   deb      building the Debian package (make deb): the player's build
#            with Debian's packaging tools and lintian;
#   linux    the player's, and the tree's tests, benchmarks and demo;
#   windows  cross-building the Windows programs and their release, and
#            running them under Wine;
#   tests    what only the tests use besides those two;
#   fuzz     clang and its libFuzzer, for the fuzz targets;
#   measure  hyperfine, which times whole commands (make measure,
#            make measure-windows).
set -euo pipefail
cd "$(dirname "$0")"

# fluid is only recommended by libfltk1.3-dev, yet Debian's FLTK CMake files
# name /usr/bin/fluid and fail without it. DOSBox Staging and DOSBox-X play
# the game's music with Debian's General MIDI sound font.
player=(g++ cmake make pkg-config libfltk1.3-dev fluid dosbox fluid-soundfont-gm)
# debian/control's Build-Depends, and what builds and checks the package.
packaging=(build-essential debhelper dpkg-dev lintian)
deb=(g++ cmake make pkg-config libfltk1.3-dev fluid "${packaging[@]}")
# The demo assembles its DOS program with nasm and runs headless on Xvfb when
# there is no display; the window tests drive it with xdotool and look at it
# with ImageMagick.
linux=(
  "${player[@]}" libgtest-dev libgmock-dev libbenchmark-dev
  nasm xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
)
# The mingw-w64 cross compiler with win32 threads (its programs start on XP),
# GoogleTest's sources to build it for Windows, Wine with its fonts, the
# release's zip and NSIS setup program, and 7-Zip, which reads that setup.
# nasm makes the program that tells whether 32-bit programs run here: if so,
# 32-bit Wine runs the shipped i686 programs; if not, an x86_64 build of them
# is tested under 64-bit Wine.
windows=(
  g++-mingw-w64-i686-win32 googletest wine fonts-wine zip nsis p7zip-full nasm
  xvfb xauth xdotool
)
# The tests make their disc images with xorriso, start menu entries as GNOME
# does with GLib's gio, build the Debian package of a built tree, and check
# the sources' layout with clang-format.
tests=(xorriso libglib2.0-bin "${packaging[@]}" clang-format)
fuzz=(clang libclang-rt-14-dev)
measure=(hyperfine)

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
lists_updated=

# The packages named that are not installed yet.
missing_of() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || echo "$package"
  done
}

# Installs the packages named that are missing; fails as apt-get does.
install_missing() {
  local missing
  mapfile -t missing < <(missing_of "$@")
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  [ -n "$lists_updated" ] || update_package_lists
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o Acquire::Retries=3 \
    --no-install-recommends "${missing[@]}"
}

# A mirror in the middle of a sync serves an index of the wrong size for a
# while: try again, and at last go on with the lists apt-get could fetch (the
# install then says plainly what it cannot find).
update_package_lists() {
  local try
  lists_updated=1
  for try in 1 2 3; do
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q -o Acquire::Retries=3 && return 0
    echo "install-deps.sh: apt-get update failed (try $try of 3)" >&2
    [ "$try" = 3 ] || sleep $((try * 15))
  done
  echo "install-deps.sh: going on with the package lists apt-get has" >&2
}

# The Windows tests' Wine: 32-bit Wine where 32-bit programs run, else (or
# when the mirror cannot give 32-bit Wine a matching set of i386 libraries)
# 64-bit Wine with the x86_64 cross compiler. tools/windows-tests.sh decides
# the same way from what is installed.
install_windows_wine() {
  install_missing nasm
  # A whole 64-bit set, from an earlier fall-back, is enough: the next step of
  # the same `make test` need not ask a mirror for 32-bit Wine again.
  if [ -z "$(missing_of "$@" wine64 g++-mingw-w64-x86-64-win32)" ]; then
    return 0
  fi
  if ./runs-32-bit-programs.sh >/dev/null; then
    local added=
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      "${sudo[@]}" dpkg --add-architecture i386
      added=1 lists_updated=
    fi
    install_missing "$@" wine32:i386 && return 0
    echo "install-deps.sh: 32-bit Wine could not be installed; the Windows tests will run an x86_64 build under 64-bit Wine" >&2
    # Leave no half-usable i386 architecture behind us.
    if [ -n "$added" ] && [ -z "$(dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -x i386)" ]; then
      "${sudo[@]}" dpkg --remove-architecture i386 && lists_updated=
    fi
  fi
  install_missing "$@" wine64 g++-mingw-w64-x86-64-win32
}

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(linux)
packages=()
want_windows=
for group in "${groups[@]}"; do
  case $group in
    player) packages+=("${player[@]}") ;;
    deb) packages+=("${deb[@]}") ;;
    linux) packages+=("${linux[@]}") ;;
    windows) packages+=("${windows[@]}") want_windows=1 ;;
    tests) packages+=("${tests[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    measure) packages+=("${measure[@]}") ;;
    *) echo "install-deps.sh: no group '$group' (player, deb, linux, windows, tests, fuzz, measure)" >&2; exit 2 ;;
  esac
done
# apt-get sees the whole set at once.
if [ -n "$want_windows" ]; then
  install_windows_wine "${packages[@]}"
else
  install_missing "${packages[@]}"
fi
