#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages of the named groups that are
# missing (default: linux):
#   linux    building the Linux programs (with the tree's tests and
#            benchmarks), running them with DOSBox, and the demo;
#   windows  cross-building the Windows programs and their release, and
#            running them under Wine;
#   tests    what only the tests use besides those two;
#   fuzz     clang and its libFuzzer, for the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")"

# fluid is only recommended by libfltk1.3-dev, yet Debian's FLTK CMake files
# name /usr/bin/fluid and fail without it. Disc images are read with libcdio's
# ISO 9660 library. The demo assembles its DOS program with nasm and runs
# headless on Xvfb when there is no display.
linux=(
  g++ cmake make pkg-config
  libfltk1.3-dev fluid libcdio-dev libiso9660-dev libgtest-dev libgmock-dev libbenchmark-dev
  dosbox nasm xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
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
# The tests make their disc images with xorriso.
tests=(xorriso)
fuzz=(clang libclang-rt-14-dev)

# Installs the packages named that are missing.
install_missing() {
  local missing=() package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
  fi
  update_package_lists
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o Acquire::Retries=3 \
    --no-install-recommends "${missing[@]}"
}

# A mirror in the middle of a sync serves an index of the wrong size for a
# while: try again, and at last go on with the lists apt-get could fetch (the
# install then says plainly what it cannot find).
update_package_lists() {
  local try
  for try in 1 2 3; do
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q -o Acquire::Retries=3 && return 0
    echo "install-deps.sh: apt-get update failed (try $try of 3)" >&2
    sleep $((try * 15))
  done
  echo "install-deps.sh: going on with the package lists apt-get has" >&2
}

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(linux)
packages=()
for group in "${groups[@]}"; do
  case $group in
    linux) packages+=("${linux[@]}") ;;
    windows)
      packages+=("${windows[@]}")
      # Which Wine runs the tests is known before anything else is installed,
      # so that apt-get sees the whole set at once.
      install_missing nasm
      if ./runs-32-bit-programs.sh >/dev/null; then
        packages+=(wine32:i386)
      else
        packages+=(wine64 g++-mingw-w64-x86-64-win32)
      fi
      ;;
    tests) packages+=("${tests[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    *) echo "install-deps.sh: no group '$group' (linux, windows, tests, fuzz)" >&2; exit 2 ;;
  esac
done
install_missing "${packages[@]}"
