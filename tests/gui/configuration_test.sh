#!/usr/bin/env bash
# The real _Configuration in a real window: where it shows, typing a count,
# picking a preset with Tab and Space, Enter to save, Escape to leave, the
# five-character box, the invalid-count box and a store that cannot be written.
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
require_program _Configuration
make_workspace
start_display 1024x768
export XDG_CONFIG_HOME="$WORK/config"
ini="$XDG_CONFIG_HOME/kelmor/kelkit.ini"
title="Kelmor Plix Configuration"
cd "$WORK"

# The key=value lines of kelkit.ini, in file order.
ini_lines() { tr -d '\r' <"$ini" | grep '=' | tr '\n' ' '; }

start_dialog() {
  "$BIN/_Configuration" 2>>"$WORK/stderr.txt" &
  pid=$!
  window=$(wait_window "$title")
  sleep 0.3  # let it draw and take the focus
  xdotool windowfocus --sync "$window"
}

type_text() { xdotool type --delay 30 "$1"; }
keys() { xdotool key --clearmodifiers --delay 60 "$@"; }
clear_box() { keys End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace; }

note "first start: centred, preset 1 and 20000; a count, Tab Tab Tab Space, Enter"
start_dialog
[ "$(window_geometry "$window")" = "348,242 327x302" ] ||
  fail "window at $(window_geometry "$window"), wanted 348,242 327x302"
xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "no 32 x 32 window icon"
xprop -id "$window" _MOTIF_WM_HINTS | grep -q '= 0x1, 0x1b,' || fail "minimise or maximise offered"
import -window root "$WORK/first-start.png"
clear_box
type_text 20
keys Tab Tab Tab space Return
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "exit code $code after saving"
[ "$(ini_lines)" = "fullscreen=false fullfixed=false output=surface predvolba=3 cycles=20 " ] ||
  fail "kelkit.ini holds: $(ini_lines)"
[ ! -e "$XDG_CONFIG_HOME/kelmor/kel1.ini" ] || fail "kel1.ini was written"

note "Escape leaves without writing"
before=$(cat "$ini")
start_dialog
import -window root "$WORK/second-start.png"
clear_box
type_text 4000
keys Tab space Escape
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "exit code $code after Escape"
[ "$(cat "$ini")" = "$before" ] || fail "Escape changed kelkit.ini: $(ini_lines)"

note "at most five characters: 123456 is saved as 12345"
start_dialog
clear_box
type_text 123456
import -window root "$WORK/five-characters.png"
keys Return
wait_exit "$pid"
grep -q '^cycles=12345$' <(tr -d '\r' <"$ini") || fail "kelkit.ini holds: $(ini_lines)"

note "an invalid count: the box, then an empty box with the focus, the window stays"
start_dialog
clear_box
type_text 9
keys Return
box=$(wait_window Kelmor)
sleep 0.3
import -window root "$WORK/invalid-count.png"
press_key "$box" Return
for _ in $(seq 50); do [ -z "$(windows_named Kelmor)" ] && break; sleep 0.1; done
[ -z "$(windows_named Kelmor)" ] || fail "the message box did not close"
kill -0 "$pid" 2>/dev/null || fail "the dialog ended after an invalid count"
[ "$(ini_lines)" = "fullscreen=false fullfixed=false output=surface predvolba=3 cycles=12345 " ] ||
  fail "an invalid count changed kelkit.ini: $(ini_lines)"
xdotool windowfocus --sync "$window"
type_text 30000  # lands in the emptied box only if it has the focus
keys Tab Tab Tab Tab space Return
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "exit code $code after saving"
[ "$(ini_lines)" = "fullscreen=true fullfixed=false output=opengl predvolba=4 cycles=30000 " ] ||
  fail "kelkit.ini holds: $(ini_lines)"
grep -qx "Kelmor: Invalid CPU cycles value." "$WORK/stderr.txt" ||
  fail "stderr: $(cat "$WORK/stderr.txt")"
note "a store that cannot be written: the report, exit code 1"
rm -f "$ini" && mkdir "$ini"
start_dialog
keys Return
report=$(wait_window "$title" 10 2)
[ "$report" != "$window" ] || fail "the report was not found"
import -window root "$WORK/store-failure.png"
press_key "$report" Return
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 1 ] || fail "exit code $code after a failed save"
grep -q "^$title: Error [0-9]*: " "$WORK/stderr.txt" || fail "stderr: $(cat "$WORK/stderr.txt")"
[ -z "${KELMOR_SCREENSHOTS:-}" ] || cp "$WORK"/*.png "$KELMOR_SCREENSHOTS"/
echo "PASS"
