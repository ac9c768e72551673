#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real KELMOR in a real window: where it shows, the CD-missing box, and a
# launch that hands dosbox.conf to the emulator.
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
make_workspace
start_display 1024x768

app="$APPS/Kelmor app"
mkdir -p "$app/SAVEGAME"
install_program KELMOR "$app"
stand_in "$app/dosbox.exe"

note "no CD: the window, then the box"
make_drive_map
cd "$WORK"
run_program "$app" KELMOR 2>"$WORK/stderr.txt" &
pid=$!
window=$(wait_window Kelmor)
[ "$(window_geometry "$window")" = "353,257 318x254" ] ||
  fail "window at $(window_geometry "$window"), wanted 353,257 318x254"
box=$(wait_window Kelmor 10 2)
[ "$box" != "$window" ] || fail "the message box was not found"
import -window root "$WORK/no-cd.png" 2>/dev/null || true
dismiss_box "$box"
wait_exit "$pid"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after the CD-missing box"
[ ! -e "$app/dosbox.conf" ] || fail "dosbox.conf was written without a CD"
grep -qxF "Kelmor: Please insert Kelmor's CD-ROM and try again.$(no_cd_advice "$app")" "$WORK/stderr.txt" ||
  fail "stderr: $(cat "$WORK/stderr.txt")"

note "CD on E: dosbox.conf written, the emulator started in the application folder"
mkdir -p "$WORK/cd/kelmor"
echo vignet >"$WORK/cd/kelmor/vignet.dat"
echo intro >"$WORK/cd/kelmor/INTRO.DAT"
make_drive_map "E=$WORK/cd"
run_program "$app" KELMOR &
pid=$!
wait_window Kelmor >/dev/null
wait_exit "$pid"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after a launch"
expect_started "$app/dosbox" -noconsole
cmp -s "$app/dosbox.conf" "$app/dosbox-handed.conf" || fail "the emulator saw another dosbox.conf"
printf 'CD E:\\KELMOR\r\nKELMOR.EXE save=B:\r\nexit\r\n' >"$WORK/expected-end"
tail -c "$(wc -c <"$WORK/expected-end")" "$app/dosbox.conf" | cmp -s - "$WORK/expected-end" ||
  fail "unexpected end of dosbox.conf: $(tail -c 60 "$app/dosbox.conf" | od -c)"
cmp -s "$app/SAVEGAME/INTRO.DAT" "$WORK/cd/kelmor/INTRO.DAT" || fail "intro file not copied"

if on_wine; then
  note "DOSBox Staging or DOSBox-X as dosbox.exe: a copy of dosbox.conf in its dialect, and only that"
  # the stand-in with its version resource | the copy it is handed | arguments before -conf
  while IFS='|' read -r stand_in_variable copy only; do
    rm -f "$app/dosbox-started.txt" "$app/$copy"
    cp "${!stand_in_variable:?no stand-in}" "$app/dosbox.exe"
    run_program "$app" KELMOR &
    pid=$!
    wait_exit "$pid"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE with $copy"
    # shellcheck disable=SC2086
    expect_started "$app/dosbox" -noconsole $only -conf "$copy"
    grep -qx $'machine=vga\r' "$app/dosbox.conf" || fail "dosbox.conf is no longer the launcher's"
    grep -qx $'machine=svga_s3\r' "$app/$copy" && grep -qx $'KELMOR.EXE save=B:\r' "$app/$copy" ||
      fail "$copy: $(cat "$app/$copy")"
  done <<'ROWS'
KELMOR_STAND_IN_STAGING_082|dosbox.staging.conf|-nolocalconf
KELMOR_STAND_IN_STAGING_083|dosbox.staging-0.83.conf|-nolocalconf
KELMOR_STAND_IN_DOSBOX_X|dosbox.dosbox-x.conf|
ROWS
  grep -qx $'cpu_cycles=20000\r' "$app/dosbox.staging-0.83.conf" || fail "no cpu_cycles for Staging"
  rm -f "$app/dosbox-started.txt" "$app"/dosbox.*.conf
  cp "$KELMOR_STAND_IN_DOSBOX_074" "$app/dosbox.exe"
  run_program "$app" KELMOR &
  pid=$!
  wait_exit "$pid"
  expect_started "$app/dosbox" -noconsole
  [ -z "$(find "$app" -name 'dosbox.*.conf')" ] || fail "DOSBox 0.74 was given a copy"
  stand_in "$app/dosbox.exe"
fi

