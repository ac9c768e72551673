#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Tells whether this machine runs 32-bit x86 programs, by running one (never
# by the kernel's name or version): exit 0 when it does; otherwise exit 1 and
# say on stdout what running it gave ("Exec format error").
set -uo pipefail
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
nasm -f bin -o "$probe" "$(dirname "$0")/x86_32_probe.asm" || exit 2
chmod +x "$probe"
said=$("$probe" 2>&1)
code=$?
[ "$code" = 32 ] && exit 0
said=${said##*: }
echo "${said:-it ended with $code}"
exit 1
