#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `make deb`: builds the Debian package kelmor-kit_<version>_<arch>.deb with
# Debian's own tools (dpkg-buildpackage, debhelper; debian/) from a copy of
# this tree's sources, so that nothing is written into the tree itself, and
# checks it with lintian.
#   tools/make-deb.sh [output folder [built tree]]
# The output folder (default build/deb) gets the copy and, beside it, the
# package. With a built tree (configured with CMake and built), the package
# holds that tree's programs instead of programs built anew.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m -- "${1:-$root/build/deb}")
prebuilt=${2:+$(realpath -- "$2")}

# The tree's files, as git knows them (those not yet committed too, ignored
# ones left out), or, outside a checkout, all but the builds.
sources() {
  if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$root" ls-files -z --cached --others --exclude-standard |
      while IFS= read -r -d '' file; do [ -e "$root/$file" ] && printf '%s\0' "$file"; done
  else
    (cd "$root" && find . -path ./build -prune -o -path ./.git -prune -o -type f -print0)
  fi
}

rm -rf "$out" && mkdir -p "$out/kelmor-kit"
sources | (cd "$root" && tar --null -T - -cf -) | tar -C "$out/kelmor-kit" -xf -
start=$(date +%s)
(cd "$out/kelmor-kit" &&
   KELMOR_PREBUILT="$prebuilt" dpkg-buildpackage -b -us -uc -j"$(nproc)" >"$out/build.log" 2>&1) ||
  { tail -n 40 "$out/build.log" >&2
    echo "make deb: the package's build failed; all it printed is in $out/build.log" >&2; exit 1; }
package=$(ls "$out"/kelmor-kit_*.deb)
echo "Built $package ($(du -k "$package" | cut -f1) KiB) in $(( $(date +%s) - start )) s."
# Errors fail the build; the warnings left are explained in DEVELOPING.md.
lintian --fail-on error "$package"
echo "Install it with: sudo apt install $package"
