#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows test program under Wine in a clone of the template prefix:
# its folder appears as C:\tests, and it starts from there; the source tree
# appears on C: under its own path, so that a test finds files by __FILE__.
# The exit code is the program's (modulo 256).
set -uo pipefail
source "$(dirname "$0")/wine_lib.sh"
program=$1
shift
work=$(mktemp -d)
clone_wine_prefix "$work/prefix" || exit 1
trap 'stop_wine; rm -rf "$work"' EXIT
ln -s "$(cd "$(dirname "$program")" && pwd)" "$WINEPREFIX/drive_c/tests"
source_tree=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$WINEPREFIX/drive_c$(dirname "$source_tree")"
ln -s "$source_tree" "$WINEPREFIX/drive_c$source_tree"
cd "$WINEPREFIX/drive_c/tests"
wine "C:\\tests\\$(basename "$program")" "$@"
