#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Run by install_on_debian.sh as the new user: starts the command $1 (a menu
# entry's Exec line) on a private Xvfb, waits for the launcher and then
# DOSBox, saves a screenshot of the screen as $2, and ends DOSBox with a key.
set -euo pipefail
source "$(dirname "$0")/../gui/lib.sh"
export SDL_AUDIODRIVER=dummy
trap 'stop_display' EXIT
start_display 1024x768
sh -c "exec $1" >"$HOME/start.log" 2>&1 &
wait_window Kelmor 20 >/dev/null || fail "no launcher window: $(cat "$HOME/start.log")"
emulator=$(wait_window 'DOSBox.*' 30) || fail "no DOSBox window: $(cat "$HOME/start.log")"
sleep 3  # the CD's program is on screen once it waits for its key
import -window root "$2"
# The emulator's command line, and the drive lines of the configurations it read.
echo "Window: $(xdotool getwindowname "$emulator")"
for pid in $(pgrep -u "$(id -u)" dosbox); do
  mapfile -d '' -t arguments <"/proc/$pid/cmdline"
  echo "Process $pid: $(readlink "/proc/$pid/exe") ${arguments[*]:1}"
  for ((i = 1; i < ${#arguments[@]} - 1; i++)); do
    [ "${arguments[i]}" != -conf ] || tr -d '\r' <"${arguments[i + 1]}" | grep -iE '^(img)?mount ' | sed 's/^/  /'
  done
done >"$HOME/emulator.txt"
cat "$HOME/emulator.txt"
press_key "$emulator" space
for _ in $(seq 100); do pgrep -u "$(id -u)" -x dosbox >/dev/null || break; sleep 0.1; done
