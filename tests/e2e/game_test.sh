#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole game chain with Debian's emulator: the installed KELMOR finds a
# generated game CD on E:, writes dosbox.conf, starts the bridge, and DOSBox
# runs the CD's program with the save folder as B:. The program writes its
# command tail to B:\RESULT.TXT, so SAVEGAME/RESULT.TXT holding " save=B:"
# proves the mounts, the drive change, the folder, the program and its
# argument. Application folder and CD have blanks in their paths, and the
# folder a '%', which dosbox.conf doubles for the emulator's shell. Then the
# same CD as a cue sheet image with a MODE1/2048 data track and an audio
# track, which the emulator mounts with IMGMOUNT; its program also writes
# the tracks that the emulator's MSCDEX reports for the disc: both. Then
# rips made on Windows or copied in part, which the bridge hands DOSBox as
# it can mount them.
set -euo pipefail
BUILD=$1
source "$(dirname "$0")/lib.sh"
make_e2e_workspace
[ -x "$BUILD/bin/KELMOR" ] || { echo "SKIP: KELMOR is not built"; exit 77; }
start_display 1024x768

app="$WORK/Kelmor 100% app"
cd_folder="$WORK/Game CD"
install_app "$BUILD" "$app"
assemble_tail_writer "$cd_folder/Kelmor/kelmor/KELMOR.EXE"
printf 'marker' >"$cd_folder/Kelmor/kelmor/VIGNET.DAT"
printf 'intro' >"$cd_folder/Kelmor/kelmor/INTRO.DAT"
make_drive_map "E=$cd_folder"
# The emulator is `dosbox` on PATH, ahead of the system's.
make_emulator "$WORK/bin/dosbox"
export PATH="$WORK/bin:$PATH"

note "KELMOR with its CD on E:"
cd "$WORK"
timeout 30 "$app/KELMOR" &
wait_exit $! 30
[ "$EXIT_CODE" = 0 ] || fail "KELMOR ended with $EXIT_CODE"
expect_file_text "$app/SAVEGAME/RESULT.TXT" 30 " save=B:"
wait_emulators 30
grep -q "^MOUNT B \"C:\\\\.*\\\\Kelmor 100%% app\\\\SAVEGAME\"" "$app/dosbox.conf" ||
  fail "dosbox.conf no longer holds the launcher's text: $(grep MOUNT "$app/dosbox.conf")"
[ "$(cat "$app/SAVEGAME/INTRO.DAT")" = intro ] || fail "intro file not copied"

note "the copy the emulator read: host folders, quoted for their blanks"
copy=$(find "$XDG_RUNTIME_DIR" -name '*.conf')
[ "$(printf '%s\n' "$copy" | wc -l)" = 1 ] || fail "runtime copies: $copy"
grep -qF "MOUNT E \"$cd_folder\" -t cdrom -usecd 0 -ioctl" "$copy" || fail "$(grep MOUNT "$copy")"
grep -qF "MOUNT B \"${app//%/%%}/SAVEGAME\"" "$copy" || fail "$(grep MOUNT "$copy")"

note "a second launch has a copy of its own and removes the first's"
rm "$app/SAVEGAME/RESULT.TXT"
timeout 30 "$app/KELMOR" &
wait_exit $! 30
expect_file_text "$app/SAVEGAME/RESULT.TXT" 30 " save=B:"
wait_emulators 30
second=$(find "$XDG_RUNTIME_DIR" -name '*.conf')
[ "$(printf '%s\n' "$second" | wc -l)" = 1 ] && [ "$second" != "$copy" ] || fail "runtime copies: $second"

note "the game CD as a .cue image with an audio track on E:"
images="$WORK/CD images"
assemble_tail_writer "$cd_folder/Kelmor/kelmor/KELMOR.EXE" tracks
make_cue_image "$cd_folder" "$images/Kelmor.cue"
make_drive_map "E=$images/Kelmor.cue"
rm "$app/SAVEGAME/RESULT.TXT" "$app/SAVEGAME/INTRO.DAT"
timeout 30 "$app/KELMOR" &
wait_exit $! 30
[ "$EXIT_CODE" = 0 ] || fail "KELMOR ended with $EXIT_CODE"
expect_file_text "$app/SAVEGAME/RESULT.TXT" 30 " save=B:"
wait_emulators 30
expect_file_text "$app/SAVEGAME/TRACKS.TXT" 5 "1-2"
[ "$(cat "$app/SAVEGAME/INTRO.DAT")" = intro ] || fail "intro file not copied from the image"
copy=$(find "$XDG_RUNTIME_DIR" -name '*.conf')
grep -qF "IMGMOUNT E \"$images/Kelmor.cue\" -t iso" "$copy" || fail "$(grep -i mount "$copy")"

note "rips DOSBox would not mount as they are: a data file named in another letter case, an audio track's file missing, raw CD audio declared WAVE"
lower_case_data() { mv "$images/Kelmor (Track 1).bin" "$images/kelmor (track 1).bin"; }
missing_audio() { rm "$images/Kelmor (Track 2).bin"; }
raw_audio_as_wave() { sed -i 's/(Track 2)\.bin" BINARY/(Track 2).bin" WAVE/' "$images/Kelmor.cue"; }
# change to the rip | tracks the DOS program sees | what the bridge says
while IFS='|' read -r change tracks said; do
  rm -rf "$images" "$app/SAVEGAME/RESULT.TXT" "$app/SAVEGAME/TRACKS.TXT"
  make_cue_image "$cd_folder" "$images/Kelmor.cue"
  "$change"
  timeout 30 "$app/KELMOR" 2>"$WORK/stderr.txt" &
  wait_exit $! 30
  [ "$EXIT_CODE" = 0 ] || fail "$change: KELMOR ended with $EXIT_CODE"
  expect_file_text "$app/SAVEGAME/RESULT.TXT" 30 " save=B:"
  wait_emulators 30
  expect_file_text "$app/SAVEGAME/TRACKS.TXT" 5 "$tracks"
  if [ -n "$said" ]; then grep -qxF "$said" "$WORK/stderr.txt"; else ! grep -q "left out" "$WORK/stderr.txt"; fi ||
    fail "$change: stderr: $(cat "$WORK/stderr.txt")"
done <<ROWS
lower_case_data|1-2|
missing_audio|1-1|dosbox (Kelmor bridge): E: track 2 of $images/Kelmor.cue left out: the sheet names \`Kelmor (Track 2).bin\`, which is not beside it
raw_audio_as_wave|1-2|dosbox (Kelmor bridge): E: track 2 of $images/Kelmor.cue is raw CD audio declared WAVE; handed to DOSBox as BINARY
ROWS
note "a drive DOSBox refuses, which it tells only on its DOS screen: the bridge names it"
printf '[autoexec]\r\nMOUNT E "%s/no such CD"\r\nexit\r\n' "$WORK" >"$app/dosbox.conf"
# Without a display: no box that waits to be dismissed, the line alone.
(cd "$app" && DISPLAY= timeout 30 ./dosbox -noconsole) 2>"$WORK/stderr.txt" || fail "the bridge ended with $?"
grep -qF "dosbox (Kelmor bridge): DOSBox could not mount E: (the folder $WORK/no such CD); all it printed is in " \
  "$WORK/stderr.txt" || fail "stderr: $(cat "$WORK/stderr.txt")"
[ -z "$(complaints)" ] || fail "DOSBox found fault with the configuration: $(complaints)"
echo "PASS"
