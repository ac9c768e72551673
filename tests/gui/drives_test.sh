#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real kelmor-drives in a real window, with the keyboard alone: E: given
# an image by typing its absolute path behind the folder the file chooser
# shows, the emulator named (a name the drive map cannot hold refused in one
# message first) and detection switched on, saved, the drive map read back
# (its comment kept), and KELMOR finds the game CD on E:. Then a folder
# whose name holds a line end, its path typed over the chooser's: a message
# says why F: cannot have it, and the dialog goes on with its edit and the
# emulator picked among those found (a stand-in Staging first on PATH),
# which Save writes. A folder one level off the kit CD (its folder KIT
# itself) is explained; Close, Escape and the close box ask before they
# discard changes (Cancel keeps them, Save and Discard close), and not when
# nothing changed.
# A Linux program only.
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
on_wine && { echo "SKIP: kelmor-drives is a Linux program"; exit 77; }
require_program kelmor-drives
make_workspace
start_display 1024x768

app="$APPS/Kelmor app"
# The image, the emulator and the drive map below a folder whose name holds
# an '@', as a home folder named by a mail address does: each line, box and
# item of the dialog shows the paths as written (saved.png, emulator-picked.png).
ann="$WORK/ann@corp.example.com"
export XDG_CONFIG_HOME="$ann/config"
mkdir -p "$app/SAVEGAME" "$WORK/cd/KELMOR" "$ann/images"
install_program kelmor-drives "$app"
install_program KELMOR "$app"
stand_in "$app/dosbox.exe"
echo vignet >"$WORK/cd/KELMOR/VIGNET.DAT"
echo intro >"$WORK/cd/KELMOR/INTRO.DAT"
xorriso -as mkisofs -quiet -o "$ann/images/Kelmor (EU).iso" "$WORK/cd" 2>/dev/null || fail "no image made"
make_drive_map "F=cds/relative.iso"
sed -i '1i ; my drives' "$XDG_CONFIG_HOME/kelmor/drives.ini"

note "E: chosen, an image's path typed into the chooser, the emulator and detection set, saved"
cd "$WORK"  # where the chooser opens
run_program "$app" kelmor-drives 2>"$WORK/stderr.txt" &
pid=$!
window=$(wait_window "Kelmor Drives")
sleep 0.3
xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "no 32 x 32 window icon"
import -window root "$WORK/drives.png"
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers Down alt+i
wait_window "An image for E:" >/dev/null
sleep 0.3
xdotool key End
xdotool type --delay 40 "$ann/images/Kelmor (EU).iso"
xdotool key Return
sleep 0.5
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+e
xdotool type --delay 30 "/opt/dos box/dosbox "  # its last blank would be lost
xdotool key Return
box=$(wait_window "Kelmor Drives" 10 2)
sleep 0.5
import -window root "$WORK/emulator-refused.png"
dismiss_box "$box"
sleep 0.5
[ "$(windows_named "Kelmor Drives" | grep -c .)" = 1 ] || fail "more than one message"
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+e End BackSpace alt+d alt+s
sleep 0.5
import -window root "$WORK/saved.png"
press_key "$window" Escape
wait_exit "$pid"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE: $(cat "$WORK/stderr.txt")"
printf '; my drives\n[options]\ndetect=yes\nemulator=/opt/dos box/dosbox\n[drives]\nF=cds/relative.iso\nE=%s\n' \
  "$ann/images/Kelmor (EU).iso" >"$WORK/expected.ini"
cmp -s "$XDG_CONFIG_HOME/kelmor/drives.ini" "$WORK/expected.ini" ||
  fail "drive map: $(cat "$XDG_CONFIG_HOME/kelmor/drives.ini")"

note "KELMOR finds the game CD on E:"
run_program "$app" KELMOR &
pid=$!
wait_exit "$pid" 20
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE of KELMOR"
expect_started "$app/dosbox" -noconsole
grep -q 'CD E:\\KELMOR' "$app/dosbox.conf" || fail "dosbox.conf: $(cat "$app/dosbox.conf")"

