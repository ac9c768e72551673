#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that the kit needs to build,
# test and demonstrate, and only those that are missing. With the argument
# `fuzz`, also what the fuzz targets need: clang and its libFuzzer.
set -euo pipefail

# fluid is only recommended by libfltk1.3-dev, yet Debian's FLTK CMake files
# name /usr/bin/fluid and fail without it.
packages=(
  g++ cmake make pkg-config
  libfltk1.3-dev fluid libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  dosbox nasm
)
# Disc images as drives: libcdio's ISO 9660 library, and xorriso, with which
# the tests make their images.
packages+=(libcdio-dev libiso9660-dev xorriso)
# The Windows programs: the mingw-w64 cross compiler with win32 threads (its
# programs start on XP), GoogleTest's sources to build it for Windows, and
# 32-bit Wine with its fonts to run them.
packages+=(g++-mingw-w64-i686-win32 googletest wine wine32:i386 fonts-wine)
# The Windows release: its zip file, and its setup program made with NSIS.
packages+=(zip nsis)
if [ "${1:-}" = fuzz ]; then packages+=(clang libclang-rt-14-dev); fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
