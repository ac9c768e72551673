#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The kit's modules, its source folders, floor by floor: a folder stands one
# floor above the highest folder it imports from (#include "folder/file").
# Fails, saying where, when imports run in a loop between folders (one runs
# back up) or when one program's folder imports another's: what programs
# share lives in the core.
#
#   tools/import-floors.sh [tree]      (the tree of this script by default)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
programs="game_launcher kit_launcher mapper_launcher config_tool dosbox_bridge drives_tool"

# "imported importer" for each import between two folders of the kit.
imports=$(
  for folder in core $programs; do
    if [ -d "$folder" ]; then find "$folder" -name '*.[ch]pp' -print; fi
  done | while read -r file; do
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)\/[^"/]*".*/\1/p' "$file" |
      while read -r imported; do
        if [ "$imported" != "$(dirname "$file")" ]; then echo "$imported $(dirname "$file")"; fi
      done
  done | sort -u)

status=0
for importer in $programs; do
  for imported in $programs; do
    if grep -qx "$imported $importer" <<<"$imports"; then
      echo "$importer imports from $imported: what two programs share belongs in the core" >&2
      status=1
    fi
  done
done

if ! order=$(tsort <<<"$imports" 2>"${TMPDIR:-/tmp}/import-floors.$$"); then
  echo "imports run in a loop between these folders:" >&2
  sed -n 's/^tsort: //p' "${TMPDIR:-/tmp}/import-floors.$$" | grep -v 'input contains a loop' >&2
  rm -f "${TMPDIR:-/tmp}/import-floors.$$"
  exit 1
fi
rm -f "${TMPDIR:-/tmp}/import-floors.$$"

# Each folder's floor, lowest first: one above the highest it imports from.
declare -A floor
for folder in $order; do
  floor[$folder]=0
  while read -r imported; do
    if [ -n "$imported" ] && ((floor[$imported] + 1 > floor[$folder])); then
      floor[$folder]=$((floor[$imported] + 1))
    fi
  done < <(awk -v f="$folder" '$2 == f { print $1 }' <<<"$imports")
done
for folder in $order; do echo "${floor[$folder]} $folder"; done | sort -n -k1,1 -k2 |
  awk 'NR == 1 || $1 != last { if (NR > 1) print line; line = "floor " $1 ":"; last = $1 } { line = line " " $2 } END { print line }'
exit $status