note "E: cleared, F: refused a folder with a line end in its name, Staging picked, saved"
mkdir "$ann/images/two"$'\n'"lines"
mkdir "$ann/bin"
printf '#!/bin/sh\necho "dosbox-staging, version 0.82.2 (f8c24)"\n' >"$ann/bin/dosbox-staging"
chmod +x "$ann/bin/dosbox-staging"
PATH="$ann/bin:$PATH" run_program "$app" kelmor-drives 2>"$WORK/stderr.txt" &
pid=$!
window=$(wait_window "Kelmor Drives")
xdotool windowfocus --sync "$window"
# Clear takes the focus; Up, to the list above it, gives it back.
xdotool key --clearmodifiers Down alt+l Up Down alt+f
wait_window "A folder for F:" >/dev/null
sleep 0.3
xdotool key ctrl+a
xdotool type --delay 40 "$ann/images/two"  # the chooser completes the name, line end and all
xdotool key Return  # into the folder
sleep 0.5
xdotool key Return  # chosen
box=$(wait_window "Kelmor Drives" 10 2)
sleep 0.3
import -window root "$WORK/line-end-refused.png"
dismiss_box "$box"
xdotool windowfocus --sync "$window"
# The box emptied stands for the first one found; Down picks the first listed.
xdotool key --clearmodifiers alt+e ctrl+a BackSpace
sleep 0.5
xdotool key --clearmodifiers alt+p
sleep 0.3
xdotool key Down Return
sleep 0.3
import -window root "$WORK/emulator-picked.png"
xdotool key --clearmodifiers alt+s
sleep 0.5
press_key "$window" Escape
wait_exit "$pid"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE: $(cat "$WORK/stderr.txt")"
printf '; my drives\n[options]\ndetect=yes\nemulator=%s\n[drives]\nF=cds/relative.iso\n' \
  "$ann/bin/dosbox-staging" >"$WORK/expected.ini"
cmp -s "$XDG_CONFIG_HOME/kelmor/drives.ini" "$WORK/expected.ini" ||
  fail "drive map: $(od -c "$XDG_CONFIG_HOME/kelmor/drives.ini")"
note "E: the kit CD's folder KIT itself: explained; Escape closes, nothing changed"
mkdir -p "$WORK/kelplix/KIT"
echo kit >"$WORK/kelplix/KIT/KELKIT.EXE"
make_drive_map "E=$WORK/kelplix/KIT"
cp "$XDG_CONFIG_HOME/kelmor/drives.ini" "$WORK/expected.ini"
start_drives() {
  run_program "$app" kelmor-drives 2>"$WORK/stderr.txt" &
  pid=$!
  window=$(wait_window "Kelmor Drives")
  xdotool windowfocus --sync "$window"
}
start_drives
xdotool key --clearmodifiers Down
sleep 0.3
import -window root "$WORK/one-level-off.png"
press_key "$window" Escape
wait_exit "$pid" 5  # no question
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE: $(cat "$WORK/stderr.txt")"

note "E: cleared, Escape asks: Cancel keeps the window and the change, Save saves it and closes"
start_drives
xdotool key --clearmodifiers Down alt+l Escape
question=$(wait_window "Kelmor Drives" 10 2)
sleep 0.3
import -window root "$WORK/asking.png"
press_key "$question" Escape
sleep 0.5
[ "$(windows_named "Kelmor Drives" | grep -c .)" = 1 ] && kill -0 "$pid" || fail "Cancel closed Kelmor Drives"
cmp -s "$XDG_CONFIG_HOME/kelmor/drives.ini" "$WORK/expected.ini" || fail "Cancel saved"
press_key "$window" Escape
question=$(wait_window "Kelmor Drives" 10 2)
press_key "$question" Return
wait_exit "$pid"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE: $(cat "$WORK/stderr.txt")"
printf '[options]\ndetect=no\n[drives]\n' >"$WORK/expected.ini"
cmp -s "$XDG_CONFIG_HOME/kelmor/drives.ini" "$WORK/expected.ini" ||
  fail "drive map: $(cat "$XDG_CONFIG_HOME/kelmor/drives.ini")"

note "detection switched on, Escape asks, Discard closes without saving"
start_drives
xdotool key --clearmodifiers alt+d Escape
question=$(wait_window "Kelmor Drives" 10 2)
press_key "$question" alt+d
wait_exit "$pid"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE: $(cat "$WORK/stderr.txt")"
cmp -s "$XDG_CONFIG_HOME/kelmor/drives.ini" "$WORK/expected.ini" ||
  fail "Discard saved: $(cat "$XDG_CONFIG_HOME/kelmor/drives.ini")"
[ -z "${KELMOR_SCREENSHOTS:-}" ] || cp "$WORK"/*.png "$KELMOR_SCREENSHOTS"/
echo "PASS"
