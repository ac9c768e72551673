#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when one name of the kit's namespace is defined at two places in the
# objects and archives given: inline variables or inline functions of one
# name from two different source lines, say one constant in two headers with
# two values. The linker keeps one of them without a word, and every caller
# gets that one. Needs objects built with debug information.
#
#   tools/check-one-definition.sh <object or archive>...
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 <object or archive>..." >&2; exit 2; }

# nm -A -l: "<file>:<address> <kind> <name>\t<source>:<line>". Kinds u, V, W
# are the definitions that the linker merges instead of refusing twice.
nm -A -l -C --defined-only "$@" 2>/dev/null | awk -F'\t' '
  match($1, / [uVW] kelmor::/) {
    name = substr($1, RSTART + 3)
    if ($2 == "") next
    if (!((name, $2) in seen)) {
      seen[name, $2] = 1
      places[name] = places[name] "\n    " $2
      count[name]++
    }
  }
  END {
    for (name in count)
      if (count[name] > 1) { printf "%s is defined at %d places:%s\n", name, count[name], places[name]; bad = 1 }
    if (bad) { print "Give each its own name, or keep one definition that both include." ; exit 1 }
  }' >&2