note "a cue sheet with its tracks beside the programs: drive D:, which the emulator mounts whole"
rm -f "$app/dosbox-started.txt" "$app/SAVEGAME/INTRO.DAT"
make_cue_image "$WORK/cd" "$app/Kelmor.cue"
give_image_beside "$app/Kelmor.cue"
run_program "$app" KELMOR &
pid=$!
wait_exit "$pid" 20
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE on an image"
expect_started "$app/dosbox" -noconsole
mount='MOUNT D D:\ -t cdrom -usecd 0 -ioctl'  # which the bridge turns into IMGMOUNT
on_wine && mount="IMGMOUNT D \"$(windows_path "$app")\\Kelmor.cue\" -t iso"
grep -qxF "$mount"$'\r' "$app/dosbox.conf" || fail "dosbox.conf mounts: $(grep -i mount "$app/dosbox.conf")"
cmp -s "$app/SAVEGAME/INTRO.DAT" "$WORK/cd/kelmor/INTRO.DAT" || fail "intro file not copied from the image"

if on_wine; then
  # Wine's ANSI code page follows the locale: C's is 1252, as the rows below expect.
  export LC_ALL=C.UTF-8
  note "a track whose file is missing: a sheet without it beside dosbox.conf, which the mount names, and a remark before it"
  # The sheet is text in the ANSI code page: \xe9 is an e with an acute accent.
  printf 'FILE "Kelmor (Track 3) \xe9.wav" WAVE\r\n  TRACK 03 AUDIO\r\n    INDEX 01 00:00:00\r\n' >>"$app/Kelmor.cue"
  rm -f "$app/dosbox-started.txt"
  run_program "$app" KELMOR &
  pid=$!
  wait_exit "$pid" 20
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE on a sheet without a track's file"
  expect_started "$app/dosbox" -noconsole
  image=$(windows_path "$app")\\Kelmor
  printf '%s\n' "REM D: track 3 of $image.cue left out: the sheet names \`Kelmor (Track 3) "$'\xe9'".wav\`, which is not beside it" \
    "IMGMOUNT D \"$image.dosbox.cue\" -t iso" >"$WORK/expected-mount"
  tr -d '\r' <"$app/dosbox.conf" | grep -a -B1 -xF "IMGMOUNT D \"$image.dosbox.cue\" -t iso" | cmp -s - "$WORK/expected-mount" ||
    fail "dosbox.conf mounts: $(grep -a -i -B1 mount "$app/dosbox.conf")"
  [ "$(head -n 1 "$app/Kelmor.dosbox.cue")" = "FILE \"$image (Track 1).bin\" BINARY"$'\r' ] &&
    ! grep -q 'TRACK 03' "$app/Kelmor.dosbox.cue" || fail "the sheet for DOSBox: $(cat "$app/Kelmor.dosbox.cue")"

  note "an image whose name the code page cannot hold (no drive letter), a .cue copied without its .bin (no disc): the no-CD box names each and says why"
  rm "$app"/Kelmor*
  xorriso -as mkisofs -quiet -R -J -o "$app/Kelmor řada.iso" "$WORK/cd" 2>/dev/null || fail "no image"
  make_cue_image "$WORK/cd" "$app/Kelmor.cue"
  rm "$app/Kelmor (Track 1).bin"
  printf 'older\r\n' >"$app/dosbox.conf"
  rm -f "$app/dosbox-started.txt"
  run_program "$app" KELMOR 2>"$WORK/stderr.txt" &
  pid=$!
  box=$(wait_window Kelmor 10 2)
  import -window root "$WORK/unnamed-image.png"
  dismiss_box "$box"
  wait_exit "$pid"
  [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after the CD-missing box"
  [ ! -e "$app/dosbox-started.txt" ] && [ "$(cat "$app/dosbox.conf")" = $'older\r' ] || fail "DOSBox started"
  grep -qxF "Kelmor: Please insert Kelmor's CD-ROM and try again. The CD image $(windows_path "$app")\\Kelmor řada.iso gets no drive letter: its name holds \"ř\", which this system's ANSI code page (1252) cannot hold, so dosbox.conf could not name it. Rename it. The CD image $(windows_path "$app")\\Kelmor.cue holds no disc: the sheet names \`Kelmor (Track 1).bin\`, which is not beside it." "$WORK/stderr.txt" ||
    fail "stderr: $(cat "$WORK/stderr.txt")"
fi
rm "$app"/Kelmor*
make_drive_map "E=$WORK/cd"

note "no emulator: one message saying what to do in the host's words, exit 1"
rm -f "$app/dosbox.exe"
run_program "$app" KELMOR 2>"$WORK/stderr.txt" &
pid=$!
box=$(wait_window Kelmor 10 2)
import -window root "$WORK/no-emulator.png"
dismiss_box "$box"
wait_exit "$pid"
[ "$EXIT_CODE" = 1 ] || fail "exit code $EXIT_CODE without an emulator"
[[ $(cat "$WORK/stderr.txt") == "Kelmor: Kelmor cannot start DOSBox, which runs the game.  $(no_emulator_advice "$app") Then start Kelmor again.  Error "* ]] ||
  fail "stderr: $(cat "$WORK/stderr.txt")"
[ -z "${KELMOR_SCREENSHOTS:-}" ] || cp "$WORK"/*.png "$KELMOR_SCREENSHOTS"/
echo "PASS"
