#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every C++ source of the kit is laid out as .clang-format says (Debian 12's
# clang-format 14; another version may lay out some lines otherwise).
# Reformat with: clang-format -i <file>.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
folders="core game_launcher kit_launcher mapper_launcher config_tool dosbox_bridge drives_tool tests bench"
# shellcheck disable=SC2086
mapfile -t sources < <(find $folders -name '*.[ch]pp' | sort)
clang-format --dry-run -Werror "${sources[@]}"
echo "PASS: ${#sources[@]} files as .clang-format lays them out"
