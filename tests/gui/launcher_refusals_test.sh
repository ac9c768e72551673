#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the launchers refuse: a folder whose Windows path would name another
# folder (one report, titled with the program title, exit 2, nothing read
# or written there or in that other folder), and Escape in the first second,
# which leaves the window to its sequence.
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
# A Windows folder name cannot hold a backslash, and Escape means nothing to
# the Win32 launcher windows.
on_wine && { echo "SKIP: nothing to refuse on Windows"; exit 77; }
make_workspace
start_display 1024x768
cd "$WORK"
make_drive_map  # no CD anywhere

declare -A titles=([KELMOR]="Kelmor for Windows" [_KelmorPlix]="Kelmor Plix Launcher"
                   [_Mapper]="Kelmor Plix Mapper Launcher")
declare -A windows=([KELMOR]="Kelmor" [_KelmorPlix]="Kelmor Plix" [_Mapper]="Kelmor Plix Mapper")

# Records that it was started, in the folder it was started in.
stand_in='#!/bin/sh
pwd >started.txt'

for program in KELMOR _KelmorPlix _Mapper; do
  note "$program in a folder with a backslash in its name"
  bad="$WORK/w/x\\y" other="$WORK/w/x/y"
  rm -rf "$WORK/w"; mkdir -p "$bad" "$other/SAVEGAME"
  cp "$BIN/$program" "$bad/"
  for name in dosbox.exe _KelmorPlix.exe mapper.exe; do printf '%s\n' "$stand_in" >"$other/$name"; done
  chmod +x "$other"/*.exe
  printf 'KELPLIX\r\n' >"$other/TEST.FUJ"
  printf 'the other folder' >"$other/dosbox.conf"
  (cd "$other" && find . -type f -exec md5sum {} + | sort) >"$WORK/other-before"
  "$bad/$program" 2>"$WORK/stderr.txt" &
  pid=$!
  box=$(wait_window "${titles[$program]}")
  press_key "$box" Return
  wait_exit "$pid"
  [ "$EXIT_CODE" = 2 ] || fail "$program: exit code $EXIT_CODE"
  grep -qF "${titles[$program]}: The Kelmor programs cannot run from the folder \"$bad\": its name holds a backslash" \
    "$WORK/stderr.txt" || fail "$program said: $(cat "$WORK/stderr.txt")"
  grep -qF "Move the programs to another folder, or rename this one." "$WORK/stderr.txt" ||
    fail "$program did not say what to do: $(cat "$WORK/stderr.txt")"
  [ "$(ls -A "$bad")" = "$program" ] || fail "$program wrote into its folder: $(ls -A "$bad")"
  diff "$WORK/other-before" <(cd "$other" && find . -type f -exec md5sum {} + | sort) >&2 ||
    fail "$program changed the other folder"

  note "$program: Escape in the first second leaves the window to its sequence"
  app="$WORK/app $program"
  mkdir -p "$app"
  cp "$BIN/$program" "$app/"
  if [ "$program" = _Mapper ]; then printf '%s\n' "$stand_in" >"$app/_KelmorPlix" && chmod +x "$app/_KelmorPlix"; fi
  "$app/$program" 2>"$WORK/stderr.txt" &
  pid=$!
  window=$(wait_window "${windows[$program]}")
  press_key "$window" Escape
  if [ "$program" = _Mapper ]; then
    wait_file "$app/started.txt"  # the kit launcher, as nothing is installed
  else
    box=$(wait_window Kelmor 10 "$([ "$program" = KELMOR ] && echo 2 || echo 1)")
    press_key "$box" Return
  fi
  wait_exit "$pid"
  [ "$EXIT_CODE" = 0 ] || fail "$program: exit code $EXIT_CODE after Escape"
  grep -q "CD-ROM" "$WORK/stderr.txt" || [ "$program" = _Mapper ] ||
    fail "$program ended without its CD-missing message: $(cat "$WORK/stderr.txt")"
done
echo "PASS"
