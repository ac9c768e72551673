#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real _Configuration in a real window: where it shows, the first start,
# the keyboard alone (Tab, arrows, Space, Enter; the option group one tab
# stop whose arrows select), Escape and the close box,
# the five-character box, invalid counts, a stored preset it does not know,
# the game's settings (argument kel1), on Linux the line that says which of
# them a dosbox-user.conf sets in their place, on Windows a resolution whose font
# needs more room than the form gives, and a store that cannot be written. Settings are read back from the host's
# own store (the INI file, or the registry under Wine).
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
require_program _Configuration
make_workspace
start_display 1024x768
title="Kelmor Plix Configuration"
app="$APPS/Configuration app"
mkdir -p "$app"
install_program _Configuration "$app"
cd "$WORK"

start_dialog() {
  run_program "$app" _Configuration "$@" 2>>"$WORK/stderr.txt" &
  pid=$!
  window=$(wait_window "${dialog_title:-$title}" 20)
  sleep 0.3  # let it draw and take the focus
  # Wine's dialog takes the focus itself; asking Wine's windows for it can hang.
  on_wine || xdotool windowfocus --sync "$window"
}

type_text() { xdotool type --delay 30 "$1"; }
keys() { xdotool key --clearmodifiers --delay 60 "$@"; }
clear_box() { keys End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace; }
expect_stored() {
  [ "$(stored_settings kelkit)" = "$1" ] || fail "$2: kelkit holds: $(stored_settings kelkit)"
}
expect_saved_and_ended() {
  wait_exit "$pid"
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after $2"
  expect_stored "$1" "$2"
}

note "first start: centred, its icon, preset 1 and 20000, which Enter saves"
start_dialog
# The client area at the same place on both hosts; X sees Wine's window
# with the frame that Wine draws itself.
wanted="348,242 327x302"
on_wine && wanted="345,220 333x327"
[ "$(window_geometry "$window")" = "$wanted" ] ||
  fail "window at $(window_geometry "$window"), wanted $wanted"
xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "no 32 x 32 window icon"
# Under Wine the frame (close box only) is in the screenshot.
on_wine || xprop -id "$window" _MOTIF_WM_HINTS | grep -q '= 0x1, 0x1b,' ||
  fail "minimise or maximise offered"
import -window root "$WORK/first-start.png"
keys Return
expect_saved_and_ended "cycles=20000 fullfixed=false fullscreen=true output=surface predvolba=1 " "Enter"
[ -z "$(stored_settings kel1)" ] || fail "kel1 was written: $(stored_settings kel1)"

note "keyboard alone: a count typed, Tab to the options, Down Down, Space, Enter"
start_dialog
clear_box
type_text 20
keys Tab Down Down space
import -window root "$WORK/keyboard.png"
keys Return
expect_saved_and_ended "cycles=20 fullfixed=false fullscreen=false output=surface predvolba=3 " "saving"

saved="cycles=20 fullfixed=false fullscreen=false output=surface predvolba=3 "
note "Escape leaves without writing"
start_dialog
clear_box
type_text 4000
keys Tab Down Escape
expect_saved_and_ended "$saved" "Escape"

# Wine draws its windows' frames itself; without a window manager X gives a
# Linux window no frame and so no close box.
if on_wine; then
  note "the close box leaves without writing"
  start_dialog
  clear_box
  type_text 5000
  press_close_box "$window"
  expect_saved_and_ended "$saved" "the close box"
fi

note "at most five characters: 123456 is saved as 12345"
start_dialog
clear_box
type_text 123456
import -window root "$WORK/five-characters.png"
keys Return
saved="cycles=12345 fullfixed=false fullscreen=false output=surface predvolba=3 "
expect_saved_and_ended "$saved" "saving"

note "invalid counts: the box, then an empty box with the focus, the window stays; 65536 is saved"
start_dialog
clear_box
for count in 9 65537 ""; do
  [ -z "$count" ] || type_text "$count"
  keys Return
  box=$(wait_window Kelmor)
  sleep 0.3
  [ "$count" != 9 ] || import -window root "$WORK/invalid-count.png"
  dismiss_box "$box"
  for _ in $(seq 50); do [ -z "$(windows_named Kelmor)" ] && break; sleep 0.1; done
  [ -z "$(windows_named Kelmor)" ] || fail "the message box did not close"
  kill -0 "$pid" 2>/dev/null || fail "the dialog ended after the count '$count'"
  expect_stored "$saved" "the invalid count '$count'"
  on_wine || xdotool windowfocus --sync "$window"
