#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real _KelmorPlix in a real window: where it shows, the CD-missing box,
# an installing launch that hands dosbox.conf to the emulator, mapper mode,
# and the message that ends a launch whose emulator is missing.
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
make_workspace
start_display 1024x768

app="$APPS/Kit 100% app"  # the mount line doubles its '%' for the emulator's shell
cd_root="$WORK/cd"
mkdir -p "$app/DATA" "$app/vantrel" "$app/PCMAP"
install_program _KelmorPlix "$app"
printf 'KELPLIX\r\n' >"$app/TEST.FUJ"
stand_in "$app/dosbox.exe"

# A small kit CD: what it lacks of the manifest is skipped without a word.
# It holds no MAPPER.EXE, so the map editor is the application folder's
# "\MAPPER.EXE", a DOS program, which the emulator runs.
mkdir -p "$cd_root/kit/data"
echo kelkit >"$cd_root/kit/KELKIT.EXE"
echo driver >"$cd_root/kit/hmidet.386"
echo usa >"$cd_root/kit/data/USA.BIN"
echo fr >"$cd_root/kit/data/fr.bin"
{ printf 'MZ'; head -c 62 /dev/zero; } >"$app/MAPPER.EXE"

note "no CD: the window, then the box"
make_drive_map
cd "$WORK"
before=$(ls "$app")
run_program "$app" _KelmorPlix 2>"$WORK/stderr.txt" &
pid=$!
window=$(wait_window "Kelmor Plix")
[ "$(window_geometry "$window")" = "332,267 359x233" ] ||
  fail "window at $(window_geometry "$window"), wanted 332,267 359x233"
box=$(wait_window Kelmor 10)
import -window root "$WORK/no-cd.png" 2>/dev/null || true
dismiss_box "$box"
wait_exit "$pid"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after the CD-missing box"
grep -qxF "Kelmor: Please insert Kelmor Plix CD-ROM and restart application.$(no_cd_advice "$app")" \
  "$WORK/stderr.txt" ||
  fail "stderr: $(cat "$WORK/stderr.txt")"
[ "$(ls "$app")" = "$before" ] || fail "something was written without a CD: $(ls "$app")"

note "mapper on an installation run from a cue sheet beside the programs: data installed, the map editor started in the emulator, no dosbox.conf"
make_cue_image "$cd_root" "$app/Kelmor Plix.cue"
give_image_beside "$app/Kelmor Plix.cue"
run_program "$app" _KelmorPlix mapper &
pid=$!
wait_window "Kelmor Plix" >/dev/null
wait_exit "$pid"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE in mapper mode"
expect_started "$app/dosbox" -noconsole -conf mapeditor.conf
[ ! -e "$app/dosbox.conf" ] || fail "dosbox.conf written in mapper mode"
cmp -s "$app/THEST.FUJ" "$app/TEST.FUJ" || fail "the marker was not written"
cmp -s "$app/HMIDET.386" "$cd_root/kit/hmidet.386" || fail "HMIDET.386 not installed"
cmp -s "$app/DATA/FR.BIN" "$cd_root/kit/data/fr.bin" || fail "DATA/FR.BIN not installed"
printf '[OSD]\r\nDirectory=%s\\vantrel\\osd\r\n' "$(windows_path "$app")" >"$WORK/ini-start"
head -c "$(wc -c <"$WORK/ini-start")" "$app/vantrel/vtr.ini" | cmp -s - "$WORK/ini-start" ||
  fail "vtr.ini: $(od -c "$app/vantrel/vtr.ini" | head)"

note "installed, the image on D: dosbox.conf written, the emulator started in the application folder"
rm -f "$app/dosbox-started.txt" "$app/mapeditor.conf"
run_program "$app" _KelmorPlix mapper &
pid=$!
wait_window "Kelmor Plix" >/dev/null
wait_exit "$pid"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after a launch"
expect_started "$app/dosbox" -noconsole
[ ! -e "$app/mapeditor.conf" ] || fail "the map editor was started although the kit is installed"
cmp -s "$app/dosbox.conf" "$app/dosbox-handed.conf" || fail "the emulator saw another dosbox.conf"
mount='mount D D:\ -t cdrom -ioctl'  # which the bridge turns into imgmount
on_wine && mount="imgmount D \"$(windows_path "$app" | sed 's/%/%%/g')\\Kelmor Plix.cue\" -t iso"
printf '[autoexec]\r\n\r\ncls\r\n%s\r\nmount B "%s"\r\nB:\r\nKELKIT.EXE ver=usa\r\nexit\r\n' \
  "$mount" "$(windows_path "$app" | sed 's/%/%%/g')" >"$WORK/expected-end"
tail -c "$(wc -c <"$WORK/expected-end")" "$app/dosbox.conf" | cmp -s - "$WORK/expected-end" ||
  fail "unexpected end of dosbox.conf: $(tail -c 120 "$app/dosbox.conf" | od -c)"

note "no emulator: one message saying what to do in the host's words, exit 1"
rm -f "$app/dosbox.exe" "$app/dosbox-started.txt"
run_program "$app" _KelmorPlix 2>"$WORK/stderr.txt" &
pid=$!
wait_window "Kelmor Plix" >/dev/null
box=$(wait_window "Kelmor Plix Launcher" 10)
import -window root "$WORK/kit-no-emulator.png" 2>/dev/null || true
dismiss_box "$box"
wait_exit "$pid"
[ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE after the message"
# Each host names the file as its users know it.
missing="$(windows_path "$app")\\dosbox.exe"
on_wine || missing="$app/dosbox"
message="Kelmor Plix Launcher: Kelmor Plix cannot start DOSBox, which runs the kit.  $(no_emulator_advice "$app") Then start Kelmor Plix again.  Error "
[[ $(cat "$WORK/stderr.txt") == "$message"*"($missing)" ]] || fail "stderr: $(cat "$WORK/stderr.txt")"
[ -n "${KELMOR_SCREENSHOTS:-}" ] && cp "$WORK"/*.png "$KELMOR_SCREENSHOTS/" 2>/dev/null
echo "PASS"
