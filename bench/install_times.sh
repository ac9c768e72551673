#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times what `make install` builds, from a clean clone of the committed tree,
# with the packages already present (make test-deps):
#  1. the whole tree, tests and benchmarks included (preset linux), which is
#     what the install built before it had a build of its own;
#  2. the programs alone (preset linux-player), which it builds now;
# each configured and built from nothing with as many jobs as this machine
# has cores, then installed into a folder of the clone. RUNS (default 1)
# runs each; hyperfine prints the times.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-1}
command -v hyperfine >/dev/null || { echo "hyperfine is not installed (apt-get install hyperfine)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q "$root" "$work/tree"
cd "$work/tree"
# Menu entries and icons of the installs go to the clone's folder too.
export XDG_DATA_HOME="$work/share"

echo "$(nproc) cores; $(git log -1 --format='%h %s')"
hyperfine --runs "$runs" --export-markdown "$work/times.md" \
  --prepare 'rm -rf build "$XDG_DATA_HOME" app' \
  -n 'tests and benchmarks too (linux)' \
  'cmake --preset linux >/dev/null && cmake --build --preset linux --parallel "$(nproc)" >/dev/null && cmake --install build/linux --prefix "$PWD/app" >/dev/null' \
  -n 'the programs alone (linux-player)' \
  'cmake --preset linux-player >/dev/null && cmake --build --preset linux-player --parallel "$(nproc)" >/dev/null && cmake --install build/player --prefix "$PWD/app" >/dev/null'
cat "$work/times.md"
