# SPDX-License-Identifier: GPL-3.0-or-later
# Wine for the Windows tests: one template prefix per build, cloned for each
# test in a fraction of a second, so every test starts from the same clean
# Windows without booting Wine again.
# shellcheck shell=bash

# Quiet, no Mono or Gecko prompts, a crash ends the program at once instead
# of waiting in the debugger, and shortcuts stay in the prefix (no menu
# entries for the host's desktop).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"

# The Windows tests run the shipped 32-bit programs under 32-bit Wine, or, on
# a machine that cannot run them, an x86_64 build under 64-bit Wine
# (KELMOR_WINE_ARCH=win64; tools/wine-set.sh chooses). Debian's wine script
# takes the 32-bit loader whenever it is installed, so the 64-bit one is named
# here. KELMOR_WINE is the program, found once; `wine` in these scripts means
# it, never a function or alias of that name.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-set.sh"
if [ "${KELMOR_WINE_ARCH:-win32}" = win64 ]; then
  export WINEARCH=win64 WINELOADER=$KELMOR_WINE_LOADERS/wine64
  KELMOR_WINE=$WINELOADER
else
  export WINEARCH=win32
  KELMOR_WINE=$(type -P wine) || KELMOR_WINE=wine
fi
wine() { command "$KELMOR_WINE" "$@"; }

# Clones the template $KELMOR_WINE_TEMPLATE into the new prefix $1 and exports
# WINEPREFIX. Files are hard links, but for the registry, which wineserver
# rewrites in place.
clone_wine_prefix() {
  local template=${KELMOR_WINE_TEMPLATE:?the template prefix is not set}
  [ -e "$template/.complete" ] || { echo "no Wine template at $template" >&2; return 1; }
  rm -rf "$1"
  cp -al "$template" "$1"
  local hive
  for hive in system.reg user.reg userdef.reg; do
    rm -f "$1/$hive"
    cp "$template/$hive" "$1/$hive"
  done
  WINEPREFIX=$(realpath -- "$1")
  export WINEPREFIX
}

# Ends the prefix's wineserver and what still runs in it.
stop_wine() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# The Windows path of a host path below the prefix's drive_c.
windows_path_in_prefix() {
  local relative=${1#"$WINEPREFIX/drive_c"}
  relative=${relative#/}
  printf 'C:\\%s' "${relative//\//\\}"
}

# The string values of registry key $1 as "name=value" lines, in the order
# of their names.
registry_values() {
  wine reg query "$1" 2>/dev/null | tr -d '\r' |
    sed -n 's/^    \(.*\)    REG_SZ    \(.*\)$/\1=\2/p' | sort
}
