#!/usr/bin/env bash
# The DOSBox bridge started as from a desktop menu, stderr no terminal,
# without an emulator: its line on stderr, the same failure in a message box
# titled "DOSBox", and exit 127 once the box is dismissed.
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
if on_wine; then echo "SKIP: Windows runs the real dosbox.exe"; exit 77; fi
[ -x "$BIN/dosbox" ] || { echo "SKIP: the bridge is not built here"; exit 77; }
make_workspace
start_display 1024x768
app="$WORK/Bridge app"
mkdir -p "$app" "$WORK/no-programs"
cp "$BIN/dosbox" "$app/"
cd "$app"

PATH="$WORK/no-programs" "$app/dosbox" -noconsole 2>"$WORK/stderr.txt" &
pid=$!
box=$(wait_window DOSBox 10)
sleep 0.3
import -window root "$WORK/bridge-message.png"
kill -0 "$pid" 2>/dev/null || fail "the bridge ended before the box was dismissed"
dismiss_box "$box"
wait_exit "$pid"
[ "$EXIT_CODE" = 127 ] || fail "exit code $EXIT_CODE"
grep -q "^dosbox (Kelmor bridge): no emulator: no dosbox on PATH" "$WORK/stderr.txt" ||
  fail "stderr: $(cat "$WORK/stderr.txt")"
[ -z "${KELMOR_SCREENSHOTS:-}" ] || cp "$WORK"/*.png "$KELMOR_SCREENSHOTS"/
echo "PASS"
