#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real _Mapper: its wait window, and the map editor opened end to end,
# through the real _KelmorPlix installing from a kit CD, or directly once the
# kit is installed: a DOS map editor through the emulator, a script in its
# place refused, never started. The emulator is a stand-in that records how
# it started.
set -euo pipefail
BIN=$(cd "$1" && pwd)
source "$(dirname "$0")/lib.sh"
make_workspace
start_display 1024x768
cd "$WORK"

app="$APPS/Kelmor Plix app"  # a blank in the folder's name
mkdir -p "$app"
install_program _Mapper "$app"

note "the wait window: title, place, picture and label"
make_drive_map
# The window lives 600 ms: the program is held still as soon as it shows,
# for its place and icon (a loaded machine may take that long to look), then
# let paint a moment and held again for the screenshot. Where it was gone
# before it could be held (the machine busier still), it runs again.
for attempt in 1 2 3; do
  run_program "$app" _Mapper 2>"$WORK/stderr.txt" &
  pid=$!
  window=$(wait_window "Kelmor Plix Mapper")
  kill -STOP "$pid" 2>/dev/null || true
  geometry=$(window_geometry "$window" 2>/dev/null) || geometry=
  icon=$(xprop -id "$window" _NET_WM_ICON 2>/dev/null | sed -n 1p) || true
  kill -CONT "$pid" 2>/dev/null || true
  sleep 0.2
  kill -STOP "$pid" 2>/dev/null || true
  import -window root "$WORK/mapper-window.png" || true
  kill -CONT "$pid" 2>/dev/null || true
  wait_exit "$pid"; code=$EXIT_CODE
  [ -z "$geometry" ] || break
  echo "the window was gone before it was held (attempt $attempt)"
done
# The client area at the same place on both hosts; X sees Wine's window
# with the frame that Wine draws itself.
wanted="379,354 265x79"
on_wine && wanted="376,332 271x104"
[ "$geometry" = "$wanted" ] || fail "window at $geometry, wanted $wanted"
case $icon in *"Icon (64 x 64)"*) ;; *) fail "window icon: $icon" ;; esac
[ "$code" = 0 ] || fail "exit code $code although the kit launcher is missing"
[ ! -s "$WORK/stderr.txt" ] || fail "a missing kit launcher was reported: $(cat "$WORK/stderr.txt")"

note "not installed: the real _KelmorPlix installs from the kit CD and opens the DOS map editor in the emulator"
cd_root="$WORK/kit cd"
mkdir -p "$cd_root/KIT/USA" "$cd_root/KIT/DATA" "$app/DATA" "$app/vantrel"
for f in KELKIT.EXE HMIDET.386 HMIDRV.386; do echo "$f" >"$cd_root/KIT/$f"; done
echo usa >"$cd_root/KIT/DATA/USA.BIN"
{ printf 'MZ'; head -c 62 /dev/zero; } >"$cd_root/KIT/USA/MAPPER.EXE"  # no newer header behind it
printf 'KELPLIX\r\n' >"$app/TEST.FUJ"
install_program _KelmorPlix "$app"
stand_in "$app/dosbox.exe"
make_drive_map "E=$cd_root"
run_program "$app" _Mapper 2>"$WORK/stderr.txt" &
pid=$!
wait_window "Kelmor Plix Mapper" >/dev/null
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "_Mapper exit code $code"
expect_started "$app/dosbox" -noconsole -conf mapeditor.conf
cmp -s "$app/THEST.FUJ" "$app/TEST.FUJ" || fail "the kit launcher did not record the installation"
cmp -s "$app/DATA/USA.BIN" "$cd_root/KIT/DATA/USA.BIN" || fail "the kit's data were not installed"
[ -e "$app/vantrel/vtr.ini" ] || fail "the vendor ini file was not written"
[ ! -e "$app/dosbox.conf" ] || fail "mapper mode wrote dosbox.conf"

note "installed: _Mapper opens the DOS map editor itself, the emulator running it from its own configuration"
rm -f "$app/dosbox-started.txt" "$app/mapeditor.conf" "$app/vantrel/vtr.ini"
stand_in "$app/_KelmorPlix.exe"  # would record a start of the kit launcher
run_program "$app" _Mapper &
pid=$!
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "_Mapper exit code $code"
expect_started "$app/dosbox" -noconsole -conf mapeditor.conf
grep -qF "mount B \"$(windows_path "$app")\"" "$app/mapeditor.conf" ||
  fail "mapeditor.conf: $(cat "$app/mapeditor.conf")"
[ ! -e "$app/dosbox.conf" ] || fail "the map editor's start wrote dosbox.conf"
sleep 0.3
[ ! -e "$app/_kelmorplix-started.txt" ] || fail "the kit launcher was started although the kit is installed"

if on_wine; then
  note "installed, DOSBox Staging as dosbox.exe: the map editor's configuration in its dialect, and only that"
  rm -f "$app/dosbox-started.txt"
  cp "${KELMOR_STAND_IN_STAGING_083:?no stand-in}" "$app/dosbox.exe"
  run_program "$app" _Mapper &
  pid=$!
  wait_exit "$pid"; code=$EXIT_CODE
  [ "$code" = 0 ] || fail "_Mapper exit code $code with Staging"
  expect_started "$app/dosbox" -noconsole -nolocalconf -conf mapeditor.staging-0.83.conf
  grep -qF "mount B \"$(windows_path "$app")\"" "$app/mapeditor.staging-0.83.conf" &&
    grep -qix $'mapper.exe\r' "$app/mapeditor.staging-0.83.conf" ||
    fail "mapeditor.staging-0.83.conf: $(cat "$app/mapeditor.staging-0.83.conf")"
  stand_in "$app/dosbox.exe"
fi

note "installed, MAPPER.EXE an executable script: one message says why, nothing starts, exit 1"
rm -f "$app/dosbox-started.txt"
printf '#!/bin/sh\ntouch "$(dirname "$0")/script-ran.txt"\n' >"$app/MAPPER.EXE"
chmod +x "$app/MAPPER.EXE"
run_program "$app" _Mapper 2>"$WORK/stderr.txt" &
pid=$!
box=$(wait_window "Kelmor Plix Mapper Launcher")
sleep 0.3
import -window root "$WORK/mapper-script-refused.png" || true
dismiss_box "$box"
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 1 ] || fail "_Mapper exit code $code for a script"
sleep 0.3
[ ! -e "$app/script-ran.txt" ] && [ ! -e "$app/dosbox-started.txt" ] || fail "something was started"
on_wine || grep -qF "Kelmor Plix Mapper Launcher: MAPPER.EXE in the folder $app is a Linux program or a script" \
  "$WORK/stderr.txt" || fail "stderr: $(cat "$WORK/stderr.txt")"

note "installed but no map editor: nothing starts, nothing is said, exit 0"
rm -f "$app/MAPPER.EXE"
run_program "$app" _Mapper 2>"$WORK/stderr.txt" &
pid=$!
wait_exit "$pid"; code=$EXIT_CODE
[ "$code" = 0 ] || fail "_Mapper exit code $code"
sleep 0.3
for record in _kelmorplix mapper dosbox; do
  [ ! -e "$app/$record-started.txt" ] || fail "$record was started"
done
[ ! -s "$WORK/stderr.txt" ] || fail "a message was given: $(cat "$WORK/stderr.txt")"
[ -z "${KELMOR_SCREENSHOTS:-}" ] || cp "$WORK"/*.png "$KELMOR_SCREENSHOTS"/
echo "PASS"
