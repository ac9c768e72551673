#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The choice of the Windows test set and of the Wine program each set calls,
# for the three kinds of machine, with stand-ins on a PATH of the test's own:
# nasm makes a "32-bit program" that runs or gives "Exec format error";
# cmake, ctest, wine and Wine's loaders only write down how they were called.
# No machine takes every branch for real, so every machine runs this.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
trim() { local text=${1#"${1%%[! ]*}"}; printf '%s' "${text%"${text##*[! ]}"}"; }

bin=$work/bin loaders=$work/loaders calls=$work/calls
mkdir -p "$bin" "$loaders"
cat >"$work/recorder" <<'SH'
#!/bin/sh
echo "$0 $* ${WINEARCH:+WINEARCH=$WINEARCH} ${WINELOADER:+WINELOADER=$WINELOADER}" >>"$CALLS"
SH
cat >"$bin/nasm" <<'SH'
#!/bin/sh
while [ "$1" != -o ]; do shift; done
if [ "$RUNS_32_BIT" = yes ]; then
  printf '#!/bin/sh\nexit 32\n' >"$2"
else
  printf '#!/bin/sh\necho "$0: cannot execute binary file: Exec format error" >&2; exit 126\n' >"$2"
fi
SH
chmod +x "$work/recorder" "$bin/nasm"
for program in cmake ctest wine; do ln -s "$work/recorder" "$bin/$program"; done
export PATH=$bin:$PATH CALLS=$calls KELMOR_WINE_LOADERS=$loaders

# What tools/windows-tests.sh says and runs on each kind of machine.
#  runs 32-bit | loaders     | its line holds                                  | cmake and ctest calls
machines=(
  "no  | wine64      | x86_64 build under 64-bit Wine, * (this machine cannot run 32-bit programs: Exec format error) | cmake --preset win64;cmake --build --preset win64 --target all windows_release;ctest --preset win32-checks;ctest --preset win64"
  "yes | wine64      | x86_64 build under 64-bit Wine, * (this machine runs 32-bit programs, but 32-bit Wine ($loaders/wine) is not installed) | cmake --preset win64;cmake --build --preset win64 --target all windows_release;ctest --preset win32-checks;ctest --preset win64"
  "yes | wine wine64 | the shipped i686 programs under 32-bit Wine (this machine runs 32-bit programs and 32-bit Wine) | ctest --preset win32"
)
for row in "${machines[@]}"; do
  IFS='|' read -r runs installed line commands <<<"$row"
  runs=$(trim "$runs") line=$(trim "$line") commands=$(trim "$commands")
  rm -f "$loaders"/* "$calls"
  for loader in $installed; do ln -s "$work/recorder" "$loaders/$loader"; done
  said=$(RUNS_32_BIT=$runs "$root/tools/windows-tests.sh") || fail "windows-tests.sh failed ($runs, $installed)"
  # shellcheck disable=SC2053
  [[ $said == "Windows tests: "*$line ]] || fail "32-bit: $runs, loaders: $installed; said: $said"
  ran=$(sed "s|^$bin/||; s/ *$//" "$calls" | paste -sd ';')
  [ "$ran" = "$commands" ] || fail "32-bit: $runs, loaders: $installed; ran: $ran"
done

# The program that `wine` and $KELMOR_WINE reach in each set: PATH's wine
# (Debian's script, which takes the 32-bit loader), or the 64-bit loader
# named, with its architecture. A function that calls itself ends at once.
ln -sf "$work/recorder" "$loaders/wine64"
sets=(
  "win32 | $bin/wine --version WINEARCH=win32"
  "win64 | $loaders/wine64 --version WINEARCH=win64 WINELOADER=$loaders/wine64"
)
for row in "${sets[@]}"; do
  IFS='|' read -r set reached <<<"$row"
  set=$(trim "$set") reached=$(trim "$reached")
  rm -f "$calls"
  KELMOR_WINE_ARCH=$set FUNCNEST=20 timeout 20 bash -c \
    'source "$1/tests/win32/wine_lib.sh" && wine --version && "$KELMOR_WINE" --version' _ "$root" ||
    fail "$set: wine --version failed"
  [ "$(sort -u "$calls" | sed 's/ *$//')" = "$reached" ] || fail "$set: reached $(cat "$calls")"
done
echo "PASS"