done
type_text 65536  # lands in the emptied box only if it has the focus
keys Return
expect_saved_and_ended "cycles=65536 fullfixed=false fullscreen=false output=surface predvolba=3 " "saving"
[ "$(grep -cx "Kelmor: Invalid CPU cycles value." "$WORK/stderr.txt")" = 3 ] ||
  fail "stderr: $(cat "$WORK/stderr.txt")"

note "a stored preset 7: no option selected, and saving ends without writing"
store_setting kelkit predvolba 7
saved="cycles=65536 fullfixed=false fullscreen=false output=surface predvolba=7 "
start_dialog
clear_box
type_text 30000
keys Return
expect_saved_and_ended "$saved" "saving with no option"

note "the game's settings: _Configuration kel1 writes kel1 with the intro check box, kelkit stays"
kelkit=$(stored_settings kelkit)
dialog_title="Kelmor Configuration" start_dialog kel1
[ "$(window_geometry "$window" | cut -d' ' -f2)" = "$(on_wine && echo 333x343 || echo 327x318)" ] ||
  fail "the game's dialog is $(window_geometry "$window")"
keys Tab Down Down space
# chkIntro, checked by default, unchecked with the mouse; the client area
# lies inside the frame Wine draws.
inside=(16 128); on_wine && inside=(19 150)
xdotool mousemove --window "$window" $((inside[0] + 6)) $((inside[1] + 8)) click 1
import -window root "$WORK/game-settings.png"
keys Return
wait_exit "$pid"
[ "$(stored_settings kel1)" = "cycles=20000 fullfixed=false fullscreen=false intro=0 output=surface predvolba=3 " ] ||
  fail "kel1 holds: $(stored_settings kel1)"
expect_stored "$kelkit" "the game's settings"

note "the option group is one tab stop: Tab reaches the selected option, arrows select round the group, Tab leaves it"
store_setting kel1 predvolba 4
dialog_title="Kelmor Configuration" start_dialog kel1
keys Tab Down Right Up Tab space  # opt4, opt5, opt1, opt5; chkIntro checked again
import -window root "$WORK/option-group.png"
keys Return
wait_exit "$pid"
[ "$(stored_settings kel1)" = "cycles=20000 fullfixed=false fullscreen=false intro=1 output=opengl predvolba=5 " ] ||
  fail "kel1 holds: $(stored_settings kel1)"

# Only the Linux bridge hands DOSBox the player's dosbox-user.conf.
if ! on_wine; then
  note "a dosbox-user.conf that sets fullscreen and cycles: a line below the form says so"
  printf '[sdl]\nfullscreen=true\n[cpu]\ncycles=3000\n' >"$XDG_CONFIG_HOME/kelmor/dosbox-user.conf"
  dialog_title="Kelmor Configuration" start_dialog kel1
  height=$(window_geometry "$window" | sed 's/.*x//')
  [ "$height" -gt 318 ] || fail "no line below the form: the dialog is $(window_geometry "$window")"
  import -window root "$WORK/dosbox-user-conf.png"
  keys Escape
  wait_exit "$pid"
  rm "$XDG_CONFIG_HOME/kelmor/dosbox-user.conf"
fi

# At 144 dots per inch the font grows faster than the form's twips: the
# longest option and the About text need more room across than they are
# given, and the dialog widens for them (a Windows setting).
if on_wine; then
  note "at 144 dots per inch the dialog widens so that each caption shows whole"
  stop_wine
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
    fail "could not set the resolution"
  stop_wine
  start_dialog
  size=$(window_geometry "$window" | cut -d' ' -f2)
  # The form alone is 490 pixels across; Wine's frame adds a few.
  [ "${size%x*}" -gt 510 ] || fail "the dialog at 144 dots per inch is $size"
  import -window root "$WORK/wider-captions.png"
  keys Escape
  wait_exit "$pid"
fi

# A Wine prefix's registry cannot be made unwritable from outside.
if ! on_wine; then
  note "a store that cannot be written: the report, exit code 1"
  ini="$XDG_CONFIG_HOME/kelmor/kelkit.ini"
  rm -f "$ini" && mkdir "$ini"
  start_dialog
  keys Return
  report=$(wait_window "$title" 10 2)
  [ "$report" != "$window" ] || fail "the report was not found"
  import -window root "$WORK/store-failure.png"
  press_key "$report" Return
  wait_exit "$pid"
  [ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE after a failed save"
  grep -q "^$title: Error [0-9]*: " "$WORK/stderr.txt" || fail "stderr: $(cat "$WORK/stderr.txt")"
fi
[ -z "${KELMOR_SCREENSHOTS:-}" ] || cp "$WORK"/*.png "$KELMOR_SCREENSHOTS"/
echo "PASS"
