#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package of the built tree (tools/make-deb.sh with this tree's
# programs, so nothing is compiled again): the files it holds, what it
# depends on, no error from lintian, and its bridge laying out the user's
# own application folder with links to the package's programs, which a
# `make install` into that folder replaces and its uninstall gives back;
# that install's menu entries take the ids of the package's. Its build
# from nothing, its install and its menu's start of the game on a fresh
# Debian: tests/deb/fresh_debian_test.sh.
set -euo pipefail
BUILD=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
make_e2e_workspace
for tool in dpkg-buildpackage dh lintian; do
  command -v "$tool" >/dev/null ||
    fail "no $tool: install the tests' packages (tools/install-deps.sh tests)"
done

note "the package of the built tree"
"$ROOT/tools/make-deb.sh" "$WORK/deb" "$BUILD" >"$WORK/make-deb.log" 2>&1 ||
  fail "the package's build: $(cat "$WORK/make-deb.log")"
deb=$(ls "$WORK"/deb/kelmor-kit_*_amd64.deb)
[ "$(basename "$deb")" = "kelmor-kit_$(cat "$BUILD/package_version.txt")_amd64.deb" ] ||
  fail "named $(basename "$deb")"

note "its files: the programs, the menu entries, their icons, the documents, nothing else"
programs=(KELMOR _Configuration _KelmorPlix _Mapper dosbox kelmor-drives kelmor-message)
expected=()
for program in "${programs[@]}"; do expected+=("-rwxr-xr-x ./usr/lib/kelmor-kit/$program"); done
for data in TEST.FUJ kelmor-package-layout; do
  expected+=("-rw-r--r-- ./usr/lib/kelmor-kit/$data")
done
for entry in KELMOR _Configuration _KelmorPlix _Mapper game-configuration kelmor-drives; do
  expected+=("-rw-r--r-- ./usr/share/applications/kelmor-$entry.desktop")
done
for size in 48 64 128 256; do
  for icon in KELMOR _Configuration _KelmorPlix _Mapper kelmor-drives; do
    expected+=("-rw-r--r-- ./usr/share/icons/hicolor/${size}x$size/apps/kelmor-$icon.png")
  done
done
for doc in README.md.gz THIRD-PARTY-NOTICES.txt.gz changelog.gz copyright; do
  expected+=("-rw-r--r-- ./usr/share/doc/kelmor-kit/$doc")
done
diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) \
     <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }' | LC_ALL=C sort) >&2 ||
  fail "the package's files differ (< wanted, > found)"
dpkg-deb -x "$deb" "$WORK/root"
lib="$WORK/root/usr/lib/kelmor-kit"
for program in "${programs[@]}"; do
  ! readelf -S "$lib/$program" | grep -q '\.symtab' || fail "$program keeps its symbols"
done
for entry in "$WORK"/root/usr/share/applications/*.desktop; do
  program=$(sed -n 's/^TryExec=//p' "$entry")
  grep -qx "Exec=$program\( kel1\)\?" "$entry" && [ -x "$WORK/root$program" ] &&
    [ "${program#/usr/lib/kelmor-kit/}" != "$program" ] && ! grep -q '^Path=' "$entry" ||
    fail "$entry: $(cat "$entry")"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" >&2 || fail "$entry invalid"
  fi
done

note "what it depends on: the libraries the programs link, an emulator, nothing of a developer's"
depends=$(dpkg-deb -f "$deb" Depends)
for wanted in "dosbox | dosbox-staging | dosbox-x" "libfltk1.3 " "libc6 "; do
  [[ "$depends" == *"$wanted"* ]] || fail "Depends lacks $wanted: $depends"
done
# Each package named, alternatives too.
named=$(printf '%s, %s' "$depends" "$(dpkg-deb -f "$deb" Recommends)" | tr ',|' '\n\n' |
        awk '{ print $1 }')
developers='g\+\+.*|gcc.*|cmake|make|googletest|libgtest.*|libbenchmark.*|xvfb|xdotool|lintian'
! grep -E "^($developers|debhelper|.*-dev)\$" <<<"$named" >&2 ||
  fail "depends on a developer's package: $depends"

note "lintian: no error"
lintian "$deb" >"$WORK/lintian.log" 2>&1 || true
! grep '^E: ' "$WORK/lintian.log" >&2 || fail "lintian reports errors"

note "a program of the package lays out the user's own folder, linked to the package's programs"
printf '[options]\nemulator=/bin/true\ndetect=no\n' >"$XDG_CONFIG_HOME/kelmor/drives.ini"
# The bridge of the package, started from a folder of no application's.
start_bridge() {
  (cd "$WORK" && "$lib/dosbox" -conf none.conf >"$WORK/bridge.log" 2>&1) ||
    fail "the bridge: $(cat "$WORK/bridge.log")"
}
start_bridge
app="$HOME/.local/share/kelmor"
for name in "${programs[@]}" TEST.FUJ; do
  [ "$(readlink "$app/$name")" = "$lib/$name" ] || fail "$app/$name: $(ls -l "$app/$name" 2>&1)"
done
diff <(sed -n 's/^folder //p' "$lib/kelmor-package-layout" | sort) \
     <(cd "$app" && find . -mindepth 1 -type d | sed 's|^\./||' | sort) >&2 ||
  fail "the user's folder's folders differ from the package's layout (< wanted, > found)"
grep -qx 'folder SAVEGAME' "$lib/kelmor-package-layout" &&
  grep -qx 'folder CAKE/MAP_105' "$lib/kelmor-package-layout" ||
  fail "the layout: $(cat "$lib/kelmor-package-layout")"

note "make install into that folder takes the links' places, its menu entries the package's ids"
install_app "$BUILD" "$app"
start_bridge
for name in "${programs[@]}" TEST.FUJ; do
  [ -f "$app/$name" ] && [ ! -L "$app/$name" ] || fail "$app/$name: $(ls -l "$app/$name" 2>&1)"
done
[ "$(ls "$XDG_DATA_HOME/applications")" = "$(ls "$WORK/root/usr/share/applications")" ] ||
  fail "the menu entries' ids: $(ls "$XDG_DATA_HOME/applications")"
note "... and after make uninstall the package's programs come back at the next start"
timeout 120 cmake -DKELMOR_APP_FOLDER="$app" -P "$BUILD/uninstall_application_folder.cmake" \
  >"$WORK/uninstall.log" 2>&1 || fail "uninstall: $(cat "$WORK/uninstall.log")"
start_bridge
for name in "${programs[@]}" TEST.FUJ; do
  [ "$(readlink "$app/$name")" = "$lib/$name" ] || fail "$app/$name: $(ls -l "$app/$name" 2>&1)"
done
[ -z "$(find "$WORK/root" -newer "$deb" -not -type d)" ] || fail "written in the package's folders"
echo "PASS"
