#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times `make uninstall` of an application folder whose install record has
# been padded to LINES lines (default "5000 20000") with lines that are not
# the install's: KIND "folder" (the default) pads with files in the folder
# (file <size> <sha256> pad<n>), "menu" with menu entries of other folders'
# sets (file ... <menu>/kelmor-<tag>-KELMOR.desktop), each line a path of its
# own. Each run starts from a copy of the padded folder; hyperfine takes the
# mean of RUNS runs (default 3). Needs a built tree (make build) and
# hyperfine (apt-get install hyperfine). Everything stays in a temporary
# folder, the menu too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/linux"
runs=${RUNS:-3}
source "$root/tests/e2e/lib.sh"
command -v hyperfine >/dev/null || fail "hyperfine is not installed (apt-get install hyperfine)"
make_e2e_workspace

install_app "$build" "$WORK/installed"
sha=$(printf pad | sha256sum | cut -c1-64)
for lines in ${LINES:-5000 20000}; do
  padded="$WORK/padded-$lines"
  cp -a "$WORK/installed" "$padded"
  if [ "${KIND:-folder}" = menu ]; then
    seq -f "%08g" "$lines" | sed "s|.*|file 3 $sha $XDG_DATA_HOME/applications/kelmor-&-KELMOR.desktop|"
  else
    seq "$lines" | sed "s|.*|file 3 $sha pad&|"
  fi >>"$padded/.kelmor-install"
  note "$lines lines, $(stat -c %s "$padded/.kelmor-install") bytes"
  hyperfine --runs "$runs" --style basic \
    --prepare "rm -rf '$WORK/app' && cp -a '$padded' '$WORK/app'" \
    "cmake -DKELMOR_APP_FOLDER='$WORK/app' -P '$build/uninstall_application_folder.cmake' >'$WORK/uninstall.log' 2>&1"
  tail -n 1 "$WORK/uninstall.log" >&2
done
