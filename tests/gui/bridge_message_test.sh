#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The DOSBox bridge started as from a desktop menu, stderr no terminal: a
# box titled "DOSBox", shown by kelmor-message beside it, says what went
# wrong, and the bridge ends once it is dismissed. Without an emulator: its
# line on stderr, the same failure in the box, exit 127. An emulator that
# prints "Exit to error" and exits with 1: the box with its last lines and
# the log's path, the log holding them, exit 1.
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
if on_wine; then echo "SKIP: Windows runs the real dosbox.exe"; exit 77; fi
[ -x "$BIN/dosbox" ] || { echo "SKIP: the bridge is not built here"; exit 77; }
make_workspace
start_display 1024x768
# No Flatpak of the user's is found; the stand-in's name comes first on PATH.
# The log lies below a folder whose name holds an '@', which the box shows
# as written (emulator-failed.png).
export XDG_STATE_HOME="$WORK/ann@corp.example.com/state" XDG_DATA_HOME="$WORK/data"
app="$WORK/Bridge app"
mkdir -p "$app" "$WORK/no-programs" "$WORK/bin"
cp "$BIN/dosbox" "$BIN/kelmor-message" "$app/"
cd "$app"

# Runs the bridge with PATH $1 until its box ($2 names the screenshot) is
# dismissed; sets EXIT_CODE.
bridge_with_box() {
  PATH="$1" "$app/dosbox" -noconsole 2>"$WORK/stderr.txt" &
  local pid=$! box
  box=$(wait_window DOSBox 10)
  sleep 0.3
  import -window root "$WORK/$2.png"
  kill -0 "$pid" 2>/dev/null || fail "the bridge ended before the box was dismissed"
  dismiss_box "$box"
  wait_exit "$pid"
}

note "no emulator"
bridge_with_box "$WORK/no-programs" bridge-message
[ "$EXIT_CODE" = 127 ] || fail "exit code $EXIT_CODE"
grep -q "^dosbox (Kelmor bridge): no emulator: none found (dosbox-staging, dosbox-x or dosbox on PATH" \
  "$WORK/stderr.txt" || fail "stderr: $(cat "$WORK/stderr.txt")"

note "the emulator fails"
printf '#!/bin/sh\necho "DOSBox version 0.74-3"\necho "Exit to error: Could not open the mapper file" >&2\nexit 1\n' \
  >"$WORK/bin/dosbox-staging"
chmod +x "$WORK/bin/dosbox-staging"
bridge_with_box "$WORK/bin:/usr/bin:/bin" emulator-failed
[ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE"
log=$(ls "$XDG_STATE_HOME"/kelmor/dosbox-*.log)
grep -qx "Exit to error: Could not open the mapper file" "$log" || fail "log: $(cat "$log")"
grep -qxF "dosbox (Kelmor bridge): DOSBox ended with exit code 1; all it printed is in $log" "$WORK/stderr.txt" ||
  fail "stderr: $(cat "$WORK/stderr.txt")"
[ -z "${KELMOR_SCREENSHOTS:-}" ] || cp "$WORK"/*.png "$KELMOR_SCREENSHOTS"/
echo "PASS"
